#include "SystemInfo/Path.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace SystemInfo_ns;

TEST(Path, ParentFolder) {
    EXPECT_EQ(GetParentFolder(QStringLiteral("/a.csv")), QStringLiteral("/"));
    EXPECT_EQ(GetParentFolder(QStringLiteral("/x/a.csv")), QStringLiteral("/x"));
    EXPECT_EQ(GetParentFolder(QStringLiteral("a.csv")), QString());
    EXPECT_EQ(GetParentFolder(QStringLiteral("x/y\\z")), QStringLiteral("x/y"));
    EXPECT_EQ(GetParentFolder(QStringLiteral("x\\y\\z")), QStringLiteral("x/y"));
    EXPECT_EQ(GetParentFolder(QStringLiteral("/home/用户/账本/导出.csv")), QStringLiteral("/home/用户/账本"));
    EXPECT_EQ(GetParentFolder(QString()), QString());
}

TEST(Path, ResolveLeavesAbsolutePathsAlone) {
    for (const QString& base : {QStringLiteral("/app/"), QStringLiteral("/"), QStringLiteral("/p/q")}) {
        EXPECT_EQ(ResolvePath(base, QStringLiteral("/data/a.mdb")), QStringLiteral("/data/a.mdb"));
        EXPECT_EQ(ResolvePath(base, QStringLiteral("D:\\data\\a.mdb")), QStringLiteral("D:/data/a.mdb"));
    }
}

TEST(Path, ResolveClimbsWithDotDot) {
    EXPECT_EQ(ResolvePath(QStringLiteral("/p/q/r/"), QStringLiteral("../../a.mdb")), QStringLiteral("/p/a.mdb"));
    EXPECT_EQ(ResolvePath(QStringLiteral("/p/q/r"), QStringLiteral("..\\..\\a.mdb")), QStringLiteral("/p/a.mdb"));
    EXPECT_EQ(ResolvePath(QStringLiteral("/p/q/r/"), QStringLiteral("../../../a.mdb")), QStringLiteral("/a.mdb"));
    EXPECT_EQ(ResolvePath(QStringLiteral("/p/q/r/"), QStringLiteral("../../../../a.mdb")), QString());
    EXPECT_EQ(ResolvePath(QStringLiteral("/"), QStringLiteral("../../a.mdb")), QString());
    EXPECT_EQ(ResolvePath(QStringLiteral("/"), QStringLiteral("../a.mdb")), QString());
}

TEST(Path, ResolveTakesStoredFormsInsideTheBase) {
    EXPECT_EQ(ResolvePath(QStringLiteral("/app/"), QStringLiteral("本地库/a.mdb")), QStringLiteral("/app/本地库/a.mdb"));
    // Written on Windows: a leading "\" is not a root.
    EXPECT_EQ(ResolvePath(QStringLiteral("/app/"), QStringLiteral("\\本地库\\a.mdb")), QStringLiteral("/app/本地库/a.mdb"));
    EXPECT_EQ(ResolvePath(QStringLiteral("/app"), QStringLiteral("x.mdb")), QStringLiteral("/app/x.mdb"));
}

TEST(Path, MakeRelativeOnlyInsideTheBase) {
    EXPECT_EQ(MakeRelativePath(QStringLiteral("/app/"), QStringLiteral("/app/x.mdb")), QStringLiteral("x.mdb"));
    EXPECT_EQ(MakeRelativePath(QStringLiteral("/app"), QStringLiteral("/app/本地库/家庭.mdb")), QStringLiteral("本地库/家庭.mdb"));
    EXPECT_EQ(MakeRelativePath(QStringLiteral("/app/"), QStringLiteral("/other/x.mdb")), QStringLiteral("/other/x.mdb"));
    EXPECT_EQ(MakeRelativePath(QStringLiteral("/app/"), QStringLiteral("/APP/x.mdb")), QStringLiteral("/APP/x.mdb"));
    // A folder whose name merely starts like the base lies outside it.
    EXPECT_EQ(MakeRelativePath(QStringLiteral("/app"), QStringLiteral("/apple/x.mdb")), QStringLiteral("/apple/x.mdb"));
    EXPECT_EQ(MakeRelativePath(QStringLiteral("/app/"), QStringLiteral("\\app\\x.mdb")), QStringLiteral("x.mdb"));
}

TEST(Path, ResolvingTheStoredFormNamesTheSamePath) {
    const QString base = QStringLiteral("/home/u/vorelle/");
    for (const char* inside : {"x.mdb", "本地库/家庭.mdb", "a/b/c/d.mdb", "/double.mdb", "a:b.mdb",
                               "../sibling/x.mdb", "", "with space/x y.mdb"}) {
        const QString path = base + QString::fromUtf8(inside);
        const QString stored = MakeRelativePath(base, path);
        EXPECT_EQ(QDir::cleanPath(ResolvePath(base, stored)), QDir::cleanPath(path)) << inside;
    }
}

TEST(Path, MakeFoldersCreatesTheFoldersThatHoldAFile) {
    QTemporaryDir temp;
    const QString root = temp.path();
    MakeFolders(root + QStringLiteral("/a/b\\c/file.mdb"));
    EXPECT_TRUE(QFileInfo(root + QStringLiteral("/a/b/c")).isDir());
    EXPECT_FALSE(QFileInfo::exists(root + QStringLiteral("/a/b/c/file.mdb")));
    MakeFolders(root + QStringLiteral("/d/e/"));
    EXPECT_TRUE(QFileInfo(root + QStringLiteral("/d/e")).isDir());
    MakeFolders(root + QStringLiteral("/a/b/c/again.mdb"));  // existing folders are fine
    EXPECT_TRUE(QFileInfo(root + QStringLiteral("/a/b/c")).isDir());
}

// A build tree keeps its files beside the program; an installed program, or one in a
// folder it may not write, keeps them in the user's data folder.
TEST(Path, ApplicationFolderIsTheProgramsOnlyOutsideAnInstall) {
    QTemporaryDir tree;
    ASSERT_TRUE(QDir(tree.path()).mkpath(QStringLiteral("build/app")) && QDir(tree.path()).mkpath(QStringLiteral("prefix/bin")));
    const QString data = tree.filePath(QStringLiteral("data/Vorelle"));
    const struct {
        QString program;
        QString expected;
    } cases[] = {
        {tree.filePath(QStringLiteral("build/app")), tree.filePath(QStringLiteral("build/app/"))},
        {tree.filePath(QStringLiteral("prefix/bin")), data + u'/'},
        {QStringLiteral("/usr/bin"), data + u'/'},
        {QStringLiteral("/proc/1"), data + u'/'},  // not writable
        {tree.filePath(QStringLiteral("bin-tools")), data + u'/'},  // missing, so not writable
    };
    for (const auto& c : cases) EXPECT_EQ(ApplicationFolderFor(c.program, data), c.expected) << c.program.toStdString();
}
