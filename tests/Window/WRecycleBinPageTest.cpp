#include "Window/WRecycleBinPage.h"

#include "CTL/Report.h"
#include "RecordSession.h"
#include "Window/RecycleBinModel.h"
#include "Window/WMainWnd.h"
#include "Window/WRecordManagePage.h"
#include "WindowTesting.h"

#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

using namespace WindowTesting_ns;
using Page_cl = Vorelle_ns::WRecycleBinPage_cl;
using RecordPage_cl = Vorelle_ns::WRecordManagePage_cl;

namespace {

QDateTime At(int day) { return QDateTime(QDate::currentDate().addDays(-day), QTime(12, 0)); }

QStringList Row(const QAbstractItemModel& model, int row) {
    QStringList texts;
    for (int column = 0; column < model.columnCount(); ++column) texts << model.index(row, column).data().toString();
    return texts;
}

}  // namespace

class WRecycleBinPageTest : public QObject {
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

    void ListsTheDeletionsAndRestoresTheSelectedOnesWithTheirBalances() {
        const int32_t lunch = RecordSession_cl::Book(QStringLiteral("餐饮"), QStringLiteral("午饭"), -1250, At(40));
        const int32_t bus = RecordSession_cl::Book(QStringLiteral("交通"), QStringLiteral("公交"), -200, At(41));
        RecordSession_cl::Book(QStringLiteral("工资"), QStringLiteral("月薪"), 500000, At(42));
        for (const int32_t sn : {lunch, bus}) {
            Container_ns::List_tl<int32_t> one;
            one.Append(sn);
            Vorelle_ns::DataCore().GetControlUser().DeleteRecords(one);
        }
        QCOMPARE(RecordSession_cl::SingleAccount(), 500000);
        Page_cl page;
        page.show();
        Settle();
        const Vorelle_ns::RecycleBinModel_cl& model = page.GetModel();
        QCOMPARE(model.rowCount(), 2);
        const QString day = At(41).toString(QStringLiteral("yyyy-MM-dd 12:00:00"));
        QCOMPARE(Row(model, 0).mid(1), (QStringList{RecordSession_cl::SuperName, QStringLiteral("费用记录"), day,
                                                    QStringLiteral("交通"), QStringLiteral("公交"),
                                                    QStringLiteral("-2.00"), RecordSession_cl::SuperName}));

        page.GetList().selectAll();
        Click(Control<QPushButton>(page, Page_cl::IdRestore));
        QVERIFY(environment->prompt.shown.isEmpty());
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(RecordSession_cl::SingleAccount(), 500000 - 1450);
        QCOMPARE(RecordSession_cl::PublicAccount(), 500000 - 1450);
        QCOMPARE(RecordSession_cl::LiveRecords(), 3);
    }

    void RecycleUndoOnTheRecordPageByKeyAndButton() {
        for (int day = 1; day <= 3; ++day)
            RecordSession_cl::Book(QStringLiteral("餐饮"), QString::number(day), -100 * day, At(0));
        RecordPage_cl page;
        page.show();
        Settle();
        CTL_ns::Report_cl* records = Control<CTL_ns::Report_cl>(page, RecordPage_cl::IdRecords);
        QPushButton* undo = Control<QPushButton>(page, RecordPage_cl::IdUndoDelete);
        QCOMPARE(records->RowCount(), 3);
        QVERIFY(!undo->isEnabled());
        records->SelectRow(0);
        records->SelectRow(2);
        QTest::keyClick(records, Qt::Key_Delete);
        QCOMPARE(records->RowCount(), 1);
        QVERIFY(undo->isEnabled());
        QTest::keyClick(records, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(records->RowCount(), 3);
        QCOMPARE(RecordSession_cl::SingleAccount(), -600);
        QVERIFY(!undo->isEnabled());

        records->SelectRow(1);
        QTest::keyClick(records, Qt::Key_Delete);
        Click(undo);
        QCOMPARE(records->RowCount(), 3);
        QCOMPARE(RecordSession_cl::SingleAccount(), -600);
        // Only the questions before each deletion were asked.
        for (const auto& shown : environment->prompt.shown)
            QVERIFY(shown.text.startsWith(QStringLiteral("确定要删除选中的")));
    }

    void RestoresInTheMainWindow_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("an entry") << QStringLiteral("费用记录");
        QTest::newRow("a user") << QStringLiteral("用户");
    }
    // The bin's restore reaches the record page's list and balance, and a user comes back
    // with the public balance as it is now, not as it was when he went.
    void RestoresInTheMainWindow() {
        QFETCH(QString, kind);
        const int32_t helper = RecordSession_cl::AddUser(QStringLiteral("小李"), 2);
        Vorelle_ns::DataCore().GetControlUser().DeleteUser(helper, nullptr);
        RecordSession_cl::Book(QStringLiteral("餐饮"), QStringLiteral("早饭"), -650, At(0));
        const int32_t lunch = RecordSession_cl::Book(QStringLiteral("餐饮"), QStringLiteral("午饭"), -1250, At(0));
        Container_ns::List_tl<int32_t> one;
        one.Append(lunch);
        Vorelle_ns::DataCore().GetControlUser().DeleteRecords(one);

        Vorelle_ns::WMainWnd_cl window;
        window.show();
        RecordPage_cl& records = window.GetRecordPage();
        window.GetTabCtrl().SelectPage(&records);
        Settle();
        CTL_ns::Report_cl* list = Control<CTL_ns::Report_cl>(records, RecordPage_cl::IdRecords);
        QCOMPARE(list->RowCount(), 1);
        Page_cl& bin = window.GetRecyclePage();
        window.GetTabCtrl().SelectPage(&bin);
        Settle();
        const Vorelle_ns::RecycleBinModel_cl& model = bin.GetModel();
        auto* view = Control<QTableView>(bin, Page_cl::IdList);
        for (int row = 0; row < model.rowCount(); ++row) {
            if (Row(model, row)[2] == kind) view->selectRow(row);
        }
        Click(Control<QPushButton>(bin, Page_cl::IdRestore));
        Settle();
        QCOMPARE(model.rowCount(), 1);
        window.GetTabCtrl().SelectPage(&records);
        Settle();
        const bool entry = kind == QStringLiteral("费用记录");
        QCOMPARE(list->RowCount(), entry ? 2 : 1);
        QCOMPARE(Control<QLabel>(records, RecordPage_cl::IdAccount)->text(),
                 entry ? QStringLiteral("个人帐户 -19.00") : QStringLiteral("个人帐户 -6.50"));
        if (!entry) {
            QCOMPARE(RecordSession_cl::Count(QStringLiteral("select public_account from zorb_user where sn = %1").arg(helper)),
                     RecordSession_cl::PublicAccount());
        }
    }

private:
    std::unique_ptr<Environment_cl> environment;
    std::unique_ptr<RecordSession_cl> session;
};

WINDOW_TEST(WRecycleBinPageTest);

#include "WRecycleBinPageTest.moc"
