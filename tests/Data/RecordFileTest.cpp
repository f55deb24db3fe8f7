#include "Data/RecordFile.h"
#include "Data/RecordFileReader.h"
#include "FinanceFixture.h"

#include <QFile>
#include <QStringEncoder>

using Vorelle_ns::RecordFile_cl;
using Encoding_en = IO_ns::CSVStream_cl::Encoding_en;

namespace {

const QString kHeader = QStringLiteral("日期,分类,费用名称,金额,用户,类别,注释\r\n");

// One entry line with the given cells put over a good expense of admin's.
QString Line(std::initializer_list<std::pair<int, QString>> changes = {}) {
    QStringList cells = {"2024-05-01", "餐饮", "午饭", "-12.5", "admin", "月开销", ""};
    for (const auto& [column, text] : changes) cells[column] = text;
    return cells.join(u',') + QStringLiteral("\r\n");
}

enum class Form_en { Gbk, Utf8, Utf8Mark };

QByteArray Bytes(const QString& text, Form_en form) {
    if (form == Form_en::Gbk) return QStringEncoder("GB18030")(text);
    return (form == Form_en::Utf8Mark ? QByteArray("\xEF\xBB\xBF") : QByteArray()) + text.toUtf8();
}

class RecordFileTest : public FinanceTest {
protected:
    QString Put(const QByteArray& bytes) {
        const QString path = app.Path() + QStringLiteral("导入.csv");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return path;
    }
};

}  // namespace

