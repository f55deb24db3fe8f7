#include "IO/ContainerFile.h"
#include "IO/IOError.h"
#include "base/SysError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

using IO_ns::ContainerFile_cl;

namespace {

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void Put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

mode_t Mode(const QString& path) {
    struct stat info {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    return info.st_mode & 0777;
}

class ContainerFileTest : public ::testing::Test {
protected:
    QString PathOf(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

}  // namespace

TEST_F(ContainerFileTest, MissingFileRaisesWithPathAndCreatesNothing) {
    const QString path = PathOf(QStringLiteral("缺少.bin"));
    ContainerFile_cl file;
    try {
        file.OpenForRead(path);
        FAIL() << "opened a missing file";
    } catch (const IO_ns::IOError_cl& error) {
        EXPECT_EQ(error.Text(), QStringLiteral("指定文件不存在。\r\n") + path);
        EXPECT_EQ(error.ClassName(), QStringLiteral("ContainerFile_cl"));
    }
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(file.IsOpen());
}

TEST_F(ContainerFileTest, WriterInMissingFolderRaisesCreateError) {
    const QString path = PathOf(QStringLiteral("no/such/a.bin"));
    ContainerFile_cl file;
    try {
        file.OpenForWrite(path);
        FAIL() << "created a file in a missing folder";
    } catch (const IO_ns::IOError_cl& error) {
        EXPECT_EQ(error.Text(), QStringLiteral("创建文件失败。\r\n") + path + QStringLiteral("\r\n文件夹不存在。"));
    }
}

TEST_F(ContainerFileTest, ClosedWriterKeepsFileAbandonedWriterLeavesNone) {
    const QString kept = PathOf(QStringLiteral("kept.bin"));
    const QString dropped = PathOf(QStringLiteral("dropped.bin"));
    {
        ContainerFile_cl file;
        file.OpenForWrite(kept);
        EXPECT_TRUE(file.Write("abc", 3));
        file.Close();
        EXPECT_TRUE(file.Path().isEmpty());
    }
    EXPECT_EQ(Contents(kept), QByteArray("abc"));
    {
        ContainerFile_cl file;
        file.OpenForWrite(dropped);
        EXPECT_TRUE(file.Write("abc", 3));
    }
    EXPECT_FALSE(QFile::exists(dropped));
    {
        // A reader going away never removes what it read.
        ContainerFile_cl file;
        file.OpenForRead(kept);
    }
    EXPECT_TRUE(QFile::exists(kept));
}

TEST_F(ContainerFileTest, OpeningForWritingTruncates) {
    const QString path = PathOf(QStringLiteral("a.bin"));
    Put(path, QByteArray(5000, 'x'));
    ContainerFile_cl file;
    file.OpenForWrite(path);
    ASSERT_TRUE(file.Write("yz", 2));
    file.Close();
    EXPECT_EQ(Contents(path), QByteArray("yz"));
}

TEST_F(ContainerFileTest, ShortReadFailsAndKeepsPosition) {
    const QString path = PathOf(QStringLiteral("a.bin"));
    Put(path, QByteArray("12345"));
    ContainerFile_cl file;
    file.OpenForRead(path);
    char bytes[8] = {};
    ASSERT_TRUE(file.Read(bytes, 2));
    EXPECT_FALSE(file.Read(bytes, 4));
    EXPECT_EQ(file.GetPosition(), 2);
    ASSERT_TRUE(file.Read(bytes, 3));
    EXPECT_EQ(QByteArray(bytes, 3), QByteArray("345"));
    EXPECT_FALSE(file.Read(bytes, 1));
    EXPECT_EQ(file.GetPosition(), 5);
}

TEST_F(ContainerFileTest, PositionsMoveAbsoluteRelativeAndToTheEnd) {
    const QString path = PathOf(QStringLiteral("a.bin"));
    Put(path, QByteArray("abcdef"));
    ContainerFile_cl file;
    file.OpenForRead(path);
    char byte = 0;
    ASSERT_TRUE(file.SetPosition(4, true));
    ASSERT_TRUE(file.Read(&byte, 1));
    EXPECT_EQ(byte, 'e');
    ASSERT_TRUE(file.SetPosition(-3, false));
    ASSERT_TRUE(file.Read(&byte, 1));
    EXPECT_EQ(byte, 'c');
    ASSERT_TRUE(file.MoveToEnd());
    EXPECT_EQ(file.GetPosition(), 6);
}

TEST_F(ContainerFileTest, WrongModeAndNullBufferAreSystemErrors) {
    const QString path = PathOf(QStringLiteral("a.bin"));
    ContainerFile_cl file;
    char byte = 0;
    const auto code = [](const std::function<void()>& action) {
        try {
            action();
        } catch (const Base_ns::SysError_cl& error) {
            return error.Message();
        }
        return QStringLiteral("<nothing raised>");
    };
    file.OpenForWrite(path);
    EXPECT_EQ(code([&] { file.Read(&byte, 1); }), QStringLiteral("在读模式没有开启的情况下进行了读相关操作。"));
    EXPECT_EQ(code([&] { file.Write(nullptr, 1); }), QStringLiteral("空指针。"));
    file.Close();
    file.OpenForRead(path);
    EXPECT_EQ(code([&] { file.Write("a", 1); }), QStringLiteral("在写模式没有开启的情况下进行了写相关操作。"));
    EXPECT_EQ(code([&] { file.Read(nullptr, 1); }), QStringLiteral("空指针。"));
    file.Close();
    EXPECT_EQ(code([&] { file.Read(&byte, 1); }), QStringLiteral("在读模式没有开启的情况下进行了读相关操作。"));
}

TEST_F(ContainerFileTest, OwnerOnlyFilesAreMode0600) {
    const QString fresh = PathOf(QStringLiteral("fresh.bin"));
    const QString existing = PathOf(QStringLiteral("existing.bin"));
    Put(existing, "old");
    ASSERT_TRUE(QFile::setPermissions(existing, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                                    QFile::ReadOther));
    for (const QString& path : {fresh, existing}) {
        ContainerFile_cl file;
        file.OpenForWrite(path, true);
        file.Close();
        EXPECT_EQ(Mode(path), mode_t(0600)) << path.toStdString();
    }
}

// Bytes that cannot be stored when the buffer is flushed must not pass as a saved file.
TEST_F(ContainerFileTest, CloseThatCannotStoreTheBufferRaisesAndRemovesTheFile) {
    const QString path = PathOf(QStringLiteral("full.bin"));
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    QString raised;
    {
        ContainerFile_cl file;
        file.OpenForWrite(path);
        const QByteArray bytes(1000, 'x');
        EXPECT_TRUE(file.Write(bytes.constData(), bytes.size()));  // still in the buffer
        try {
            file.Close();
        } catch (const IO_ns::IOError_cl& error) {
            raised = error.Text();
        }
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(raised, QStringLiteral("写入文件失败。\r\n") + path + QStringLiteral("\r\n文件超出了允许的大小。"));
    EXPECT_FALSE(QFile::exists(path));
}

// A replacement is written beside the file and renamed over it only when complete: a
// write that fails early (in Write) or late (in Close) leaves the old file and no other.
TEST_F(ContainerFileTest, ReplacingKeepsTheOldFileUnlessTheNewOneIsComplete) {
    const struct {
        int32_t size;   // bytes written
        rlim_t limit;   // largest file the process may write
        bool replaced;
    } rows[] = {{1000, RLIM_INFINITY, true}, {1000, 100, false}, {100000, 50000, false}};
    for (const auto& row : rows) {
        const QString path = PathOf(QStringLiteral("旧.csv"));
        Put(path, "old");
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
        struct rlimit saved {};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = saved;
        small.rlim_cur = std::min(row.limit, saved.rlim_max);
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        QString raised;
        try {
            ContainerFile_cl file;
            file.OpenForReplace(path);
            const QByteArray bytes(row.size, 'n');
            for (int32_t i = 0; i < row.size; i += 100) file.Write(bytes.constData() + i, 100);
            file.Close();
        } catch (const IO_ns::IOError_cl& error) {
            raised = error.Text();
        }
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);
        EXPECT_EQ(Contents(path), row.replaced ? QByteArray(row.size, 'n') : QByteArray("old")) << row.limit;
        EXPECT_EQ(raised, row.replaced ? QString() : QStringLiteral("写入文件失败。\r\n") + path +
                                                           QStringLiteral("\r\n文件超出了允许的大小。"));
        EXPECT_EQ(Mode(path), mode_t(0640));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("旧.csv")});
    }
}

// A link at the target is written through to its file, even one that is not there yet; a
// device or pipe at the target is refused and left as it was.
TEST_F(ContainerFileTest, ReplacingWritesThroughLinksAndRefusesWhatIsNoFile) {
    const QString file = PathOf(QStringLiteral("真的.csv"));
    const QString link = PathOf(QStringLiteral("链接.csv"));
    const QString chain = PathOf(QStringLiteral("链接的链接.csv"));
    const QString fifo = PathOf(QStringLiteral("管道"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const struct {
        const char* title;
        QString written;  // the path given
        QString target;   // where the bytes must land; empty: refused
        bool fileBefore;
    } rows[] = {{"link to a file", link, file, true},
                {"link to a link", chain, file, true},
                {"link to nothing yet", link, file, false},
                {"link to a pipe", link, QString(), false},
                {"a pipe", fifo, QString(), false}};
    for (const auto& row : rows) {
        for (const QString& path : {file, link, chain}) QFile::remove(path);
        if (row.fileBefore) Put(file, "old");
        const bool pipeTarget = QByteArray(row.title).contains("pipe");
        ASSERT_TRUE(QFile::link(pipeTarget ? QStringLiteral("管道") : QStringLiteral("真的.csv"), link)) << row.title;
        ASSERT_TRUE(QFile::link(QStringLiteral("链接.csv"), chain));
        QString raised;
        try {
            ContainerFile_cl out;
            out.OpenForReplace(row.written);
            out.Write("new", 3);
            out.Close();
        } catch (const IO_ns::IOError_cl& error) {
            raised = error.Text();
        }
        EXPECT_TRUE(QFileInfo(link).isSymLink()) << row.title;
        if (row.target.isEmpty()) {
            EXPECT_EQ(raised, QStringLiteral("这不是一个普通文件，不能把内容写成它。\r\n") + row.written) << row.title;
        } else {
            EXPECT_EQ(raised, QString()) << row.title;
            EXPECT_EQ(Contents(row.target), QByteArray("new")) << row.title;
        }
        struct stat pipe {};
        EXPECT_TRUE(::lstat(QFile::encodeName(fifo).constData(), &pipe) == 0 && S_ISFIFO(pipe.st_mode)) << row.title;
    }
}
