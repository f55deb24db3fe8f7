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

// The message of the error that action raises.
template <typename Action>
QString Raised(Action action) {
    try {
        action();
    } catch (const Base_ns::Error_cl& error) {
        EXPECT_EQ(error.ClassName(), QStringLiteral("CSVStream_cl"));
        if (!error.IsSystem()) {
            EXPECT_TRUE(error.Remark().isEmpty());
        }
        return error.Message();
    }
    return QStringLiteral("<nothing raised>");
}

// Writes rows of cells, each row as many cells as the first.
QByteArray Written(const QList<QStringList>& rows) {
    MemoryContainer_cl memory;
    CSVStream_cl stream(memory);
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

const QString kFewer = QStringLiteral("CSV格式数据不正确，至少有一行的列数比第一行列少。");
const QString kMore = QStringLiteral("CSV格式数据不正确，至少有一行的列数比第一行列多。");

}  // namespace

TEST(CSVStream, QuotesCommasAndDoubleQuotesOnOneLine) {
    EXPECT_EQ(Written({{QStringLiteral("plain"), QStringLiteral("a,b"), QStringLiteral("say \"hi\"")}}),
              QByteArray("plain,\"a,b\",\"say \"\"hi\"\"\"\r\n"));
}

TEST(CSVStream, CellsWithLineBreaksAreQuoted) {
    EXPECT_EQ(Written({{QStringLiteral("a\nb"), QStringLiteral("c\r\nd")}}), QByteArray("\"a\nb\",\"c\r\nd\"\r\n"));
}

TEST(CSVStream, ChineseTextIsStoredInCodePage936) {
    EXPECT_EQ(Written({{QStringLiteral("中文"), QStringLiteral("€5")}}), QByteArray("\xD6\xD0\xCE\xC4,\x80" "5\r\n"));
    // A character the code page lacks becomes "?".
    EXPECT_EQ(Written({{QString::fromUcs4(U"a\U0001F600b")}}), QByteArray("a?b\r\n"));
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

TEST(CSVStream, UnfinishedQuotedCellIsNoCell) {
    EXPECT_EQ(ReadAll("a,b\r\nc,\"d"), (QStringList{"a", "b", "c"}));
}

TEST(CSVStream, RowsWithTooFewOrTooManyCellsRaise) {
    {
        MemoryContainer_cl memory(QByteArray("a,b,c\r\n1,2\r\n"));
        CSVStream_cl stream(memory);
        for (int i = 0; i < 4; ++i) stream.ReadCell();
        EXPECT_EQ(Raised([&] { stream.ReadCell(); }), kFewer);
    }
    {
        MemoryContainer_cl memory(QByteArray("a,b\r\n1,2,3\r\n"));
        CSVStream_cl stream(memory);
        for (int i = 0; i < 3; ++i) stream.ReadCell();
        EXPECT_EQ(Raised([&] { stream.ReadCell(); }), kMore);
    }
    {
        MemoryContainer_cl memory(QByteArray("a,b\r\n1"));
        CSVStream_cl stream(memory);
        for (int i = 0; i < 2; ++i) stream.ReadCell();
        EXPECT_EQ(Raised([&] { stream.ReadCell(); }), kFewer);
    }
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
