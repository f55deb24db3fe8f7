#include "BudgetReportCommand.h"

#include "Book.h"
#include "Control/BudgetText.h"
#include "Control/DataCore.h"
#include "Output.h"
#include "UsageError.h"

#include <iterator>

namespace Cli_ns {

namespace {

UsageError_cl ReportUsage(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{201, "年份不正确，应为YYYY。"},
                                                  {202, "请给出月份YYYY-MM或--year YYYY，只能选一个。"}};
    return UsageError_cl(line, __FILE__, UsageError_cl::ClassName(), code, table, int32_t(std::size(table)), remark);
}

const QString kYear = QStringLiteral("year");
const QString kFormat = QStringLiteral("format");

}  // namespace

QString BudgetReportCommand_cl::Summary() const {
    return QStringLiteral("预算表：一个月（预算、上月结转、已用、剩余）或一年的各月，和每人的预算");
}

void BudgetReportCommand_cl::AddOptions(QCommandLineParser& parser) const {
    parser.addOption({kYear, QStringLiteral("一年的各月。"), QStringLiteral("YYYY")});
    parser.addOption({kFormat, QStringLiteral("text（对齐的表格，默认）或csv（只有分类的行）。"), QStringLiteral("FORMAT"),
                      QStringLiteral("text")});
}

void BudgetReportCommand_cl::Run(Book_cl& book, const QCommandLineParser& parser) const {
    const QString format = parser.value(kFormat);
    if (format != QStringLiteral("text") && format != QStringLiteral("csv")) throw Usage(111, __LINE__, format);
    const bool year = parser.isSet(kYear);
    if (year == !parser.positionalArguments().isEmpty()) throw ReportUsage(202, __LINE__);
    int32_t yearNumber = 0, month = 0;
    if (year) {
        Arguments(parser, 0);
        const QString text = parser.value(kYear);
        bool number = false;
        yearNumber = text.toInt(&number);
        if (!number || text.size() != 4 || !Base_ns::DateTime_cl::FromParts(yearNumber, 1, 1).IsValid())
            throw ReportUsage(201, __LINE__, text);
    } else {
        const int32_t key = ReadMonthKey(Arguments(parser, 1).first());
        yearNumber = key / 12;
        month = key % 12 + 1;
    }
    book.Open();
    Vorelle_ns::Budget_cl budget(Vorelle_ns::DataCore().GetUserManage());
    const Vorelle_ns::BudgetView_st view = year ? budget.GetYear(yearNumber) : budget.GetMonth(yearNumber, month);
    const QList<QStringList> rows = Vorelle_ns::BudgetText_cl::Rows(view);
    if (format == QStringLiteral("csv")) {
        Output_cl::Bytes(Output_cl::Csv(rows));
        return;
    }
    QString text = Output_cl::Table(rows + Vorelle_ns::BudgetText_cl::TotalRows(view));
    if (!view.people.empty()) text += u'\n' + Output_cl::Table(Vorelle_ns::BudgetText_cl::PeopleRows(view));
    Output_cl::Bytes(text.toUtf8());
}

}  // namespace Cli_ns
