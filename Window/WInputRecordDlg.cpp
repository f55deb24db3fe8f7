#include "WInputRecordDlg.h"

#include "DateTyping.h"
#include "ConvertInfo.h"
#include "Control/BudgetText.h"
#include "Control/DataCore.h"
#include "Data/Budget.h"
#include "Data/TradeLog.h"
#include "Import/StatementImport.h"
#include "platform/prompt/Prompt.h"
#include "CTL/ComboBox.h"
#include "CTL/LengthLimit.h"
#include "CTL/Report.h"
#include "CTL/TabCtrl.h"
#include "DialogBuilder.h"
#include "WInputAccountDlg.h"
#include "WMainWnd.h"
#include "base/Text.h"
#include "base/UserError.h"
#include "platform/widgets/DialogUnits.h"
#include "platform/widgets/MessageEvent.h"
#include "settings/Unique.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace Vorelle_ns {

namespace {

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{101, "注释中有非法字符（'）。"}, {102, "金额不正确，应为大于零的数字，以元为单位，最多两位小数，最多为21474836.47。"}};
    return Base_ns::UserError_cl(line, __FILE__, WInputRecordDlg_cl::ClassName(), code, table,
                                 int32_t(std::size(table)), remark);
}

constexpr int32_t kMaxComment = 255;
constexpr int32_t kMaxName = 16;
const QString kIllegal = QStringLiteral("'");
// A full-width space parts the pieces of a frequently used entry's line.
const QString kGap = QStringLiteral("　");

// The settings keys of one kind: 0 expense, 1 income.
QString CategoryKey(int32_t kind) { return kind == 1 ? QStringLiteral("收入分类名称") : QStringLiteral("开销分类名称"); }
QString NameKey(int32_t kind) { return kind == 1 ? QStringLiteral("收入费用名称") : QStringLiteral("开销费用名称"); }
QString AmountKey(int32_t kind) { return kind == 1 ? QStringLiteral("收入金额") : QStringLiteral("开销金额"); }
const QString kKindKey = QStringLiteral("费用模式");

// The money text without its sign, with two decimals as everywhere on screen.
QString Magnitude(int32_t cents) {
    const QString text = ConvertInfo_cl::MoneyToText(cents, ConvertInfo_cl::Decimals_en::Two);
    return text.startsWith(u'-') ? text.mid(1) : text;
}

QString TemplateLine(const TemplateRow_st& row) {
    QString line;
    if (!row.typeName.isEmpty()) line += row.typeName + kGap;
    if (!row.expenseName.isEmpty()) line += row.expenseName + kGap;
    if (row.expense != 0) line += ConvertInfo_cl::MoneyToText(row.expense, ConvertInfo_cl::Decimals_en::Two) + kGap;
    line += row.comment;
    return line;
}

// Puts text into an editable combo as typed, with no item selected.
void SetTyped(CTL_ns::ComboBox_cl* combo, const QString& text) {
    combo->setCurrentIndex(-1);
    combo->setEditText(text);
}

}  // namespace

WInputRecordDlg_cl::WInputRecordDlg_cl(const Base_ns::DateTime_cl& date, QWidget* parent)
    : WInputRecordDlg_cl(false, 0, date, parent) {}

WInputRecordDlg_cl::WInputRecordDlg_cl(int32_t recordSn, QWidget* parent)
    : WInputRecordDlg_cl(true, recordSn, Base_ns::DateTime_cl::Now(), parent) {}

WInputRecordDlg_cl::WInputRecordDlg_cl(bool editMode, int32_t recordSn, const Base_ns::DateTime_cl& date,
                                       QWidget* parent)
    : QDialog(parent), editMode(editMode), recordSn(recordSn) {
    BuildControls();
    dateEdit->setDateTime(date.ToQDateTime());
    monthlyCheck->setChecked(true);
    yearlyCheck->setChecked(true);
    try {
        const int32_t kind = Unique_ns::GetCustomFromDatabase().ReadInteger(kKindKey, 0);
        // The tab control announces the selection; new entries load their lists then.
        kindTab->Select(kind == 1 ? 1 : 0);
        if (editMode) {
            setWindowTitle(QStringLiteral("编辑记录"));
            okButton->setText(QStringLiteral("修改(&O)"));
            cancelButton->setText(QStringLiteral("取消(&C)"));
            LoadRecord();
        } else {
            setWindowTitle(QStringLiteral("新增记录"));
            okButton->setText(QStringLiteral("增加(&A)"));
            cancelButton->setText(QStringLiteral("退出(&E)"));
        }
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
        loaded = false;
    }
    EnableControls();
}

