#include "WRecordManagePage.h"
#include "StatusNote.h"

#include "ConvertInfo.h"
#include "Control/DataCore.h"
#include "Data/RecordFile.h"
#include "Data/RecordDuplicates.h"
#include "Data/RecordFileImport.h"
#include "CTL/Report.h"
#include "RecordRows.h"
#include "DialogBuilder.h"
#include "SystemInfo/Path.h"
#include "WInputAccountDlg.h"
#include "WInputRecordDlg.h"
#include "WBankProfileDlg.h"
#include "WStatementImportDlg.h"
#include "WProgressDlg.h"
#include "base/UserError.h"
#include "platform/prompt/Prompt.h"
#include "platform/widgets/DialogUnits.h"
#include "settings/Unique.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QStringList>
#include <QPushButton>
#include <QSet>
#include <QShortcut>
#include <QShowEvent>

namespace Vorelle_ns {

namespace {

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{101, "不允许设置其它用户的个人账户。"}};
    return Base_ns::UserError_cl(line, __FILE__, WRecordManagePage_cl::ClassName(), code, table,
                                 int32_t(std::size(table)), remark);
}

// The record list's columns are the record file's, in these widths.
constexpr int32_t kRecordWidths[RecordFile_cl::ColumnCount] = {15, 15, 12, 10, 10, 10, -1};
constexpr int32_t kUserColumn = 4;  // 用户
constexpr int32_t kListTop = 64;    // in dialog units, under the filter bar's three lines
const CTL_ns::Report_cl::Column_st kSumColumns[] = {{QStringLiteral("分类"), 50},
                                                   {QStringLiteral("金额"), -1, true}};

const QString kCsvFilter = QStringLiteral("CSV文件 (*.csv)|*.csv|");
const QString kStatementFilter = QStringLiteral("账单 (*.csv;*.xlsx)|*.csv;*.xlsx|");

// Settings of the page, in the logged-in user's storage of the database.
const QString kRecordWidthsKey = QStringLiteral("费用记录列表");
const QString kSumWidthsKey = QStringLiteral("简单统计列表");
const QString kShowAccountKey = QStringLiteral("显示账户");
const QString kCsvFolderKey = QStringLiteral("CSV文件目录");

using Filter_st = WRecordFilterBar_cl::Filter_st;
constexpr auto kTwo = ConvertInfo_cl::Decimals_en::Two;

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
    // First, so that the buttons on its user line lie over it.
    filterBar = new WRecordFilterBar_cl(this);
    DialogBuilder_cl build(this);
    const Platform_ns::DialogUnits_cl units;
    const auto makeList = [&](int32_t id, int32_t x, int32_t width) {
        auto* list = new CTL_ns::Report_cl(this);
        list->setObjectName(QString::number(id));
        units.Place(list, x, kListTop, width, 181);
        return list;
    };
    newButton = build.Button(IdNew, QStringLiteral("新增(&N)"), 215, 26, 60, 18);
    exportButton = build.Button(IdExport, QStringLiteral("导出(&E)"), 280, 26, 60, 18);
    importButton = build.Button(IdImport, QStringLiteral("导入(&I)"), 346, 26, 60, 18);
    importStatementButton = build.Button(IdImportStatement, QStringLiteral("导入账单(&S)"), 412, 26, 60, 18);
    undoButton = build.Button(IdUndoDelete, QStringLiteral("撤销删除"), 475, 26, 40, 18);
    undoImportButton = build.Button(IdUndoImport, QStringLiteral("撤销这次导入"), 441, 8, 74, 18);
    matchesLabel = build.Label(QString(), 428, 47, 90, 10);
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
    recordList->installEventFilter(this);

    connect(filterBar, &WRecordFilterBar_cl::FilterChanged, this, &WRecordManagePage_cl::OnFilterChanged);
    connect(showAccountCheck, &QCheckBox::clicked, this, &WRecordManagePage_cl::OnShowAccount);
    connect(newButton, &QPushButton::clicked, this, &WRecordManagePage_cl::OnNew);
    connect(exportButton, &QPushButton::clicked, this, &WRecordManagePage_cl::OnExport);
    connect(importButton, &QPushButton::clicked, this, &WRecordManagePage_cl::OnImport);
    connect(importStatementButton, &QPushButton::clicked, this, [this] { Handle([this] { ImportStatement(); }); });
    connect(undoButton, &QPushButton::clicked, this, &WRecordManagePage_cl::OnUndoDelete);
    connect(undoImportButton, &QPushButton::clicked, this, [this] { Handle([this] { UndoImport(); }); });
    auto* undo = new QShortcut(QKeySequence::Undo, this, this, &WRecordManagePage_cl::OnUndoDelete);
    undo->setContext(Qt::WidgetWithChildrenShortcut);
    connect(changeAccountButton, &QPushButton::clicked, this, &WRecordManagePage_cl::OnChangeAccount);
    connect(recordList, &CTL_ns::Report_cl::CellActivated, this, &WRecordManagePage_cl::OnEdit);
    // The list grows with the page, the sums follow its right edge, the account line
    // its bottom edge.
    autoSize.Register(this);
    autoSize.AddChildAligned(recordList, 0, 0, 1, 1);
    autoSize.AddChildAligned(sumList, 2, 0, 0, 1);
    for (QWidget* control : std::initializer_list<QWidget*>{showAccountCheck, accountLabel, changeAccountButton}) {
        autoSize.AddChildAligned(control, 0, 2, 0, 0);
    }
    // The bar lies at the page's corner: its controls and the page's share the top lines.
    for (QWidget* control : filterBar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) topLines.Add(control);
    for (QWidget* control : std::initializer_list<QWidget*>{newButton, exportButton, importButton, importStatementButton,
                                                           undoButton, undoImportButton, matchesLabel}) {
        topLines.Add(control);
    }
}

