#include "ScheduleCommands.h"

#include "Book.h"
#include "Control/DataCore.h"
#include "Data/ScheduleDates.h"
#include "Output.h"
#include "UsageError.h"
#include "Window/ConvertInfo.h"

#include <QDate>

namespace Cli_ns {

namespace {

using Vorelle_ns::ScheduleEvery_en;

struct Word_st {
    const char* word;
    int32_t value;
};
constexpr Word_st kEvery[] = {{"day", int32_t(ScheduleEvery_en::Day)},
                              {"week", int32_t(ScheduleEvery_en::Week)},
                              {"month", int32_t(ScheduleEvery_en::Month)},
                              {"year", int32_t(ScheduleEvery_en::Year)}};
constexpr Word_st kStatistics[] = {{"month", 0}, {"year", 1}, {"none", 2}};

// The value of word in words; a usage error with code otherwise.
template <size_t N>
int32_t ReadWord(const QString& word, const Word_st (&words)[N], int32_t code, int32_t line) {
    for (const Word_st& candidate : words) {
        if (word == QLatin1String(candidate.word)) return candidate.value;
    }
    throw Usage(code, line, word);
}

QDate ReadDate(const QString& text) {
    const Base_ns::DateTime_cl day = ReadDay(text, 0, 0, 0);
    return QDate(day.Year(), day.Month(), day.Day());
}

}  // namespace

int32_t ReadPositive(const QString& text, const QString& what) {
    bool number = false;
    const int32_t value = text.toInt(&number);
    if (!number || value < 1) throw Usage(131, __LINE__, what + u' ' + text);
    return value;
}

QString ScheduleAddCommand_cl::Syntax() const {
    return QStringLiteral(
        "CATEGORY AMOUNT [--income] --every day|week|month|year [--interval N] [--day D] [--from YYYY-MM-DD] "
        "[--until YYYY-MM-DD | --count N] [--name TEXT] [--comment TEXT] [--statistics month|year|none] "
        "[--for NAME]");
}

QString ScheduleAddCommand_cl::Summary() const {
    return QStringLiteral("新增定期记录：金额以元为单位，是开销，除非给出--income；到期后用due记账");
}

void ScheduleAddCommand_cl::AddOptions(QCommandLineParser& parser) const {
    parser.addOption({QStringLiteral("income"), QStringLiteral("收入（默认是开销）。")});
    parser.addOption({QStringLiteral("every"), QStringLiteral("重复的单位：day、week、month或year。"), QStringLiteral("UNIT")});
    parser.addOption({QStringLiteral("interval"), QStringLiteral("每几个单位一次，默认1。"), QStringLiteral("N")});
    parser.addOption({QStringLiteral("day"),
                      QStringLiteral("每周的星期几（1周一…7周日），或每月、每年的几号（31表示月末）；默认取--from。"),
                      QStringLiteral("D")});
    parser.addOption({QStringLiteral("from"), QStringLiteral("从这一天起，默认今天。"), QStringLiteral("YYYY-MM-DD")});
    parser.addOption({QStringLiteral("until"), QStringLiteral("到这一天为止（含）。"), QStringLiteral("YYYY-MM-DD")});
    parser.addOption({QStringLiteral("count"), QStringLiteral("共几次。"), QStringLiteral("N")});
    parser.addOption({QStringLiteral("name"), QStringLiteral("费用名称。"), QStringLiteral("TEXT")});
    parser.addOption({QStringLiteral("comment"), QStringLiteral("注释。"), QStringLiteral("TEXT")});
    parser.addOption({QStringLiteral("statistics"), QStringLiteral("计入月统计（month，默认）、年统计（year）或不计入（none）。"),
                      QStringLiteral("MODE"), QStringLiteral("month")});
    parser.addOption({QStringLiteral("for"), QStringLiteral("为这个用户记账（需要为其他用户记账的权限）。"), QStringLiteral("NAME")});
}

void ScheduleAddCommand_cl::Run(Book_cl& book, const QCommandLineParser& parser) const {
    const QStringList arguments = Arguments(parser, 2);
    Vorelle_ns::Schedule_st schedule;
    schedule.typeName = arguments[0];
    int32_t cents = 0;
    if (!Vorelle_ns::ConvertInfo_cl::TextToMoney(arguments[1], cents) || cents < 1) throw Usage(133, __LINE__, arguments[1]);
    schedule.expense = parser.isSet(QStringLiteral("income")) ? cents : -cents;
    if (!parser.isSet(QStringLiteral("every"))) throw Usage(103, __LINE__, QStringLiteral("--every"));
    schedule.every = ScheduleEvery_en(ReadWord(parser.value(QStringLiteral("every")), kEvery, 130, __LINE__));
    if (parser.isSet(QStringLiteral("interval")))
        schedule.interval = ReadPositive(parser.value(QStringLiteral("interval")), QStringLiteral("--interval"));
    schedule.firstDate = parser.isSet(QStringLiteral("from")) ? ReadDate(parser.value(QStringLiteral("from")))
                                                              : QDate::currentDate();
    schedule.day = schedule.every == ScheduleEvery_en::Week ? schedule.firstDate.dayOfWeek() : schedule.firstDate.day();
    if (parser.isSet(QStringLiteral("day"))) schedule.day = ReadPositive(parser.value(QStringLiteral("day")), QStringLiteral("--day"));
    if (parser.isSet(QStringLiteral("until")) && parser.isSet(QStringLiteral("count"))) throw Usage(132, __LINE__);
    if (parser.isSet(QStringLiteral("until"))) schedule.untilDate = ReadDate(parser.value(QStringLiteral("until")));
    if (parser.isSet(QStringLiteral("count")))
        schedule.count = ReadPositive(parser.value(QStringLiteral("count")), QStringLiteral("--count"));
    schedule.expenseName = parser.value(QStringLiteral("name"));
    schedule.comment = parser.value(QStringLiteral("comment"));
    schedule.statisticsMode = ReadWord(parser.value(QStringLiteral("statistics")), kStatistics, 134, __LINE__);
    schedule.userName = parser.value(QStringLiteral("for"));
    book.Open();
    const int32_t sn = Vorelle_ns::DataCore().GetScheduleManage().Add(schedule);
    Output_cl::Line(QStringLiteral("新增定期记录成功，编号%1：").arg(sn) + Vorelle_ns::ScheduleDates_cl::RuleText(schedule) +
                    QStringLiteral("，") + Vorelle_ns::ScheduleDates_cl::EndText(schedule) + QStringLiteral("。"));
}

QString ScheduleListCommand_cl::Summary() const { return QStringLiteral("列出定期记录和下次的日期"); }

void ScheduleListCommand_cl::Run(Book_cl& book, const QCommandLineParser& parser) const {
    Arguments(parser, 0);
    book.Open();
    const auto rows = Vorelle_ns::DataCore().GetScheduleManage().GetSchedules();
    QList<QStringList> table{{QStringLiteral("编号"), QStringLiteral("用户"), QStringLiteral("分类"), QStringLiteral("名称"),
                              QStringLiteral("规则"), QStringLiteral("结束"), QStringLiteral("下次"),
                              QStringLiteral("状态"), QStringLiteral("金额")}};
    for (int32_t i = 0; i < rows.Count(); ++i) {
        const Vorelle_ns::Schedule_st& schedule = rows[i].schedule;
        const QString state = schedule.paused                  ? QStringLiteral("暂停")
                              : rows[i].nextDate.isValid()     ? QStringLiteral("进行中")
                                                               : QStringLiteral("已结束");
        table.append({QString::number(schedule.sn), schedule.userName, schedule.typeName, schedule.expenseName,
                      Vorelle_ns::ScheduleDates_cl::RuleText(schedule), Vorelle_ns::ScheduleDates_cl::EndText(schedule),
                      rows[i].nextDate.toString(Qt::ISODate), state,
                      Vorelle_ns::ConvertInfo_cl::MoneyToText(schedule.expense)});
    }
    Output_cl::Bytes(Output_cl::Table(table, 8).toUtf8());
}

QString ScheduleChangeCommand_cl::Words() const {
    return change == Change_en::Pause ? QStringLiteral("schedule pause") : QStringLiteral("schedule delete");
}

QString ScheduleChangeCommand_cl::Summary() const {
    return change == Change_en::Pause ? QStringLiteral("暂停定期记录（编号见schedule list）")
                                      : QStringLiteral("删除定期记录到回收站（已记账的记录不变）");
}

void ScheduleChangeCommand_cl::Run(Book_cl& book, const QCommandLineParser& parser) const {
    const int32_t sn = ReadPositive(Arguments(parser, 1).first(), QStringLiteral("ID"));
    book.Open();
    Vorelle_ns::ScheduleManage_cl& schedules = Vorelle_ns::DataCore().GetScheduleManage();
    if (change == Change_en::Pause) {
        schedules.SetPaused(sn, true);
        Output_cl::Line(QStringLiteral("已暂停定期记录%1。").arg(sn));
    } else {
        schedules.Delete(sn);
        Output_cl::Line(QStringLiteral("已删除定期记录%1，可以在回收站恢复。").arg(sn));
    }
}

}  // namespace Cli_ns
