#include "DueCommand.h"

#include "Book.h"
#include "Control/DataCore.h"
#include "Output.h"
#include "UsageError.h"
#include "Window/ConvertInfo.h"

#include <QDate>

namespace Cli_ns {

QString DueCommand_cl::Summary() const {
    return QStringLiteral("到期而还没有记账或跳过的定期记录；--apply 全部记账（适合cron），显示记账的条数");
}

void DueCommand_cl::AddOptions(QCommandLineParser& parser) const {
    parser.addOption({QStringLiteral("until"), QStringLiteral("到这一天为止（含），默认今天。"), QStringLiteral("YYYY-MM-DD")});
    parser.addOption({QStringLiteral("apply"), QStringLiteral("全部记账。")});
    parser.addOption({QStringLiteral("format"), QStringLiteral("text（对齐的表格，默认）或csv。"), QStringLiteral("FORMAT"),
                      QStringLiteral("text")});
}

void DueCommand_cl::Run(Book_cl& book, const QCommandLineParser& parser) const {
    Arguments(parser, 0);
    const QString format = parser.value(QStringLiteral("format"));
    if (format != QStringLiteral("text") && format != QStringLiteral("csv")) throw Usage(111, __LINE__, format);
    QDate until = QDate::currentDate();
    if (parser.isSet(QStringLiteral("until"))) {
        const Base_ns::DateTime_cl day = ReadDay(parser.value(QStringLiteral("until")), 0, 0, 0);
        until = QDate(day.Year(), day.Month(), day.Day());
    }
    book.Open();
    Vorelle_ns::ScheduleManage_cl& schedules = Vorelle_ns::DataCore().GetScheduleManage();
    const auto due = schedules.GetDue(until);
    if (parser.isSet(QStringLiteral("apply"))) {
        // Another copy booking at the same time books some first: they are not counted here.
        const int32_t booked = schedules.BookAll(due);
        Output_cl::Line(QStringLiteral("定期记录记账成功，共记账%1条。").arg(booked));
        return;
    }
    QList<QStringList> rows{{QStringLiteral("日期"), QStringLiteral("编号"), QStringLiteral("用户"), QStringLiteral("分类"),
                             QStringLiteral("名称"), QStringLiteral("金额")}};
    for (int32_t i = 0; i < due.Count(); ++i) {
        rows.append({due[i].dueDate.toString(Qt::ISODate), QString::number(due[i].scheduleSn), due[i].userName,
                     due[i].typeName, due[i].expenseName, Vorelle_ns::ConvertInfo_cl::MoneyToText(due[i].expense)});
    }
    if (format == QStringLiteral("csv")) {
        Output_cl::Bytes(Output_cl::Csv(rows));
    } else if (due.Count() == 0) {
        Output_cl::Line(QStringLiteral("没有到期的定期记录。"));
    } else {
        Output_cl::Bytes(Output_cl::Table(rows, 5).toUtf8());
    }
}

}  // namespace Cli_ns
