#include "Window/WInputPasswordDlg.h"

#include "UserSession.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using Vorelle_ns::DataCore;
using Vorelle_ns::WInputPasswordDlg_cl;

class WInputPasswordDlgTest : public QObject {
    Q_OBJECT

    static QLineEdit* Edit(QDialog& dialog, int32_t id) {
        return dialog.findChild<QLineEdit*>(QString::number(id));
    }
    static void Fill(QDialog& dialog, const QString& oldPassword, const QString& newPassword, const QString& confirm) {
        Edit(dialog, WInputPasswordDlg_cl::IdOldPassword)->setText(oldPassword);
        Edit(dialog, WInputPasswordDlg_cl::IdNewPassword)->setText(newPassword);
        Edit(dialog, WInputPasswordDlg_cl::IdConfirm)->setText(confirm);
    }
    static void Finish(QDialog& dialog) {
        QTest::mouseClick(dialog.findChild<QPushButton*>(QString::number(WInputPasswordDlg_cl::IdOK)), Qt::LeftButton);
    }
    bool CanLogIn(const QString& password) {
        try {
            session->LogIn(UserSession_cl::SuperName, password);
            return true;
        } catch (const Base_ns::Error_cl&) {
            return false;
        }
    }

private slots:
    void init() { session = std::make_unique<UserSession_cl>(); }
    void cleanup() { session.reset(); }

    void TypingANewPasswordEmptiesTheConfirmation() {
        WInputPasswordDlg_cl dialog;
        dialog.show();
        QTest::keyClicks(Edit(dialog, WInputPasswordDlg_cl::IdNewPassword), QStringLiteral("abc"));
        QTest::keyClicks(Edit(dialog, WInputPasswordDlg_cl::IdConfirm), QStringLiteral("abc"));
        QTest::keyClicks(Edit(dialog, WInputPasswordDlg_cl::IdNewPassword), QStringLiteral("d"));
        QCOMPARE(Edit(dialog, WInputPasswordDlg_cl::IdConfirm)->text(), QString());
        QCOMPARE(Edit(dialog, WInputPasswordDlg_cl::IdNewPassword)->text(), QStringLiteral("abcd"));
    }

    void ChecksRunInOrder_data() {
        QTest::addColumn<QString>("oldPassword");
        QTest::addColumn<QString>("newPassword");
        QTest::addColumn<QString>("confirm");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("focus");
        QTest::newRow("old empty") << "" << "" << "" << "请输入旧密码。" << WInputPasswordDlg_cl::IdOldPassword;
        QTest::newRow("new empty") << "a" << "" << "" << "请输入新密码。" << WInputPasswordDlg_cl::IdNewPassword;
        QTest::newRow("confirmation empty") << "a" << "b" << "" << "请输入密码确认。" << WInputPasswordDlg_cl::IdConfirm;
        QTest::newRow("mismatch") << "a'" << "b'" << "B'" << "两次密码不一致。" << WInputPasswordDlg_cl::IdNewPassword;
        QTest::newRow("quote in old") << "a'" << "b'" << "b'" << "旧密码中有非法字符。"
                                      << WInputPasswordDlg_cl::IdOldPassword;
        QTest::newRow("quote in new") << "a" << "b'" << "b'" << "新密码中有非法字符。"
                                      << WInputPasswordDlg_cl::IdNewPassword;
    }
    void ChecksRunInOrder() {
        QFETCH(QString, oldPassword);
        QFETCH(QString, newPassword);
        QFETCH(QString, confirm);
        QFETCH(QString, message);
        QFETCH(int, focus);
        WInputPasswordDlg_cl dialog;
        dialog.show();
        Fill(dialog, oldPassword, newPassword, confirm);
        Finish(dialog);
        QVERIFY(dialog.isVisible());
        QCOMPARE(session->Prompt().shown.size(), 1);
        QCOMPARE(session->Prompt().shown[0].text, message);
        QCOMPARE(dialog.focusWidget(), Edit(dialog, focus));
        QVERIFY(CanLogIn(UserSession_cl::SuperPassword));
    }

    void AWrongOldPasswordChangesNothing() {
        WInputPasswordDlg_cl dialog;
        dialog.show();
        Fill(dialog, QStringLiteral("wrong"), QStringLiteral("new"), QStringLiteral("new"));
        Finish(dialog);
        QVERIFY(dialog.isVisible());
        QCOMPARE(session->Prompt().shown.size(), 1);
        QCOMPARE(session->Prompt().shown[0].text, QStringLiteral("密码不正确。"));
        QCOMPARE(Edit(dialog, WInputPasswordDlg_cl::IdNewPassword)->text(), QStringLiteral("new"));
        QVERIFY(CanLogIn(UserSession_cl::SuperPassword));
    }

    void ChangesThePassword() {
        WInputPasswordDlg_cl dialog;
        dialog.show();
        // A double quote is no danger to a statement and is taken as it is.
        const QString newPassword = QStringLiteral("新\"密码");
        Fill(dialog, UserSession_cl::SuperPassword, newPassword, newPassword);
        Finish(dialog);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(session->Prompt().shown.isEmpty());
        QVERIFY(!CanLogIn(UserSession_cl::SuperPassword));
        QVERIFY(CanLogIn(newPassword));
    }

private:
    std::unique_ptr<UserSession_cl> session;
};

WINDOW_TEST(WInputPasswordDlgTest);

#include "WInputPasswordDlgTest.moc"
