#include "Window/WStatementImportDlg.h"

#include "../Import/StatementFiles.h"
#include "RecordSession.h"
#include "Window/StatementRowsModel.h"
#include "CTL/ComboBox.h"
#include "CTL/Report.h"
#include "Window/WBankProfileDlg.h"
#include "Window/WInputRecordDlg.h"
#include "Window/WRecordFilterBar.h"
#include "Window/WRecordManagePage.h"
#include "WindowTesting.h"
#include "settings/Unique.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

using namespace WindowTesting_ns;
using Vorelle_ns::StatementRowsModel_cl;
using Vorelle_ns::WStatementImportDlg_cl;

class WStatementImportDlgTest : public QObject {
    Q_OBJECT

    static QPushButton* Button(QWidget& window, int32_t id) { return Control<QPushButton>(window, id); }

private slots:
    void init() {
        environment = std::make_unique<Environment_cl>();
        session = std::make_unique<RecordSession_cl>();
    }
    void cleanup() {
        session.reset();
        environment.reset();
    }

    // From the record page: a category changed in the preview is booked and kept as a
    // rule; the same statement again books nothing.
    void PreviewChangedCategoryIsBookedAndKeptAsARule() {
        const QString path = environment->AppFolder() + QStringLiteral("微信.csv");
        StatementFiles_ns::Write(path, StatementFiles_ns::Utf8Bom(StatementFiles_ns::CsvText(StatementFiles_ns::WeChatRows(false))));
        Vorelle_ns::WRecordManagePage_cl page;
        page.show();
        Settle();
        environment->prompt.files << path;
        auto watch = WhenShown<WStatementImportDlg_cl>([](WStatementImportDlg_cl& dialog) {
            auto* view = Control<QTableView>(dialog, WStatementImportDlg_cl::IdRows);
            QCOMPARE(view->model()->rowCount(), 5);
            const QModelIndex category = view->model()->index(0, StatementRowsModel_cl::Category);
            QVERIFY(view->model()->setData(category, QStringLiteral("早餐"), Qt::EditRole));
            // A skipped row has no category to change.
            QVERIFY(!(view->model()->flags(view->model()->index(4, StatementRowsModel_cl::Category)) & Qt::ItemIsEditable));
            // No rule names the clothes: the plain category they are booked to. Refunded in
            // full after the statement's last day: said so.
            QCOMPARE(view->model()->index(1, StatementRowsModel_cl::Category).data().toString(), QStringLiteral("开销"));
            QCOMPARE(view->model()->index(1, StatementRowsModel_cl::Decision).data().toString(),
                     QStringLiteral("导入（已退款50.00，退款将随下一份账单记入）"));
            QCOMPARE(view->model()->index(2, StatementRowsModel_cl::Decision).data().toString(), QStringLiteral("导入"));
            view->selectRow(0);
            Click(Button(dialog, WStatementImportDlg_cl::IdSaveRule));
            QCOMPARE(view->model()->index(0, StatementRowsModel_cl::Category).data().toString(), QStringLiteral("早餐"));
            Click(Button(dialog, WStatementImportDlg_cl::IdImport));
        });
        Click(Button(page, Vorelle_ns::WRecordManagePage_cl::IdImportStatement));
        QVERIFY(watch->ran);
        QCOMPARE(environment->prompt.shown.size(), 1);
        QCOMPARE(environment->prompt.shown[0].text, QStringLiteral("导入账单成功，共导入4条，以前已导入0条，跳过1条。"));
        QCOMPARE(RecordSession_cl::LiveRecords(), 4);
        QCOMPARE(RecordSession_cl::Count(QStringLiteral("select count(*) from zorb_record r, zorb_expense_type t where "
                                                        "r.type_sn = t.sn and t.type_name = '早餐' and r.expense = -2816")),
                 1);
        const Import_ns::CategoryRule_st saved =
            Import_ns::CategoryRules_cl::Load(Unique_ns::GetCustomFromDatabase()).Rules().first();
        QCOMPARE(saved.keyword, QStringLiteral("早餐店"));
        QCOMPARE(saved.category, QStringLiteral("早餐"));

        WStatementImportDlg_cl again(path);
        QVERIFY(!Button(again, WStatementImportDlg_cl::IdImport)->isEnabled());
    }

