// Statement files made to hurt: each is refused with a message naming the file and what is
// wrong, quickly and in little memory, or read exactly as the app writes its texts.
#include "Import/StatementReader.h"
#include "StatementFiles.h"
#include "base/Error.h"

#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace Import_ns;
using namespace StatementFiles_ns;

namespace {

// A zip member: its head, then pieces made one at a time (a member of many megabytes
// never sits in memory whole), then its tail.
struct Member_st {
    const char* name;
    QByteArray head;
    std::function<QByteArray(int64_t)> piece;
    int64_t pieces = 0;
    QByteArray tail;
    bool stored = false;  // not compressed, so that the test can change its bytes
};

void WriteZip(const QString& path, const QList<Member_st>& members) {
    zipFile zip = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    ASSERT_NE(zip, nullptr) << path.toStdString();
    for (const Member_st& member : members) {
        zipOpenNewFileInZip64(zip, member.name, nullptr, nullptr, 0, nullptr, 0, nullptr, member.stored ? 0 : Z_DEFLATED,
                              member.stored ? 0 : 1, 1);
        const auto put = [&](const QByteArray& bytes) { zipWriteInFileInZip(zip, bytes.constData(), unsigned(bytes.size())); };
        put(member.head);
        for (int64_t i = 0; i < member.pieces; ++i) put(member.piece(i));
        put(member.tail);
        zipCloseFileInZip(zip);
    }
    zipClose(zip, nullptr);
}

const Member_st kWorkbook{"xl/workbook.xml", "<workbook><sheets><sheet r:id=\"rId1\" xmlns:r=\"r\"/></sheets></workbook>",
                          {}, 0, {}};

// A workbook of one sheet (its rows written as XML) and, when given, shared strings.
QList<Member_st> Workbook(const QByteArray& rows, const Member_st& extra = {}) {
    QList<Member_st> members = {kWorkbook, {"xl/worksheets/sheet1.xml", "<worksheet><sheetData>" + rows, {}, 0,
                                           "</sheetData></worksheet>"}};
    if (extra.name != nullptr) members.append(extra);
    return members;
}

// Text that compresses about two to one: neither a bomb nor small.
QByteArray Noise(int64_t seed, qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    uint64_t state = uint64_t(seed) * 6364136223846793005u + 1442695040888963407u;
    for (char& byte : bytes) {
        state = state * 6364136223846793005u + 1442695040888963407u;
        byte = "0123456789abcdef"[state >> 60];
    }
    return bytes;
}

// The peak resident memory since the last ResetPeak, in bytes.
void ResetPeak() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    ASSERT_TRUE(clear.open(QIODevice::WriteOnly) && clear.write("5") == 1)
        << "the peak memory of the test cannot be reset through /proc/self/clear_refs";
}

int64_t Status(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field)) return line.mid(qsizetype(strlen(field))).trimmed().split(' ').first().toLongLong() * 1024;
    }
    return -1;
}

struct Refusal_st {
    QString message;
    QString remark;
    int32_t rows = 0;  // trades read before it
};

// Opens the statement and reads every trade, as an import does.
Refusal_st ReadAll(const QString& path, QList<StatementRow_st>* trades = nullptr) {
    Refusal_st result;
    try {
        StatementReader_cl reader(path, StatementKind_en::Auto, BankProfiles_cl::BuiltIn());
        StatementRow_st row;
        while (reader.Next(row)) {
            ++result.rows;
            if (trades != nullptr) trades->append(row);
        }
    } catch (const Base_ns::Error_cl& error) {
        result.message = error.Message();
        result.remark = error.Remark();
    }
    return result;
}

QString AlipayHeader() {
    return QStringLiteral("交易时间,交易分类,交易对方,对方账号,商品说明,收/支,金额,收/付款方式,交易状态,交易订单号,商家订单号,备注,\n");
}

