#pragma once

#include <QString>

namespace Ado_ns {

// Turns Jet SQL into the local engine's SQL. Text between quotes and bracketed names are
// never touched. #...# date literals become quoted "%Y-%m-%d %H:%M:%S" texts;
// counter(1,1) primary key becomes an autoincrement integer key; date()+time() and now()
// become the local current date-time, date() the local current date at midnight, time()
// the local time of day on 1899-12-30; the expression after default is parenthesised.
class JetDialect_cl {
public:
    // Throws ProviderError_cl (ErrorsInCommand) for a date literal that is not a date.
    static QString Translate(const QString& sql);
};

}  // namespace Ado_ns
