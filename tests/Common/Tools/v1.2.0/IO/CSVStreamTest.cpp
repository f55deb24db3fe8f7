#include "IO/CSVStream.h"
#include "IO/FileStream.h"
#include "IO/IOError.h"
#include "MemoryContainer.h"
#include "base/SysError.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using IO_ns::CSVStream_cl;

namespace {

// The message and remark of the error that action raises.
template <typename Action>
QString Raised(Action action) {
    try {
        action();
    } catch (const Base_ns::Error_cl& error) {
        EXPECT_EQ(error.ClassName(), QStringLiteral("CSVStream_cl"));
        if (error.IsSystem() || error.Remark().isEmpty()) return error.Message();
        return error.Message() + u'|' + error.Remark();
    }
    return QStringLiteral("<nothing raised>");
}

// Writes rows of cells, each row as many cells as the first.
QByteArray Written(const QList<QStringList>& rows,
                   CSVStream_cl::Encoding_en encoding = CSVStream_cl::Encoding_en::Gbk) {
    MemoryContainer_cl memory;
    CSVStream_cl stream(memory);
    stream.SetEncoding(encoding);
    stream.SetColumnCount(int32_t(rows.first().size()));
    for (const QStringList& row : rows)
        for (const QString& cell : row) stream.WriteCell(cell);
    return memory.bytes;
}

// Reads every cell there is.
QStringList ReadAll(const QByteArray& bytes) {
    MemoryContainer_cl memory(bytes);
    CSVStream_cl stream(memory);
    QStringList cells;
    QString cell;
    while (stream.TryReadCell(cell)) cells.append(cell);
    return cells;
}

}  // namespace

TEST(CSVStream, QuotesCommasAndDoubleQuotesOnOneLine) {
    EXPECT_EQ(Written({{QStringLiteral("plain"), QStringLiteral("a,b"), QStringLiteral("say \"hi\"")}}),
              QByteArray("plain,\"a,b\",\"say \"\"hi\"\"\"\r\n"));
}

TEST(CSVStream, CellsWithLineBreaksAreQuoted) {
    EXPECT_EQ(Written({{QStringLiteral("a\nb"), QStringLiteral("c\r\nd")}}), QByteArray("\"a\nb\",\"c\r\nd\"\r\n"));
}

TEST(CSVStream, ChineseTextIsStoredInCodePage936OrUtf8WithByteOrderMark) {
    EXPECT_EQ(Written({{QStringLiteral("中文"), QStringLiteral("€5")}}), QByteArray("\xD6\xD0\xCE\xC4,\x80" "5\r\n"));
    EXPECT_EQ(Written({{QStringLiteral("生日🎂"), QStringLiteral("x")}}, CSVStream_cl::Encoding_en::Utf8),
              QByteArray("\xEF\xBB\xBF生日🎂,x\r\n"));
}

// Text GBK cannot hold is refused with its line, never written as "?".
TEST(CSVStream, TextTheEncodingCannotHoldIsRefusedNamingItsLine) {
    MemoryContainer_cl memory;
    CSVStream_cl stream(memory);
    stream.SetColumnCount(2);
    for (const char* cell : {"a", "多\n行", "b", "c"}) stream.WriteCell(QString::fromUtf8(cell));
    EXPECT_EQ(Raised([&] { stream.WriteCell(QStringLiteral("生日🎂")); }),
              QStringLiteral("有GBK编码无法表示的文字，请改用UTF-8编码导出。|第4行：生日🎂"));
    CSVStream_cl utf8(memory);
    utf8.SetEncoding(CSVStream_cl::Encoding_en::Utf8);
    utf8.SetColumnCount(1);
    EXPECT_EQ(Raised([&] { utf8.WriteCell(QString(QChar(0xD83C))); }), QStringLiteral("有残缺的文字，无法保存。|第1行：") + QChar(0xD83C));
}

