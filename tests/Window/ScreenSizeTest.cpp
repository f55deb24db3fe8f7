#include "../Import/StatementFiles.h"
#include "Data/Budget.h"
#include "RecordSession.h"
#include "Window/WBankProfileDlg.h"
#include "Window/WCategoryRulesDlg.h"
#include "Window/WDueDlg.h"
#include "Window/WInputAccountDlg.h"
#include "Window/WInputPasswordDlg.h"
#include "Window/WInputRecordDlg.h"
#include "Window/WInputUserDlg.h"
#include "Window/WMainWnd.h"
#include "Window/WPhoneDlg.h"
#include "Window/WPhoneSettingsDlg.h"
#include "Window/WProgressDlg.h"
#include "Window/WScheduleDlg.h"
#include "Window/WSetSuperAdminDlg.h"
#include "Window/WStartDlg.h"
#include "Window/WStatementImportDlg.h"
#include "WindowTesting.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTableView>
#include <QTreeView>

using namespace WindowTesting_ns;
using namespace Vorelle_ns;

// Every window a person can open, on the screen the offscreen platform was given (the
// test runs once per screen size, see tests/CMakeLists.txt): it fits the screen with
// every button and label whole or reachable by scrolling, its title shows whole, and
// maximized its lists reach the right edge.
namespace {

using Make_ft = std::function<std::unique_ptr<QWidget>(const QString& folder)>;

struct Row_st {
    const char* name;
    Make_ft make;
    bool phoneSized;  // also holds on a 640 x 480 screen
};

template <typename Window>
Make_ft Plain() {
    return [](const QString&) { return std::unique_ptr<QWidget>(new Window); };
}

Make_ft MainTab(QWidget* (*page)(WMainWnd_cl&)) {
    return [page](const QString&) {
        auto window = std::make_unique<WMainWnd_cl>();
        window->GetTabCtrl().SelectPage(page(*window));
        return std::unique_ptr<QWidget>(std::move(window));
    };
}

Make_ft StartTab(int32_t tab, int32_t createTab) {
    return [tab, createTab](const QString&) {
        auto window = std::make_unique<WStartDlg_cl>();
        auto* tabs = window->findChild<CTL_ns::TabCtrl_cl*>(QString::number(WStartDlg_cl::IdTab));
        tabs->Select(tab);
        window->findChild<WCreateDBPage_cl*>()->GetTabCtrl().Select(createTab);
        return std::unique_ptr<QWidget>(std::move(window));
    };
}

std::unique_ptr<QWidget> StatementDialog(const QString& folder) {
    const QString path = folder + QStringLiteral("微信.csv");
    StatementFiles_ns::Write(path, StatementFiles_ns::Utf8Bom(StatementFiles_ns::CsvText(StatementFiles_ns::WeChatRows(false))));
    return std::make_unique<WStatementImportDlg_cl>(path);
}

std::unique_ptr<QWidget> BankDialog(const QString& folder) {
    const QString path = folder + QStringLiteral("银行.csv");
    StatementFiles_ns::Write(path, QStringLiteral("记账日期,发生额,余额,用途\n2024-03-01,-12.00,88.00,午饭\n").toUtf8());
    return std::make_unique<WBankProfileDlg_cl>(path);
}

std::unique_ptr<QWidget> DueDialog(const QString&) {
    Schedule_st schedule;
    schedule.typeName = QStringLiteral("居家");
    schedule.expenseName = QStringLiteral("房租");
    schedule.expense = -250000;
    schedule.day = 5;
    schedule.firstDate = QDate::currentDate().addMonths(-3);
    schedule.count = 12;
    (void)DataCore().GetScheduleManage().Add(schedule);
    return std::make_unique<WDueDlg_cl>(QDate::currentDate());
}

const Row_st kRows[] = {
    {"start, login", StartTab(0, 0), false},
    {"start, create local book", StartTab(1, 0), false},
    {"start, create on a server (1)", StartTab(1, 1), false},
    {"start, create on a server (2)", StartTab(1, 2), false},
    {"start, restore backup", StartTab(2, 0), false},
    {"main window, users", MainTab([](WMainWnd_cl& w) -> QWidget* { return &w.GetUserPage(); }), false},
    {"main window, records", MainTab([](WMainWnd_cl& w) -> QWidget* { return &w.GetRecordPage(); }), true},
    {"main window, month", MainTab([](WMainWnd_cl& w) -> QWidget* { return &w.GetMonthPage(); }), false},
    {"main window, year", MainTab([](WMainWnd_cl& w) -> QWidget* { return &w.GetYearPage(); }), false},
    {"main window, budget", MainTab([](WMainWnd_cl& w) -> QWidget* { return &w.GetBudgetPage(); }), false},
    {"main window, schedules", MainTab([](WMainWnd_cl& w) -> QWidget* { return &w.GetSchedulePage(); }), false},
    {"main window, recycle bin", MainTab([](WMainWnd_cl& w) -> QWidget* { return &w.GetRecyclePage(); }), false},
    {"entry", [](const QString&) {
         return std::unique_ptr<QWidget>(new WInputRecordDlg_cl(Base_ns::DateTime_cl::FromQDateTime(QDateTime::currentDateTime()), nullptr));
     }, false},
    {"user", Plain<WInputUserDlg_cl>(), false},
    {"password", Plain<WInputPasswordDlg_cl>(), false},
    {"account", [](const QString&) { return std::unique_ptr<QWidget>(new WInputAccountDlg_cl(false)); }, false},
    {"statement import", StatementDialog, false},
    {"bank profile", BankDialog, false},
    {"category rules", Plain<WCategoryRulesDlg_cl>(), false},
    {"phone devices", [](const QString&) {
         return std::unique_ptr<QWidget>(new WPhoneDlg_cl([](const QString& key) { return QStringLiteral("https://192.168.1.2:8443/#") + key; }));
     }, false},
    {"phone settings", Plain<WPhoneSettingsDlg_cl>(), false},
    {"schedule", [](const QString&) { return std::unique_ptr<QWidget>(new WScheduleDlg_cl(0)); }, false},
    {"due entries", DueDialog, false},
    {"set super administrator", Plain<WSetSuperAdminDlg_cl>(), false},
    {"import progress", [](const QString&) {
         return std::unique_ptr<QWidget>(new WProgressDlg_cl(QStringLiteral("正在导入费用记录…"), nullptr));
     }, false},
};

// Why widget is cut off in window, or nothing when it is whole or reachable by scrolling.
QString Cut(QWidget* widget, QWidget* window) {
    QWidget* shown = widget;
    for (QWidget* parent = widget->parentWidget(); parent != nullptr; parent = parent->parentWidget()) {
        const QRect rect(shown->mapTo(parent, QPoint(0, 0)), shown->size());
        if (!parent->rect().contains(rect))
            return QStringLiteral("%1 cut at %2 by %3 of %4").arg(widget->objectName(), QDebug::toString(rect),
                                                                  QString::fromLatin1(parent->metaObject()->className()),
                                                                  QDebug::toString(parent->size()));
        if (parent == window) return QString();
        // Inside a scroll area what is out of sight is reached by scrolling: the area is.
        if (auto* area = qobject_cast<QAbstractScrollArea*>(parent->parentWidget()); area != nullptr && area->viewport() == parent)
            shown = area, parent = area;
    }
    return QString();
}

QString Text(QWidget* widget) {
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return button->text();
    return qobject_cast<QLabel*>(widget)->text();
}

// The buttons and labels that show and say something, each whole.
void CheckReachable(QWidget& window) {
    QList<QWidget*> shown;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(&window)) continue;
        if (qobject_cast<QAbstractButton*>(widget) == nullptr && qobject_cast<QLabel*>(widget) == nullptr) continue;
        if (Text(widget).isEmpty()) continue;
        const QString cut = Cut(widget, &window);
        QVERIFY2(cut.isEmpty(), qPrintable(Text(widget) + QStringLiteral(": ") + cut));
        const auto* label = qobject_cast<QLabel*>(widget);
        if (label != nullptr && label->wordWrap()) continue;
        // A push button's hint has a least width of the style's; its text is what counts.
        const int needed = qobject_cast<QPushButton*>(widget) != nullptr
                               ? widget->fontMetrics().horizontalAdvance(QString(Text(widget)).remove(u'&')) + 4
                               : widget->minimumSizeHint().width();
        QVERIFY2(widget->width() >= needed,
                 qPrintable(Text(widget) + QStringLiteral(" narrower than its text: %1 < %2").arg(widget->width()).arg(needed)));
    }
}

