#include "WBudgetPage.h"

#include "Control/BudgetText.h"
#include "Control/DataCore.h"
#include "ConvertInfo.h"
#include "CTL/FrozenColumn.h"
#include "Data/Budget.h"
#include "WCrosstabPage.h"
#include "base/Error.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>
#include <QVBoxLayout>

namespace Vorelle_ns {

namespace {

constexpr ConvertInfo_cl::Decimals_en kTwo = ConvertInfo_cl::Decimals_en::Two;

// Amber from 80 %, red past 100 %; an expected income only fills up.
QString BarStyle(BudgetText_cl::Level_en level, bool income) {
    const char* colour = "#4caf50";
    if (!income && level == BudgetText_cl::Level_en::Near) colour = "#f0a30a";
    if (!income && level == BudgetText_cl::Level_en::Over) colour = "#d32f2f";
    return QStringLiteral("QProgressBar{border:1px solid #b0b0b0;border-radius:2px;text-align:center;}"
                          "QProgressBar::chunk{background:%1;}")
        .arg(QLatin1String(colour));
}

QProgressBar* Bar(int64_t spent, int64_t available, bool income) {
    int32_t percent = 0;
    const BudgetText_cl::Level_en level = BudgetText_cl::Level(spent, available, percent);
    auto* bar = new QProgressBar;
    bar->setRange(0, 100);
    bar->setValue(std::min(percent, 100));
    bar->setFormat(QString::number(percent) + u'%');
    bar->setStyleSheet(BarStyle(level, income));
    return bar;
}

QTableWidget* Table(int32_t id, QWidget* parent) {
    auto* table = new QTableWidget(parent);
    table->setObjectName(QString::number(id));
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->hide();
    table->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    return table;
}

// The bars take the width the texts leave, and at least that of a few percentages: the
// same widths however often the table is filled, and a year wider than the page scrolls.
void FitBars(QTableWidget* table) {
    const int last = table->columnCount() - 1;
    if (last < 0) return;
    int texts = 0;
    for (int column = 0; column < last; ++column) texts += table->columnWidth(column);
    const int least = table->fontMetrics().horizontalAdvance(QStringLiteral("1000%")) * 3;
    table->setColumnWidth(last, std::max(least, table->viewport()->width() - texts));
}

// Every column as wide as its texts, then the bars.
void FitColumns(QTableWidget* table) {
    table->horizontalHeader()->setStretchLastSection(false);
    table->resizeColumnsToContents();
    FitBars(table);
}

// rows[0] is the header; the bar column follows the texts.
void Put(QTableWidget* table, const QList<QStringList>& rows) {
    table->clear();
    table->setColumnCount(int(rows.first().size()) + 1);
    table->setHorizontalHeaderLabels(rows.first() + QStringList{QStringLiteral("进度")});
    table->setRowCount(int(rows.size()) - 1);
    for (int row = 1; row < rows.size(); ++row) {
        for (int column = 0; column < rows[row].size(); ++column) {
            auto* item = new QTableWidgetItem(rows[row][column]);
            if (column > 0) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(row - 1, column, item);
        }
    }
}

}  // namespace

WBudgetPage_cl::WBudgetPage_cl(QWidget* parent) : QWidget(parent) {
    const Base_ns::DateTime_cl now = Base_ns::DateTime_cl::Now();
    year = now.Year();
    month = now.Month();
    previousButton = new QPushButton(QStringLiteral("前一月(&P)"), this);
    previousButton->setObjectName(QString::number(IdPrevious));
    periodLabel = new QLabel(this);
    periodLabel->setObjectName(QString::number(IdPeriod));
    periodLabel->setAlignment(Qt::AlignCenter);
    periodLabel->setMinimumWidth(90);
    nextButton = new QPushButton(QStringLiteral("后一月(&T)"), this);
    nextButton->setObjectName(QString::number(IdNext));
    viewCombo = new QComboBox(this);
    viewCombo->setObjectName(QString::number(IdView));
    viewCombo->addItems({QStringLiteral("按月"), QStringLiteral("按年")});
    categories = Table(IdCategories, this);
    people = Table(IdPeople, this);
    for (QTableWidget* table : {categories, people}) table->viewport()->installEventFilter(this);
    // A year scrolled to its totals still names each row.
    new CTL_ns::FrozenColumn_cl(categories);

    auto* top = new QHBoxLayout;
    top->addWidget(previousButton);
    top->addWidget(periodLabel);
    top->addWidget(nextButton);
    top->addStretch();
    top->addWidget(new QLabel(QStringLiteral("查看"), this));
    top->addWidget(viewCombo);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(categories, 3);
    layout->addWidget(new QLabel(QStringLiteral("个人预算"), this));
    layout->addWidget(people, 1);

    connect(previousButton, &QPushButton::clicked, this, [this] { Step(-1); });
    connect(nextButton, &QPushButton::clicked, this, [this] { Step(1); });
    connect(viewCombo, &QComboBox::activated, this, [this](int index) {
        ShowPeriod(year, index == 1 ? 0 : Base_ns::DateTime_cl::Now().Month());
    });
    connect(categories, &QTableWidget::cellDoubleClicked, this, &WBudgetPage_cl::OnDoubleClicked);
}

void WBudgetPage_cl::ShowPeriod(int32_t newYear, int32_t newMonth) {
    year = newYear;
    month = newMonth;
    const QSignalBlocker blocker(viewCombo);
    viewCombo->setCurrentIndex(month == 0 ? 1 : 0);
    previousButton->setText(month == 0 ? QStringLiteral("前一年(&P)") : QStringLiteral("前一月(&P)"));
    nextButton->setText(month == 0 ? QStringLiteral("后一年(&T)") : QStringLiteral("后一月(&T)"));
    periodLabel->setText(month == 0 ? QStringLiteral("%1年").arg(year) : QStringLiteral("%1年%2月").arg(year).arg(month));
    if (isVisible()) Refresh();
}

void WBudgetPage_cl::Step(int32_t by) {
    if (month == 0) {
        ShowPeriod(year + by, 0);
        return;
    }
    const int32_t key = MonthKey(year, month) + by;
    ShowPeriod(key / 12, key % 12 + 1);
}

void WBudgetPage_cl::Refresh() {
    try {
        Budget_cl budget(DataCore().GetUserManage());
        Fill(month == 0 ? budget.GetYear(year) : budget.GetMonth(year, month));
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

bool WBudgetPage_cl::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) {
        for (QTableWidget* table : {categories, people}) {
            if (watched == table->viewport()) FitBars(table);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void WBudgetPage_cl::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) ShowPeriod(year, month);
}

void WBudgetPage_cl::Fill(const BudgetView_st& view) {
    shown = view;
    // Expense categories and their total, then the expected incomes and theirs.
    // On screen every amount has two decimals; the files and the command line keep theirs.
    const QList<QStringList> lines = BudgetText_cl::Rows(view, kTwo);
    const QList<QStringList> totals = BudgetText_cl::TotalRows(view, kTwo);
    QList<QStringList> rows{lines.first()};
    std::vector<int64_t> spent, available;
    std::vector<bool> income;
    qsizetype total = 0;
    for (const bool incomeKind : {false, true}) {
        BudgetLine_st sum;
        bool any = false;
        for (size_t i = 0; i < view.lines.size(); ++i) {
            const BudgetLine_st& line = view.lines[i];
            if (line.income != incomeKind) continue;
            any = true;
            rows.append(lines[qsizetype(i) + 1]);
            spent.push_back(line.spent);
            available.push_back(line.plan + line.carried);
            income.push_back(incomeKind);
            sum.spent += line.spent;
            sum.plan += line.plan + line.carried;
        }
        if (!any) continue;
        rows.append(totals[total++]);
        spent.push_back(sum.spent);
        available.push_back(sum.plan);
        income.push_back(incomeKind);
    }
    Put(categories, rows);
    const int barColumn = int(rows.first().size());
    for (int row = 0; row < categories->rowCount(); ++row)
        categories->setCellWidget(row, barColumn, Bar(spent[size_t(row)], available[size_t(row)], income[size_t(row)]));
    FitColumns(categories);

    Put(people, BudgetText_cl::PeopleRows(view, kTwo));
    for (int row = 0; row < people->rowCount(); ++row) {
        const PersonBudget_st& person = view.people[size_t(row)];
        people->setCellWidget(row, 4, Bar(person.spent, person.plan, false));
    }
    FitColumns(people);
}

void WBudgetPage_cl::OnDoubleClicked(int row, int column) {
    const QString typeName = categories->item(row, 0) == nullptr ? QString() : categories->item(row, 0)->text();
    const auto line = std::find_if(shown.lines.begin(), shown.lines.end(),
                                   [&](const BudgetLine_st& candidate) { return candidate.typeName == typeName; });
    // The total rows stand for no category of their own.
    if (line == shown.lines.end()) return;
    const bool ownOnly = !DataCore().GetUserManage().CanViewOthers();
    const int32_t userMode = ownOnly ? WCrosstabPage_cl::CurrentUser : WCrosstabPage_cl::AllUsers;
    // A year's month column: that month's monthly entries; elsewhere what the figure counts.
    int32_t first = shown.month, last = shown.month;
    RecordFilter_st::Counted_en counted = RecordFilter_st::Counted_en::InMonths;
    if (shown.month == 0) {
        const bool monthColumn = column >= 3 && column < 15;
        first = monthColumn ? column - 2 : 1;
        last = monthColumn ? column - 2 : 12;
        if (!monthColumn) counted = RecordFilter_st::Counted_en::InYears;
    }
    const Base_ns::DateTime_cl begin = Base_ns::DateTime_cl::FromParts(shown.year, first, 1);
    const Base_ns::DateTime_cl end = Base_ns::DateTime_cl::FromParts(shown.year, last, 1).EndOfMonth();
    emit EntriesWanted(line->typeName, begin, end, userMode, QString(), counted);
}

}  // namespace Vorelle_ns
