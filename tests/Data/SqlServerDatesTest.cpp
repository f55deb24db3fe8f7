// The SQL Server statements' date conversions, checked without a SQL Server: the data
// layer works on a book of the test server while every statement it sends is recorded;
// each convert(type, date, style), datename and datepart in them is then worked out as SQL
// Server's documented styles and parts give it, checked to be the text the program reads
// back, and compared with what the same expression gives through the translation.
#include "DB/ADODatabase.h"
#include "Data/Budget.h"
#include "FinanceFixture.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QSet>

namespace {

struct Call_st {
    QString name;  // lower case
    QStringList arguments;
};

// The calls of the date functions in sql, outside quoted texts, with their arguments as
// written.
QList<Call_st> DateCalls(const QString& sql) {
    static const QRegularExpression call(QStringLiteral("\\b(convert|datename|datepart)\\s*\\("),
                                         QRegularExpression::CaseInsensitiveOption);
    QList<Call_st> calls;
    bool quoted = false;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        if (sql[i] == u'\'') quoted = !quoted;
        const QRegularExpressionMatch match = call.match(sql, i, QRegularExpression::NormalMatch,
                                                         QRegularExpression::AnchorAtOffsetMatchOption);
        if (quoted || !match.hasMatch()) continue;
        Call_st found{match.captured(1).toLower(), {}};
        int depth = 0;
        bool inText = false;
        qsizetype start = match.capturedEnd();
        for (qsizetype j = start; j < sql.size(); ++j) {
            const QChar c = sql[j];
            if (c == u'\'') inText = !inText;
            if (inText) continue;
            if (c == u'(') ++depth;
            if ((c == u',' || c == u')') && depth == 0) {
                found.arguments.append(sql.mid(start, j - start).trimmed());
                start = j + 1;
                if (c == u')') break;
            }
            if (c == u')') --depth;
        }
        calls.append(found);
    }
    return calls;
}

// The text SQL Server's convert gives for a datetime in style, before it is fitted to the
// type; empty for a style that names months or halves of the day in the session's
// language, or that is none of the documented date styles.
QString StyleText(int style, const QDateTime& t) {
    static const QHash<int, const char*> formats = {
        {1, "MM/dd/yy"},   {101, "MM/dd/yyyy"}, {2, "yy.MM.dd"},   {102, "yyyy.MM.dd"}, {3, "dd/MM/yy"},
        {103, "dd/MM/yyyy"}, {4, "dd.MM.yy"},  {104, "dd.MM.yyyy"}, {5, "dd-MM-yy"},   {105, "dd-MM-yyyy"},
        {8, "HH:mm:ss"},   {24, "HH:mm:ss"},    {108, "HH:mm:ss"},   {10, "MM-dd-yy"},   {110, "MM-dd-yyyy"},
        {11, "yy/MM/dd"},  {111, "yyyy/MM/dd"}, {12, "yyMMdd"},      {112, "yyyyMMdd"},  {14, "HH:mm:ss:zzz"},
        {114, "HH:mm:ss:zzz"}, {20, "yyyy-MM-dd HH:mm:ss"}, {120, "yyyy-MM-dd HH:mm:ss"},
        {21, "yyyy-MM-dd HH:mm:ss.zzz"}, {25, "yyyy-MM-dd HH:mm:ss.zzz"}, {121, "yyyy-MM-dd HH:mm:ss.zzz"},
        {23, "yyyy-MM-dd"}};
    if (style == 126)  // milliseconds only when there are some
        return t.toString(t.time().msec() == 0 ? "yyyy-MM-dd'T'HH:mm:ss" : "yyyy-MM-dd'T'HH:mm:ss.zzz");
    const auto format = formats.constFind(style);
    return format == formats.cend() ? QString() : t.toString(QString::fromLatin1(format.value()));
}