TEST(CSVStream, RoundTripsAwkwardTexts) {
    const QList<QStringList> rows = {
        {QStringLiteral("日期"), QStringLiteral("注释"), QStringLiteral("金额")},
        {QStringLiteral("2008-03-05"), QStringLiteral("买菜,水果"), QStringLiteral("-12.50")},
        {QStringLiteral("\"\"\""), QStringLiteral("第一行\r\n第二行\n第三行"), QString()},
        {QStringLiteral("他说\"好\""), QString(3000, u'长'), QStringLiteral(",")},
    };
    QStringList cells;
    for (const QStringList& row : rows) cells += row;
    EXPECT_EQ(ReadAll(Written(rows)), cells);
    QList<QStringList> utf8 = rows;
    utf8.append({QStringLiteral("生日🎂"), QStringLiteral("5\"屏幕\"显示器"), QStringLiteral("\"ab\"cd")});
    cells += utf8.last();
    EXPECT_EQ(ReadAll(Written(utf8, CSVStream_cl::Encoding_en::Utf8)), cells);
    // An empty cell alone on its row is not a blank line.
    EXPECT_EQ(ReadAll(Written({{"a"}, {""}, {"b"}})), (QStringList{"a", "", "b"}));
}

// What a file holds, and the cells read from it or the refusal with its line.
TEST(CSVStream, ReadsForeignFilesOrNamesTheLineAtFault) {
    const struct {
        QByteArray bytes;
        QStringList cells;
        QString refusal;
    } rows[] = {
        {"a,b\r\n5\"\xC6\xC1\xC4\xBB\"x,c\"d\r\n", {"a", "b", "5\"屏幕\"x", "c\"d"}, {}},
        {"a,b\r\n\r\nc,d\r\n\r\n\n", {"a", "b", "c", "d"}, {}},
        {"\n\na,b\nc,d", {"a", "b", "c", "d"}, {}},
        {"a\rb,c\r\n", {"a\rb", "c"}, {}},
        {"\xEF\xBB\xBF\xE4\xB8\xAD,x\r\n", {"中", "x"}, {}},
        {"x,y\r\n\xE4\xB8\xAD\xE6\x96\x87,z\r\n", {"x", "y", "中文", "z"}, {}},
        {"x,y\r\n\xD6\xD0\xCE\xC4,z\r\n", {"x", "y", "中文", "z"}, {}},
        {"x,y\r\n\xEF\xBB\xBF\xE4\xB8\xAD,z\r\n", {"x", "y", QChar(0xFEFF) + QStringLiteral("中"), "z"}, {}},
        {"a,b\r\n\"ab\"cd,e\r\n", {}, "CSV格式数据不正确，引号结束后还有文字。|第2行"},
        {"a,b\r\nc,\"d\r\ne,f\r\n", {}, "CSV格式数据不正确，引号没有结束。|第2行"},
        {"a,b\r\nc,\"d", {}, "CSV格式数据不正确，引号没有结束。|第2行"},
        {QByteArray("a,b\r\nc,d\0e\r\n", 13), {}, "CSV格式数据不正确，含有空字符。|第2行"},
        {"a,b\r\n1,2,3\r\n", {}, "CSV格式数据不正确，这一行的列数比第一行多。|第2行"},
        {"a,b\r\n\"x\ny\",z\r\n\n1\r\n", {}, "CSV格式数据不正确，这一行的列数比第一行少。|第5行"},
        {"a,b\r\n1", {}, "CSV格式数据不正确，这一行的列数比第一行少。|第2行"},
    };
    for (const auto& row : rows) {
        QStringList cells;
        const QString refusal = Raised([&] { cells = ReadAll(row.bytes); });
        EXPECT_EQ(cells, row.refusal.isEmpty() ? row.cells : QStringList()) << row.bytes.toStdString();
        EXPECT_EQ(refusal, row.refusal.isEmpty() ? QStringLiteral("<nothing raised>") : row.refusal)
            << row.bytes.toStdString();
    }
}

