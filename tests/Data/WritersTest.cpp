#include "FinanceFixture.h"

#include <QProcess>
#include <QRegularExpression>
#include <memory>
#include <vector>

namespace {

using WritersTest = FinanceTest;

// Several copies of the program book entries into one file at once: each write lands, or
// is refused as the book being busy; nothing fails otherwise, and every balance is the sum
// of its owner's entries.
TEST_F(WritersTest, EveryWriteLandsOrIsRefusedAsBusyAndBalancesMatchTheEntries) {
    const QStringList names = {QStringLiteral("w1"), QStringLiteral("w2"), QStringLiteral("w3"), QStringLiteral("w4")};
    for (const QString& name : names) AddUser(name, 2);
    users.Logout();  // this copy stays connected, idle

    std::vector<std::unique_ptr<QProcess>> writers;
    for (const QString& name : names) {
        auto writer = std::make_unique<QProcess>();
        writer->setProcessChannelMode(QProcess::MergedChannels);
        writer->start(QStringLiteral(BOOK_WRITER),
                      {app.Path(), settingsFolder.path() + u'/' + name, app.Path() + QStringLiteral("finance.mdb"), name,
                       QStringLiteral("60")});
        writers.push_back(std::move(writer));
    }
    int32_t landed = 0;
    for (auto& writer : writers) {
        ASSERT_TRUE(writer->waitForFinished(300000)) << "a writer did not end";
        const QString output = QString::fromUtf8(writer->readAll());
        ASSERT_EQ(writer->exitCode(), 0) << qPrintable(output);
        const QRegularExpressionMatch counts = QRegularExpression(QStringLiteral("landed (\\d+) busy (\\d+)")).match(output);
        ASSERT_TRUE(counts.hasMatch()) << qPrintable(output);
        EXPECT_EQ(counts.captured(1).toInt() + counts.captured(2).toInt(), 60);
        // The write lock is asked for first, so the wait covers the others' short
        // transactions: none runs out here.
        EXPECT_EQ(counts.captured(2).toInt(), 0) << qPrintable(output);
        landed += counts.captured(1).toInt();
    }

    EXPECT_EQ(Count(QStringLiteral("zorb_record")), landed);
    for (const QString& name : names) {
        const int32_t sn = users.FindUser(name);
        EXPECT_EQ(SingleAccount(sn), Integer(QStringLiteral("select sum(expense) from zorb_record where user_sn = %1").arg(sn)));
    }
    EXPECT_EQ(Integer(QStringLiteral("select public_account from zorb_user where power = '0'")),
              Integer(QStringLiteral("select sum(expense) from zorb_record")));
}

}  // namespace