void WRecordManagePage_cl::Initialise() {
    CTL_ns::Report_cl::Column_st recordColumns[RecordFile_cl::ColumnCount];
    for (int32_t i = 0; i < RecordFile_cl::ColumnCount; ++i) {
        recordColumns[i] = {RecordFile_cl::ColumnTitle(i), kRecordWidths[i], i == RecordRows_cl::AmountColumn};
    }
    recordList->SetColumns(recordColumns, RecordFile_cl::ColumnCount);
    sumList->SetColumns(kSumColumns, int32_t(std::size(kSumColumns)));
    UserManage_cl& users = DataCore().GetUserManage();
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
    filterBar->Restore(custom, users.CanViewOthers());
    showAccountCheck->setChecked(custom.ReadBoolean(kShowAccountKey, true));
    FillCategories();
    EnableControls();
}

void WRecordManagePage_cl::StoreSettings() {
    Unique_ns::ICustom_cl& custom = Unique_ns::GetCustomFromDatabase();
    custom.WriteString(kRecordWidthsKey, recordList->ColumnWidthsText());
    custom.WriteString(kSumWidthsKey, sumList->ColumnWidthsText());
    custom.WriteBoolean(kShowAccountKey, showAccountCheck->isChecked());
    if (!drilledDown) filterBar->Store(custom);
}

void WRecordManagePage_cl::FillCategories() {
    QStringList names;
    RecordManage_cl& records = DataCore().GetRecordManage();
    for (bool income : {false, true}) {
        const Base_ns::Trusteeship_tl<QString> kind = records.GetFilterTypeNames(income);
        for (int32_t i = 0; i < kind.Count(); ++i) {
            if (!names.contains(kind[i])) names << kind[i];
        }
    }
    filterBar->SetCategories(names);
}

