// Exported texts that a spreadsheet would run as formulas, and a NUL that a reader would
// cut a text at.
#include "Data/RecordFile.h"
#include "Data/RecordFileReader.h"
#include "base/Error.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using Vorelle_ns::RecordFile_cl;

namespace {

Base_ns::Trusteeship_tl<Vorelle_ns::RecordRow_st> Entry(const QString& category, const QString& name, int32_t amount,
                                                        const QString& user, const QString& comment) {
    Base_ns::Trusteeship_tl<Vorelle_ns::RecordRow_st> rows;
    rows.Allocate(1);
    rows[0] = {1, Base_ns::DateTime_cl::Parse(QStringLiteral("2024-05-01")), category, name, amount, user, 0, comment};
    return rows;
}

}  // namespace

// A text beginning like a formula is written so that a spreadsheet shows it as text, and
// reads back as it was; an amount stays a number, minus and all.
TEST(HostileRecordFileTest, FormulaLikeTextsAreWrittenAsTextAndReadBackTheSame) {
    const struct {
        const char* category;
        const char* name;
        int32_t amount;
        const char* user;
        const char* comment;
        const char* line;  // as the file holds it
    } cases[] = {
        {"=1+1", "+cmd|/C calc!A0", -2550, "@SUM(A1)", "-2+3", "2024-05-01,'=1+1,'+cmd|/C calc!A0,-25.5,'@SUM(A1),月开销,'-2+3"},
        {"-", "+", 100, "=", "@", "2024-05-01,'-,'+,1,'=,月收入,'@"},
        {"餐饮", "-12", -1200, "老王", "=", "2024-05-01,餐饮,-12,-12,老王,月开销,'="},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("导出.csv"));
        const auto rows = Entry(QString::fromUtf8(c.category), QString::fromUtf8(c.name), c.amount,
                                QString::fromUtf8(c.user), QString::fromUtf8(c.comment));
        RecordFile_cl::Write(path, rows, IO_ns::CSVStream_cl::Encoding_en::Utf8);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n")).value(1), QString::fromUtf8(c.line));
        Vorelle_ns::RecordFileReader_cl reader(path);
        Vorelle_ns::RecordInfo_st entry;
        ASSERT_TRUE(reader.Next(entry));
        EXPECT_EQ(entry.typeName, rows[0].typeName);
        EXPECT_EQ(entry.expenseName, rows[0].expenseName);
        EXPECT_EQ(entry.expense, rows[0].expense);
        EXPECT_EQ(entry.userName, rows[0].userName);
        EXPECT_EQ(entry.comment, rows[0].comment);
    }
}

// A NUL in any text refuses the export naming the line, and the earlier file stays.
TEST(HostileRecordFileTest, ATextWithANulIsNotExported) {
    const QString nul = QString::fromUtf16(u"a\0b", 3);
    for (int32_t column : {1, 2, 4, 6}) {
        SCOPED_TRACE(column);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("导出.csv"));
        {
            QFile earlier(path);
            ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
            earlier.write("earlier");
        }
        const auto rows = Entry(column == 1 ? nul : QStringLiteral("餐饮"), column == 2 ? nul : QStringLiteral("午饭"),
                                -100, column == 4 ? nul : QStringLiteral("老王"), column == 6 ? nul : QString());
        QString refusal;
        try {
            RecordFile_cl::Write(path, rows);
        } catch (const Base_ns::Error_cl& error) {
            refusal = error.Message() + u'|' + error.Remark();
        }
        EXPECT_EQ(refusal, QStringLiteral("文字中含有空字符，无法保存。|第2行"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), QByteArray("earlier"));
    }
}