TEST(CSVStream, CountsColumnsOnTheFirstLineOutsideQuotes) {
    MemoryContainer_cl memory(QByteArray("a,\"b,c\",\"d\ne\"\r\n1,2,3\r\n"));
    CSVStream_cl stream(memory);
    EXPECT_EQ(stream.ColumnCount(), 3);
    EXPECT_EQ(memory.GetPosition(), 0);
    EXPECT_EQ(stream.ReadCell(), QStringLiteral("a"));
    EXPECT_EQ(stream.ReadCell(), QStringLiteral("b,c"));
    EXPECT_EQ(stream.ReadCell(), QStringLiteral("d\ne"));
}

TEST(CSVStream, LineEndsWithAndWithoutCarriageReturnReadTheSame) {
    EXPECT_EQ(ReadAll("a,b\r\nc,d\r\n"), ReadAll("a,b\nc,d\n"));
    EXPECT_EQ(ReadAll("a,b\nc,d\n"), (QStringList{"a", "b", "c", "d"}));
}

// Files written by other programs often stop without a final line break; their last
// cell is still data.
TEST(CSVStream, LastLineWithoutLineBreakKeepsItsLastCell) {
    EXPECT_EQ(ReadAll("a,b\r\nc,d"), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(ReadAll("a,b\r\nc,"), (QStringList{"a", "b", "c", ""}));
    MemoryContainer_cl memory(QByteArray("x,y,z"));
    CSVStream_cl stream(memory);
    EXPECT_EQ(stream.ColumnCount(), 3);
}

TEST(CSVStream, EmptyDataHasNoCell) {
    MemoryContainer_cl memory;
    CSVStream_cl stream(memory);
    QString cell;
    EXPECT_FALSE(stream.TryReadCell(cell));
    EXPECT_EQ(Raised([&] { stream.ReadCell(); }), QStringLiteral("无数据可读。"));
}

TEST(CSVStream, BytesOutsideTheCodePageReadAsReplacementCharacters) {
    EXPECT_EQ(ReadAll("\xD6\xD0\xFF\n"), QStringList{QStringLiteral("中\uFFFD")});
}

TEST(CSVStream, ColumnCountRules) {
    MemoryContainer_cl memory;
    CSVStream_cl stream(memory);
    EXPECT_EQ(Raised([&] { stream.WriteCell(QStringLiteral("a")); }), QStringLiteral("没有设置列数量。"));
    EXPECT_EQ(Raised([&] { stream.SetColumnCount(-1); }), QStringLiteral("错误的列数量。"));
    stream.SetColumnCount(0);
    EXPECT_EQ(Raised([&] { stream.SetColumnCount(2); }), QStringLiteral("只能在写数据之初设置一次列数量。"));
    EXPECT_EQ(Raised([&] { stream.WriteCell(QStringLiteral("a")); }), QStringLiteral("列数量为零时无法写入数据。"));
    EXPECT_TRUE(memory.bytes.isEmpty());
}

TEST(CSVStream, FullContainerRaisesWriteError) {
    MemoryContainer_cl memory({}, 3);
    CSVStream_cl stream(memory);
    stream.SetColumnCount(2);
    stream.WriteCell(QStringLiteral("ab"));
    EXPECT_EQ(Raised([&] { stream.WriteCell(QStringLiteral("c")); }), QStringLiteral("写数据失败。"));
}

TEST(CSVStream, FileRoundTripThroughFileStream) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("导出.csv"));
    {
        IO_ns::FileStream_tl<CSVStream_cl> stream;
        stream.OpenForWrite(path);
        stream.SetColumnCount(2);
        for (const char* cell : {"分类", "金额", "餐饮", "-3.00"}) stream.WriteCell(QString::fromUtf8(cell));
        stream.Close();
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("\xB7\xD6\xC0\xE0,\xBD\xF0\xB6\xEE\r\n\xB2\xCD\xD2\xFB,-3.00\r\n"));

    IO_ns::FileStream_tl<CSVStream_cl> reader;
    reader.OpenForRead(path);
    EXPECT_EQ(reader.ColumnCount(), 2);
    QStringList cells;
    QString cell;
    while (reader.TryReadCell(cell)) cells.append(cell);
    EXPECT_EQ(cells, (QStringList{"分类", "金额", "餐饮", "-3.00"}));
}