    // A statement of no known shape: its columns are described and saved, then it imports.
    void AnUnknownBankIsDescribedThenImported() {
        const QString path = environment->AppFolder() + QStringLiteral("银行.csv");
        StatementFiles_ns::Write(path, QStringLiteral("记账日期,发生额,余额,用途\n2024-03-01,-12.00,88.00,午饭\n"
                                                      "2024-03-02,-5.50,82.50,公交\n")
                                           .toUtf8());
        Vorelle_ns::WRecordManagePage_cl page;
        page.show();
        Settle();
        environment->prompt.files << path;
        environment->prompt.answers << Platform_ns::Answer_en::Yes;
        using Vorelle_ns::WBankProfileDlg_cl;
        auto described = WhenShown<WBankProfileDlg_cl>([](WBankProfileDlg_cl& dialog) {
            Type(Control<QLineEdit>(dialog, WBankProfileDlg_cl::IdName), QStringLiteral("我的银行"));
            const std::pair<int32_t, const char*> titles[] = {{WBankProfileDlg_cl::IdDate, "记账日期"},
                                                              {WBankProfileDlg_cl::IdAmount, "发生额"},
                                                              {WBankProfileDlg_cl::IdDescription, "用途"},
                                                              {WBankProfileDlg_cl::IdBalance, "余额"}};
            for (const auto& [id, title] : titles) Control<QComboBox>(dialog, id)->setCurrentText(QString::fromUtf8(title));
            Click(Button(dialog, WBankProfileDlg_cl::IdOK));
        });
        auto imported = WhenShown<WStatementImportDlg_cl>(
            [](WStatementImportDlg_cl& dialog) { Click(Button(dialog, WStatementImportDlg_cl::IdImport)); });
        Click(Button(page, Vorelle_ns::WRecordManagePage_cl::IdImportStatement));
        QVERIFY(described->ran);
        QVERIFY(imported->ran);
        QCOMPARE(environment->prompt.shown.size(), 2);
        QVERIFY(environment->prompt.shown[0].text.startsWith(QStringLiteral("无法识别账单格式。")));
        QCOMPARE(environment->prompt.shown[1].text, QStringLiteral("导入账单成功，共导入2条，以前已导入0条，跳过0条。"));
        QCOMPARE(RecordSession_cl::SingleAccount(), -1750);
    }