void WInputRecordDlg_cl::BuildControls() {
    DialogBuilder_cl build(this);
    const Platform_ns::DialogUnits_cl units;
    kindTab = new CTL_ns::TabCtrl_cl(this);
    kindTab->setObjectName(QString::number(IdKindTab));
    units.Place(kindTab, 7, 7, 330, 15);
    kindTab->AddTab(QStringLiteral("开销"), 0);
    kindTab->AddTab(QStringLiteral("收入"), 1);
    kindTab->SetEnterMessage(KindChangedMessage);

    build.Label(QStringLiteral("日期"), 7, 28, 33, 8);
    dateEdit = new QDateTimeEdit(this);
    dateEdit->setObjectName(QString::number(IdDate));
    dateEdit->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    dateEdit->setCalendarPopup(true);
    DateTyping_cl::Install(dateEdit);
    dateEdit->setDateTimeRange(ConvertInfo_cl::EarliestEntryTime().ToQDateTime(),
                               ConvertInfo_cl::LatestEntryTime().ToQDateTime());
    units.Place(dateEdit, 43, 25, 125, 14);
    build.Label(QStringLiteral("分类"), 7, 46, 33, 8);
    categoryCombo = build.ComboBox(IdCategory, CTL_ns::ComboBox_cl::Style_en::DropDown, 43, 43, 125, 175);
    categoryCombo->SetField(QStringLiteral("分类"));
    build.Label(QStringLiteral("费用名称"), 7, 62, 33, 8);
    nameCombo = build.ComboBox(IdName, CTL_ns::ComboBox_cl::Style_en::DropDown, 43, 59, 125, 175);
    nameCombo->SetField(QStringLiteral("费用名称"));
    build.Label(QStringLiteral("金额"), 7, 77, 33, 8);
    amountCombo = build.ComboBox(IdAmount, CTL_ns::ComboBox_cl::Style_en::DropDown, 43, 75, 125, 175);
    amountCombo->SetField(QStringLiteral("金额"));
    build.Label(QStringLiteral("注释"), 7, 94, 33, 8);
    commentEdit = new QPlainTextEdit(this);
    commentEdit->setObjectName(QString::number(IdComment));
    commentEdit->setTabChangesFocus(true);
    units.Place(commentEdit, 43, 93, 126, 72);
    monthlyCheck = build.CheckBox(IdMonthly, QStringLiteral("参与月统计(&M)"), 20, 170, 67, 10);
    yearlyCheck = build.CheckBox(IdYearly, QStringLiteral("参与年统计(&Y)"), 101, 170, 65, 10);
    okButton = build.Button(IdOK, QString(), 15, 185, 67, 18);
    cancelButton = build.Button(IdCancel, QString(), 101, 185, 67, 18);
    templateList = new CTL_ns::Report_cl(this);
    templateList->setObjectName(QString::number(IdTemplates));
    units.Place(templateList, 200, 25, 137, 150);
    storeButton = build.Button(IdStoreTemplate, QStringLiteral(">"), 173, 76, 20, 18);
    takeButton = build.Button(IdTakeTemplate, QStringLiteral("<"), 173, 98, 20, 18);
    QLabel* help = build.Label(
        QStringLiteral("常用费用列表，你可以把你常用的费\n用添加到这里，鼠标双击就可取出费\n用，Delete键删除费用"), 200, 177,
        137, 24);
    budgetNotice = build.Label(QString(), 7, 206, 185, 10);
    budgetNotice->setObjectName(QString::number(IdBudgetNotice));
    // Where an entry being added shows its budget: an entry edited shows none.
    unlinkButton = build.Button(IdUnlink, QStringLiteral("取消与账单的匹配"), 15, 203, 153, 14);
    unlinkButton->hide();
    build.Size(345, 218);
    // Chinese lines stand taller than the base unit: the three lines get their full
    // height, and the dialog grows to hold them.
    help->resize(help->width(), std::max(help->height(), help->sizeHint().height()));
    resize(width(), std::max(height(), help->geometry().bottom() + units.Y(4)));
    setFixedSize(size());

    CTL_ns::LengthLimit_cl::Apply(categoryCombo->lineEdit(), kMaxName);
    CTL_ns::LengthLimit_cl::Apply(nameCombo->lineEdit(), kMaxName);
    // A plain list: one column, no header, the selection kept in sight.
    const CTL_ns::Report_cl::Column_st column{QString(), -1};
    templateList->SetColumns(&column, 1);
    templateList->horizontalHeader()->hide();
    templateList->setSelectionMode(QAbstractItemView::SingleSelection);
    templateList->installEventFilter(this);

    okButton->setDefault(true);
    connect(commentEdit, &QPlainTextEdit::textChanged, this, [this] {
        // The comment column holds at most 255 characters: typing stops there, after a
        // whole character.
        if (Base_ns::CharacterCount(commentEdit->toPlainText()) <= kMaxComment) return;
        commentEdit->setPlainText(Base_ns::LeftCharacters(commentEdit->toPlainText(), kMaxComment));
        commentEdit->moveCursor(QTextCursor::End);
    });
    connect(yearlyCheck, &QCheckBox::clicked, this, [this] { EnableControls(); });
    connect(okButton, &QPushButton::clicked, this, &WInputRecordDlg_cl::OnAddOrChange);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(storeButton, &QPushButton::clicked, this, &WInputRecordDlg_cl::OnStoreTemplate);
    connect(takeButton, &QPushButton::clicked, this, &WInputRecordDlg_cl::OnTakeTemplate);
    connect(unlinkButton, &QPushButton::clicked, this, &WInputRecordDlg_cl::OnUnlink);
    connect(templateList, &CTL_ns::Report_cl::CellActivated, this, &WInputRecordDlg_cl::OnTakeTemplate);
}

