#include "Window/WRecordManagePage.h"

#include "CTL/ComboBox.h"
#include "CTL/Report.h"
#include "RecordSession.h"
#include "WindowTesting.h"

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

using namespace WindowTesting_ns;
using Page_cl = Vorelle_ns::WRecordManagePage_cl;

namespace {

QDateTime At(int day) { return QDateTime(QDate(2024, 5, day), QTime(12, 0)); }

QStringList Column(CTL_ns::Report_cl* list, int column) {
    QStringList texts;
    for (int32_t row = 0; row < list->RowCount(); ++row) texts << list->Text(row, column);
    return texts;
}

}  // namespace

// The record page's search: what is typed, the category and the amount bounds narrow the
// list, its sums and totals, and the count of matches says how many are left.
class WRecordSearchTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        environment = std::make_unique<Environment_cl>();
        session = std::make_unique<RecordSession_cl>();
        RecordSession_cl::Book(QStringLiteral("餐饮"), QStringLiteral("Lunch"), -1250, At(1), 0, QStringLiteral("食堂"));
        RecordSession_cl::Book(QStringLiteral("餐饮"), QStringLiteral("晚饭"), -2000, At(2), 0, QStringLiteral("和朋友"));
        RecordSession_cl::Book(QStringLiteral("交通"), QStringLiteral("地铁"), -300, At(3), 0, QStringLiteral("LUNCH 以后"));
        RecordSession_cl::Book(QStringLiteral("工资"), QStringLiteral("五月"), 880000, At(4), 0);
    }
    void cleanup() {
        session.reset();
        environment.reset();
    }

    void SearchNarrowsListSumsAndCount_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("minimum");
        QTest::addColumn<QString>("maximum");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("sums");
        QTest::addColumn<QString>("error");
        QTest::newRow("everything") << "" << "全部分类" << "" << "" << QStringList{"五月", "地铁", "晚饭", "Lunch"}
                                    << QStringList{"交通", "餐饮", "工资", "【总计开销】", "【总计收入】", "【结余】"} << "";
        QTest::newRow("any case, name and comment") << "lunch" << "全部分类" << "" << "" << QStringList{"地铁", "Lunch"}
                                                    << QStringList{"交通", "餐饮", "【总计开销】"} << "";
        QTest::newRow("Chinese") << "朋友" << "全部分类" << "" << "" << QStringList{"晚饭"}
                                 << QStringList{"餐饮", "【总计开销】"} << "";
        QTest::newRow("category") << "" << "餐饮" << "" << "" << QStringList{"晚饭", "Lunch"}
                                  << QStringList{"餐饮", "【总计开销】"} << "";
        QTest::newRow("amount bounds") << "" << "全部分类" << "3" << "12.5" << QStringList{"地铁", "Lunch"}
                                       << QStringList{"交通", "餐饮", "【总计开销】"} << "";
        QTest::newRow("bound not an amount") << "" << "全部分类" << "十元" << "" << QStringList{} << QStringList{}
                                             << "金额范围应该为金额，最多两位小数，例如 12.50。";
        QTest::newRow("bounds crossed") << "" << "全部分类" << "20" << "10" << QStringList{} << QStringList{}
                                        << "金额范围的下限大于上限。";
    }
    void SearchNarrowsListSumsAndCount() {
        QFETCH(QString, text);
        QFETCH(QString, category);
        QFETCH(QString, minimum);
        QFETCH(QString, maximum);
        QFETCH(QStringList, names);
        QFETCH(QStringList, sums);
        QFETCH(QString, error);
        Page_cl page;
        page.show();
        Settle();
        Control<CTL_ns::ComboBox_cl>(page, Page_cl::IdDateMode)->SelectByText(QStringLiteral("自定义"));
        Control<QDateEdit>(page, Page_cl::IdBeginDate)->setDate(QDate(2024, 5, 1));
        Control<QDateEdit>(page, Page_cl::IdEndDate)->setDate(QDate(2024, 5, 31));
        Settle();
        QVERIFY(Control<CTL_ns::ComboBox_cl>(page, Page_cl::IdCategory)->SelectByText(category));
        const QList<std::pair<int32_t, QString>> typed = {
            {Page_cl::IdMinimum, minimum}, {Page_cl::IdMaximum, maximum}, {Page_cl::IdSearch, text}};
        for (const auto& [id, value] : typed) {
            auto* edit = Control<QLineEdit>(page, id);
            edit->setText(value);
            emit edit->editingFinished();
        }
        Settle();
        if (!error.isEmpty()) {
            QVERIFY(!environment->prompt.shown.isEmpty());
            QVERIFY(environment->prompt.shown.last().text.startsWith(error));  // then the typed text
            return;
        }
        QVERIFY(environment->prompt.shown.isEmpty());
        auto* list = Control<CTL_ns::Report_cl>(page, Page_cl::IdRecords);
        QCOMPARE(Column(list, 2), names);
        QCOMPARE(Column(Control<CTL_ns::Report_cl>(page, Page_cl::IdSums), 0), sums);
        QCOMPARE(Control<QLabel>(page, Page_cl::IdMatches)->text(), QStringLiteral("共%1条").arg(names.size()));
    }

    // The category is remembered like the page's other choices.
    void CategoryIsRemembered() {
        {
            Page_cl page;
            QVERIFY(Control<CTL_ns::ComboBox_cl>(page, Page_cl::IdCategory)->SelectByText(QStringLiteral("交通")));
        }
        {
            Page_cl page;
            QCOMPARE(Control<CTL_ns::ComboBox_cl>(page, Page_cl::IdCategory)->currentText(), QStringLiteral("交通"));
        }
    }

private:
    std::unique_ptr<Environment_cl> environment;
    std::unique_ptr<RecordSession_cl> session;
};

WINDOW_TEST(WRecordSearchTest);

#include "WRecordSearchTest.moc"
