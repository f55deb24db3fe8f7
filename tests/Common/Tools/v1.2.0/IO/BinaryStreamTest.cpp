#include "IO/BinaryStream.h"
#include "IO/FileStream.h"
#include "IO/IOError.h"
#include "MemoryContainer.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <stdexcept>

using IO_ns::BinaryStream_cl;

namespace {

QByteArray Hex(const char* text) { return QByteArray::fromHex(text); }

// The message of the I/O error that action raises.
template <typename Action>
QString Raised(Action action) {
    try {
        action();
    } catch (const IO_ns::IOError_cl& error) {
        EXPECT_EQ(error.ClassName(), QStringLiteral("BinaryStream_cl"));
        return error.Text();
    }
    return QStringLiteral("<nothing raised>");
}

const QString kNoData = QStringLiteral("没有足够的数据读。");

}  // namespace

TEST(BinaryStream, WritesExactLittleEndianBytes) {
    MemoryContainer_cl memory;
    BinaryStream_cl stream(memory);
    stream.WriteString(QStringLiteral("ab"));
    stream.WriteString(QString());
    stream.WriteInteger(0x01020304);
    stream.WriteInteger(-2);
    stream.WriteTag("DBLL");
    stream.WriteString(QStringLiteral("中"));
    stream.WriteString(QString::fromUcs4(U"\U0001F600"));
    EXPECT_EQ(memory.bytes, Hex("020000006100620000000000"
                                "04030201feffffff"
                                "44424c4c"
                                "010000002d4e"
                                "020000003dd800de"));
}

TEST(BinaryStream, ReadsBackWhatItWrote) {
    MemoryContainer_cl memory;
    BinaryStream_cl stream(memory);
    const QString texts[] = {QString(), QStringLiteral("家庭.mdb"), QString::fromUcs4(U"a\U0001F600b"),
                             QString(5000, u'长')};
    for (const QString& text : texts) stream.WriteString(text);
    stream.WriteInteger(INT32_MIN);
    stream.WriteInteger(INT32_MAX);
    stream.WriteTag("DBLL");
    memory.SetPosition(0, true);
    for (const QString& text : texts) EXPECT_EQ(stream.ReadString(), text);
    EXPECT_EQ(stream.ReadInteger(), INT32_MIN);
    EXPECT_EQ(stream.ReadInteger(), INT32_MAX);
    const int64_t beforeTag = memory.GetPosition();
    EXPECT_FALSE(stream.ReadTag("DBLX"));
    memory.SetPosition(beforeTag, true);
    EXPECT_TRUE(stream.ReadTag("DBLL"));
}

TEST(BinaryStream, EmptyStringConsumesFourBytes) {
    MemoryContainer_cl memory(Hex("00000000ff"));
    BinaryStream_cl stream(memory);
    EXPECT_TRUE(stream.ReadString().isEmpty());
    EXPECT_EQ(memory.GetPosition(), 4);
}

TEST(BinaryStream, ShortReadsRaiseAndKeepThePosition) {
    MemoryContainer_cl memory(Hex("07000000010203"));
    BinaryStream_cl stream(memory);
    EXPECT_EQ(stream.ReadInteger(), 7);
    EXPECT_EQ(Raised([&] { stream.ReadInteger(); }), kNoData);
    EXPECT_EQ(memory.GetPosition(), 4);
    EXPECT_EQ(Raised([&] { stream.ReadTag("DBLL"); }), kNoData);
    EXPECT_EQ(memory.GetPosition(), 4);
}

// A damaged length must end as a read error, not as an attempt to make room for it.
TEST(BinaryStream, DamagedStringLengthsRaiseWithoutMovingThePosition) {
    const char* damaged[] = {"ffffffff61006200",   // negative
                             "0300000061006200",   // one unit more than is left
                             "ffffff7f61006200"};  // about four gigabytes
    for (const char* bytes : damaged) {
        MemoryContainer_cl memory(Hex(bytes));
        BinaryStream_cl stream(memory);
        EXPECT_EQ(Raised([&] { stream.ReadString(); }), kNoData) << bytes;
        EXPECT_EQ(memory.GetPosition(), 0) << bytes;
    }
}

TEST(BinaryStream, FullContainerRaisesWriteError) {
    MemoryContainer_cl memory({}, 6);
    BinaryStream_cl stream(memory);
    stream.WriteInteger(1);
    EXPECT_EQ(Raised([&] { stream.WriteInteger(2); }), QStringLiteral("没有足够的空间写。"));
    EXPECT_EQ(Raised([&] { stream.WriteString(QStringLiteral("a")); }), QStringLiteral("没有足够的空间写。"));
}

TEST(BinaryStream, FileWriterThatFailsLeavesNoFileOneThatClosesLeavesItAll) {
    QTemporaryDir dir;
    const QString failed = dir.filePath(QStringLiteral("failed.bin"));
    const QString done = dir.filePath(QStringLiteral("done.bin"));
    try {
        IO_ns::FileStream_tl<BinaryStream_cl> stream;
        stream.OpenForWrite(failed);
        stream.WriteTag("DBLL");
        throw std::runtime_error("failed part-way");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(QFile::exists(failed));
    {
        IO_ns::FileStream_tl<BinaryStream_cl> stream;
        stream.OpenForWrite(done);
        stream.WriteTag("DBLL");
        stream.WriteInteger(16777216);
        stream.WriteString(QStringLiteral("ab"));
        stream.Close();
    }
    QFile file(done);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), Hex("44424c4c000000010200000061006200"));

    IO_ns::FileStream_tl<BinaryStream_cl> reader;
    reader.OpenForRead(done);
    EXPECT_TRUE(reader.ReadTag("DBLL"));
    EXPECT_EQ(reader.ReadInteger(), 16777216);
    EXPECT_EQ(reader.ReadString(), QStringLiteral("ab"));
    EXPECT_EQ(Raised([&] { reader.ReadInteger(); }), kNoData);
}