// A window manager's title bar: an icon, the title in bold, and three buttons.
void CheckTitle(QWidget& window) {
    QFont font = QApplication::font();
    font.setBold(true);
    const int needed = QFontMetrics(font).horizontalAdvance(window.windowTitle()) + 140;
    QVERIFY2(window.frameGeometry().width() >= needed,
             qPrintable(QStringLiteral("title \"%1\" needs %2, the window is %3 wide")
                            .arg(window.windowTitle())
                            .arg(needed)
                            .arg(window.frameGeometry().width())));
}

// Every shown list's columns reach its right edge, give or take a few pixels.
void CheckListsUseWidth(QWidget& window) {
    for (QAbstractItemView* view : window.findChildren<QAbstractItemView*>()) {
        if (!view->isVisibleTo(&window)) continue;
        QHeaderView* header = nullptr;
        if (auto* table = qobject_cast<QTableView*>(view)) header = table->horizontalHeader();
        else if (auto* tree = qobject_cast<QTreeView*>(view)) header = tree->header();
        if (header == nullptr || header->count() - header->hiddenSectionCount() == 0) continue;
        QVERIFY2(header->length() >= view->viewport()->width() - 8,
                 qPrintable(QStringLiteral("list %1: columns %2 wide in %3")
                                .arg(view->objectName())
                                .arg(header->length())
                                .arg(view->viewport()->width())));
    }
}

