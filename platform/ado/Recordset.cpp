#include "Recordset.h"

#include "ProviderError.h"

namespace Ado_ns {

namespace {

const char kClosed[] = "Operation is not allowed when the object is closed.";
const char kNoCurrent[] = "Either BOF or EOF is True, or the current record has been deleted. "
                          "Requested operation requires a current record.";

}  // namespace

Recordset_cl::Recordset_cl() : open(false) {}

Recordset_cl::Recordset_cl(const QStringList& names) : open(true), names(names) {}

void Recordset_cl::CheckOpen() const {
    if (!open)
        throw ProviderError_cl(Result_ns::ObjectClosed, QString::fromUtf8(kClosed));
}

void Recordset_cl::CheckField(int32_t index) const {
    if (index < 0 || index >= names.size())
        throw ProviderError_cl(Result_ns::ItemNotFound,
                               QStringLiteral("Item cannot be found in the collection corresponding to the requested name or ordinal."));
}

bool Recordset_cl::IsEOF() const {
    CheckOpen();
    return current >= rows;
}

void Recordset_cl::MoveFirst() {
    CheckOpen();
    if (rows == 0)
        throw ProviderError_cl(Result_ns::NoCurrentRecord, QString::fromUtf8(kNoCurrent));
    current = 0;
}

void Recordset_cl::MoveNext() {
    CheckOpen();
    if (current >= rows)
        throw ProviderError_cl(Result_ns::NoCurrentRecord, QString::fromUtf8(kNoCurrent));
    ++current;
}

int32_t Recordset_cl::FieldCount() const {
    CheckOpen();
    return int32_t(names.size());
}

Variant_st Recordset_cl::Value(int32_t index) const {
    CheckOpen();
    CheckField(index);
    if (current >= rows)
        throw ProviderError_cl(Result_ns::NoCurrentRecord, QString::fromUtf8(kNoCurrent));
    return values[current * names.size() + index];
}

QString Recordset_cl::Name(int32_t index) const {
    CheckOpen();
    CheckField(index);
    return names[index];
}

void Recordset_cl::AppendRow(const QList<Variant_st>& row) {
    values.append(row);
    ++rows;
}

}  // namespace Ado_ns
