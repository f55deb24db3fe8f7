#include "Window/WRecycleBinPage.h"

#include "CTL/Report.h"
#include "RecordSession.h"
#include "Window/RecycleBinModel.h"
#include "Window/WRecordManagePage.h"
#include "WindowTesting.h"

#include <QItemSelectionModel>
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
                                                    QStringLiteral("-2"), RecordSession_cl::SuperName}));

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

private:
    std::unique_ptr<Environment_cl> environment;
    std::unique_ptr<RecordSession_cl> session;
};

WINDOW_TEST(WRecycleBinPageTest);

#include "WRecycleBinPageTest.moc"
