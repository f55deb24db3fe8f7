#include "ReportCommand.h"

#include "Book.h"
#include "Control/DataCore.h"
#include "Control/CrosstabText.h"
#include "Output.h"
#include "UsageError.h"

#include <QDate>

namespace Cli_ns {

namespace {

// The first moment of a month given as YYYY-MM; a usage error otherwise.
Base_ns::DateTime_cl ReadMonth(const QString& text) {
    const QDate date = QDate::fromString(text, QStringLiteral("yyyy-MM"));
    if (!date.isValid()) throw Usage(105, __LINE__, text);
    const Base_ns::DateTime_cl first = Base_ns::DateTime_cl::FromParts(date.year(), date.month(), 1);
    if (!first.IsValid()) throw Usage(105, __LINE__, text);
    return first;
}

}  // namespace

QString ReportCommand_cl::Words() const {
    return period == Period_en::Month ? QStringLiteral("report month") : QStringLiteral("report year");
}

QString ReportCommand_cl::Syntax() const {
    const QString common = QStringLiteral("[--all-users | --of NAME] [--format text|csv]");
    return period == Period_en::Month ? QStringLiteral("YEAR | --from YYYY-MM --to YYYY-MM ") + common : common;
}

QString ReportCommand_cl::Summary() const {
    return period == Period_en::Month ? QStringLiteral("月统计表：一年的各月，或一段月份（月开销、月收入）")
                                      : QStringLiteral("年统计表：从最早到最近一年的各年（月和年的开销、收入）");
}

void ReportCommand_cl::AddOptions(QCommandLineParser& parser) const {
    if (period == Period_en::Month) {
        parser.addOption({QStringLiteral("from"), QStringLiteral("起始月份。"), QStringLiteral("YYYY-MM")});
        parser.addOption({QStringLiteral("to"), QStringLiteral("终止月份（含）。"), QStringLiteral("YYYY-MM")});
    }
    AddUserFilterOptions(parser);
    parser.addOption({QStringLiteral("format"), QStringLiteral("text（对齐的表格，默认）或csv。"),
                      QStringLiteral("FORMAT"), QStringLiteral("text")});
}

void ReportCommand_cl::Run(Book_cl& book, const QCommandLineParser& parser) const {
    const QString format = parser.value(QStringLiteral("format"));
    if (format != QStringLiteral("text") && format != QStringLiteral("csv")) throw Usage(111, __LINE__, format);
    const UserFilter_st filter = ReadUserFilter(parser);
    Base_ns::DateTime_cl begin;
    Base_ns::DateTime_cl end;
    if (period == Period_en::Month) {
        const bool range = parser.isSet(QStringLiteral("from")) || parser.isSet(QStringLiteral("to"));
        if (range) {
            Arguments(parser, 0);
            for (const QString& option : {QStringLiteral("from"), QStringLiteral("to")}) {
                if (!parser.isSet(option)) throw Usage(103, __LINE__, QStringLiteral("--") + option);
            }
            begin = ReadMonth(parser.value(QStringLiteral("from")));
            end = ReadMonth(parser.value(QStringLiteral("to"))).EndOfMonth();
        } else {
            const QString year = Arguments(parser, 1).first();
            bool number = false;
            const int32_t value = year.toInt(&number);
            if (!number || year.size() != 4) throw Usage(105, __LINE__, year);
            begin = Base_ns::DateTime_cl::FromParts(value, 1, 1);
            end = Base_ns::DateTime_cl::FromParts(value, 12, 31, 23, 59, 59);
            if (!begin.IsValid()) throw Usage(105, __LINE__, year);
        }
    } else {
        Arguments(parser, 0);
    }
    book.Open();
    CheckNamedUser(filter);
    Vorelle_ns::ControlUser_cl& control = Vorelle_ns::DataCore().GetControlUser();
    const DB_ns::CrossTable_st table = period == Period_en::Month
                                           ? control.GetMonthCrosstab(filter.allUsers, filter.userName, begin, end)
                                           : control.GetYearCrosstab(filter.allUsers, filter.userName);
    const QList<QStringList> rows = Vorelle_ns::CrosstabText_cl::Build(Vorelle_ns::CrosstabFigures_cl(table));
    Output_cl::Bytes(format == QStringLiteral("csv") ? Output_cl::Csv(rows) : Output_cl::Table(rows).toUtf8());
}

}  // namespace Cli_ns