int WInputRecordDlg_cl::exec() {
    if (!loaded) {
        setResult(QDialog::Rejected);
        return QDialog::Rejected;
    }
    return QDialog::exec();
}

template <typename Action>
void WInputRecordDlg_cl::Handle(Action&& action) {
    try {
        action();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

void WInputRecordDlg_cl::LoadRecord() {
    const RecordDetail_st record = DataCore().GetRecordManage().GetRecord(recordSn);
    refund = record.refund;
    const int32_t kind = record.expense > 0 && !refund ? 1 : 0;
    kindTab->Select(kind);
    // The drop-downs offer what was typed for entries of the record's own kind.
    LoadCombos(kind);
    categoryCombo->PushFront(record.typeName);
    nameCombo->PushFront(record.expenseName);
    // Money back from a purchase shows as such: in the title, and with its plus sign.
    amountCombo->PushFront(refund ? u'+' + Magnitude(record.expense) : Magnitude(record.expense));
    if (refund) setWindowTitle(QStringLiteral("编辑记录（退款）"));
    commentEdit->setPlainText(record.comment);
    dateEdit->setDateTime(record.recordTime.ToQDateTime());
    SetStatisticsMode(record.statisticsMode);
    mayModify = record.mayAlter;
    TradeLog_cl log(DataCore().GetUserManage().GetDatabase());
    TradeLink_st link;
    unlinkButton->setVisible(log.Exists() && log.FindLink(recordSn, link));
}

void WInputRecordDlg_cl::OnUnlink() {
    if (Platform_ns::Prompt().Message(this,
                                      QStringLiteral("取消这条记录与账单的匹配吗？账单中的交易将另记为一条记录，这条记录保持不变。"),
                                      DataCore_cl::GetProductName(), Platform_ns::Buttons_en::YesNo) != Platform_ns::Answer_en::Yes)
        return;
    try {
        Import_ns::StatementImport_cl::Unlink(DataCore().GetUserManage(), DataCore().GetRecordManage(), recordSn);
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
        return;
    }
    WMainWnd_cl::PostRecordsChanged();
    unlinkButton->hide();
}

void WInputRecordDlg_cl::EnableControls() {
    const bool modify = mayModify && loaded;
    const bool entering = !editMode && modify;
    kindTab->setEnabled(entering);
    templateList->setEnabled(entering);
    storeButton->setEnabled(entering);
    takeButton->setEnabled(entering);
    for (QWidget* control : std::initializer_list<QWidget*>{dateEdit, categoryCombo, nameCombo, amountCombo,
                                                            commentEdit, yearlyCheck, okButton}) {
        control->setEnabled(modify);
    }
    monthlyCheck->setEnabled(modify && yearlyCheck->isChecked());
    cancelButton->setEnabled(true);
    unlinkButton->setEnabled(modify && editMode);
}

int32_t WInputRecordDlg_cl::Kind() const { return kindTab->CurrentIndex(); }

int32_t WInputRecordDlg_cl::StatisticsMode() const {
    if (!yearlyCheck->isChecked()) return 2;
    return monthlyCheck->isChecked() ? 0 : 1;
}

void WInputRecordDlg_cl::SetStatisticsMode(int32_t mode) {
    monthlyCheck->setChecked(mode == 0);
    yearlyCheck->setChecked(mode != 2);
    EnableControls();
}

void WInputRecordDlg_cl::customEvent(QEvent* event) {
    if (event->type() != Platform_ns::MessageEvent_cl::EventType()) return QDialog::customEvent(event);
    if (static_cast<Platform_ns::MessageEvent_cl*>(event)->Message() == KindChangedMessage) OnKindChanged();
}

bool WInputRecordDlg_cl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == templateList && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        OnDeleteTemplate();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void WInputRecordDlg_cl::OnKindChanged() {
    if (editMode || !loaded) return;
    Handle([this] {
        LoadCombos(Kind());
        LoadTemplates();
        ClearInput();
    });
}

void WInputRecordDlg_cl::LoadCombos(int32_t kind) {
    categoryCombo->clear();
    nameCombo->clear();
    amountCombo->clear();
    const Base_ns::Trusteeship_tl<QString> names = DataCore().GetControlUser().GetTypeNames(kind == 1);
    for (int32_t i = 0; i < names.Count(); ++i) categoryCombo->AddText(names[i]);
    Unique_ns::IRecentRecord_cl& recent = Unique_ns::GetRecentRecordFromDatabase();
    nameCombo->Fill(recent.List(NameKey(kind)));
    amountCombo->Fill(recent.List(AmountKey(kind)));
    // The recent categories go to the top, the most recent last so that it ends first.
    const Container_ns::List_tl<Base_ns::String_cl> categories = recent.List(CategoryKey(kind));
    for (int32_t i = categories.Count() - 1; i >= 0; --i) {
        const QString& category = categories.At(i).Get();
        if (categoryCombo->findText(category, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0) {
            categoryCombo->PushFront(category);
        }
    }
}

void WInputRecordDlg_cl::LoadTemplates() {
    templates = DataCore().GetControlUser().GetTemplates(Kind() == 1);
    templateList->DeleteAllRows();
    for (int32_t i = 0; i < templates.Count(); ++i) {
        const int32_t row = templateList->AddRow(TemplateLine(templates[i]));
        templateList->SetRowData(row, templates[i].sn);
    }
}

void WInputRecordDlg_cl::ClearInput() {
    SetTyped(categoryCombo, QString());
    SetTyped(nameCombo, QString());
    SetTyped(amountCombo, QString());
    commentEdit->clear();
}

int32_t WInputRecordDlg_cl::EntryCents() {
    // The cents exactly as typed: a third decimal is refused, never rounded.
    amountCombo->ValidatedText(QString(), false);
    int32_t cents = 0;
    if (!ConvertInfo_cl::TextToMoney(amountCombo->Text(), cents) || cents < 1) {
        amountCombo->setFocus();
        throw UserError(102, __LINE__);
    }
    return cents;
}

QString WInputRecordDlg_cl::CheckedComment() {
    const QString comment = commentEdit->toPlainText();
    if (comment.contains(u'\'')) {
        commentEdit->setFocus();
        throw UserError(101, __LINE__);
    }
    return comment;
}

void WInputRecordDlg_cl::OnAddOrChange() {
    Handle([this] { AddOrChange(); });
}

void WInputRecordDlg_cl::AddOrChange() {
    const QString category = categoryCombo->ValidatedText(kIllegal, false);
    const QString name = nameCombo->ValidatedText(kIllegal, true);
    const int32_t cents = EntryCents();
    const QString comment = CheckedComment();
    const int32_t mode = StatisticsMode();
    const int32_t kind = Kind();
    // Remembered before writing, so that a refused entry is still offered next time.
    Unique_ns::IRecentRecord_cl& recent = Unique_ns::GetRecentRecordFromDatabase();
    recent.Add(CategoryKey(kind), categoryCombo->Text());
    recent.Add(NameKey(kind), nameCombo->Text());
    recent.Add(AmountKey(kind), amountCombo->Text());
    Unique_ns::GetCustomFromDatabase().WriteInteger(kKindKey, kind);

    const int32_t signedCents = kind == 1 || refund ? cents : -cents;
    const Base_ns::DateTime_cl time = Base_ns::DateTime_cl::FromQDateTime(dateEdit->dateTime());
    if (editMode) {
        DataCore().GetRecordManage().AlterRecord(recordSn, category, name, signedCents, comment, time, mode);
        accept();
        return;
    }
    DataCore().GetRecordManage().AddRecord(category, name, signedCents, comment, time, mode);
    WMainWnd_cl::PostRecordsChanged();
    LoadCombos(kind);
    ClearInput();
    ShowBudgetNotice(kind == 0 ? category : QString(), time, mode);
}

void WInputRecordDlg_cl::ShowBudgetNotice(const QString& category, const Base_ns::DateTime_cl& time, int32_t mode) {
    budgetNotice->clear();
    if (category.isEmpty()) return;
    try {
        Budget_cl budget(DataCore().GetUserManage());
        budgetNotice->setText(BudgetText_cl::BookingNotice(budget, category, false, time, mode));
    } catch (const Base_ns::Error_cl&) {
        // The entry is booked; a notice that cannot be worked out is no reason to say otherwise.
    }
}

void WInputRecordDlg_cl::OnStoreTemplate() {
    Handle([this] {
        const QString category = categoryCombo->ValidatedText(kIllegal, true);
        const QString name = nameCombo->ValidatedText(kIllegal, true);
        int32_t cents = 0;
        if (!amountCombo->Text().isEmpty()) {
            // Amounts are typed without sign; the kind gives it.
            if (!ConvertInfo_cl::TextToMoney(amountCombo->Text(), cents) || cents < 0) {
                amountCombo->setFocus();
                throw UserError(102, __LINE__);
            }
        }
        const QString comment = CheckedComment();
        const bool income = Kind() == 1;
        DataCore().GetControlUser().AddTemplate(income, category, name, income ? cents : -cents, comment,
                                                StatisticsMode());
        LoadTemplates();
    });
}

void WInputRecordDlg_cl::OnTakeTemplate() {
    if (!templateList->HasSelection()) return;
    Handle([this] {
        const int32_t sn = templateList->RowData(templateList->SelectedRow());
        for (int32_t i = 0; i < templates.Count(); ++i) {
            if (templates[i].sn != sn) continue;
            const TemplateRow_st& row = templates[i];
            SetTyped(categoryCombo, row.typeName);
            SetTyped(nameCombo, row.expenseName);
            SetTyped(amountCombo, row.expense == 0 ? QString() : Magnitude(row.expense));
            commentEdit->setPlainText(row.comment);
            SetStatisticsMode(row.statisticsMode);
            return;
        }
    });
}

void WInputRecordDlg_cl::OnDeleteTemplate() {
    if (!templateList->HasSelection()) return;
    Handle([this] {
        const int32_t row = templateList->SelectedRow();
        DataCore().GetRecordManage().DeleteTemplate(templateList->RowData(row));
        templateList->DeleteRow(row);
    });
}

}  // namespace Vorelle_ns
