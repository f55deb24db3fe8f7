#include "Text.h"

namespace Base_ns {

QString IntToText(int32_t value) { return QString::number(value); }

bool HasIllegalSqlChar(const QString& text) { return text.contains(u'\''); }

bool HasIllegalQuotedChar(const QString& text) { return text.contains(u'"'); }

bool HasIllegalUnquotedChar(const QString& text) { return text.contains(u';'); }

}  // namespace Base_ns
