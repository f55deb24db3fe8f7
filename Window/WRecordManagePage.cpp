#include "WRecordManagePage.h"

#include "ConvertInfo.h"
#include "Control/DataCore.h"
#include "Data/RecordFile.h"
#include "Data/RecordFileReader.h"
#include "CTL/ComboBox.h"
#include "CTL/LengthLimit.h"
#include "CTL/Report.h"
#include "RecordRows.h"
#include "DialogBuilder.h"
#include "SystemInfo/Path.h"
#include "WInputAccountDlg.h"
#include "WInputRecordDlg.h"
#include "WBankProfileDlg.h"
#include "WStatementImportDlg.h"
#include "base/SysError.h"
#include "base/UserError.h"
#include "platform/prompt/Prompt.h"
#include "platform/widgets/DialogUnits.h"
#include "settings/Unique.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>
#include <QProgressDialog>
#include <QPushButton>
#include <QShortcut>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QStringList>

namespace Vorelle_ns {

namespace {

Base_ns::SysError_cl SysError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{1, "错误的日期模式。"}};
    return Base_ns::SysError_cl(line, __FILE__, WRecordManagePage_cl::ClassName(), code, table,
                                int32_t(std::size(table)), remark);
}

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{101, "不允许设置其它用户的个人账户。"},
                                                  {113, "金额范围应该为金额，例如 12.50。"},
                                                  {114, "金额范围的下限大于上限。"}};
    return Base_ns::UserError_cl(line, __FILE__, WRecordManagePage_cl::ClassName(), code, table,
                                 int32_t(std::size(table)), remark);
}

// The record list's columns are the record file's, in these widths.
constexpr int32_t kRecordWidths[RecordFile_cl::ColumnCount] = {15, 15, 12, 10, 10, 10, -1};
constexpr int32_t kUserColumn = 4;  // 用户
const CTL_ns::Report_cl::Column_st kSumColumns[] = {{QStringLiteral("分类"), 50}, {QStringLiteral("金额"), -1}};

const QString kCsvFilter = QStringLiteral("CSV Files (*.csv)|*.csv|");
const QString kStatementFilter = QStringLiteral("账单 (*.csv;*.xlsx)|*.csv;*.xlsx|");

// Settings of the page, in the logged-in user's storage of the database.
const QString kRecordWidthsKey = QStringLiteral("费用记录列表");
const QString kSumWidthsKey = QStringLiteral("简单统计列表");
const QString kDateModeKey = QStringLiteral("日期模式");
const QString kUserModeKey = QStringLiteral("用户模式");
const QString kShowAccountKey = QStringLiteral("显示账户");
const QString kSearchedNamesKey = QStringLiteral("检索用户名");
const QString kCsvFolderKey = QStringLiteral("CSV文件目录");
const QString kCategoryKey = QStringLiteral("分类筛选");
const QString kAllCategories = QStringLiteral("全部分类");
const QString kCustomBeginKey = QStringLiteral("自定义起始日期");
const QString kCustomEndKey = QStringLiteral("自定义终止日期");
const QString kCountedKey = QStringLiteral("统计方式筛选");
const char16_t* const kCounted[] = {u"所有统计方式", u"计入月统计", u"计入年统计"};

struct Step_st {
    const char16_t* mode;
    const char16_t* previous;
    const char16_t* next;
};
const Step_st kDateModes[] = {{u"今日", u"前一天(&P)", u"后一天(&T)"},
                              {u"当月", u"前一月(&P)", u"后一月(&T)"},
                              {u"最近三十天", u"前三十天(&P)", u"后三十天(&T)"},
                              {u"自定义", u"前进(&P)", u"后退(&T)"}};
const char16_t* const kUserModes[] = {u"当前用户", u"指定用户", u"所有用户"};

Base_ns::DateTime_cl PickerValue(const QDateEdit* picker) {
    return Base_ns::DateTime_cl::FromQDateTime(picker->dateTime());
}

// The first moment of the month that is months away from value's, at value's time of day.
Base_ns::DateTime_cl FirstOfMonth(const Base_ns::DateTime_cl& value, int32_t months) {
    const int32_t index = value.Year() * 12 + value.Month() - 1 + months;
    return Base_ns::DateTime_cl::FromParts(index / 12, index % 12 + 1, 1, value.Hour(), value.Minute(),
                                           value.Second());
}


}  // namespace

