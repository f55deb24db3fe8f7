#include "Window/WInputUserDlg.h"

#include "UserSession.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using Vorelle_ns::DataCore;
using Vorelle_ns::WInputUserDlg_cl;

class WInputUserDlgTest : public QObject {
    Q_OBJECT

    static QLineEdit* Edit(QDialog& dialog, int32_t id) {
        return dialog.findChild<QLineEdit*>(QString::number(id));
    }
    static CTL_ns::ComboBox_cl* Power(QDialog& dialog) {
        return dialog.findChild<CTL_ns::ComboBox_cl*>(QString::number(WInputUserDlg_cl::IdPower));
    }
    static void Press(QDialog& dialog, int32_t id) {
        QTest::mouseClick(dialog.findChild<QPushButton*>(QString::number(id)), Qt::LeftButton);
    }
    static void Fill(QDialog& dialog, const QString& userName, const QString& password, const QString& confirm) {
        Edit(dialog, WInputUserDlg_cl::IdUserName)->setText(userName);
        Edit(dialog, WInputUserDlg_cl::IdPassword)->setText(password);
        Edit(dialog, WInputUserDlg_cl::IdConfirm)->setText(confirm);
    }
    // The power of the valid user of that name, or -1.
    static int32_t PowerOf(const QString& userName) {
        const Base_ns::Trusteeship_tl<Vorelle_ns::UserInfo_st> users = DataCore().GetUserManage().GetUsers();
        for (int32_t i = 0; i < users.Count(); ++i) {
            if (users[i].userName == userName) return users[i].power;
        }
        return -1;
    }

private slots:
    void init() { session = std::make_unique<UserSession_cl>(); }
    void cleanup() { session.reset(); }

    void OffersThePowersBelowTheSuperAdministrator() {
        WInputUserDlg_cl dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("用户设置"));
        CTL_ns::ComboBox_cl* power = Power(dialog);
        QCOMPARE(power->count(), 3);
        const QStringList texts{QStringLiteral("管理员"), QStringLiteral("普通"), QStringLiteral("独立")};
        for (int32_t i = 0; i < 3; ++i) {
            QCOMPARE(power->itemText(i), texts[i]);
            QCOMPARE(power->ItemData(i), i + 1);
        }
        QCOMPARE(power->CurrentSelection(), 1);
        QVERIFY(!power->isEditable());
        // Sixteen characters, an emoji counted as one and never halved.
        for (int32_t id : {WInputUserDlg_cl::IdUserName, WInputUserDlg_cl::IdPassword, WInputUserDlg_cl::IdConfirm}) {
            Edit(dialog, id)->insert(QString(15, u'长') + QStringLiteral("🎂🎂"));
            QCOMPARE(Edit(dialog, id)->text(), QString(15, u'长') + QStringLiteral("🎂"));
            Edit(dialog, id)->clear();
        }
    }

    void QuestionMarkExplainsThePowers() {
        WInputUserDlg_cl dialog;
        dialog.show();
        Press(dialog, WInputUserDlg_cl::IdExplain);
        QCOMPARE(session->Prompt().shown.size(), 1);
        QCOMPARE(session->Prompt().shown[0].caption, QStringLiteral("用户权限说明"));
        QVERIFY(session->Prompt().shown[0].text.startsWith(QStringLiteral("超级管理员，可创建和删除用户")));
        QVERIFY(session->Prompt().shown[0].text.endsWith(QStringLiteral("独立，只能查看修改删除自己的费用记录\r\n")));
        QCOMPARE(session->Prompt().shown[0].text.count(QStringLiteral("\r\n")), 4);
        QVERIFY(dialog.isVisible());
    }

    void ChecksRunInOrder_data() {
        QTest::addColumn<QString>("userName");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("confirm");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("focus");
        QTest::newRow("name empty") << "" << "" << "" << "请输入用户名。" << WInputUserDlg_cl::IdUserName;
        QTest::newRow("password empty") << "a'" << "" << "" << "请输入密码。" << WInputUserDlg_cl::IdPassword;
        QTest::newRow("confirmation empty") << "a'" << "b" << "" << "请输入密码确认。" << WInputUserDlg_cl::IdConfirm;
        QTest::newRow("mismatch") << "a'" << "b'" << "c'" << "两次密码不一致。" << WInputUserDlg_cl::IdPassword;
        QTest::newRow("quote in name") << "a'" << "b'" << "b'" << "用户名中有非法字符。" << WInputUserDlg_cl::IdUserName;
        QTest::newRow("quote in password") << "a" << "b'" << "b'" << "密码中有非法字符。" << WInputUserDlg_cl::IdPassword;
    }
    void ChecksRunInOrder() {
        QFETCH(QString, userName);
        QFETCH(QString, password);
        QFETCH(QString, confirm);
        QFETCH(QString, message);
        QFETCH(int, focus);
        WInputUserDlg_cl dialog;
        dialog.show();
        Fill(dialog, userName, password, confirm);
        Press(dialog, WInputUserDlg_cl::IdOK);
        QVERIFY(dialog.isVisible());
        QCOMPARE(session->Prompt().shown.size(), 1);
        QCOMPARE(session->Prompt().shown[0].text, message);
        QCOMPARE(dialog.focusWidget(), Edit(dialog, focus));
        QCOMPARE(DataCore().GetUserManage().GetUsers().Count(), 1);
    }

    void AddsUsersOfEachPower() {
        const QStringList names{QStringLiteral("管理员甲"), QStringLiteral("普通乙"), QStringLiteral("独立丙")};
        for (int32_t power = 1; power <= 3; ++power) {
            WInputUserDlg_cl dialog;
            dialog.show();
            Power(dialog)->setCurrentIndex(power - 1);
            // A double quote is no danger to a statement and is taken as it is.
            Fill(dialog, names[power - 1], QStringLiteral("p\"w"), QStringLiteral("p\"w"));
            Press(dialog, WInputUserDlg_cl::IdOK);
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        }
        QVERIFY(session->Prompt().shown.isEmpty());
        for (int32_t power = 1; power <= 3; ++power) QCOMPARE(PowerOf(names[power - 1]), power);
        session->LogIn(names[2], QStringLiteral("p\"w"));
        QVERIFY(!DataCore().GetUserManage().CanViewOthers());
    }

    void RefusesADuplicateName() {
        session->AddUser(QStringLiteral("小张"), 2);
        WInputUserDlg_cl dialog;
        dialog.show();
        Fill(dialog, QStringLiteral("小张"), QStringLiteral("x"), QStringLiteral("x"));
        Press(dialog, WInputUserDlg_cl::IdOK);
        QVERIFY(dialog.isVisible());
        QCOMPARE(session->Prompt().shown.size(), 1);
        QCOMPARE(session->Prompt().shown[0].text, QStringLiteral("重复的用户名。"));
        QCOMPARE(Edit(dialog, WInputUserDlg_cl::IdUserName)->text(), QStringLiteral("小张"));
        QCOMPARE(DataCore().GetUserManage().GetUsers().Count(), 2);
    }

private:
    std::unique_ptr<UserSession_cl> session;
};

WINDOW_TEST(WInputUserDlgTest);

#include "WInputUserDlgTest.moc"
