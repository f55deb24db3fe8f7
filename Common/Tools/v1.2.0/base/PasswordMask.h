#pragma once

#include <QString>

namespace Base_ns {

// The text with every password it holds replaced by "***": values compared with or
// assigned to a password column, password values of an insert's column list, and the
// password settings of connection strings. Used on everything written to the error log.
QString MaskPasswords(const QString& text);

}  // namespace Base_ns