WRecordManagePage_cl::WRecordManagePage_cl(QWidget* parent) : QWidget(parent) {
    BuildControls();
    try {
        Initialise();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

WRecordManagePage_cl::~WRecordManagePage_cl() {
    // The children go after this part of the page: a box losing focus then must not call
    // back into a page that is no longer whole.
    for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
    try {
        StoreSettings();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(nullptr);
    }
}

void WRecordManagePage_cl::BuildControls() {
    DialogBuilder_cl build(this);
    const Platform_ns::DialogUnits_cl units;
    const auto makeDate = [&](int32_t id, int32_t x) {
        auto* picker = new QDateEdit(this);
        picker->setObjectName(QString::number(id));
        picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        picker->setCalendarPopup(true);
        units.Place(picker, x, 9, 69, 15);
        return picker;
    };
    const auto makeList = [&](int32_t id, int32_t x, int32_t width) {
        auto* list = new CTL_ns::Report_cl(this);
        list->setObjectName(QString::number(id));
        units.Place(list, x, 64, width, 181);
        return list;
    };
    using Style_en = CTL_ns::ComboBox_cl::Style_en;
    build.Label(QStringLiteral("日期"), 7, 9, 17, 15);
    dateModeCombo = build.ComboBox(IdDateMode, Style_en::DropDownList, 26, 10, 81, 30);
    build.Label(QStringLiteral("起始日期"), 110, 9, 32, 15);
    beginDate = makeDate(IdBeginDate, 145);
    build.Label(QStringLiteral("终止日期"), 217, 9, 32, 15);
    endDate = makeDate(IdEndDate, 253);
    previousButton = build.Button(IdPrevious, QString(), 330, 8, 52, 18);
    nextButton = build.Button(IdNext, QString(), 385, 8, 52, 18);
    build.Label(QStringLiteral("用户"), 7, 28, 17, 15);
    userModeCombo = build.ComboBox(IdUserMode, Style_en::DropDownList, 26, 28, 81, 30);
    userNameCombo = build.ComboBox(IdUserName, Style_en::DropDown, 111, 28, 81, 30);
    newButton = build.Button(IdNew, QStringLiteral("新增(&N)"), 215, 26, 60, 18);
    exportButton = build.Button(IdExport, QStringLiteral("导出(&E)"), 280, 26, 60, 18);
    importButton = build.Button(IdImport, QStringLiteral("导入(&I)"), 346, 26, 60, 18);
    importStatementButton = build.Button(IdImportStatement, QStringLiteral("导入账单"), 412, 26, 60, 18);
    undoButton = build.Button(IdUndoDelete, QStringLiteral("撤销删除"), 475, 26, 40, 18);
    build.Label(QStringLiteral("查找"), 7, 47, 17, 15);
    searchEdit = build.Edit(IdSearch, 26, 46, 100, 14);
    build.Label(QStringLiteral("分类"), 131, 47, 17, 15);
    categoryCombo = build.ComboBox(IdCategory, Style_en::DropDownList, 150, 46, 70, 120);
    build.Label(QStringLiteral("金额"), 225, 47, 17, 15);
    minimumEdit = build.Edit(IdMinimum, 244, 46, 40, 14);
    build.Label(QStringLiteral("至"), 287, 47, 9, 15);
    maximumEdit = build.Edit(IdMaximum, 298, 46, 40, 14);
    countedCombo = build.ComboBox(IdCounted, Style_en::DropDownList, 343, 46, 80, 60);
    matchesLabel = build.Label(QString(), 428, 47, 80, 10);
    matchesLabel->setObjectName(QString::number(IdMatches));
    recordList = makeList(IdRecords, 7, 378);
    sumList = makeList(IdSums, 388, 127);
    showAccountCheck = build.CheckBox(IdShowAccount, QStringLiteral("显示帐户金额"), 7, 248, 60, 10);
    accountLabel = build.Label(QString(), 72, 248, 80, 8);
    accountLabel->setObjectName(QString::number(IdAccount));
    changeAccountButton = build.Button(IdChangeAccount, QStringLiteral("修改(&C)"), 154, 246, 50, 13);
    build.Size(Width, Height);

    recordList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    sumList->setSelectionMode(QAbstractItemView::SingleSelection);
    CTL_ns::LengthLimit_cl::Apply(userNameCombo->lineEdit(), RecordFile_cl::MaxName);
    recordList->installEventFilter(this);

    connect(dateModeCombo, &CTL_ns::ComboBox_cl::SelectionChanged, this, &WRecordManagePage_cl::OnDateMode);
    connect(userModeCombo, &CTL_ns::ComboBox_cl::SelectionChanged, this, &WRecordManagePage_cl::OnUserMode);
    connect(userNameCombo, &CTL_ns::ComboBox_cl::SelectionChanged, this, &WRecordManagePage_cl::OnUserName);
    // Enter and leaving the box (Tab, a click elsewhere) both end the typing; the combo
    // box takes the focus events itself, so the edit's own signal is the one to follow.
    connect(userNameCombo->lineEdit(), &QLineEdit::editingFinished, this, &WRecordManagePage_cl::OnUserName);
    for (QDateEdit* picker : {beginDate, endDate}) {
        connect(picker, &QDateEdit::dateTimeChanged, this, &WRecordManagePage_cl::OnDatePicked);
    }
    connect(previousButton, &QPushButton::clicked, this, [this] { Handle([this] { Step(-1); }); });
    connect(nextButton, &QPushButton::clicked, this, [this] { Handle([this] { Step(1); }); });
    connect(showAccountCheck, &QCheckBox::clicked, this, &WRecordManagePage_cl::OnShowAccount);
    connect(newButton, &QPushButton::clicked, this, &WRecordManagePage_cl::OnNew);
    connect(exportButton, &QPushButton::clicked, this, &WRecordManagePage_cl::OnExport);
    connect(importButton, &QPushButton::clicked, this, &WRecordManagePage_cl::OnImport);
    connect(importStatementButton, &QPushButton::clicked, this, [this] { Handle([this] { ImportStatement(); }); });
    connect(undoButton, &QPushButton::clicked, this, &WRecordManagePage_cl::OnUndoDelete);
    auto* undo = new QShortcut(QKeySequence::Undo, this, this, &WRecordManagePage_cl::OnUndoDelete);
    undo->setContext(Qt::WidgetWithChildrenShortcut);
    connect(changeAccountButton, &QPushButton::clicked, this, &WRecordManagePage_cl::OnChangeAccount);
    connect(recordList, &CTL_ns::Report_cl::CellActivated, this, &WRecordManagePage_cl::OnEdit);
    // The search runs when its text, category or bounds are taken, not at every key.
    searchEdit->setPlaceholderText(QStringLiteral("名称、分类、注释或用户"));
    searchEdit->setMaxLength(RecordFile_cl::MaxComment);
    minimumEdit->setPlaceholderText(QStringLiteral("不限"));
    maximumEdit->setPlaceholderText(QStringLiteral("不限"));
    for (QLineEdit* edit : {searchEdit, minimumEdit, maximumEdit}) {
        connect(edit, &QLineEdit::editingFinished, this, [this] {
            Handle([this] {
                Query_st query;
                if (GetQuery(query) && (query.filter.text != lastFilter.text || query.filter.minimum != lastFilter.minimum ||
                                        query.filter.maximum != lastFilter.maximum)) {
                    ReloadAndEnable();
                }
            });
        });
    }
    for (CTL_ns::ComboBox_cl* combo : {categoryCombo, countedCombo}) {
        connect(combo, &CTL_ns::ComboBox_cl::SelectionChanged, this, [this] {
            if (isVisible()) Refresh();
        });
    }

    // The list grows with the page, the sums follow its right edge, the account line
    // its bottom edge.
    autoSize.Register(this);
    autoSize.AddChildAligned(recordList, 0, 0, 1, 1);
    autoSize.AddChildAligned(sumList, 2, 0, 0, 1);
    for (QWidget* control : std::initializer_list<QWidget*>{showAccountCheck, accountLabel, changeAccountButton}) {
        autoSize.AddChildAligned(control, 0, 2, 0, 0);
    }
}

void WRecordManagePage_cl::Initialise() {
    CTL_ns::Report_cl::Column_st recordColumns[RecordFile_cl::ColumnCount];
    for (int32_t i = 0; i < RecordFile_cl::ColumnCount; ++i) {
        recordColumns[i] = {RecordFile_cl::ColumnTitle(i), kRecordWidths[i]};
    }
    recordList->SetColumns(recordColumns, RecordFile_cl::ColumnCount);
    sumList->SetColumns(kSumColumns, int32_t(std::size(kSumColumns)));
    for (int32_t mode = Today; mode <= Custom; ++mode) {
        dateModeCombo->AddItem(QString::fromUtf16(kDateModes[mode].mode), mode);
    }
    userModeCombo->AddItem(QString::fromUtf16(kUserModes[CurrentUser]), CurrentUser);
    UserManage_cl& users = DataCore().GetUserManage();
    if (users.CanViewOthers()) {
        userModeCombo->AddItem(QString::fromUtf16(kUserModes[NamedUser]), NamedUser);
        userModeCombo->AddItem(QString::fromUtf16(kUserModes[AllUsers]), AllUsers);
    }
    superAdmin = users.CanManageUsers();

    Unique_ns::ICustom_cl& custom = Unique_ns::GetCustomFromDatabase();
    const auto applyWidths = [&](CTL_ns::Report_cl* list, const QString& key) {
        try {
            list->SetColumnWidthsText(custom.ReadString(key, list->ColumnWidthsText()));
        } catch (const Base_ns::Error_cl&) {
            // Widths remembered for another layout of the list: the designed ones stay.
        }
    };
    applyWidths(recordList, kRecordWidthsKey);
    applyWidths(sumList, kSumWidthsKey);
    // A remembered mode that is no longer offered (the user's power changed) falls back
    // to the first one.
    if (!dateModeCombo->SelectByText(custom.ReadString(kDateModeKey, QString::fromUtf16(kDateModes[Today].mode)))) {
        dateModeCombo->Select(0);
    }
    if (!userModeCombo->SelectByText(custom.ReadString(kUserModeKey, QString::fromUtf16(kUserModes[CurrentUser])))) {
        userModeCombo->Select(0);
    }
    // The range the user set himself comes back; the other modes set their own.
    const Base_ns::DateTime_cl customBegin = Base_ns::DateTime_cl::Parse(custom.ReadString(kCustomBeginKey, QString()));
    const Base_ns::DateTime_cl customEnd = Base_ns::DateTime_cl::Parse(custom.ReadString(kCustomEndKey, QString()));
    if (customBegin.IsValid() && customEnd.IsValid()) SetDates(customBegin, customEnd);
    showAccountCheck->setChecked(custom.ReadBoolean(kShowAccountKey, true));
    userNameCombo->Fill(Unique_ns::GetRecentRecordFromDatabase().List(kSearchedNamesKey));
    FillCategories();
    // A remembered category that is gone gives all of them back.
    if (!categoryCombo->SelectByText(custom.ReadString(kCategoryKey, kAllCategories))) categoryCombo->Select(0);
    for (int32_t counted = 0; counted < int32_t(std::size(kCounted)); ++counted) {
        countedCombo->AddItem(QString::fromUtf16(kCounted[counted]), counted);
    }
    if (!countedCombo->SelectByText(custom.ReadString(kCountedKey, QString::fromUtf16(kCounted[0])))) {
        countedCombo->Select(0);
    }
    EnableControls();
}

void WRecordManagePage_cl::StoreSettings() {
    Unique_ns::ICustom_cl& custom = Unique_ns::GetCustomFromDatabase();
    custom.WriteString(kRecordWidthsKey, recordList->ColumnWidthsText());
    custom.WriteString(kSumWidthsKey, sumList->ColumnWidthsText());
    custom.WriteString(kDateModeKey, dateModeCombo->currentText());
    custom.WriteString(kUserModeKey, userModeCombo->currentText());
    if (DateMode() == Custom) {
        custom.WriteString(kCustomBeginKey, PickerValue(beginDate).FormatDate());
        custom.WriteString(kCustomEndKey, PickerValue(endDate).FormatDate());
    }
    custom.WriteBoolean(kShowAccountKey, showAccountCheck->isChecked());
    custom.WriteString(kCategoryKey, categoryCombo->currentText());
    custom.WriteString(kCountedKey, countedCombo->currentText());
}

void WRecordManagePage_cl::FillCategories() {
    const QString chosen = categoryCombo->count() > 0 ? categoryCombo->currentText() : QString();
    QStringList names;
    ControlUser_cl& control = DataCore().GetControlUser();
    for (bool income : {false, true}) {
        const Base_ns::Trusteeship_tl<QString> kind = control.GetTypeNames(income);
        for (int32_t i = 0; i < kind.Count(); ++i) {
            if (!names.contains(kind[i])) names << kind[i];
        }
    }
    const QSignalBlocker blocker(categoryCombo);
    categoryCombo->clear();
    categoryCombo->AddItem(kAllCategories, 0);
    for (const QString& name : names) categoryCombo->AddItem(name, 1);
    if (chosen.isEmpty() || !categoryCombo->SelectByText(chosen)) categoryCombo->Select(0);
}

template <typename Action>
void WRecordManagePage_cl::Handle(Action&& action) {
    try {
        action();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

int32_t WRecordManagePage_cl::DateMode() const { return dateModeCombo->ItemData(dateModeCombo->CurrentSelection()); }

int32_t WRecordManagePage_cl::UserMode() const { return userModeCombo->ItemData(userModeCombo->CurrentSelection()); }

void WRecordManagePage_cl::EnableControls() {
    const int32_t dateMode = DateMode();
    const int32_t userMode = UserMode();
    for (QWidget* control : std::initializer_list<QWidget*>{recordList, sumList, dateModeCombo, userModeCombo,
                                                            newButton, importButton, importStatementButton, searchEdit,
                                                            categoryCombo, countedCombo, minimumEdit, maximumEdit}) {
        control->setEnabled(true);
    }
    userNameCombo->setEnabled(userMode == NamedUser);
    beginDate->setEnabled(dateMode == Custom);
    endDate->setEnabled(dateMode == Custom);
    previousButton->setEnabled(dateMode != Custom);
    nextButton->setEnabled(dateMode != Custom);
    showAccountCheck->setEnabled(userMode == CurrentUser || userMode == AllUsers);
    const bool showAccount = showAccountCheck->isEnabled() && showAccountCheck->isChecked();
    accountLabel->setVisible(showAccount);
    changeAccountButton->setVisible(showAccount);
    changeAccountButton->setEnabled(showAccountCheck->isChecked() &&
                                    (userMode == CurrentUser || (userMode == AllUsers && superAdmin)));
    exportButton->setEnabled(recordList->RowCount() > 0);
    matchesLabel->setText(QStringLiteral("共%1条").arg(recordList->RowCount()));
    undoButton->setEnabled(DataCore().GetControlUser().CanUndoDelete());
}

std::optional<int32_t> WRecordManagePage_cl::ReadBound(QLineEdit* edit) const {
    const QString text = edit->text().trimmed();
    if (text.isEmpty()) return std::nullopt;
    int32_t cents = 0;
    if (!ConvertInfo_cl::TextToMoney(text, cents) || cents < 0) {
        edit->setFocus();
        throw UserError(113, __LINE__, text);
    }
    return cents;
}

bool WRecordManagePage_cl::GetQuery(Query_st& query) const {
    query.begin = PickerValue(beginDate);
    query.begin.SetTime(0, 0, 0);
    query.end = PickerValue(endDate);
    query.end.SetTime(23, 59, 59);
    const int32_t userMode = UserMode();
    query.allUsers = userMode == AllUsers;
    query.userName.clear();
    query.filter.text = searchEdit->text().trimmed();
    query.filter.typeName = categoryCombo->CurrentSelection() > 0 ? categoryCombo->currentText() : QString();
    query.filter.counted = RecordFilter_st::Counted_en(countedCombo->ItemData(countedCombo->CurrentSelection()));
    query.filter.minimum = ReadBound(minimumEdit);
    query.filter.maximum = ReadBound(maximumEdit);
    if (query.filter.minimum && query.filter.maximum && *query.filter.minimum > *query.filter.maximum) {
        minimumEdit->setFocus();
        throw UserError(114, __LINE__);
    }
    if (userMode != NamedUser) return true;
    query.userName = userNameCombo->Text();
    return !query.userName.isEmpty();
}

void WRecordManagePage_cl::Reload() {
    Query_st query;
    if (!GetQuery(query)) return;
    FillCategories();
    lastFilter = query.filter;
    FillRecords(query);
    FillSums(query);
    if (showAccountCheck->isChecked()) RefreshAccount();
}

void WRecordManagePage_cl::RememberSearchedName(const QString& name) {
    if (name.isEmpty()) return;
    lastSearchedName = name;
    userNameCombo->PushFront(name);
    Unique_ns::GetRecentRecordFromDatabase().Add(kSearchedNamesKey, name);
}

void WRecordManagePage_cl::FillRecords(const Query_st& query) {
    recordList->DeleteAllRows();
    shownRows.Release();
    const Base_ns::Trusteeship_tl<RecordRow_st> rows =
        DataCore().GetControlUser().GetRecords(query.allUsers, query.userName, query.begin, query.end, query.filter);
    // A model over the entries: a list of years of entries makes no text until shown.
    recordList->SetRows(std::make_unique<RecordRows_cl>(rows));
    shownRows = rows;
    RememberSearchedName(query.userName);
}

void WRecordManagePage_cl::FillSums(const Query_st& query) {
    sumList->DeleteAllRows();
    const Base_ns::Trusteeship_tl<TypeSum_st> sums =
        DataCore().GetControlUser().GetTypeSums(query.allUsers, query.userName, query.begin, query.end, query.filter);
    // Totals of many categories can pass 32 bits even where no single sum does.
    int64_t expense = 0;
    int64_t income = 0;
    for (int32_t i = 0; i < sums.Count(); ++i) {
        const QString texts[] = {sums[i].typeName, ConvertInfo_cl::MoneyToText(sums[i].sum)};
        sumList->AddRow(texts, 2);
        (sums[i].sum < 0 ? expense : income) += sums[i].sum;
    }
    const auto addTotal = [this](const QString& caption, int64_t amount) {
        const QString texts[] = {caption, ConvertInfo_cl::MoneyToText(amount)};
        sumList->AddRow(texts, 2);
    };
    if (expense != 0) addTotal(QStringLiteral("【总计开销】"), expense);
    if (income != 0) addTotal(QStringLiteral("【总计收入】"), income);
    if (expense != 0 && income != 0) addTotal(QStringLiteral("【结余】"), income + expense);
    RememberSearchedName(query.userName);
}

void WRecordManagePage_cl::RefreshAccount() {
    const int32_t userMode = UserMode();
    if (userMode == CurrentUser) {
        accountLabel->setText(QStringLiteral("个人帐户 ") +
                              ConvertInfo_cl::MoneyToText(DataCore().GetUserManage().GetSingleAccount()));
    } else if (userMode == AllUsers) {
        accountLabel->setText(QStringLiteral("公共帐户 ") +
                              ConvertInfo_cl::MoneyToText(DataCore().GetControlUser().GetPublicAccount()));
    }
}

void WRecordManagePage_cl::ReloadAndEnable() {
    try {
        Reload();
    } catch (...) {
        // The controls fit what the lists now hold, however far they were filled.
        EnableControls();
        throw;
    }
    EnableControls();
}

void WRecordManagePage_cl::Refresh() {
    Handle([this] { ReloadAndEnable(); });
}

void WRecordManagePage_cl::ShowEntries(const QString& typeName, const Base_ns::DateTime_cl& begin,
                                       const Base_ns::DateTime_cl& end, int32_t userMode, const QString& userName,
                                       RecordFilter_st::Counted_en counted) {
    Handle([&] {
        {
            // One reload for the whole change, not one per control.
            const QSignalBlocker dateBlocker(dateModeCombo);
            const QSignalBlocker userBlocker(userModeCombo);
            const QSignalBlocker categoryBlocker(categoryCombo);
            const QSignalBlocker countedBlocker(countedCombo);
            countedCombo->Select(int32_t(counted));
            dateModeCombo->SelectByText(QString::fromUtf16(kDateModes[Custom].mode));
            previousButton->setText(QString::fromUtf16(kDateModes[Custom].previous));
            nextButton->setText(QString::fromUtf16(kDateModes[Custom].next));
            SetDates(begin, end);
            for (int32_t i = 0; i < userModeCombo->count(); ++i) {
                if (userModeCombo->ItemData(i) == userMode) userModeCombo->Select(i);
            }
            userNameCombo->setEditText(userName);
            FillCategories();
            if (typeName.isEmpty() || !categoryCombo->SelectByText(typeName)) categoryCombo->Select(0);
            for (QLineEdit* edit : {searchEdit, minimumEdit, maximumEdit}) edit->clear();
        }
        // A hidden page loads when it is shown.
        if (isVisible()) ReloadAndEnable();
    });
}

void WRecordManagePage_cl::SetDates(const Base_ns::DateTime_cl& begin, const Base_ns::DateTime_cl& end) {
    // The program's own setting is no pick of the user's.
    const QSignalBlocker beginBlocker(beginDate);
    const QSignalBlocker endBlocker(endDate);
    beginDate->setDateTime(begin.ToQDateTime());
    endDate->setDateTime(end.ToQDateTime());
}

void WRecordManagePage_cl::OnDateMode() {
    Handle([this] {
        const int32_t mode = DateMode();
        previousButton->setText(QString::fromUtf16(kDateModes[mode].previous));
        nextButton->setText(QString::fromUtf16(kDateModes[mode].next));
        const Base_ns::DateTime_cl now = Base_ns::DateTime_cl::Now();
        if (mode == Today) SetDates(now, now);
        if (mode == ThisMonth) {
            const Base_ns::DateTime_cl first = Base_ns::DateTime_cl::FromParts(now.Year(), now.Month(), 1);
            SetDates(first, first.EndOfMonth());
        }
        // Thirty days with today, so that steps of thirty days tile without a shared day.
        if (mode == LastThirtyDays) SetDates(now - Base_ns::DateTimeSpan_cl(29), now);
        ReloadAndEnable();
    });
}

void WRecordManagePage_cl::Step(int32_t direction) {
    const Base_ns::DateTime_cl begin = PickerValue(beginDate);
    const Base_ns::DateTime_cl end = PickerValue(endDate);
    switch (DateMode()) {
    case Today:
        SetDates(begin + Base_ns::DateTimeSpan_cl(direction), end + Base_ns::DateTimeSpan_cl(direction));
        break;
    case ThisMonth: {
        const Base_ns::DateTime_cl first = FirstOfMonth(begin, direction);
        SetDates(first, first.EndOfMonth());
        break;
    }
    case LastThirtyDays:
        SetDates(begin + Base_ns::DateTimeSpan_cl(30 * direction), end + Base_ns::DateTimeSpan_cl(30 * direction));
        break;
    default:
        throw SysError(1, __LINE__, QString::number(DateMode()));
    }
    ReloadAndEnable();
}

void WRecordManagePage_cl::OnUserMode() {
    if (isVisible()) Refresh();
}

void WRecordManagePage_cl::OnUserName() {
    Handle([this] {
        if (UserMode() == NamedUser && userNameCombo->Text() != lastSearchedName) ReloadAndEnable();
    });
}

void WRecordManagePage_cl::OnDatePicked() { Refresh(); }

void WRecordManagePage_cl::OnShowAccount() {
    EnableControls();
    if (showAccountCheck->isChecked()) Handle([this] { RefreshAccount(); });
}

void WRecordManagePage_cl::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) Refresh();
}

void WRecordManagePage_cl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Handle([this] { autoSize.Resize(); });
}

bool WRecordManagePage_cl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == recordList && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Delete) {
            OnDelete();
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OnEdit();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void WRecordManagePage_cl::OnNew() {
    WInputRecordDlg_cl dialog(Base_ns::DateTime_cl::Now(), this);
    dialog.exec();
}

void WRecordManagePage_cl::OnEdit() {
    if (!recordList->HasSelection()) return;
    Handle([this] {
        WInputRecordDlg_cl dialog(recordList->RowData(recordList->FirstSelectedRow()), this);
        if (dialog.exec() == QDialog::Accepted) ReloadAndEnable();
    });
}

void WRecordManagePage_cl::OnDelete() {
    if (!recordList->HasSelection()) return;
    Handle([this] {
        const Container_ns::List_tl<int32_t> rows = recordList->SelectedRows();
        Container_ns::List_tl<int32_t> sns;
        QStringList owners;
        for (auto id = rows.First(); !id.IsEmpty(); id.Next()) {
            sns.Append(recordList->RowData(id.Get()));
            const QString owner = recordList->Text(id.Get(), kUserColumn);
            if (!owners.contains(owner)) owners.append(owner);
        }
        const QString question = QStringLiteral("确定要删除选中的%1条费用记录吗？\r\n用户：%2")
                                     .arg(sns.Count())
                                     .arg(owners.join(QStringLiteral("、")));
        if (Platform_ns::Prompt().Message(this, question, DataCore_cl::GetProductName(), Platform_ns::Buttons_en::YesNo) !=
            Platform_ns::Answer_en::Yes)
            return;
        DataCore().GetControlUser().DeleteRecords(sns);
        ReloadAndEnable();
    });
}

void WRecordManagePage_cl::OnUndoDelete() {
    Handle([this] {
        DataCore().GetControlUser().UndoDelete();
        ReloadAndEnable();
    });
}

void WRecordManagePage_cl::OnChangeAccount() {
    Handle([this] { ChangeAccount(); });
}

void WRecordManagePage_cl::ChangeAccount() {
    const int32_t userMode = UserMode();
    if (userMode == NamedUser) throw UserError(101, __LINE__);
    const bool isPublic = userMode == AllUsers;
    WInputAccountDlg_cl dialog(isPublic, this);
    if (dialog.exec() == QDialog::Accepted) {
        if (isPublic) {
            DataCore().GetUserManage().SetPublicAccount(dialog.GetAmount());
        } else {
            DataCore().GetUserManage().SetSingleAccount(dialog.GetAmount());
        }
    }
    RefreshAccount();
}

void WRecordManagePage_cl::OnExport() {
    Handle([this] { Export(); });
}

void WRecordManagePage_cl::Export() {
    Unique_ns::ICustom_cl& custom = Unique_ns::GetCustomFromDatabase();
    const QString path =
        Platform_ns::Prompt().SaveFile(this, kCsvFilter, custom.ReadString(kCsvFolderKey, QString()), QString());
    if (path.isEmpty()) return;
    custom.WriteString(kCsvFolderKey, SystemInfo_ns::GetParentFolder(path));
    // GBK by default, which spreadsheets open directly; UTF-8 when the user agrees to it
    // for text GBK cannot hold.
    using Encoding_en = IO_ns::CSVStream_cl::Encoding_en;
    Encoding_en encoding = Encoding_en::Gbk;
    if (RecordFile_cl::NeedsUtf8(shownRows)) {
        const QString question = QStringLiteral("导出的记录中有GBK编码无法表示的文字（例如表情符号）。\r\n"
                                                "以UTF-8编码导出吗？选择“否”则不导出。");
        if (Platform_ns::Prompt().Message(this, question, DataCore_cl::GetProductName(), Platform_ns::Buttons_en::YesNo) !=
            Platform_ns::Answer_en::Yes) {
            return;
        }
        encoding = Encoding_en::Utf8;
    }
    RecordFile_cl::Write(path, shownRows, encoding);
}

void WRecordManagePage_cl::OnImport() {
    Handle([this] { Import(); });
}

void WRecordManagePage_cl::Import() {
    Unique_ns::ICustom_cl& custom = Unique_ns::GetCustomFromDatabase();
    const QString path = Platform_ns::Prompt().OpenFile(this, kCsvFilter, custom.ReadString(kCsvFolderKey, QString()));
    if (path.isEmpty()) return;
    custom.WriteString(kCsvFolderKey, SystemInfo_ns::GetParentFolder(path));
    // Read while booked, in one transaction: a file of any length takes the same memory.
    RecordFileReader_cl reader(path);
    QProgressDialog progress(QStringLiteral("正在导入费用记录…"), QString(), 0, 100, this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);  // only a long import shows it
    int last = 0;
    DataCore().GetRecordManage().ImportRecords([&](RecordInfo_st& record) {
        const int step = reader.Size() > 0 ? int(reader.Position() * 100 / reader.Size()) : 0;
        if (step != last) progress.setValue(last = step);
        return reader.Next(record);
    });
    progress.reset();
    // The entries are booked whether or not the list can show them now.
    Refresh();
    Platform_ns::Prompt().Message(this,
                                  QStringLiteral("导入费用记录成功，共导入") + QString::number(reader.Count()) +
                                      QStringLiteral("条。"),
                                  DataCore_cl::GetProductName(), Platform_ns::Buttons_en::OK);
}

void WRecordManagePage_cl::ImportStatement() {
    Unique_ns::ICustom_cl& custom = Unique_ns::GetCustomFromDatabase();
    const QString path =
        Platform_ns::Prompt().OpenFile(this, kStatementFilter, custom.ReadString(kCsvFolderKey, QString()));
    if (path.isEmpty()) return;
    custom.WriteString(kCsvFolderKey, SystemInfo_ns::GetParentFolder(path));
    std::unique_ptr<WStatementImportDlg_cl> dialog;
    while (!dialog) {
        try {
            dialog = std::make_unique<WStatementImportDlg_cl>(path, this);
        } catch (const Base_ns::Error_cl& error) {
            // A bank's statement is known once its columns are described.
            if (!Import_ns::StatementReader_cl::IsUnknownShape(error)) throw;
            const QString question = error.Text() + QStringLiteral("\r\n\r\n如果这是银行账单，可以设置它的各列后导入。现在设置吗？");
            if (Platform_ns::Prompt().Message(this, question, DataCore_cl::GetProductName(),
                                              Platform_ns::Buttons_en::YesNo) != Platform_ns::Answer_en::Yes)
                return;
            WBankProfileDlg_cl profile(path, this);
            if (profile.exec() != QDialog::Accepted) return;
        }
    }
    if (dialog->exec() != QDialog::Accepted) return;
    Refresh();
    const Import_ns::StatementSummary_st& summary = dialog->Result();
    const int32_t booked = summary.decisions[int(Import_ns::Decision_en::Import)].count +
                           summary.decisions[int(Import_ns::Decision_en::Refund)].count;
    Platform_ns::Prompt().Message(
        this,
        QStringLiteral("导入账单成功，共导入%1条，以前已导入%2条，跳过%3条。")
            .arg(booked)
            .arg(summary.decisions[int(Import_ns::Decision_en::AlreadyImported)].count)
            .arg(summary.rows - booked - summary.decisions[int(Import_ns::Decision_en::AlreadyImported)].count),
        DataCore_cl::GetProductName(), Platform_ns::Buttons_en::OK);
}

}  // namespace Vorelle_ns