// What a household's file holds, and how many entries it books or the refusal with its line;
// a refused file books nothing.
TEST_F(RecordFileTest, ImportsForeignFilesOrNamesTheLineAtFault) {
    const QString big = QStringLiteral("21474836.47");
    const QString kFamily = QString::fromUtf8("👨‍👩‍👧‍👦");  // one on screen, seven characters
    const struct {
        const char* what;
        QString text;
        Form_en form;
        int32_t booked;
        QString refusal;  // message, then the remark after "|"
    } rows[] = {
        {"UTF-8 with mark", kHeader + Line(), Form_en::Utf8Mark, 1, {}},
        {"UTF-8 without mark", kHeader + Line() + Line({{1, "生日🎂"}}), Form_en::Utf8, 2, {}},
        {"GBK", kHeader + Line(), Form_en::Gbk, 1, {}},
        {"blank lines", kHeader + "\r\n" + Line() + "\r\n\r\n", Form_en::Gbk, 1, {}},
        {"quotes inside a cell", kHeader + Line({{2, "5\"屏幕\"显示器"}}), Form_en::Gbk, 1, {}},
        {"category of 16", kHeader + Line({{1, QString(16, u'类')}}), Form_en::Gbk, 1, {}},
        {"category of 16 with an emoji", kHeader + Line({{1, QString(15, u'类') + "🎂"}}), Form_en::Utf8, 1, {}},
        {"time of day", kHeader + Line({{0, "2024/02/01 08:30"}}), Form_en::Gbk, 1, {}},
        {"category of 17", kHeader + Line({{1, QString(17, u'类')}}), Form_en::Gbk, 0,
         "CSV文件内容不正确，分类过长，最多16个字（组合成的表情按其中的每个字计算）。|第2行"},
        {"name of two family emoji", kHeader + Line({{2, kFamily + kFamily}}), Form_en::Utf8, 1, {}},
        {"name of sixteen family emoji", kHeader + Line() + Line({{2, kFamily.repeated(16)}}), Form_en::Utf8, 0,
         "CSV文件内容不正确，费用名称过长，最多16个字（组合成的表情按其中的每个字计算）。|第3行"},
        {"text after a closing quote", kHeader + Line() + Line({{2, "\"ab\"cd"}}), Form_en::Gbk, 0,
         "CSV格式数据不正确，引号结束后还有文字。|第3行"},
        {"unclosed quote", kHeader + Line() + Line({{2, "\"午饭"}}) + Line(), Form_en::Gbk, 0,
         "CSV格式数据不正确，引号没有结束。|第3行"},
        {"NUL byte", kHeader + Line({{6, QString(QChar(0))}}), Form_en::Gbk, 0, "CSV格式数据不正确，含有空字符。|第2行"},
        {"short line", kHeader + Line() + "2024-05-01,餐饮\r\n", Form_en::Gbk, 0,
         "CSV格式数据不正确，这一行的列数比第一行少。|第3行"},
        {"amount too large", kHeader + Line({{3, "-99999999.99"}}), Form_en::Gbk, 0,
         "CSV文件内容不正确，金额太大，最多为21474836.47。|第2行"},
        {"apostrophe in the user", kHeader + Line({{4, "ad'min"}}), Form_en::Gbk, 0,
         "CSV文件内容不正确，有非法字符。|第2行"},
        {"unknown user", kHeader + Line() + Line({{4, "没这人"}}), Form_en::Gbk, 0, "该用户名没有注册。|没这人\r\n第3行"},
        {"balance overflow", kHeader + Line({{3, big}, {5, "月收入"}}) + "\n" + Line({{3, big}, {5, "月收入"}}),
         Form_en::Gbk, 0, "金额不正确，金额和记入后的余额应在-21474836.48与21474836.47之间。|第4行"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const QString path = Put(Bytes(row.text, row.form));
        const Raised_st raised = Raise([&] {
            Vorelle_ns::RecordFileReader_cl reader(path);
            records.ImportRecords([&reader](Vorelle_ns::RecordInfo_st& record) { return reader.Next(record); });
        });
        EXPECT_EQ(raised.raised ? raised.message + u'|' + raised.remark : QString(), row.refusal);
        EXPECT_FALSE(raised.system);
        EXPECT_EQ(Count(QStringLiteral("zorb_record")), row.booked);
        (void)Database().ExecuteNoRecords(QStringLiteral("delete from zorb_record"));
        (void)Database().ExecuteNoRecords(QStringLiteral("update zorb_user set single_account = 0, public_account = 0"));
    }
}

// An export read again gives the same entries, times of day included; text GBK cannot hold
// is refused naming its line and leaves the earlier file, or is written in UTF-8.
TEST_F(RecordFileTest, ExportReadsBackOrRefusesNamingTheEntry) {
    const struct {
        QString comment;
        Encoding_en encoding;
        QString refusal;
    } rows[] = {
        {QStringLiteral("他说\"好\",\n第二行"), Encoding_en::Gbk, {}},
        {QStringLiteral("生日🎂"), Encoding_en::Utf8, {}},
        {QStringLiteral("生日🎂"), Encoding_en::Gbk, "有GBK编码无法表示的文字，请改用UTF-8编码导出。|第3行：生日🎂"},
    };
    for (const auto& row : rows) {
        Base_ns::Trusteeship_tl<Vorelle_ns::RecordRow_st> entries;
        entries.Allocate(2);
        entries[0] = {1, Time("2024-02-01 08:30:00"), "餐饮", "午饭", -1250, "admin", 0, "普通"};
        entries[1] = {2, Time("2024-02-02"), "工资", "", 880000, "admin", 1, row.comment};
        const QString path = Put("earlier");
        const Raised_st raised = Raise([&] { RecordFile_cl::Write(path, entries, row.encoding); });
        EXPECT_EQ(raised.raised ? raised.message + u'|' + raised.remark : QString(), row.refusal);
        if (raised.raised) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_EQ(file.readAll(), QByteArray("earlier"));
            continue;
        }
        Vorelle_ns::RecordFileReader_cl reader(path);
        for (int32_t i = 0; i < 2; ++i) {
            Vorelle_ns::RecordInfo_st entry;
            ASSERT_TRUE(reader.Next(entry));
            EXPECT_EQ(entry.recordTime, entries[i].recordTime);
            EXPECT_EQ(entry.comment, entries[i].comment);
            EXPECT_EQ(entry.expense, entries[i].expense);
            EXPECT_EQ(entry.line, 2 + i);
        }
    }
}