QString AlipayTrade(const QString& time, const QString& amount, const QString& product = QStringLiteral("午餐")) {
    return time + QStringLiteral(",餐饮美食,某餐厅,/,") + product + QStringLiteral(",支出,\"") + amount +
           QStringLiteral("\",余额宝,交易成功,2024010522001\t,M1\t,,\n");
}

class HostileStatementTest : public testing::Test {
protected:
    QTemporaryDir folder;
    QString Path(const char* name) const { return folder.filePath(QString::fromUtf8(name)); }
};

}  // namespace

// Workbooks past a bound or damaged: refused naming the file, the part and the row where
// there is one, after reading little and holding little (the peak memory of the reading is
// measured, not its time).

// What a refusal may cost. The address sanitizer shadows every byte and keeps what was
// freed in quarantine, so its builds get more room; the files refused took gigabytes before.
#if defined(__SANITIZE_ADDRESS__)
constexpr int64_t kPeakBound = int64_t(640) << 20;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr int64_t kPeakBound = int64_t(640) << 20;
#else
constexpr int64_t kPeakBound = int64_t(96) << 20;
#endif
#else
constexpr int64_t kPeakBound = int64_t(96) << 20;
#endif

TEST_F(HostileStatementTest, WorkbooksPastTheBoundsAreRefusedInLittleMemory) {
    const QByteArray spaces(1 << 20, ' ');
    const struct {
        const char* what;
        QList<Member_st> members;
        const char* message;
        const char* where;  // in the remark, besides the file's name
    } cases[] = {
        {"column AAAAAAA", Workbook("<row r=\"2\"><c r=\"AAAAAAA2\" t=\"inlineStr\"><is><t>x</t></is></c></row>"),
         "超过256列", "第2行：AAAAAAA2"},
        {"twelve letters", Workbook("<row r=\"1\"><c r=\"AAAAAAAAAAAA1\"><v>1</v></c></row>"), "超过256列", "第1行"},
        {"column 257", Workbook("<row r=\"1\"><c r=\"IW1\"><v>1</v></c></row>"), "超过256列", "第1行：IW1"},
        {"cells out of order", Workbook("<row r=\"1\"><c r=\"C1\"><v>1</v></c><c r=\"B1\"><v>1</v></c></row>"),
         "单元格位置不正确", "第1行：B1"},
        {"a cell of 40000 characters",
         Workbook("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>" + QByteArray(40000, 'x') + "</t></is></c></row>"),
         "超过32767个字", "第1行"},
        {"16 MB of spaces",
         {kWorkbook, {"xl/worksheets/sheet1.xml", "<worksheet><sheetData>", [&](int64_t) { return spaces; }, 16,
                      "</sheetData></worksheet>"}},
         "压缩比例异常", "sheet1.xml"},
        {"65 MB that compress two to one",
         {kWorkbook, {"xl/worksheets/sheet1.xml", "<worksheet>",
                      [](int64_t i) { return "<x>" + Noise(i, 1 << 16) + "</x>"; }, 1040, "<sheetData/></worksheet>"}},
         "超过64MB", "sheet1.xml"},
        {"500001 shared strings",
         Workbook("", {"xl/sharedStrings.xml", "<sst>",
                       [](int64_t i) { return "<si><t>" + QByteArray::number(i * 7919) + "</t></si>"; }, 500001, "</sst>"}),
         "共享文字超过", "sharedStrings.xml"},
        {"70000 cell formats",
         Workbook("", {"xl/styles.xml", "<styleSheet><cellXfs>",
                       [](int64_t i) { return "<xf numFmtId=\"" + QByteArray::number(i % 200) + "\"/>"; }, 70000,
                       "</cellXfs></styleSheet>"}),
         "单元格格式超过", "styles.xml"},
        {"broken XML in row 3",
         Workbook("<row r=\"1\"><c r=\"A1\"><v>1</v></c></row><row r=\"2\"/><row r=\"3\"><c r=\"A3\"><v>1</v></row>"),
         "无法读取工作表", "第3行"},
        {"rows without numbers, broken in the third",
         Workbook("<row><c><v>1</v></c></row><row/><row><c><v>1</v></c></x></row>"), "无法读取工作表", "第3行"},
        {"NUL in a cell", Workbook("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>a&#0;b</t></is></c></row>"),
         "无法读取工作表", "第1行"},
        {"rows going back", Workbook("<row r=\"5\"/><row r=\"3\"/>"), "行号不正确", "第5行之后：3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = Path("账单.xlsx");
        QFile::remove(path);
        WriteZip(path, c.members);
        ResetPeak();
        const int64_t before = Status("VmRSS:");
        const Refusal_st refusal = ReadAll(path);
        const int64_t peak = Status("VmHWM:");
        EXPECT_TRUE(refusal.message.contains(QString::fromUtf8(c.message))) << refusal.message.toStdString();
        EXPECT_TRUE(refusal.remark.contains(path)) << refusal.remark.toStdString();
        EXPECT_TRUE(refusal.remark.contains(QString::fromUtf8(c.where))) << refusal.remark.toStdString();
        EXPECT_LT(refusal.remark.size(), 200) << refusal.remark.toStdString();
        ASSERT_GT(before, 0) << "/proc/self/status shows no resident memory";
        EXPECT_LT(peak - before, kPeakBound) << "peak memory grew by " << (peak - before) / 1024 << " KiB";
    }
}

// A member changed after it was packed (1.00 made 7.00) reads to its end, where the
// checksum does not match: the statement is refused, not booked with the wrong amount.
TEST_F(HostileStatementTest, AMemberWhoseChecksumDoesNotMatchIsRefused) {
    const QString path = Path("微信.xlsx");
    QByteArray rows;
    for (const QList<QString>& row : QList<QList<QString>>{
             {"交易时间", "交易类型", "交易对方", "商品", "收/支", "金额(元)", "支付方式", "当前状态", "交易单号"},
             {"2024-01-03 08:00:00", "商户消费", "早餐店", "包子", "支出", "1.00", "零钱", "支付成功", "4200001"}}) {
        rows += "<row>";
        for (const QString& cell : row) rows += "<c t=\"inlineStr\"><is><t>" + cell.toUtf8() + "</t></is></c>";
        rows += "</row>";
    }
    QList<Member_st> members = Workbook(rows);
    members[1].stored = true;
    WriteZip(path, members);
    QList<StatementRow_st> trades;
    ASSERT_EQ(ReadAll(path, &trades).message, QString());
    ASSERT_EQ(trades.size(), 1);
    EXPECT_EQ(trades[0].amount, 100);

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    ASSERT_EQ(bytes.count("<t>1.00</t>"), 1);
    bytes.replace("<t>1.00</t>", "<t>7.00</t>");
    file.seek(0);
    file.write(bytes);
    file.close();
    const Refusal_st refusal = ReadAll(path);
    EXPECT_TRUE(refusal.message.contains(QStringLiteral("校验和不一致"))) << refusal.message.toStdString();
    EXPECT_TRUE(refusal.remark.contains(path + QStringLiteral("：xl/worksheets/sheet1.xml")));
}

// Statement CSV files made to hurt: a quote left open over 100000 lines is read once and
// named where it opened, with a few dozen characters of its text; a NUL or a line of
// megabytes is refused naming its line.
TEST_F(HostileStatementTest, CsvFilesAreRefusedNamingTheLineWithShortText) {
    QString rest;
    for (int i = 0; i < 100000; ++i) rest += AlipayTrade(QStringLiteral("2024-01-05 12:00:00"), QStringLiteral("1.00"));
    const struct {
        const char* what;
        QString text;
        const char* message;
        const char* remark;
    } cases[] = {
        {"unclosed quote", AlipayHeader() + AlipayTrade("2024-01-05 12:00:00", "1.00") + "2024-01-06 12:00:00,\"餐饮\n" + rest,
         "引号没有结束", "：第3行：\"餐饮"},
        {"NUL in a product", AlipayHeader() + AlipayTrade("2024-01-05 12:00:00", "1.00", QString::fromUtf16(u"a\0b", 3)),
         "含有空字符", "：第2行"},
        {"two megabytes without a line break", AlipayHeader() + QString(2 << 20, u'x'), "一行超过1MB", "：第2行"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = Path("账单.csv");
        Write(path, c.text.toUtf8());
        const Refusal_st refusal = ReadAll(path);
        EXPECT_TRUE(refusal.message.contains(QString::fromUtf8(c.message))) << refusal.message.toStdString();
        EXPECT_TRUE(refusal.remark.startsWith(path + QString::fromUtf8(c.remark))) << refusal.remark.toStdString();
        EXPECT_LT(refusal.remark.size(), path.size() + 60) << refusal.remark.toStdString();
    }
}

// Times and amounts only in the form the apps write them: anything else refuses the file
// naming the line and the text, never read as something else or rounded.
TEST_F(HostileStatementTest, OddTimesAndAmountsAreRefusedNamingTheLine) {
    const struct {
        const char* time;
        const char* amount;
        int64_t read;         // in cents, when taken
        const char* refusal;  // the remark, when refused
    } cases[] = {
        {"2024-01-05 12:00:00", "¥ 12.00", 1200, nullptr},
        {"2024-01-05 12:00:00", "1,234.50", 123450, nullptr},
        {"2024-01-05 12:00:00", "12.500", 1250, nullptr},
        {"2024-01-05 12:00:00", "-¥12.00", 1200, nullptr},
        {"45000", "1.00", 0, "第2行：45000"},
        {"45000.5", "1.00", 0, "第2行：45000.5"},
        {"2024-01-05 12:00:00", "¥ 1 2.00", 0, "第2行：¥ 1 2.00"},
        {"2024-01-05 12:00:00", "1.005", 0, "第2行：1.005"},
        {"2024-01-05 12:00:00", "1,2.00", 0, "第2行：1,2.00"},
        {"2024-01-05 12:00:00", "12,3456.00", 0, "第2行：12,3456.00"},
        {"2024-01-05 12:00:00", "¥-¥5", 0, "第2行：¥-¥5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.time) + " " + c.amount);
        const QString path = Path("账单.csv");
        Write(path, (AlipayHeader() + AlipayTrade(QString::fromUtf8(c.time), QString::fromUtf8(c.amount))).toUtf8());
        QList<StatementRow_st> trades;
        const Refusal_st refusal = ReadAll(path, &trades);
        EXPECT_EQ(refusal.remark, c.refusal == nullptr ? QString() : QString::fromUtf8(c.refusal));
        EXPECT_EQ(trades.size(), c.refusal == nullptr ? 1 : 0);
        if (!trades.isEmpty()) {
            EXPECT_EQ(trades[0].amount, c.read);
        }
    }
}

// A workbook's time is a number in a date format; the same number as text, or without
// a date format, is no time.
TEST_F(HostileStatementTest, AWorkbookTimeIsANumberInADateFormat) {
    const QStringList header = {"交易时间", "交易分类", "交易对方", "商品说明", "收/支", "金额", "交易状态", "交易订单号"};
    const struct {
        const char* time;
        const char* read;  // the time taken, or the remark of the refusal
    } cases[] = {{"#d:45294.5", "2024-01-03 12:00:00"}, {"45294.5", "第2行：45294.5"}, {"#n:45294.5", "第2行：45294.5"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.time);
        const QString path = Path("账单.xlsx");
        QFile::remove(path);
        WriteXlsx(path, {header, {c.time, "餐饮美食", "某餐厅", "午餐", "支出", "#n:12.5", "交易成功", "2024001"}});
        QList<StatementRow_st> trades;
        const Refusal_st refusal = ReadAll(path, &trades);
        EXPECT_EQ(trades.isEmpty() ? refusal.remark : trades[0].time.Format(), QString::fromUtf8(c.read));
    }
}
