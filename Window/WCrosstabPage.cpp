#include "WCrosstabPage.h"

#include "Control/CrosstabFigures.h"
#include "Control/CrosstabText.h"
#include "Control/DataCore.h"
#include "CTL/ComboBox.h"
#include "CTL/FrozenColumn.h"
#include "CTL/LengthLimit.h"
#include "CTL/Report.h"
#include "DialogBuilder.h"
#include "IO/CSVStream.h"
#include "IO/FileStream.h"
#include "WCrosstabChart.h"
#include "WRecordFilterBar.h"
#include "SystemInfo/Path.h"
#include "platform/prompt/Prompt.h"
#include "settings/Unique.h"
#include "Container/List.h"
#include "base/String.h"

#include <QLabel>
#include <QLineEdit>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

namespace Vorelle_ns {

namespace {

const char16_t* const kUserModes[] = {u"当前用户", u"指定用户", u"所有用户"};
constexpr int32_t kMaxName = 16;
const QString kCsvFilter = QStringLiteral("CSV文件 (*.csv)|*.csv|");

// Settings of both pages, in the logged-in user's storage of the database. The user mode
// is shared with the record page.
const QString kUserModeKey = QStringLiteral("用户模式");
const QString kCsvFolderKey = QStringLiteral("CSV文件目录");

}  // namespace

WCrosstabPage_cl::WCrosstabPage_cl(const Resource_st& resource, QWidget* parent) : QWidget(parent) {
    DialogBuilder_cl build(this);
    using Style_en = CTL_ns::ComboBox_cl::Style_en;
    build.Label(QStringLiteral("用户"), resource.userLabelX, 10, 17, 15);
    userModeCombo = build.ComboBox(IdUserMode, Style_en::DropDownList, resource.userModeX, 10, 81, 30);
    userNameCombo = build.ComboBox(IdUserName, Style_en::DropDown, resource.userNameX, 10, 81, 30);
    exportButton = build.Button(IdExport, QStringLiteral("导出(&E)"), resource.exportX, 8, 60, 18);
    crosstab = new CTL_ns::Report_cl(this);
    crosstab->setObjectName(QString::number(IdCrosstab));
    crosstab->setSelectionMode(QAbstractItemView::SingleSelection);
    // Scrolled sideways, each row still says its category.
    new CTL_ns::FrozenColumn_cl(crosstab);
    nothingLabel = new QLabel(crosstab->viewport());
    nothingLabel->setObjectName(QString::number(IdNothing));
    nothingLabel->setAlignment(Qt::AlignCenter);
    nothingLabel->hide();
    (new QVBoxLayout(crosstab->viewport()))->addWidget(nothingLabel);
    splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(crosstab);
    chart = new WCrosstabChart_cl(splitter);
    chart->setObjectName(QString::number(IdChart));
    splitter->addWidget(chart);
    // Room for the charts without hiding the totals of a short table.
    splitter->setSizes({2, 3});
    splitter->setChildrenCollapsible(false);
    Platform_ns::DialogUnits_cl().Place(splitter, 7, 28, 508, 230);
    build.Size(Width, Height);

    // Enter and leaving the box (Tab, a click elsewhere) both end the typing; the combo
    // box takes the focus events itself, so the edit's own signal is the one to follow.
    connect(userNameCombo->lineEdit(), &QLineEdit::editingFinished, this, &WCrosstabPage_cl::OnUserName);
    connect(userModeCombo, &CTL_ns::ComboBox_cl::SelectionChanged, this, &WCrosstabPage_cl::OnUserMode);
    connect(userNameCombo, &CTL_ns::ComboBox_cl::SelectionChanged, this, &WCrosstabPage_cl::OnUserName);
    connect(exportButton, &QPushButton::clicked, this, [this] { Handle([this] { Export(); }); });
    // A period's column or bar shows that period in the donut.
    connect(crosstab, &CTL_ns::Report_cl::CellClicked, this, [this](int32_t, int32_t column) {
        if (column > 0) chart->ShowPeriod(column - 1);
    });
    connect(crosstab->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        if (column > 0) chart->ShowPeriod(column - 1);
    });
    connect(crosstab, &CTL_ns::Report_cl::CellActivated, this, &WCrosstabPage_cl::OnCellDoubleClicked);
    connect(chart, &WCrosstabChart_cl::EntriesWanted, this, &WCrosstabPage_cl::WantEntries);

    // The table and its charts grow with the page both ways.
    autoSize.Register(this);
    autoSize.AddChildAligned(splitter, 0, 0, 1, 1);
}

WCrosstabPage_cl::~WCrosstabPage_cl() {
    // The name box loses the focus as it goes, after this part of the page is gone.
    userNameCombo->lineEdit()->disconnect(this);
    try {
        Unique_ns::GetCustomFromDatabase().WriteString(kUserModeKey, userModeCombo->currentText());
    } catch (const Base_ns::Error_cl& error) {
        error.Show(nullptr);
    }
}