template <typename Action>
void WRecordManagePage_cl::Handle(Action&& action) {
    try {
        action();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

void WRecordManagePage_cl::EnableControls() {
    const int32_t userMode = filterBar->Filter().userMode;
    for (QWidget* control :
         std::initializer_list<QWidget*>{recordList, sumList, filterBar, newButton, importButton, importStatementButton,
                                         undoImportButton}) {
        control->setEnabled(true);
    }
    // A balance is shown for the logged-in user or for everybody; a named user's is his own.
    showAccountCheck->setEnabled(userMode != WRecordFilterBar_cl::NamedUser);
    const bool showAccount = showAccountCheck->isEnabled() && showAccountCheck->isChecked();
    accountLabel->setVisible(showAccount);
    changeAccountButton->setVisible(showAccount);
    changeAccountButton->setEnabled(showAccount &&
                                    (userMode == WRecordFilterBar_cl::CurrentUser || superAdmin));
    exportButton->setEnabled(recordList->RowCount() > 0);
    matchesLabel->setText(nothingShown.isEmpty() ? QStringLiteral("共%1条").arg(recordList->RowCount()) : nothingShown);
    undoButton->setEnabled(DataCore().GetControlUser().CanUndoDelete());
}

void WRecordManagePage_cl::Reload() {
    FillCategories();
    const Filter_st& query = filterBar->Filter();
    nothingShown.clear();
    if (query.userMode == WRecordFilterBar_cl::NamedUser) {
        const QString gap = DataCore().GetControlUser().NamedUserGap(query.userName);
        if (!gap.isEmpty()) return ShowNothing(gap);
    }
    // The sums first: the long read of the entries then gives back the engine's cache
    // that both filled.
    FillSums(query);
    FillRecords(query);
    filterBar->RememberName(query.userName);
    if (showAccountCheck->isChecked()) RefreshAccount();
}

void WRecordManagePage_cl::ShowNothing(const QString& why) {
    nothingShown = why;
    recordList->DeleteAllRows();
    sumList->DeleteAllRows();
    shownRows = std::make_shared<const RecordList_cl>();
}

void WRecordManagePage_cl::FillRecords(const Filter_st& query) {
    // The former list goes before the next is read, so that both are never held at once.
    recordList->DeleteAllRows();
    shownRows = std::make_shared<const RecordList_cl>();
    shownRows = std::make_shared<const RecordList_cl>(DataCore().GetControlUser().GetRecordList(
        query.userMode == WRecordFilterBar_cl::AllUsers, query.userName, query.begin, query.end, query.filter));
    // A model over the entries: a list of years of entries makes no text until shown.
    recordList->SetRows(std::make_unique<RecordRows_cl>(shownRows));
}

void WRecordManagePage_cl::FillSums(const Filter_st& query) {
    sumList->DeleteAllRows();
    const Base_ns::Trusteeship_tl<TypeSum_st> sums = DataCore().GetControlUser().GetTypeSums(
        query.userMode == WRecordFilterBar_cl::AllUsers, query.userName, query.begin, query.end, query.filter);
    for (int32_t i = 0; i < sums.Count(); ++i) {
        const QString texts[] = {sums[i].typeName, ConvertInfo_cl::MoneyToText(sums[i].sum, kTwo)};
        sumList->AddRow(texts, 2);
    }
    const auto addTotal = [this](const QString& caption, int64_t amount) {
        const QString texts[] = {caption, ConvertInfo_cl::MoneyToText(amount, kTwo)};
        sumList->AddRow(texts, 2);
    };
    const SumTotals_st totals = RecordManage_cl::Totals(sums);
    if (totals.anyExpense) addTotal(QStringLiteral("【总计开销】"), totals.expense);
    if (totals.anyIncome) addTotal(QStringLiteral("【总计收入】"), totals.income);
    if (totals.anyExpense && totals.anyIncome) addTotal(QStringLiteral("【结余】"), totals.income + totals.expense);
}

void WRecordManagePage_cl::RefreshAccount() {
    const int32_t userMode = filterBar->Filter().userMode;
    if (userMode == WRecordFilterBar_cl::CurrentUser) {
        accountLabel->setText(QStringLiteral("个人帐户 ") +
                              ConvertInfo_cl::MoneyToText(DataCore().GetUserManage().GetSingleAccount(), kTwo));
    } else if (userMode == WRecordFilterBar_cl::AllUsers) {
        accountLabel->setText(QStringLiteral("公共帐户 ") +
                              ConvertInfo_cl::MoneyToText(DataCore().GetControlUser().GetPublicAccount(), kTwo));
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
        // The filter the user left is remembered now; the drill-down's is not.
        if (!drilledDown) filterBar->Store(Unique_ns::GetCustomFromDatabase());
        drilledDown = true;
        filterBar->SetDrillDown(typeName, begin, end, userMode, userName, counted);
        // A hidden page loads when it is shown.
        if (isVisible()) ReloadAndEnable();
    });
}

void WRecordManagePage_cl::OnFilterChanged() {
    drilledDown = false;
    // A hidden page loads when it is shown.
    if (isVisible()) Refresh();
}

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
    Handle([this] {
        autoSize.Resize();
        // A page too narrow for its top lines gets more of them, and the lists begin lower.
        const Platform_ns::DialogUnits_cl units;
        const int32_t extra = topLines.LayOut(width(), units.Y(kListTop), units.Y(20), units.X(5));
        filterBar->resize(std::max(filterBar->width(), width()), units.Y(kListTop) + extra);
        for (QWidget* list : std::initializer_list<QWidget*>{recordList, sumList})
            list->setGeometry(list->geometry().adjusted(0, extra, 0, 0));
    });
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
        const int32_t sn = recordList->RowData(recordList->FirstSelectedRow());
        WInputRecordDlg_cl dialog(sn, this);
        if (dialog.exec() != QDialog::Accepted) return;
        ReloadAndEnable();
        Container_ns::List_tl<int32_t> changed;
        changed.Append(sn);
        SelectEntries(changed);
        StatusNote_cl::Say(this, QStringLiteral("已修改1条费用记录。"));
    });
}

