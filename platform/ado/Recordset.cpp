#include "Recordset.h"

#include "ProviderError.h"

#include <algorithm>

namespace Ado_ns {

namespace {

const char kClosed[] = "Operation is not allowed when the object is closed.";
const char kNoCurrent[] = "Either BOF or EOF is True, or the current record has been deleted. "
                          "Requested operation requires a current record.";
// Most statements give a row or a few; a block doubles up to the largest size.
constexpr int32_t kFirstBlockRows = 16;
constexpr int32_t kLargestBlockRows = 4096;

}  // namespace

Recordset_cl::Recordset_cl() : open(false) {}

Recordset_cl::Recordset_cl(const Base_ns::Trusteeship_tl<QString>& names) : open(true), names(names) {}

void Recordset_cl::CheckOpen() const {
    if (!open)
        throw ProviderError_cl(Result_ns::ObjectClosed, QString::fromUtf8(kClosed));
}

void Recordset_cl::CheckField(int32_t index) const {
    if (index < 0 || index >= names.Count())
        throw ProviderError_cl(Result_ns::ItemNotFound,
                               QStringLiteral("Item cannot be found in the collection corresponding to the requested name or ordinal."));
}

bool Recordset_cl::IsEOF() const {
    CheckOpen();
    return current.IsEmpty();
}

void Recordset_cl::MoveFirst() {
    CheckOpen();
    if (blocks.Count() == 0)
        throw ProviderError_cl(Result_ns::NoCurrentRecord, QString::fromUtf8(kNoCurrent));
    current = blocks.First();
    currentRow = 0;
}

void Recordset_cl::MoveNext() {
    CheckOpen();
    if (current.IsEmpty())
        throw ProviderError_cl(Result_ns::NoCurrentRecord, QString::fromUtf8(kNoCurrent));
    if (++currentRow == current.Get().used) {
        current.Next();
        currentRow = 0;
    }
}

int32_t Recordset_cl::FieldCount() const {
    CheckOpen();
    return names.Count();
}

Variant_st Recordset_cl::Value(int32_t index) const {
    CheckOpen();
    CheckField(index);
    if (current.IsEmpty())
        throw ProviderError_cl(Result_ns::NoCurrentRecord, QString::fromUtf8(kNoCurrent));
    return current.Get().values[currentRow * names.Count() + index];
}

QString Recordset_cl::Name(int32_t index) const {
    CheckOpen();
    CheckField(index);
    return names[index];
}

void Recordset_cl::AppendRow(const Row_tl& row) {
    const int32_t fields = names.Count();
    if (last.IsEmpty() || last.Get().used == last.Get().capacity) {
        Block_st block;
        block.capacity = last.IsEmpty() ? kFirstBlockRows : std::min(2 * last.Get().capacity, kLargestBlockRows);
        block.values.Allocate(block.capacity * fields);
        last = blocks.Append(block);
        if (blocks.Count() == 1)
            current = last;
    }
    Block_st& block = last.Get();
    for (int32_t i = 0; i < fields; ++i)
        block.values[block.used * fields + i] = row[i];
    ++block.used;
}

}  // namespace Ado_ns