void WCrosstabPage_cl::PutFirstInTabOrder(std::initializer_list<QWidget*> controls) {
    QWidget* previous = nullptr;
    const auto append = [&](QWidget* control) {
        if (previous != nullptr) setTabOrder(previous, control);
        previous = control;
    };
    for (QWidget* control : controls) append(control);
    for (QWidget* control : std::initializer_list<QWidget*>{userModeCombo, userNameCombo, exportButton, crosstab, chart}) {
        append(control);
    }
}

void WCrosstabPage_cl::Initialise() {
    userModeCombo->AddItem(QString::fromUtf16(kUserModes[CurrentUser]), CurrentUser);
    if (DataCore().GetUserManage().CanViewOthers()) {
        userModeCombo->AddItem(QString::fromUtf16(kUserModes[NamedUser]), NamedUser);
        userModeCombo->AddItem(QString::fromUtf16(kUserModes[AllUsers]), AllUsers);
    }
    CTL_ns::LengthLimit_cl::Apply(userNameCombo->lineEdit(), kMaxName);
    // A remembered mode that is no longer offered (the user's power changed) falls back
    // to the first one, so that a mode is always chosen.
    const QString mode =
        Unique_ns::GetCustomFromDatabase().ReadString(kUserModeKey, QString::fromUtf16(kUserModes[CurrentUser]));
    // Chosen as the program's setting, not as the user's choice: the page loads when shown.
    const int chosen = userModeCombo->findText(mode, Qt::MatchExactly | Qt::MatchCaseSensitive);
    userModeCombo->setCurrentIndex(chosen < 0 ? 0 : chosen);
    // The names shared with the record page first, as the mode is shared: 指定用户 chosen
    // there names the same user here. Then the page's own older ones.
    for (const QString& key : {WRecordFilterBar_cl::SearchedNamesKey, RecentListKey()}) {
        const Container_ns::List_tl<Base_ns::String_cl> names = Unique_ns::GetRecentRecordFromDatabase().List(key);
        for (auto id = names.First(); !id.IsEmpty(); id.Next()) {
            if (userNameCombo->findText(id.Get(), Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
                userNameCombo->AddText(id.Get());
        }
    }
    if (userNameCombo->count() > 0) userNameCombo->setCurrentIndex(0);
    EnableControls();
}

int32_t WCrosstabPage_cl::UserMode() const { return userModeCombo->ItemData(userModeCombo->CurrentSelection()); }

void WCrosstabPage_cl::EnableControls() {
    crosstab->setEnabled(true);
    userModeCombo->setEnabled(true);
    userNameCombo->setEnabled(UserMode() == NamedUser);
    exportButton->setEnabled(crosstab->RowCount() > 0);
}

void WCrosstabPage_cl::GetUser(bool& allUsers, QString& userName) const {
    const int32_t mode = UserMode();
    allUsers = mode == AllUsers;
    userName = mode == NamedUser ? userNameCombo->Text().trimmed() : QString();
}

void WCrosstabPage_cl::Reload() {
    bool allUsers = false;
    QString userName;
    GetUser(allUsers, userName);
    loadedMode = UserMode();
    loadedName = userName;
    if (loadedMode == NamedUser) {
        const QString gap = DataCore().GetControlUser().NamedUserGap(userName);
        if (!gap.isEmpty()) return ShowNothing(gap);
    }
    nothingLabel->hide();
    Fill(Query(allUsers, userName));
    RememberSearchedName(userName);
}

void WCrosstabPage_cl::ShowNothing(const QString& why) {
    Fill(DB_ns::CrossTable_st());
    crosstab->ClearColumns();
    fileRows.clear();
    nothingLabel->setText(why);
    nothingLabel->show();
}

bool WCrosstabPage_cl::UserChanged() const {
    bool allUsers = false;
    QString userName;
    GetUser(allUsers, userName);
    return UserMode() != loadedMode || userName != loadedName;
}

void WCrosstabPage_cl::Fill(const DB_ns::CrossTable_st& table) {
    const CrosstabFigures_cl figures(table);
    const QPoint scrolled(crosstab->horizontalScrollBar()->value(), crosstab->verticalScrollBar()->value());
    crosstab->ClearColumns();
    // The file keeps the amounts as the command line writes them; the screen lines them up.
    fileRows = CrosstabText_cl::Build(figures);
    const QList<QStringList> rows = CrosstabText_cl::Build(figures, ConvertInfo_cl::Decimals_en::Two);
    const QStringList& header = rows.first();
    for (qsizetype j = 0; j < header.size(); ++j) {
        crosstab->AddColumn(header[j], j == 0 ? CategoryWidth : PeriodWidth, j > 0);
    }
    for (qsizetype i = 1; i < rows.size(); ++i) crosstab->AddRow(rows[i].constData(), int32_t(rows[i].size()));
    const QStringList periodsBefore = shownPeriods;
    const QStringList categoriesBefore = shownCategories;
    shownCategories.clear();
    shownPeriods.clear();
    for (int32_t j = 0; j < figures.PeriodCount(); ++j) shownPeriods << figures.Period(j);
    for (int32_t i = 0; i < figures.CategoryCount(); ++i) shownCategories << figures.Category(i);
    chart->Show(figures);
    chart->ShowPlans(Plans());
    // The same table again shows where the user looked; another one what matters.
    const bool same = shownPeriods == periodsBefore && shownCategories == categoriesBefore;
    const auto place = [this, same, scrolled] {
        if (!same) return OpenOnWhatMatters();
        crosstab->horizontalScrollBar()->setValue(scrolled.x());
        crosstab->verticalScrollBar()->setValue(scrolled.y());
    };
    place();
    // Once more when the table has its scroll range and the page its size: both may come
    // after the table is filled.
    const int32_t fill = ++fills;
    QTimer::singleShot(0, this, [this, fill, place] {
        if (fill == fills) place();
    });
}

void WCrosstabPage_cl::OpenOnWhatMatters() {
    const int32_t rows = crosstab->RowCount();
    if (rows == 0 || shownPeriods.isEmpty()) return;
    if (!splitterPlaced && splitter->height() > 0) {
        // The table as high as its rows, up to three fifths of the page; the charts the rest.
        splitterPlaced = true;
        const int32_t total = splitter->height() - splitter->handleWidth();
        const int32_t wanted = crosstab->horizontalHeader()->height() + rows * crosstab->rowHeight(0) +
                               2 * crosstab->frameWidth() + crosstab->horizontalScrollBar()->sizeHint().height();
        const int32_t table = std::min(wanted, total * 3 / 5);
        splitter->setSizes({table, total - table});
    }
    // The current period, else the latest; and the totals below.
    const int32_t current = int32_t(shownPeriods.indexOf(CurrentPeriod()));
    const int32_t column = 1 + (current < 0 ? int32_t(shownPeriods.size()) - 1 : current);
    crosstab->scrollTo(crosstab->model()->index(rows - 1, column));
}

void WCrosstabPage_cl::RememberSearchedName(const QString& name) {
    if (name.isEmpty()) return;
    {
        // The program's own choice: no notice of a user's.
        const QSignalBlocker blocker(userNameCombo);
        const int found = userNameCombo->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (found != 0) {
            if (found > 0) userNameCombo->removeItem(found);
            userNameCombo->insertItem(0, name, QVariant());
        }
        userNameCombo->setCurrentIndex(0);
    }
    Unique_ns::GetRecentRecordFromDatabase().Add(WRecordFilterBar_cl::SearchedNamesKey, name);
}

void WCrosstabPage_cl::ReloadAndEnable() {
    try {
        Reload();
    } catch (...) {
        // The controls fit what the list now holds, however far it was filled.
        EnableControls();
        throw;
    }
    EnableControls();
}

void WCrosstabPage_cl::Refresh() {
    Handle([this] { ReloadAndEnable(); });
}

void WCrosstabPage_cl::OnUserMode() {
    EnableControls();
    if (isVisible() && UserChanged()) Refresh();
}

void WCrosstabPage_cl::OnUserName() {
    if (isVisible() && UserChanged()) Refresh();
}

void WCrosstabPage_cl::Export() {
    Unique_ns::ICustom_cl& custom = Unique_ns::GetCustomFromDatabase();
    const QString path =
        Platform_ns::Prompt().SaveFile(this, kCsvFilter, custom.ReadString(kCsvFolderKey, QString()), QString());
    if (path.isEmpty()) return;
    custom.WriteString(kCsvFolderKey, SystemInfo_ns::GetParentFolder(path));
    IO_ns::FileStream_tl<IO_ns::CSVStream_cl> file;
    file.OpenForReplace(path);  // a failed export leaves the previous file as it was
    file.SetColumnCount(int32_t(fileRows.first().size()));
    for (const QStringList& row : fileRows) {
        for (const QString& cell : row) file.WriteCell(cell);
    }
    file.Close();
}

void WCrosstabPage_cl::ClampSpan(Base_ns::DateTime_cl&, Base_ns::DateTime_cl&) const {}

void WCrosstabPage_cl::OnCellDoubleClicked(int32_t row, int32_t column) {
    // A total row stands for all categories.
    WantEntries(row < shownCategories.size() ? row : -1, column - 1);
}

void WCrosstabPage_cl::WantEntries(int32_t category, int32_t period) {
    if (shownPeriods.isEmpty()) return;
    Base_ns::DateTime_cl begin, end, unused;
    const int32_t first = period < 0 ? 0 : period;
    const int32_t last = period < 0 ? int32_t(shownPeriods.size()) - 1 : period;
    if (first >= shownPeriods.size() || !CrosstabFigures_cl::PeriodSpan(shownPeriods[first], begin, unused) ||
        !CrosstabFigures_cl::PeriodSpan(shownPeriods[last], unused, end)) {
        return;
    }
    ClampSpan(begin, end);
    bool allUsers = false;
    QString userName;
    GetUser(allUsers, userName);
    emit EntriesWanted(category >= 0 && category < shownCategories.size() ? shownCategories[category] : QString(),
                       begin, end, UserMode(), userName, Counted());
}

void WCrosstabPage_cl::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) Refresh();
}

void WCrosstabPage_cl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Handle([this] { autoSize.Resize(); });
}

}  // namespace Vorelle_ns
