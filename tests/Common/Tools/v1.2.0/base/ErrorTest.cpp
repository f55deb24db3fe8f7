#include "base/SysError.h"
#include "base/UserError.h"
#include "IO/IOError.h"
#include "support/RecordingPrompt.h"
#include "support/TempFolder.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace Base_ns;

namespace {

const ErrorInfo_st kTable[] = {{1, "数据库还没有连接。"}, {2, "未知的数据库类型。"}, {101, "重复链接名称。"}};

SysError_cl MakeSys(int32_t code, const QString& remark, const QString& className = QStringLiteral("DatabaseManage_cl"),
                    const char* path = "Data/DatabaseManage.cpp") {
    return SysError_cl(42, path, className, code, kTable, 3, remark);
}

// Reads the log as UTF-16 little-endian code units.
QString ReadLog(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.size() % 2, 0);
    QString text;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        text.append(QChar(char16_t(uint8_t(bytes[i]) | (uint8_t(bytes[i + 1]) << 8))));
    return text;
}

}  // namespace

TEST(Error, LooksUpMessagesAndFallsBack) {
    EXPECT_EQ(MakeSys(2, {}).Message(), QStringLiteral("未知的数据库类型。"));
    EXPECT_EQ(MakeSys(7, {}).Message(), QStringLiteral("Unexpected Error."));
}

TEST(Error, KeepsOnlyTheFileName) {
    EXPECT_EQ(MakeSys(1, {}, {}, "a/b/c/Foo.cpp").File(), QStringLiteral("Foo.cpp"));
    EXPECT_EQ(MakeSys(1, {}, {}, "C:\\src\\Bar.cpp").File(), QStringLiteral("Bar.cpp"));
    EXPECT_EQ(MakeSys(1, {}, {}, "Plain.cpp").File(), QStringLiteral("Plain.cpp"));
}

TEST(Error, TimeIsPlainDecimal) {
    const QRegularExpression form(QStringLiteral("^\\d{4}-[1-9]\\d?-[1-9]\\d? (0|[1-9]\\d?):(0|[1-9]\\d?):(0|[1-9]\\d?):(0|[1-9]\\d{0,2})$"));
    EXPECT_TRUE(form.match(MakeSys(1, {}).Time()).hasMatch()) << MakeSys(1, {}).Time().toStdString();
}

TEST(Error, RecordTextLinesUpLabelsAndIndentsRemark) {
    const SysError_cl error = MakeSys(1, QStringLiteral("first\r\nsecond"));
    const QString expected = QStringLiteral("时间:    ") + error.Time() +
                             QStringLiteral("\r\n信息:    数据库还没有连接。\r\n备注:    first\r\n         second\r\n"
                                            "行号:    42\r\n类名:    DatabaseManage_cl\r\n文件:    DatabaseManage.cpp");
    EXPECT_EQ(error.Text(), expected);
    EXPECT_TRUE(error.IsSystem());
}

TEST(Error, RecordTextLeavesOutEmptyRemarkAndClassName) {
    const SysError_cl error = MakeSys(1, {}, {});
    EXPECT_EQ(error.Text(), QStringLiteral("时间:    ") + error.Time() +
                                QStringLiteral("\r\n信息:    数据库还没有连接。\r\n行号:    42\r\n文件:    DatabaseManage.cpp"));
}

TEST(Error, UserErrorTextAddsRemarkOnNextLine) {
    const IO_ns::IOError_cl io(3, "x.cpp", QStringLiteral("ContainerFile_cl"), 101, kTable, 3, QStringLiteral("/tmp/a.bin"));
    EXPECT_EQ(io.Text(), QStringLiteral("重复链接名称。\r\n/tmp/a.bin"));
    EXPECT_FALSE(io.IsSystem());
    const UserError_cl bare(3, "x.cpp", {}, 101, kTable, 3, {});
    EXPECT_EQ(bare.Text(), QStringLiteral("重复链接名称。"));
}

TEST(Error, ShowingAUserErrorAsksNothingAndLogsNothing) {
    TempAppFolder_cl folder;
    RecordingPrompt_cl prompt;
    const Error_cl& error = UserError_cl(3, "x.cpp", {}, 101, kTable, 3, QStringLiteral("r"));
    error.Show(nullptr);
    ASSERT_EQ(prompt.shown.size(), 1);
    EXPECT_EQ(prompt.shown[0].text, QStringLiteral("重复链接名称。\r\nr"));
    EXPECT_EQ(prompt.shown[0].caption, QStringLiteral("用户错误"));
    EXPECT_EQ(prompt.shown[0].buttons, Platform_ns::Buttons_en::OK);
    EXPECT_FALSE(QFile::exists(folder.Path() + QStringLiteral("Error.log")));
}

TEST(Error, ShowingSystemErrorsAppendsRecordsWithByteOrderMarks) {
    TempAppFolder_cl folder;
    RecordingPrompt_cl prompt;
    const SysError_cl first = MakeSys(1, QStringLiteral("甲"));
    const SysError_cl second = MakeSys(2, {});
    first.Show(nullptr);
    second.Show(nullptr);

    QFile raw(folder.Path() + QStringLiteral("Error.log"));
    ASSERT_TRUE(raw.open(QIODevice::ReadOnly));
    const QByteArray bytes = raw.readAll();
    EXPECT_EQ(uint8_t(bytes[0]), 0xFF);
    EXPECT_EQ(uint8_t(bytes[1]), 0xFE);
    const QString log = ReadLog(folder.Path() + QStringLiteral("Error.log"));
    EXPECT_EQ(log, QChar(0xFEFF) + first.Text() + QStringLiteral("\r\n\r\n") + QChar(0xFEFF) + second.Text() +
                       QStringLiteral("\r\n\r\n"));
    ASSERT_EQ(prompt.shown.size(), 2);
    EXPECT_EQ(prompt.shown[1].text, QStringLiteral("出现严重错误，详细信息请看日志。"));
    EXPECT_EQ(prompt.shown[1].caption, QStringLiteral("系统错误"));
}

TEST(Error, UnwritableLogStillShowsTheErrorAndSaysWhy) {
    TempAppFolder_cl folder;
    RecordingPrompt_cl prompt;
    SystemInfo_ns::SetApplicationFolder(folder.Path() + QStringLiteral("missing/"));
    MakeSys(1, QStringLiteral("甲")).Show(nullptr);
    ASSERT_EQ(prompt.shown.size(), 1);
    EXPECT_EQ(prompt.shown[0].caption, QStringLiteral("系统错误"));
    for (const QString& part : {QStringLiteral("无法写入日志文件"), folder.Path() + QStringLiteral("missing/Error.log"),
                                QStringLiteral("数据库还没有连接。"), QStringLiteral("甲")})
        EXPECT_TRUE(prompt.shown[0].text.contains(part)) << qPrintable(part);
}

TEST(Error, LogIsOwnerOnlyAndHoldsNoPassword) {
    TempAppFolder_cl folder;
    RecordingPrompt_cl prompt;
    const QString log = folder.Path() + QStringLiteral("Error.log");
    ASSERT_TRUE(QFile(log).open(QIODevice::WriteOnly));  // left readable by everybody
    QFile(log).setPermissions(QFileDevice::Permissions(0x6644));
    MakeSys(1, QStringLiteral("update zorb_user set [password] = 'Secret1' where sn = 1")).Show(nullptr);
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(log).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    const QString written = ReadLog(log);
    EXPECT_FALSE(written.contains(QStringLiteral("Secret1")));
    EXPECT_TRUE(written.contains(QStringLiteral("[password] = '***'")));
}
