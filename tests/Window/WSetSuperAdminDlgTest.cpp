#include "Window/WSetSuperAdminDlg.h"
#include "WindowTesting.h"

#include <QLineEdit>
#include <QPushButton>

using namespace WindowTesting_ns;
using Dialog = Vorelle_ns::WSetSuperAdminDlg_cl;

namespace {

void Fill(Dialog& dialog, const QString& userName, const QString& password, const QString& confirm) {
    Type(Control<QLineEdit>(dialog, Dialog::IdUserName), userName);
    Type(Control<QLineEdit>(dialog, Dialog::IdPassword), password);
    Type(Control<QLineEdit>(dialog, Dialog::IdConfirm), confirm);
}

}  // namespace

class WSetSuperAdminDlgTest : public QObject {
    Q_OBJECT

private slots:
    void init() { environment = std::make_unique<Environment_cl>(); }
    void cleanup() { environment.reset(); }

    void NoSeventeenthCharacter() {
        Dialog dialog;
        Fill(dialog, QStringLiteral("一二三四五六七八九十abcdefg"), QStringLiteral("12345678901234567"),
             QStringLiteral("abcdefghijklmnopq"));
        QCOMPARE(Control<QLineEdit>(dialog, Dialog::IdUserName)->text(), QStringLiteral("一二三四五六七八九十abcdef"));
        QCOMPARE(Control<QLineEdit>(dialog, Dialog::IdPassword)->text(), QStringLiteral("1234567890123456"));
        QCOMPARE(Control<QLineEdit>(dialog, Dialog::IdConfirm)->text(), QStringLiteral("abcdefghijklmnop"));
    }

    void ChecksInOrder_data() {
        QTest::addColumn<QString>("userName");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("confirm");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("focus");
        QTest::newRow("all empty") << "" << "" << "" << "请输入用户名。" << int(Dialog::IdUserName);
        QTest::newRow("no password") << "admin" << "" << "x" << "请输入密码。" << int(Dialog::IdPassword);
        QTest::newRow("no confirmation") << "admin" << "pw" << "" << "请输入密码确认。" << int(Dialog::IdConfirm);
        QTest::newRow("differ") << "ad'min" << "pw" << "pW" << "两次密码不一致。" << int(Dialog::IdPassword);
        QTest::newRow("quote in name") << "ad'min" << "p'w" << "p'w" << "用户名中有非法字符。" << int(Dialog::IdUserName);
        QTest::newRow("quote in password") << "admin" << "p'w" << "p'w" << "密码中有非法字符。" << int(Dialog::IdPassword);
    }

    void ChecksInOrder() {
        QFETCH(QString, userName);
        QFETCH(QString, password);
        QFETCH(QString, confirm);
        QFETCH(QString, message);
        QFETCH(int, focus);
        Dialog dialog;
        dialog.show();
        Fill(dialog, userName, password, confirm);
        Click(Control<QPushButton>(dialog, Dialog::IdOK));

        QCOMPARE(environment->prompt.shown.size(), 1);
        QCOMPARE(environment->prompt.shown[0].text, message);
        QCOMPARE(environment->prompt.shown[0].caption, QStringLiteral("用户错误"));
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.focusWidget(), Control<QLineEdit>(dialog, focus));
    }

    void DoubleQuoteAcceptedWithEnter() {
        Dialog dialog;
        dialog.show();
        Fill(dialog, QStringLiteral("管理员"), QStringLiteral("p\"w"), QStringLiteral("p\"w"));
        QTest::keyClick(Control<QLineEdit>(dialog, Dialog::IdConfirm), Qt::Key_Return);

        QVERIFY(environment->prompt.shown.isEmpty());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.GetUserName(), QStringLiteral("管理员"));
        QCOMPARE(dialog.GetPassword(), QStringLiteral("p\"w"));
    }

    void CancelAndEscapeCheckNothing() {
        Dialog cancelled;
        cancelled.show();
        Click(Control<QPushButton>(cancelled, Dialog::IdCancel));
        Dialog escaped;
        escaped.show();
        QTest::keyClick(Control<QLineEdit>(escaped, Dialog::IdUserName), Qt::Key_Escape);

        for (Dialog* dialog : {&cancelled, &escaped}) {
            QVERIFY(!dialog->isVisible());
            QCOMPARE(dialog->result(), int(QDialog::Rejected));
        }
        QVERIFY(environment->prompt.shown.isEmpty());
    }

private:
    std::unique_ptr<Environment_cl> environment;
};

WINDOW_TEST(WSetSuperAdminDlgTest);

#include "WSetSuperAdminDlgTest.moc"