// convert(type, t, style) on SQL Server: the style's text cut to the type's length (30
// without one), a fixed-length type filled with blanks.
QString Converted(const QString& type, const QDateTime& t, int style) {
    QString text = StyleText(style, t);
    if (text.isEmpty()) return QString();
    static const QRegularExpression shape(QStringLiteral("^(n?)(var)?char\\s*(\\(\\s*(\\d+)\\s*\\))?$"),
                                          QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = shape.match(type);
    if (!match.hasMatch()) return QString();
    const int length = match.captured(4).isEmpty() ? 30 : match.captured(4).toInt();
    text.truncate(length);
    return match.captured(2).isEmpty() ? text.leftJustified(length, u' ') : text;
}

// datename(part, t) and datepart(part, t) on SQL Server, as text; empty for the month and
// weekday, named in the session's language.
QString Part(const QString& part, const QDateTime& t) {
    const QString p = part.toLower();
    const QDate d = t.date();
    const QTime h = t.time();
    int value = -1;
    if (p == u"year" || p == u"yyyy" || p == u"yy") value = d.year();
    if (p == u"quarter" || p == u"qq" || p == u"q") value = (d.month() + 2) / 3;
    if (p == u"dayofyear" || p == u"dy" || p == u"y") value = d.dayOfYear();
    if (p == u"day" || p == u"dd" || p == u"d") value = d.day();
    if (p == u"hour" || p == u"hh") value = h.hour();
    if (p == u"minute" || p == u"mi" || p == u"n") value = h.minute();
    if (p == u"second" || p == u"ss" || p == u"s") value = h.second();
    return value < 0 ? QString() : QString::number(value);
}

class SqlServerDates : public FinanceTest {
protected:
    bool OnServer() const override { return true; }

    // What the statement's expression gives on the book's server, or the error it raises.
    QString OnTestServer(const QString& expression) {
        try {
            return Text(QStringLiteral("select ") + expression);
        } catch (const Base_ns::Error_cl& error) {
            return QStringLiteral("<refused: ") + error.Remark().section(u'\n', 0, 2) + u'>';
        }
    }
};

TEST_F(SqlServerDates, EveryDateConversionTheProgramSendsGivesOnSqlServerWhatTheTranslationGives) {
    const char* const times[] = {"2023-12-31 23:59:59", "2024-01-05 09:03:07", "2024-02-29 12:00:00", "1999-10-01 00:30:05"};
    QStringList sent;
    DB_ns::ADODatabase_cl::RecordStatements(&sent);
    for (const char* time : times) {
        records.AddRecord("饮食", "", -1250, "", Time(time), 0);
        records.AddRecord("工资", "", 500000, "", Time(time), 1);
    }
    Vorelle_ns::Budget_cl budget(users);
    budget.SetTypePlan("饮食", 100000);
    // A statement the translation refuses is recorded all the same, and judged below.
    (void)Raise([&] { (void)records.GetMonthCrosstab(true, "", Time("1999-01-01"), Time("2024-12-31 23:59:59")); });
    (void)Raise([&] { (void)records.GetYearCrosstab(true, ""); });
    (void)Raise([&] { (void)records.GetTypeSums(true, "", Time("2024-01-01"), Time("2024-12-31 23:59:59")); });
    (void)Raise([&] { (void)records.GetRecords(true, "", Time("2024-01-01"), Time("2024-12-31 23:59:59")); });
    (void)Raise([&] { (void)budget.GetMonth(2024, 2); });
    (void)Raise([&] { (void)budget.GetYear(2024); });
    DB_ns::ADODatabase_cl::RecordStatements(nullptr);

    // Each expression once, its date argument left out: that is where the samples go.
    QSet<QString> seen;
    for (const QString& sql : sent) {
        for (const Call_st& call : DateCalls(sql)) {
            const bool converts = call.name == u"convert";
            if (call.arguments.size() != (converts ? 3 : 2)) continue;  // a convert without a style is a cast
            const QString key = call.name + u'|' + call.arguments[0] + u'|' + call.arguments.value(2);
            if (seen.contains(key)) continue;
            seen.insert(key);
            for (const char* time : times) {
                const QDateTime t = QDateTime::fromString(QString::fromLatin1(time), "yyyy-MM-dd HH:mm:ss");
                const QString sample = QStringLiteral("cast('%1' as datetime)").arg(QString::fromLatin1(time));
                const QString expression =
                    converts ? QStringLiteral("convert(%1, %2, %3)").arg(call.arguments[0], sample, call.arguments[2])
                             : QStringLiteral("%1(%2, %3)").arg(call.name, call.arguments[0], sample);
                const QString onSqlServer =
                    converts ? Converted(call.arguments[0], t, call.arguments[2].toInt()) : Part(call.arguments[0], t);
                EXPECT_FALSE(onSqlServer.isEmpty())
                    << expression.toStdString() << ": no documented SQL Server text that is the same in every language";
                // The program reads a date text back as a leading part of the ISO form
                // (a month "2024-01", a year "2024").
                EXPECT_TRUE(QString::fromLatin1(time).startsWith(onSqlServer))
                    << expression.toStdString() << " gives \"" << onSqlServer.toStdString() << "\" on SQL Server";
                EXPECT_EQ(OnTestServer(expression), onSqlServer) << expression.toStdString() << "\n  in: " << sql.toStdString();
            }
        }
    }
    // The reports and budgets now bound their periods by dates and send no conversion; any
    // that comes back is checked above.
    EXPECT_FALSE(sent.isEmpty()) << "no statement was recorded";
}

}  // namespace
