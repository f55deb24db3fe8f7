#include "Window/WSetSuperAdminDlg.h"
#include "WindowTesting.h"

#include <QLineEdit>
#include <QPushButton>

using namespace WindowTesting_ns;
using Vorelle_ns::WSetSuperAdminDlg_cl;

class WSetSuperAdminDlgTest : public QObject {
    Q_OBJECT

private slots:
    void init() { environment = std::make_unique<Environment_cl>(); }
    void cleanup() { environment.reset(); }

    void LayoutTexts() {
        WSetSuperAdminDlg_cl dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("超级管理员设置"));
        QCOMPARE(Control<QPushButton>(dialog, WSetSuperAdminDlg_cl::IdOK)->text(), QStringLiteral("完成(&F)"));
        QCOMPARE(Control<QPushButton>(dialog, WSetSuperAdminDlg_cl::IdCancel)->text(), QStringLiteral("取消(&E)"));
        for (int32_t id : {WSetSuperAdminDlg_cl::IdPassword, WSetSuperAdminDlg_cl::IdConfirm})
            QCOMPARE(Control<QLineEdit>(dialog, id)->echoMode(), QLineEdit::Password);
    }

    void NoSeventeenthCharacter() {
        WSetSuperAdminDlg_cl dialog;
        for (int32_t id : {WSetSuperAdminDlg_cl::IdUserName, WSetSuperAdminDlg_cl::IdPassword,
                           WSetSuperAdminDlg_cl::IdConfirm}) {
            QLineEdit* edit = Control<QLineEdit>(dialog, id);
            Type(edit, QStringLiteral("一二三四五六七八九十abcdefg"));
            QCOMPARE(edit->text(), QStringLiteral("一二三四五六七八九十abcdef"));
        }
    }

    void ChecksInOrder_data() {
        QTest::addColumn<QString>("userName");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("confirm");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("focus");
        QTest::newRow("all empty") << "" << "" << "" << "请输入用户名。" << int(WSetSuperAdminDlg_cl::IdUserName);
        QTest::newRow("no password") << "admin" << "" << "x" << "请输入密码。" << int(WSetSuperAdminDlg_cl::IdPassword);
        QTest::newRow("no confirmation") << "admin" << "pw" << "" << "请输入密码确认。"
                                         << int(WSetSuperAdminDlg_cl::IdConfirm);
        QTest::newRow("differ") << "ad'min" << "pw" << "pW" << "两次密码不一致。" << int(WSetSuperAdminDlg_cl::IdPassword);
        QTest::newRow("quote in name") << "ad'min" << "p'w" << "p'w" << "用户名中有非法字符。"
                                       << int(WSetSuperAdminDlg_cl::IdUserName);
        QTest::newRow("quote in password") << "admin" << "p'w" << "p'w" << "密码中有非法字符。"
                                           << int(WSetSuperAdminDlg_cl::IdPassword);
    }

    void ChecksInOrder() {
        QFETCH(QString, userName);
        QFETCH(QString, password);
        QFETCH(QString, confirm);
        QFETCH(QString, message);
        QFETCH(int, focus);
        WSetSuperAdminDlg_cl dialog;
        dialog.show();
        Type(Control<QLineEdit>(dialog, WSetSuperAdminDlg_cl::IdUserName), userName);
        Type(Control<QLineEdit>(dialog, WSetSuperAdminDlg_cl::IdPassword), password);
        Type(Control<QLineEdit>(dialog, WSetSuperAdminDlg_cl::IdConfirm), confirm);
        Click(Control<QPushButton>(dialog, WSetSuperAdminDlg_cl::IdOK));

        QCOMPARE(environment->prompt.shown.size(), 1);
        QCOMPARE(environment->prompt.shown[0].text, message);
        QCOMPARE(environment->prompt.shown[0].caption, QStringLiteral("用户错误"));
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.focusWidget(), Control<QLineEdit>(dialog, focus));
    }

    void DoubleQuoteAcceptedWithEnter() {
        WSetSuperAdminDlg_cl dialog;
        dialog.show();
        Type(Control<QLineEdit>(dialog, WSetSuperAdminDlg_cl::IdUserName), QStringLiteral("管理员"));
        Type(Control<QLineEdit>(dialog, WSetSuperAdminDlg_cl::IdPassword), QStringLiteral("p\"w"));
        Type(Control<QLineEdit>(dialog, WSetSuperAdminDlg_cl::IdConfirm), QStringLiteral("p\"w"));
        QTest::keyClick(Control<QLineEdit>(dialog, WSetSuperAdminDlg_cl::IdConfirm), Qt::Key_Return);

        QVERIFY(environment->prompt.shown.isEmpty());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.GetUserName(), QStringLiteral("管理员"));
        QCOMPARE(dialog.GetPassword(), QStringLiteral("p\"w"));
    }

    void CancelChecksNothing() {
        WSetSuperAdminDlg_cl dialog;
        dialog.show();
        Click(Control<QPushButton>(dialog, WSetSuperAdminDlg_cl::IdCancel));
        QCOMPARE(dialog.result(), int(QDialog::Rejected));

        WSetSuperAdminDlg_cl escaped;
        escaped.show();
        Type(Control<QLineEdit>(escaped, WSetSuperAdminDlg_cl::IdUserName), QStringLiteral("x"));
        QTest::keyClick(&escaped, Qt::Key_Escape);
        QCOMPARE(escaped.result(), int(QDialog::Rejected));
        QVERIFY(!escaped.isVisible());
        QVERIFY(environment->prompt.shown.isEmpty());
    }

private:
    std::unique_ptr<Environment_cl> environment;
};

WINDOW_TEST(WSetSuperAdminDlgTest);

#include "WSetSuperAdminDlgTest.moc"
