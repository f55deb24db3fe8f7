#include "Window/WInputAccountDlg.h"

#include "UserSession.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using Vorelle_ns::DataCore;
using Vorelle_ns::WInputAccountDlg_cl;

class WInputAccountDlgTest : public QObject {
    Q_OBJECT

    static QLineEdit* Amount(WInputAccountDlg_cl& dialog) {
        return dialog.findChild<QLineEdit*>(QString::number(WInputAccountDlg_cl::IdAmount));
    }
    static void Press(WInputAccountDlg_cl& dialog, int32_t id) {
        QTest::mouseClick(dialog.findChild<QPushButton*>(QString::number(id)), Qt::LeftButton);
    }

private slots:
    void init() { session = std::make_unique<UserSession_cl>(); }
    void cleanup() { session.reset(); }

    void TextToCents_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("read");
        QTest::addColumn<int>("cents");
        QTest::newRow("12.5") << "12.5" << true << 1250;
        QTest::newRow("0.126 rounds up") << "0.126" << true << 13;
        QTest::newRow("-1.5") << "-1.5" << true << -150;
        QTest::newRow("half a cent away from zero") << "-0.125" << true << -13;
        QTest::newRow("1.005 exactly") << "1.005" << true << 101;
        QTest::newRow("plus sign") << "+3" << true << 300;
        QTest::newRow("zero") << "0" << true << 0;
        QTest::newRow("trailing point") << "5." << true << 500;
        QTest::newRow("leading point") << ".5" << true << 50;
        QTest::newRow("largest") << "21474836.47" << true << 2147483647;
        QTest::newRow("smallest") << "-21474836.48" << true << int(-2147483648LL);
        QTest::newRow("beyond 32 bits") << "21474836.48" << false << 0;
        QTest::newRow("below 32 bits") << "-21474836.49" << false << 0;
        QTest::newRow("huge") << "99999999999999999999" << false << 0;
        QTest::newRow("comma") << "12,5" << false << 0;
        QTest::newRow("leading blank") << " 5" << false << 0;
        QTest::newRow("trailing blank") << "5 " << false << 0;
        QTest::newRow("exponent") << "1e3" << false << 0;
        QTest::newRow("sign alone") << "-" << false << 0;
        QTest::newRow("point alone") << "." << false << 0;
        QTest::newRow("two points") << "1.2.3" << false << 0;
        QTest::newRow("full-width digits") << "１２" << false << 0;
    }
    void TextToCents() {
        QFETCH(QString, text);
        QFETCH(bool, read);
        QFETCH(int, cents);
        int32_t result = 0;
        QCOMPARE(WInputAccountDlg_cl::TextToCents(text, result), read);
        if (read) QCOMPARE(result, cents);
    }

    void OpensWithThePresentBalance() {
        DataCore().GetUserManage().SetPublicAccount(123456);
        DataCore().GetUserManage().SetSingleAccount(-1250);
        WInputAccountDlg_cl publicDialog(true);
        QCOMPARE(publicDialog.windowTitle(), QStringLiteral("设置公共账户"));
        QCOMPARE(Amount(publicDialog)->text(), QStringLiteral("1234.56"));
        QCOMPARE(Amount(publicDialog)->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
        WInputAccountDlg_cl personalDialog(false);
        QCOMPARE(personalDialog.windowTitle(), QStringLiteral("设置个人账户"));
        QCOMPARE(Amount(personalDialog)->text(), QStringLiteral("-12.5"));
    }

    void IndependentUserMayNotOpenThePublicAccount() {
        session->AddUser(QStringLiteral("小李"), 3);
        session->LogIn(QStringLiteral("小李"), QStringLiteral("pw"));
        try {
            WInputAccountDlg_cl dialog(true);
            QFAIL("the public account was shown");
        } catch (const Base_ns::Error_cl& error) {
            QCOMPARE(error.Message(), QStringLiteral("当前用户没有权限查看公共帐户。"));
        }
        WInputAccountDlg_cl personal(false);
        QCOMPARE(Amount(personal)->text(), QStringLiteral("0"));
    }

    void OKReadsTheAmountInCents() {
        WInputAccountDlg_cl dialog(false);
        dialog.show();
        Amount(dialog)->setText(QStringLiteral("-0.126"));
        Press(dialog, WInputAccountDlg_cl::IdOK);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.GetAmount(), -13);
        QVERIFY(session->Prompt().shown.isEmpty());
    }

    void RefusalsKeepTheDialogOpen() {
        WInputAccountDlg_cl dialog(false);
        dialog.show();
        QTest::mouseClick(Amount(dialog), Qt::LeftButton);
        Amount(dialog)->clear();
        Press(dialog, WInputAccountDlg_cl::IdOK);
        Amount(dialog)->setText(QStringLiteral("12,5"));
        Press(dialog, WInputAccountDlg_cl::IdOK);
        Amount(dialog)->setText(QStringLiteral("30000000"));
        Press(dialog, WInputAccountDlg_cl::IdOK);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.focusWidget(), Amount(dialog));
        QCOMPARE(session->Prompt().shown.size(), 3);
        QCOMPARE(session->Prompt().shown[0].text, QStringLiteral("请输入金额。"));
        QCOMPARE(session->Prompt().shown[0].caption, QStringLiteral("用户错误"));
        QCOMPARE(session->Prompt().shown[1].text, QStringLiteral("金额不正确。"));
        QCOMPARE(session->Prompt().shown[2].text, QStringLiteral("金额不正确。"));
        QCOMPARE(Amount(dialog)->text(), QStringLiteral("30000000"));
    }

private:
    std::unique_ptr<UserSession_cl> session;
};

WINDOW_TEST(WInputAccountDlgTest);

#include "WInputAccountDlgTest.moc"
