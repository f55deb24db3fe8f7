#include "Recordset.h"

#include "ProviderError.h"

namespace Ado_ns {

namespace {

const char kClosed[] = "Operation is not allowed when the object is closed.";
const char kNoCurrent[] = "Either BOF or EOF is True, or the current record has been deleted. "
                          "Requested operation requires a current record.";

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
    if (rows.Count() == 0)
        throw ProviderError_cl(Result_ns::NoCurrentRecord, QString::fromUtf8(kNoCurrent));
    current = rows.First();
}

void Recordset_cl::MoveNext() {
    CheckOpen();
    if (current.IsEmpty())
        throw ProviderError_cl(Result_ns::NoCurrentRecord, QString::fromUtf8(kNoCurrent));
    current.Next();
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
    return current.Get()[index];
}

QString Recordset_cl::Name(int32_t index) const {
    CheckOpen();
    CheckField(index);
    return names[index];
}

void Recordset_cl::AppendRow(const Row_tl& row) {
    const auto added = rows.Append(row);
    if (rows.Count() == 1)
        current = added;
}

}  // namespace Ado_ns