void WRecordManagePage_cl::SelectEntries(const Container_ns::List_tl<int32_t>& sns) {
    QSet<int32_t> wanted;
    for (auto id = sns.First(); !id.IsEmpty(); id.Next()) wanted.insert(id.Get());
    recordList->clearSelection();
    int32_t first = -1;
    for (int32_t row = 0; row < recordList->RowCount() && !wanted.isEmpty(); ++row) {
        if (!wanted.remove(recordList->RowData(row))) continue;
        recordList->SelectRow(row);
        if (first < 0) first = row;
    }
    if (first >= 0) {
        recordList->selectionModel()->setCurrentIndex(recordList->model()->index(first, 0), QItemSelectionModel::NoUpdate);
        recordList->scrollTo(recordList->model()->index(first, 0));
    }
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
        DataCore().GetRecordManage().CheckDeletable(sns);
        const QString question = QStringLiteral("确定要删除选中的%1条费用记录吗？\r\n用户：%2")
                                     .arg(sns.Count())
                                     .arg(owners.join(QStringLiteral("、")));
        if (Platform_ns::Prompt().Message(this, question, DataCore_cl::GetProductName(), Platform_ns::Buttons_en::YesNo) !=
            Platform_ns::Answer_en::Yes)
            return;
        DataCore().GetControlUser().DeleteRecords(sns);
        ReloadAndEnable();
        StatusNote_cl::Say(this, QStringLiteral("已删除%1条费用记录，可按Ctrl+Z撤销。").arg(sns.Count()));
    });
}

void WRecordManagePage_cl::OnUndoDelete() {
    Handle([this] {
        const Container_ns::List_tl<int32_t> restored = DataCore().GetControlUser().UndoDelete();
        ReloadAndEnable();
        SelectEntries(restored);
        StatusNote_cl::Say(this, QStringLiteral("已恢复%1条费用记录。").arg(restored.Count()));
    });
}

void WRecordManagePage_cl::UndoImport() {
    if (Platform_ns::Prompt().Message(this,
                                      QStringLiteral("撤销最近一次导入（账单或记录文件）吗？它导入的记录将移入回收站，它与已有记录的匹配将取消。"),
                                      DataCore_cl::GetProductName(), Platform_ns::Buttons_en::YesNo) != Platform_ns::Answer_en::Yes)
        return;
    const Import_ns::ImportUndone_st done =
        Import_ns::StatementImport_cl::UndoLast(DataCore().GetUserManage(), DataCore().GetRecordManage());
    ReloadAndEnable();
    Platform_ns::Prompt().Message(this, done.Text(false), DataCore_cl::GetProductName(), Platform_ns::Buttons_en::OK);
}

