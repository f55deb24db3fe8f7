#include "Window/WInputRecordDlg.h"

#include "CTL/ComboBox.h"
#include "CTL/Report.h"
#include "CTL/TabCtrl.h"
#include "RecordSession.h"
#include "WindowTesting.h"
#include "settings/Unique.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QDateTimeEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>

using namespace WindowTesting_ns;
using CTL_ns::ComboBox_cl;
using Vorelle_ns::WInputRecordDlg_cl;

namespace {

const QDateTime kWhen(QDate(2024, 5, 17), QTime(12, 30, 5));

ComboBox_cl* Combo(QWidget& dialog, int32_t id) { return Control<ComboBox_cl>(dialog, id); }
QCheckBox* Box(QWidget& dialog, int32_t id) { return Control<QCheckBox>(dialog, id); }
QPushButton* Button(QWidget& dialog, int32_t id) { return Control<QPushButton>(dialog, id); }
QPlainTextEdit* Comment(QWidget& dialog) { return Control<QPlainTextEdit>(dialog, WInputRecordDlg_cl::IdComment); }
CTL_ns::Report_cl* Templates(QWidget& dialog) { return Control<CTL_ns::Report_cl>(dialog, WInputRecordDlg_cl::IdTemplates); }
CTL_ns::TabCtrl_cl* Tabs(QWidget& dialog) { return Control<CTL_ns::TabCtrl_cl>(dialog, WInputRecordDlg_cl::IdKindTab); }

// Types an entry into the dialog as a person would.
void Enter(QWidget& dialog, const QString& category, const QString& name, const QString& amount,
           const QString& comment = QString()) {
    Type(Combo(dialog, WInputRecordDlg_cl::IdCategory), category);
    Type(Combo(dialog, WInputRecordDlg_cl::IdName), name);
    Type(Combo(dialog, WInputRecordDlg_cl::IdAmount), amount);
    Comment(dialog)->setPlainText(comment);
}

void ChooseKind(QWidget& dialog, int32_t kind) {
    Tabs(dialog)->TabBar()->setCurrentIndex(kind);
    Settle();
}

QStringList Items(ComboBox_cl* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    return items;
}

QStringList Lines(CTL_ns::Report_cl* list) {
    QStringList lines;
    for (int32_t i = 0; i < list->RowCount(); ++i) lines << list->Text(i, 0);
    return lines;
}

bool HasFocus(QWidget& dialog, QWidget* control) {
    QWidget* focus = dialog.focusWidget();
    return focus == control || control->isAncestorOf(focus);
}

}  // namespace

class WInputRecordDlgTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        environment = std::make_unique<Environment_cl>();
        session = std::make_unique<RecordSession_cl>();
    }
    void cleanup() {
        session.reset();
        environment.reset();
    }

    void AddsExpensesNegativeAndIncomesPositive() {
        WInputRecordDlg_cl dialog(Base_ns::DateTime_cl::FromQDateTime(kWhen), nullptr);
        dialog.show();
        Settle();
        Enter(dialog, QStringLiteral("餐饮"), QStringLiteral("午饭"), QStringLiteral("12.5"), QStringLiteral("同事聚餐"));
        Click(Button(dialog, WInputRecordDlg_cl::IdOK));
        QVERIFY(environment->prompt.shown.isEmpty());
        Vorelle_ns::RecordDetail_st booked = RecordSession_cl::Newest();
        QCOMPARE(booked.expense, -1250);
        QCOMPARE(booked.typeName, QStringLiteral("餐饮"));
        QCOMPARE(booked.expenseName, QStringLiteral("午饭"));
        QCOMPARE(booked.comment, QStringLiteral("同事聚餐"));
        QCOMPARE(booked.recordTime.ToQDateTime(), kWhen);
        QCOMPARE(booked.statisticsMode, 0);

        // Enter in a box adds as well.
        ChooseKind(dialog, 1);
        Enter(dialog, QStringLiteral("工资"), QString(), QStringLiteral("12.5"));
        QTest::keyClick(Combo(dialog, WInputRecordDlg_cl::IdAmount)->lineEdit(), Qt::Key_Return);
        QCOMPARE(RecordSession_cl::Newest().expense, 1250);
        Enter(dialog, QStringLiteral("工资"), QString(), QStringLiteral("0.01"));
        Click(Button(dialog, WInputRecordDlg_cl::IdOK));
        QCOMPARE(RecordSession_cl::Newest().expense, 1);
        // The balances moved with every entry.
        QCOMPARE(RecordSession_cl::SingleAccount(), 1);
        QCOMPARE(RecordSession_cl::PublicAccount(), 1);
        QVERIFY(environment->prompt.shown.isEmpty());
    }

    void RefusesAmounts_data() {
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("message");
        QTest::newRow("below a cent") << "0.004" << "金额不正确，应为大于零的数字，以元为单位，最多两位小数，最多为21474836.47。";
        QTest::newRow("a third decimal") << "12.345" << "金额不正确，应为大于零的数字，以元为单位，最多两位小数，最多为21474836.47。";
        QTest::newRow("negative") << "-5" << "金额不正确，应为大于零的数字，以元为单位，最多两位小数，最多为21474836.47。";
        QTest::newRow("zero") << "0" << "金额不正确，应为大于零的数字，以元为单位，最多两位小数，最多为21474836.47。";
        QTest::newRow("beyond 32 bits") << "21474836.48" << "金额不正确，应为大于零的数字，以元为单位，最多两位小数，最多为21474836.47。";
        QTest::newRow("far beyond") << "99999999999999999999" << "金额不正确，应为大于零的数字，以元为单位，最多两位小数，最多为21474836.47。";
        QTest::newRow("empty") << "" << "请输入金额。";
        QTest::newRow("exponent") << "1e3" << "金额不正确，应为大于零的数字，以元为单位，最多两位小数，最多为21474836.47。";
        QTest::newRow("thousands") << "1,000" << "金额不正确，应为大于零的数字，以元为单位，最多两位小数，最多为21474836.47。";
        QTest::newRow("words") << "十二" << "金额不正确，应为大于零的数字，以元为单位，最多两位小数，最多为21474836.47。";
    }

    void RefusesAmounts() {
        QFETCH(QString, amount);
        QFETCH(QString, message);
        WInputRecordDlg_cl dialog(Base_ns::DateTime_cl::FromQDateTime(kWhen), nullptr);
        dialog.show();
        Settle();
        Enter(dialog, QStringLiteral("餐饮"), QStringLiteral("午饭"), amount);
        Click(Button(dialog, WInputRecordDlg_cl::IdOK));
        QCOMPARE(environment->prompt.shown.size(), 1);
        QCOMPARE(environment->prompt.shown[0].text, message);
        QVERIFY(HasFocus(dialog, Combo(dialog, WInputRecordDlg_cl::IdAmount)));
        QCOMPARE(RecordSession_cl::LiveRecords(), 0);
        QVERIFY(dialog.isVisible());
    }

    void LargestAmountAndDigitsAsTyped() {
        WInputRecordDlg_cl dialog(Base_ns::DateTime_cl::FromQDateTime(kWhen), nullptr);
        Settle();
        ChooseKind(dialog, 1);
        Enter(dialog, QStringLiteral("工资"), QString(), QStringLiteral("21474836.47"));
        Click(Button(dialog, WInputRecordDlg_cl::IdOK));
        QCOMPARE(RecordSession_cl::Newest().expense, 2147483647);
        ChooseKind(dialog, 0);
        // 0.29 has no exact binary form; the typed digits decide.
        Enter(dialog, QStringLiteral("餐饮"), QString(), QStringLiteral("0.29"));
        Click(Button(dialog, WInputRecordDlg_cl::IdOK));
        QCOMPARE(RecordSession_cl::Newest().expense, -29);
        QVERIFY(environment->prompt.shown.isEmpty());
    }

    void ChecksInOrderWithFocus_data() {
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("comment");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("focus");
        QTest::newRow("no category") << "" << "x'" << "'" << "请输入分类。" << int(WInputRecordDlg_cl::IdCategory);
        QTest::newRow("quote in category") << "餐'饮" << "x'" << "'" << "分类中有非法字符（'）。"
                                           << int(WInputRecordDlg_cl::IdCategory);
        QTest::newRow("quote in name") << "餐饮" << "'午饭" << "'" << "费用名称中有非法字符（'）。"
                                       << int(WInputRecordDlg_cl::IdName);
        QTest::newRow("quote in comment") << "餐饮" << "午饭" << "Tom's" << "注释中有非法字符（'）。"
                                          << int(WInputRecordDlg_cl::IdComment);
    }

    void ChecksInOrderWithFocus() {
        QFETCH(QString, category);
        QFETCH(QString, name);
        QFETCH(QString, comment);
        QFETCH(QString, message);
        QFETCH(int, focus);
        WInputRecordDlg_cl dialog(Base_ns::DateTime_cl::FromQDateTime(kWhen), nullptr);
        dialog.show();
        Settle();
        Enter(dialog, category, name, QStringLiteral("3"), comment);
        Click(Button(dialog, WInputRecordDlg_cl::IdOK));
        QCOMPARE(environment->prompt.shown.size(), 1);
        QCOMPARE(environment->prompt.shown[0].text, message);
        QCOMPARE(environment->prompt.shown[0].caption, QStringLiteral("用户错误"));
        QVERIFY(HasFocus(dialog, Control<QWidget>(dialog, focus)));
        QCOMPARE(RecordSession_cl::LiveRecords(), 0);
        // Nothing typed is lost by a refusal.
        QCOMPARE(Combo(dialog, WInputRecordDlg_cl::IdName)->Text(), name);
        QCOMPARE(Comment(dialog)->toPlainText(), comment);
    }

    void TwoAddsKeepDateTabAndBoxes() {
        WInputRecordDlg_cl dialog(Base_ns::DateTime_cl::FromQDateTime(kWhen), nullptr);
        dialog.show();
        Settle();
        ChooseKind(dialog, 1);
        Click(Box(dialog, WInputRecordDlg_cl::IdMonthly));
        const QDateTime other(QDate(2023, 12, 31), QTime(23, 0, 0));
        Control<QDateTimeEdit>(dialog, WInputRecordDlg_cl::IdDate)->setDateTime(other);
        for (const QString& name : {QStringLiteral("一月奖金"), QStringLiteral("年终奖")}) {
            Enter(dialog, QStringLiteral("奖金"), name, QStringLiteral("100"), QStringLiteral("好"));
            Click(Button(dialog, WInputRecordDlg_cl::IdOK));
            Settle();
            const Vorelle_ns::RecordDetail_st booked = RecordSession_cl::Newest();
            QCOMPARE(booked.expenseName, name);
            QCOMPARE(booked.expense, 10000);
            QCOMPARE(booked.statisticsMode, 1);
            QCOMPARE(booked.recordTime.ToQDateTime(), other);
            QCOMPARE(Tabs(dialog)->CurrentIndex(), 1);
            QCOMPARE(Control<QDateTimeEdit>(dialog, WInputRecordDlg_cl::IdDate)->dateTime(), other);
            QVERIFY(!Box(dialog, WInputRecordDlg_cl::IdMonthly)->isChecked());
            QVERIFY(Box(dialog, WInputRecordDlg_cl::IdYearly)->isChecked());
            for (int32_t id : {WInputRecordDlg_cl::IdCategory, WInputRecordDlg_cl::IdName, WInputRecordDlg_cl::IdAmount}) {
                QCOMPARE(Combo(dialog, id)->Text(), QString());
            }
            QCOMPARE(Comment(dialog)->toPlainText(), QString());
        }
        QCOMPARE(RecordSession_cl::LiveRecords(), 2);
        // What was typed comes back in the drop-downs, the most recent first.
        QCOMPARE(Items(Combo(dialog, WInputRecordDlg_cl::IdName)), (QStringList{"年终奖", "一月奖金"}));
        QCOMPARE(Items(Combo(dialog, WInputRecordDlg_cl::IdAmount)), QStringList{"100"});
        QCOMPARE(Combo(dialog, WInputRecordDlg_cl::IdCategory)->itemText(0), QStringLiteral("奖金"));
        QCOMPARE(Unique_ns::GetCustomFromDatabase().ReadInteger(QStringLiteral("费用模式"), -1), 1);
        QVERIFY(environment->prompt.shown.isEmpty());

        // The next dialog opens on the income tab, the expense lists untouched.
        WInputRecordDlg_cl next(Base_ns::DateTime_cl::FromQDateTime(kWhen), nullptr);
        Settle();
        QCOMPARE(Tabs(next)->CurrentIndex(), 1);
        ChooseKind(next, 0);
        QCOMPARE(Items(Combo(next, WInputRecordDlg_cl::IdName)), QStringList());
    }

    void RecentCategoriesMostRecentFirst() {
        WInputRecordDlg_cl dialog(Base_ns::DateTime_cl::FromQDateTime(kWhen), nullptr);
        Settle();
        for (const QString& category : {QStringLiteral("交通"), QStringLiteral("餐饮"), QStringLiteral("新分类")}) {
            Enter(dialog, category, QString(), QStringLiteral("1"));
            Click(Button(dialog, WInputRecordDlg_cl::IdOK));
        }
        const QStringList items = Items(Combo(dialog, WInputRecordDlg_cl::IdCategory));
        QCOMPARE(items.mid(0, 3), (QStringList{"新分类", "餐饮", "交通"}));
        QCOMPARE(items.count(QStringLiteral("餐饮")), 1);
    }

    void YearlyBoxGovernsTheMode() {
        WInputRecordDlg_cl dialog(Base_ns::DateTime_cl::FromQDateTime(kWhen), nullptr);
        dialog.show();
        Settle();
        QCheckBox* monthly = Box(dialog, WInputRecordDlg_cl::IdMonthly);
        Click(Box(dialog, WInputRecordDlg_cl::IdYearly));
        QVERIFY(!monthly->isEnabled());
        QVERIFY(monthly->isChecked());
        Enter(dialog, QStringLiteral("餐饮"), QString(), QStringLiteral("1"));
        Click(Button(dialog, WInputRecordDlg_cl::IdOK));
        QCOMPARE(RecordSession_cl::Newest().statisticsMode, 2);
        Click(Box(dialog, WInputRecordDlg_cl::IdYearly));
        QVERIFY(monthly->isEnabled());
        Enter(dialog, QStringLiteral("餐饮"), QString(), QStringLiteral("1"));
        Click(Button(dialog, WInputRecordDlg_cl::IdOK));
        QCOMPARE(RecordSession_cl::Newest().statisticsMode, 0);
    }

    void EditChangesTheEntry() {
        const int32_t sn = RecordSession_cl::Book(QStringLiteral("餐饮"), QStringLiteral("午饭"), -300, kWhen, 1,
                                                  QStringLiteral("旧注释"));
        WInputRecordDlg_cl dialog(sn, nullptr);
        dialog.show();
        Settle();
        QCOMPARE(Tabs(dialog)->CurrentIndex(), 0);
        QCOMPARE(Combo(dialog, WInputRecordDlg_cl::IdCategory)->Text(), QStringLiteral("餐饮"));
        QCOMPARE(Combo(dialog, WInputRecordDlg_cl::IdName)->Text(), QStringLiteral("午饭"));
        QCOMPARE(Combo(dialog, WInputRecordDlg_cl::IdAmount)->Text(), QStringLiteral("3.00"));
        QCOMPARE(Comment(dialog)->toPlainText(), QStringLiteral("旧注释"));
        QCOMPARE(Control<QDateTimeEdit>(dialog, WInputRecordDlg_cl::IdDate)->dateTime(), kWhen);
        QVERIFY(!Box(dialog, WInputRecordDlg_cl::IdMonthly)->isChecked());
        QVERIFY(Box(dialog, WInputRecordDlg_cl::IdYearly)->isChecked());
        // The kind stays; templates are for new entries only.
        QVERIFY(!Tabs(dialog)->isEnabled());
        QVERIFY(!Templates(dialog)->isEnabled());
        QVERIFY(!Button(dialog, WInputRecordDlg_cl::IdStoreTemplate)->isEnabled());

        Type(Combo(dialog, WInputRecordDlg_cl::IdAmount), QStringLiteral("5"));
        Click(Button(dialog, WInputRecordDlg_cl::IdOK));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(RecordSession_cl::Newest().expense, -500);
        QCOMPARE(RecordSession_cl::SingleAccount(), -500);
        QCOMPARE(RecordSession_cl::LiveRecords(), 1);
    }

    // Money back from a purchase: shown as a refund, changed as one, never made income.
    void EditOfARefundKeepsItARefund() {
        Vorelle_ns::RecordInfo_st refund;
        refund.recordTime = Base_ns::DateTime_cl::FromQDateTime(kWhen);
        refund.typeName = QStringLiteral("餐饮");
        refund.expenseName = QStringLiteral("退款");
        refund.expense = 550;
        refund.userName = RecordSession_cl::SuperName;
        refund.refund = true;
        Container_ns::List_tl<Vorelle_ns::RecordInfo_st> list;
        list.Append(refund);
        Vorelle_ns::DataCore().GetRecordManage().ImportRecords(list);
        WInputRecordDlg_cl dialog(RecordSession_cl::NewestSn(), nullptr);
        dialog.show();
        Settle();
        QCOMPARE(Tabs(dialog)->CurrentIndex(), 0);
        QVERIFY(dialog.windowTitle().contains(QStringLiteral("退款")));
        QCOMPARE(Combo(dialog, WInputRecordDlg_cl::IdAmount)->Text(), QStringLiteral("+5.50"));
        Type(Combo(dialog, WInputRecordDlg_cl::IdAmount), QStringLiteral("6"));
        Click(Button(dialog, WInputRecordDlg_cl::IdOK));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(RecordSession_cl::Newest().expense, 600);
        QVERIFY(RecordSession_cl::Newest().refund);
        QCOMPARE(RecordSession_cl::Count(QStringLiteral("select count(*) from zorb_expense_type where type_name = '餐饮' and kind = '1'")), 0);
    }

    void EditOfAnIncomeOffersIncomeCategories() {
        const int32_t sn = RecordSession_cl::Book(QStringLiteral("工资"), QString(), 880000, kWhen);
        WInputRecordDlg_cl dialog(sn, nullptr);
        Settle();
        QCOMPARE(Tabs(dialog)->CurrentIndex(), 1);
        QCOMPARE(Combo(dialog, WInputRecordDlg_cl::IdAmount)->Text(), QStringLiteral("8800.00"));
        const QStringList items = Items(Combo(dialog, WInputRecordDlg_cl::IdCategory));
        const Base_ns::Trusteeship_tl<QString> income = Vorelle_ns::DataCore().GetControlUser().GetTypeNames(true);
        QCOMPARE(items.size(), income.Count());
        QCOMPARE(items[0], QStringLiteral("工资"));
    }

    void OthersEntriesByPower() {
        const int32_t sn = RecordSession_cl::Book(QStringLiteral("餐饮"), QStringLiteral("午饭"), -300, kWhen);
        RecordSession_cl::AddUser(QStringLiteral("小李"), 2);
        RecordSession_cl::AddUser(QStringLiteral("老张"), 1);

        session->LogIn(QStringLiteral("小李"));
        WInputRecordDlg_cl shown(sn, nullptr);
        Settle();
        QVERIFY(!Button(shown, WInputRecordDlg_cl::IdOK)->isEnabled());
        for (int32_t id : {WInputRecordDlg_cl::IdCategory, WInputRecordDlg_cl::IdName, WInputRecordDlg_cl::IdAmount,
                           WInputRecordDlg_cl::IdDate, WInputRecordDlg_cl::IdComment, WInputRecordDlg_cl::IdYearly,
                           WInputRecordDlg_cl::IdMonthly}) {
            QVERIFY2(!Control<QWidget>(shown, id)->isEnabled(), qPrintable(QString::number(id)));
        }
        QVERIFY(Button(shown, WInputRecordDlg_cl::IdCancel)->isEnabled());
        QCOMPARE(Combo(shown, WInputRecordDlg_cl::IdName)->Text(), QStringLiteral("午饭"));

        session->LogIn(QStringLiteral("老张"));
        WInputRecordDlg_cl allowed(sn, nullptr);
        allowed.show();
        Settle();
        QVERIFY(Button(allowed, WInputRecordDlg_cl::IdOK)->isEnabled());
        Type(Combo(allowed, WInputRecordDlg_cl::IdAmount), QStringLiteral("4"));
        Click(Button(allowed, WInputRecordDlg_cl::IdOK));
        QCOMPARE(allowed.result(), int(QDialog::Accepted));
        QCOMPARE(RecordSession_cl::Newest().expense, -400);
        QVERIFY(environment->prompt.shown.isEmpty());
    }

    void AnEntryThatCannotBeLoadedCancels() {
        WInputRecordDlg_cl dialog(4711, nullptr);
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QCOMPARE(environment->prompt.shown.size(), 1);
        QCOMPARE(environment->prompt.shown[0].text, QStringLiteral("该记录已经被删除。"));
    }

    void FrequentlyUsedEntries() {
        WInputRecordDlg_cl dialog(Base_ns::DateTime_cl::FromQDateTime(kWhen), nullptr);
        dialog.show();
        Settle();
        CTL_ns::Report_cl* list = Templates(dialog);
        Enter(dialog, QStringLiteral("餐饮"), QStringLiteral("午饭"), QStringLiteral("12.5"), QStringLiteral("食堂"));
        Click(Box(dialog, WInputRecordDlg_cl::IdMonthly));
        Click(Button(dialog, WInputRecordDlg_cl::IdStoreTemplate));
        Enter(dialog, QStringLiteral("交通"), QString(), QString(), QStringLiteral("月票"));
        Click(Button(dialog, WInputRecordDlg_cl::IdStoreTemplate));
        QCOMPARE(Lines(list), (QStringList{"餐饮　午饭　-12.50　食堂", "交通　月票"}));
        QCOMPARE(RecordSession_cl::LiveRecords(), 0);

        // Taking one fills the input; date and tab stay.
        Enter(dialog, QString(), QString(), QString());
        Click(Box(dialog, WInputRecordDlg_cl::IdMonthly));
        list->SelectRow(0);
        Click(Button(dialog, WInputRecordDlg_cl::IdTakeTemplate));
        QCOMPARE(Combo(dialog, WInputRecordDlg_cl::IdCategory)->Text(), QStringLiteral("餐饮"));
        QCOMPARE(Combo(dialog, WInputRecordDlg_cl::IdName)->Text(), QStringLiteral("午饭"));
        QCOMPARE(Combo(dialog, WInputRecordDlg_cl::IdAmount)->Text(), QStringLiteral("12.50"));
        QCOMPARE(Comment(dialog)->toPlainText(), QStringLiteral("食堂"));
        QVERIFY(!Box(dialog, WInputRecordDlg_cl::IdMonthly)->isChecked());
        QCOMPARE(Control<QDateTimeEdit>(dialog, WInputRecordDlg_cl::IdDate)->dateTime(), kWhen);
        list->clearSelection();
        list->SelectRow(1);
        emit list->CellActivated(1, 0);
        QCOMPARE(Combo(dialog, WInputRecordDlg_cl::IdAmount)->Text(), QString());
        QCOMPARE(Comment(dialog)->toPlainText(), QStringLiteral("月票"));

        // Delete removes the selected one; with nothing selected it does nothing.
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(Lines(list), QStringList{"餐饮　午饭　-12.50　食堂"});
        list->clearSelection();
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(list->RowCount(), 1);
        QCOMPARE(Vorelle_ns::DataCore().GetControlUser().GetTemplates(false).Count(), 1);
        QVERIFY(environment->prompt.shown.isEmpty());

        // Income templates are a list of their own.
        ChooseKind(dialog, 1);
        QCOMPARE(list->RowCount(), 0);
    }

    void TemplateAmountsAreTypedWithoutSign() {
        WInputRecordDlg_cl dialog(Base_ns::DateTime_cl::FromQDateTime(kWhen), nullptr);
        dialog.show();
        Settle();
        Enter(dialog, QStringLiteral("餐饮"), QString(), QStringLiteral("-5"));
        Click(Button(dialog, WInputRecordDlg_cl::IdStoreTemplate));
        QCOMPARE(environment->prompt.shown.size(), 1);
        QCOMPARE(environment->prompt.shown[0].text, QStringLiteral("金额不正确，应为大于零的数字，以元为单位，最多两位小数，最多为21474836.47。"));
        QCOMPARE(Templates(dialog)->RowCount(), 0);
    }

private:
    std::unique_ptr<Environment_cl> environment;
    std::unique_ptr<RecordSession_cl> session;
};

WINDOW_TEST(WInputRecordDlgTest);

#include "WInputRecordDlgTest.moc"