    // Lunch typed twice for one day, then the statement holding one such lunch: the preview
    // asks which it is; the user picks with the mouse and the book follows.
    void AnEntryPerhapsInTheBookIsBookedAsTheUserPicks_data() {
        QTest::addColumn<int32_t>("pick");  // 0: nothing, else the button's id
        QTest::addColumn<QString>("decision");
        QTest::addColumn<int32_t>("entries");
        QTest::addColumn<int32_t>("account");
        QTest::newRow("left undecided") << 0 << QStringLiteral("可能重复：2026-03-05 午饭 -20.00") << 2 << -4000;
        QTest::newRow("booked as new") << int32_t(WStatementImportDlg_cl::IdAsNew) << QStringLiteral("导入") << 3 << -6000;
        QTest::newRow("the same lunch") << int32_t(WStatementImportDlg_cl::IdLink)
                                        << QStringLiteral("匹配已有记录：2026-03-05 午饭 -20.00") << 2 << -4000;
    }
    void AnEntryPerhapsInTheBookIsBookedAsTheUserPicks() {
        QFETCH(int32_t, pick);
        QFETCH(QString, decision);
        QFETCH(int32_t, entries);
        QFETCH(int32_t, account);
        for (int i = 0; i < 2; ++i)
            RecordSession_cl::Book(QStringLiteral("饮食"), QStringLiteral("午饭"), -2000, QDateTime(QDate(2026, 3, 5), QTime(12, 0)));
        const QString path = environment->AppFolder() + QStringLiteral("午饭.csv");
        StatementFiles_ns::Write(
            path, StatementFiles_ns::Utf8Bom(QStringLiteral(
                      "微信支付账单明细\n共1笔记录\n收入：0笔 ¥0.00\n支出：1笔 ¥20.00\n中性交易：0笔 ¥0.00\n"
                      "----------------------微信支付账单明细列表--------------------\n"
                      "交易时间,交易类型,交易对方,商品,收/支,金额(元),支付方式,当前状态,交易单号,商户单号,备注\n"
                      "2026-03-05 12:10:00,商户消费,食堂,午饭,支出,¥20.00,零钱,支付成功,4200000105\t,0105\t,/\n")));
        WStatementImportDlg_cl dialog(path);
        dialog.show();
        Settle();
        auto* view = Control<QTableView>(dialog, WStatementImportDlg_cl::IdRows);
        const QModelIndex shown = view->model()->index(0, StatementRowsModel_cl::Decision);
        QCOMPARE(shown.data().toString(), QStringLiteral("可能重复：2026-03-05 午饭 -20.00"));
        if (pick != 0) {
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(shown).center());
            Click(Button(dialog, pick));
        }
        QCOMPARE(view->model()->index(0, StatementRowsModel_cl::Decision).data().toString(), decision);
        QPushButton* import = Button(dialog, WStatementImportDlg_cl::IdImport);
        QCOMPARE(import->isEnabled(), pick != 0);
        if (pick != 0) Click(import);
        QCOMPARE(RecordSession_cl::LiveRecords(), entries);
        QCOMPARE(RecordSession_cl::SingleAccount(), account);
    }

    // "撤销这次导入" takes the dinner to the recycle bin and leaves the breakfast as it was typed.
    void AnImportIsUndoneFromTheRecordPage() {
        Vorelle_ns::WRecordManagePage_cl page;
        page.show();
        Settle();
        ImportBreakfastAndDinner(page);
        environment->prompt.answers << Platform_ns::Answer_en::Yes;
        Click(Button(page, Vorelle_ns::WRecordManagePage_cl::IdUndoImport));
        QVERIFY(environment->prompt.shown.last().text.endsWith(QStringLiteral("导入的微信支付账单：1条记录移入回收站，1条已有记录取消匹配。")));
        QCOMPARE(RecordSession_cl::LiveRecords(), 1);
        QCOMPARE(RecordSession_cl::SingleAccount(), -816);
        QCOMPARE(RecordSession_cl::Count(QStringLiteral("select count(*) from zorb_record where valid = '1' and expense = -816")), 1);
    }

    // The breakfast's dialog, opened with a double click: "取消与账单的匹配" books the
    // statement's breakfast as an entry of its own and leaves the typed one as it is; the
    // statement imported again books nothing.
    void ALinkIsUndoneFromTheEntrysDialog() {
        Vorelle_ns::WRecordManagePage_cl page;
        page.show();
        Settle();
        ImportBreakfastAndDinner(page);
        // March, as a person picks it: the custom span, then both dates.
        QVERIFY(Control<CTL_ns::ComboBox_cl>(page, Vorelle_ns::WRecordFilterBar_cl::IdDateMode)
                    ->SelectByText(QStringLiteral("自定义")));
        Settle();
        Control<QDateEdit>(page, Vorelle_ns::WRecordFilterBar_cl::IdBeginDate)->setDate(QDate(2026, 3, 1));
        Control<QDateEdit>(page, Vorelle_ns::WRecordFilterBar_cl::IdEndDate)->setDate(QDate(2026, 3, 31));
        Settle();
        auto* records = Control<CTL_ns::Report_cl>(page, Vorelle_ns::WRecordManagePage_cl::IdRecords);
        int32_t breakfast = -1;
        for (int32_t row = 0; row < records->RowCount(); ++row) {
            for (int32_t column = 0; column < records->model()->columnCount(); ++column) {
                if (records->model()->index(row, column).data().toString() == QStringLiteral("早饭")) breakfast = row;
            }
        }
        QVERIFY(breakfast >= 0);
        environment->prompt.answers << Platform_ns::Answer_en::Yes;
        bool offered = false, offeredAfter = true;
        auto unlink = WhenShown<Vorelle_ns::WInputRecordDlg_cl>([&](Vorelle_ns::WInputRecordDlg_cl& dialog) {
            QPushButton* button = Button(dialog, Vorelle_ns::WInputRecordDlg_cl::IdUnlink);
            offered = button->isVisible();
            Click(button);
            offeredAfter = button->isVisible();
            Click(Button(dialog, Vorelle_ns::WInputRecordDlg_cl::IdCancel));
        });
        const QPoint cell = records->visualRect(records->model()->index(breakfast, 2)).center();
        QTest::mouseClick(records->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(records->viewport(), Qt::LeftButton, {}, cell);
        QTest::qWait(300);
        QVERIFY(unlink->ran);
        QVERIFY(offered);
        QVERIFY(!offeredAfter);
        QCOMPARE(RecordSession_cl::LiveRecords(), 3);
        QCOMPARE(RecordSession_cl::SingleAccount(), -4132);
        QCOMPARE(RecordSession_cl::Count(QStringLiteral("select count(*) from zorb_record where valid = '1' and expense = -816")), 2);
    }

    // A statement cut off before its last trade is booked only when the user accepts it.
    void AStatementThatDisagreesIsBookedOnlyWhenAccepted() {
        const QString path = environment->AppFolder() + QStringLiteral("cut.csv");
        QList<QStringList> rows = StatementFiles_ns::WeChatRows(false);
        rows.removeLast();
        StatementFiles_ns::Write(path, StatementFiles_ns::Utf8Bom(StatementFiles_ns::CsvText(rows)));
        const struct {
            Platform_ns::Answer_en answer;
            int32_t booked;
        } cases[] = {{Platform_ns::Answer_en::No, 0}, {Platform_ns::Answer_en::Yes, 4}};
        for (const auto& c : cases) {
            WStatementImportDlg_cl dialog(path);
            dialog.show();
            Settle();
            environment->prompt.answers << c.answer;
            Click(Button(dialog, WStatementImportDlg_cl::IdImport));
            QVERIFY(environment->prompt.shown.last().text.contains(QStringLiteral("记录数：账单写明5笔，文件中4笔，不一致")));
            QCOMPARE(RecordSession_cl::LiveRecords(), c.booked);
            QCOMPARE(dialog.QDialog::result(), c.booked > 0 ? int(QDialog::Accepted) : int(QDialog::Rejected));
        }
    }

    // Each line of the summary gives its trades' amounts as the table above shows them:
    // two decimals, and an expense with a minus whether it is booked or skipped.
    void TheSummaryShowsTheTablesAmounts() {
        const QString path = environment->AppFolder() + QStringLiteral("支付宝.csv");
        StatementFiles_ns::Write(path, StatementFiles_ns::Gb18030(StatementFiles_ns::AlipayText()));
        WStatementImportDlg_cl dialog(path);
        dialog.show();
        Settle();
        QString summary;
        for (const QLabel* label : dialog.findChildren<QLabel*>()) {
            if (label->text().contains(QStringLiteral("笔  "))) summary = label->text();
        }
        const QAbstractItemModel* rows = Control<QTableView>(dialog, WStatementImportDlg_cl::IdRows)->model();
        const struct {
            int32_t row;
            const char* line;  // of the summary
        } cases[] = {{0, "导入  3笔  44.50元"},  // -35.50 - 20.00 + 100.00
                     {1, "跳过：交易关闭或失败  1笔  -5.00元"},
                     {5, "跳过：不计收支  1笔  5.00元"}};
        for (const auto& c : cases) {
            QVERIFY2(summary.contains(QString::fromUtf8(c.line)), qPrintable(summary));
        }
        QCOMPARE(rows->index(1, StatementRowsModel_cl::Amount).data().toString(), QStringLiteral("-5.00"));
        QCOMPARE(rows->index(5, StatementRowsModel_cl::Amount).data().toString(), QStringLiteral("5.00"));
        QCOMPARE(rows->index(0, StatementRowsModel_cl::Amount).data().toString(), QStringLiteral("-35.50"));
    }

private:
    std::unique_ptr<Environment_cl> environment;

    // Breakfast typed by hand, then the statement holding it and a dinner imported from the
    // record page: the breakfast is linked, the dinner booked.
    void ImportBreakfastAndDinner(Vorelle_ns::WRecordManagePage_cl& page) {
        RecordSession_cl::Book(QStringLiteral("饮食"), QStringLiteral("早饭"), -816, QDateTime(QDate(2026, 3, 1), QTime(8, 0)));
        const QString path = environment->AppFolder() + QStringLiteral("三月.csv");
        StatementFiles_ns::Write(
            path, StatementFiles_ns::Utf8Bom(QStringLiteral(
                      "微信支付账单明细\n共2笔记录\n收入：0笔 ¥0.00\n支出：2笔 ¥33.16\n中性交易：0笔 ¥0.00\n"
                      "----------------------微信支付账单明细列表--------------------\n"
                      "交易时间,交易类型,交易对方,商品,收/支,金额(元),支付方式,当前状态,交易单号,商户单号,备注\n"
                      "2026-03-01 08:01:12,商户消费,早餐店,包子,支出,¥8.16,零钱,支付成功,4200000101\t,0101\t,/\n"
                      "2026-03-03 19:20:00,商户消费,饭馆,晚饭,支出,¥25.00,零钱,支付成功,4200000103\t,0103\t,/\n")));
        environment->prompt.files << path;
        auto watch = WhenShown<WStatementImportDlg_cl>(
            [](WStatementImportDlg_cl& dialog) { Click(Button(dialog, WStatementImportDlg_cl::IdImport)); });
        Click(Button(page, Vorelle_ns::WRecordManagePage_cl::IdImportStatement));
        QVERIFY(watch->ran);
        QCOMPARE(environment->prompt.shown.last().text,
                 QStringLiteral("导入账单成功，共导入1条，以前已导入0条，跳过0条。与已有记录匹配1条（没有重复记账）。"));
        QCOMPARE(RecordSession_cl::LiveRecords(), 2);
        QCOMPARE(RecordSession_cl::SingleAccount(), -3316);
    }
    std::unique_ptr<RecordSession_cl> session;
};

WINDOW_TEST(WStatementImportDlgTest);

#include "WStatementImportDlgTest.moc"