void WRecordManagePage_cl::OnChangeAccount() {
    Handle([this] { ChangeAccount(); });
}

void WRecordManagePage_cl::ChangeAccount() {
    const int32_t userMode = filterBar->Filter().userMode;
    if (userMode == WRecordFilterBar_cl::NamedUser) throw UserError(101, __LINE__);
    const bool isPublic = userMode == WRecordFilterBar_cl::AllUsers;
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
    if (RecordFile_cl::NeedsUtf8(*shownRows)) {
        const QString question = QStringLiteral("导出的记录中有GBK编码无法表示的文字（例如表情符号）。\r\n"
                                                "以UTF-8编码导出吗？选择“否”则不导出。");
        if (Platform_ns::Prompt().Message(this, question, DataCore_cl::GetProductName(), Platform_ns::Buttons_en::YesNo) !=
            Platform_ns::Answer_en::Yes) {
            return;
        }
        encoding = Encoding_en::Utf8;
    }
    RecordFile_cl::Write(path, *shownRows, encoding);
}

void WRecordManagePage_cl::OnImport() {
    Handle([this] { Import(); });
}

void WRecordManagePage_cl::Import() {
    Unique_ns::ICustom_cl& custom = Unique_ns::GetCustomFromDatabase();
    const QString path = Platform_ns::Prompt().OpenFile(this, kCsvFilter, custom.ReadString(kCsvFolderKey, QString()));
    if (path.isEmpty()) return;
    custom.WriteString(kCsvFolderKey, SystemInfo_ns::GetParentFolder(path));
    const RecordRepeats_st repeats = RecordDuplicates_cl(DataCore().GetUserManage(), DataCore().GetRecordManage()).Find(path);
    if (repeats.count > 0) {
        const QString question = QStringLiteral("这%1条与账本中已有的记录相同（第一条在第%2行），这个文件可能已经导入过。\r\n"
                                                "仍然全部导入吗？选择“否”则不导入。")
                                     .arg(repeats.count)
                                     .arg(repeats.firstLine);
        if (Platform_ns::Prompt().Message(this, question, DataCore_cl::GetProductName(), Platform_ns::Buttons_en::YesNo) !=
            Platform_ns::Answer_en::Yes)
            return;
    }
    WProgressDlg_cl progress(QStringLiteral("正在导入费用记录…"), this);
    int last = 0;
    const int32_t count = RecordFileImport_cl::Import(
        path, DataCore().GetUserManage(), DataCore().GetRecordManage(), [&](int64_t done, int64_t total) {
            const int step = total > 0 ? int(done * 100 / total) : 0;
            if (step != last) progress.setValue(last = step);
        });
    progress.reset();
    // The entries are booked whether or not the list can show them now.
    Refresh();
    Platform_ns::Prompt().Message(this,
                                  QStringLiteral("导入费用记录成功，共导入") + QString::number(count) +
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
    const int32_t linked = summary.decisions[int(Import_ns::Decision_en::Linked)].count;
    const int32_t doubts = summary.decisions[int(Import_ns::Decision_en::MaybeDuplicate)].count;
    const int32_t earlier = summary.decisions[int(Import_ns::Decision_en::AlreadyImported)].count;
    QString text = QStringLiteral("导入账单成功，共导入%1条，以前已导入%2条，跳过%3条。")
                       .arg(booked)
                       .arg(earlier)
                       .arg(summary.rows - booked - earlier - linked - doubts);
    if (linked > 0) text += QStringLiteral("与已有记录匹配%1条（没有重复记账）。").arg(linked);
    if (doubts > 0) text += QStringLiteral("可能重复、没有导入%1条。").arg(doubts);
    Platform_ns::Prompt().Message(this, text, DataCore_cl::GetProductName(), Platform_ns::Buttons_en::OK);
}

}  // namespace Vorelle_ns