// Every amount in sight in a list stands whole and right-aligned, with two decimals.
void CheckAmountsWhole(QWidget& window) {
    static const QRegularExpression amount(QStringLiteral("^[-+]?[0-9,]*[0-9]\\.[0-9]+$"));
    for (QAbstractItemView* view : window.findChildren<QAbstractItemView*>()) {
        auto* table = qobject_cast<QTableView*>(view);
        if (table == nullptr || !view->isVisibleTo(&window) || view->model() == nullptr) continue;
        const int last = std::min(view->model()->rowCount(), 50);
        for (int row = 0; row < last; ++row) {
            for (int column = 0; column < view->model()->columnCount(); ++column) {
                // A hidden column is in sight in no list: a list over another shows only its own.
                if (table->isColumnHidden(column)) continue;
                const QModelIndex index = view->model()->index(row, column);
                const QString text = index.data().toString();
                if (!amount.match(text).hasMatch()) continue;
                const QString where = QStringLiteral("%1 in list %2").arg(text, view->objectName());
                QVERIFY2(text.section(u'.', 1).size() == 2, qPrintable(where));
                QVERIFY2(Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt()) & Qt::AlignRight, qPrintable(where));
                // An item's text keeps a margin each side, or it is cut short with "…".
                const int margins = 2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1);
                QVERIFY2(table->columnWidth(column) >= view->fontMetrics().horizontalAdvance(text) + margins,
                         qPrintable(where + QStringLiteral(": column %1 wide").arg(table->columnWidth(column))));
            }
        }
    }
}

// Asked for by SCREEN_PICTURES, a folder: the window as it shows, to be looked at.
void Picture(QWidget& window, const QString& name) {
    const QString folder = qEnvironmentVariable("SCREEN_PICTURES");
    if (!folder.isEmpty()) QVERIFY(window.grab().save(folder + u'/' + name + QStringLiteral(".png")));
}

}  // namespace

class ScreenSizeTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        environment = std::make_unique<Environment_cl>();
        session = std::make_unique<RecordSession_cl>();
        // A large amount and a plan, so that every list has rows to show.
        RecordSession_cl::Book(QStringLiteral("餐饮"), QStringLiteral("午饭"), -12345678, QDateTime::currentDateTime());
        Budget_cl(DataCore().GetUserManage()).SetTypePlan(QStringLiteral("餐饮"), 50000);
        Budget_cl(DataCore().GetUserManage()).SetUserPlan(RecordSession_cl::SuperName, 150000);
    }
    void cleanup() {
        session.reset();
        environment.reset();
    }

    void FitsAndUsesTheScreen_data() {
        QTest::addColumn<int>("index");
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const bool small = screen.width() < 1024;
        for (int i = 0; i < int(std::size(kRows)); ++i) {
            if (small && !kRows[i].phoneSized) continue;
            QTest::newRow(qPrintable(QStringLiteral("%1 at %2x%3").arg(QString::fromUtf8(kRows[i].name)).arg(screen.width()).arg(screen.height())))
                << i;
        }
    }
    void FitsAndUsesTheScreen() {
        QFETCH(int, index);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const std::unique_ptr<QWidget> window = kRows[index].make(environment->AppFolder());
        if (auto* main = qobject_cast<WMainWnd_cl*>(window.get())) main->Create();
        else window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        Settle();
        QVERIFY2(screen.contains(window->frameGeometry()),
                 qPrintable(QStringLiteral("%1 on %2").arg(QDebug::toString(window->frameGeometry()), QDebug::toString(screen))));
        CheckReachable(*window);
        if (QTest::currentTestFailed()) return;
        CheckTitle(*window);
        if (QTest::currentTestFailed()) return;
        CheckListsUseWidth(*window);
        if (QTest::currentTestFailed()) return;
        CheckAmountsWhole(*window);
        if (QTest::currentTestFailed()) return;
        Picture(*window, QString::fromUtf8(QTest::currentDataTag()));

        window->showMaximized();
        Settle();
        QTRY_VERIFY(window->isMaximized() || window->minimumSize() == window->maximumSize());
        Settle();
        CheckReachable(*window);
        if (QTest::currentTestFailed()) return;
        CheckListsUseWidth(*window);
        Picture(*window, QString::fromUtf8(QTest::currentDataTag()) + QStringLiteral(", maximized"));
    }

private:
    std::unique_ptr<Environment_cl> environment;
    std::unique_ptr<RecordSession_cl> session;
};

WINDOW_TEST(ScreenSizeTest);
#include "ScreenSizeTest.moc"
