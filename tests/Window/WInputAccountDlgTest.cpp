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

    void OpensWithThePresentBalance() {
        DataCore().GetUserManage().SetPublicAccount(123456);
        DataCore().GetUserManage().SetSingleAccount(-1250);
        WInputAccountDlg_cl publicDialog(true);
        QCOMPARE(publicDialog.windowTitle(), QStringLiteral("设置公共账户"));
        QCOMPARE(Amount(publicDialog)->text(), QStringLiteral("1234.56"));
        QCOMPARE(Amount(publicDialog)->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
        WInputAccountDlg_cl personalDialog(false);
        QCOMPARE(personalDialog.windowTitle(), QStringLiteral("设置个人账户"));
        QCOMPARE(Amount(personalDialog)->text(), QStringLiteral("-12.50"));
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
        QCOMPARE(Amount(personal)->text(), QStringLiteral("0.00"));
    }

    void OKReadsTheAmountInCents() {
        WInputAccountDlg_cl dialog(false);
        dialog.show();
        Amount(dialog)->setText(QStringLiteral("-0.13"));
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
        QCOMPARE(session->Prompt().shown[1].text, QStringLiteral("金额不正确，应为以元为单位的数字，最多两位小数，最多为21474836.47。"));
        QCOMPARE(session->Prompt().shown[2].text, QStringLiteral("金额不正确，应为以元为单位的数字，最多两位小数，最多为21474836.47。"));
        QCOMPARE(Amount(dialog)->text(), QStringLiteral("30000000"));
    }

private:
    std::unique_ptr<UserSession_cl> session;
};

WINDOW_TEST(WInputAccountDlgTest);

#include "WInputAccountDlgTest.moc"
