#include "WRecordFilterBar.h"

#include "ConvertInfo.h"
#include "DateTyping.h"
#include "Data/RecordFile.h"
#include "CTL/LengthLimit.h"
#include "DialogBuilder.h"
#include "base/SysError.h"
#include "base/UserError.h"
#include "platform/widgets/DialogUnits.h"
#include "settings/Unique.h"
#include "Container/List.h"
#include "base/String.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

namespace Vorelle_ns {

namespace {

Base_ns::SysError_cl SysError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{1, "错误的日期模式。"}};
    return Base_ns::SysError_cl(line, __FILE__, WRecordFilterBar_cl::ClassName(), code, table,
                                int32_t(std::size(table)), remark);
}

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{113, "金额范围应该为金额，最多两位小数，例如 12.50。"},
                                                  {114, "金额范围的下限大于上限。"}};
    return Base_ns::UserError_cl(line, __FILE__, WRecordFilterBar_cl::ClassName(), code, table,
                                 int32_t(std::size(table)), remark);
}

// Settings of the filter, in the logged-in user's storage of the database.
const QString kDateModeKey = QStringLiteral("日期模式");
const QString kUserModeKey = QStringLiteral("用户模式");
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
                              {u"自定义", u"前一段(&P)", u"后一段(&T)"}};
const char16_t* const kUserModes[] = {u"当前用户", u"指定用户", u"所有用户"};
// The bar's size in dialog units: the record page's width, its first three lines.
constexpr int32_t kWidth = 522;
constexpr int32_t kHeight = 62;

Base_ns::DateTime_cl PickerDay(const QDateEdit* picker, int32_t hour, int32_t minute, int32_t second) {
    const QDate day = picker->date();
    return Base_ns::DateTime_cl::FromParts(day.year(), day.month(), day.day(), hour, minute, second);
}

// The first day of the month that is months away from value's.
Base_ns::DateTime_cl FirstOfMonth(const Base_ns::DateTime_cl& value, int32_t months) {
    const int32_t index = value.Year() * 12 + value.Month() - 1 + months;
    return Base_ns::DateTime_cl::FromParts(index / 12, index % 12 + 1, 1);
}

// Chooses the item of that text without the notice of a user's choice; false when
// there is none.
bool Choose(CTL_ns::ComboBox_cl* combo, const QString& text) {
    const int index = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0) return false;
    combo->setCurrentIndex(index);
    return true;
}

void ChooseData(CTL_ns::ComboBox_cl* combo, int32_t data) {
    const int index = combo->findData(data);
    if (index >= 0) combo->setCurrentIndex(index);
}

}  // namespace

WRecordFilterBar_cl::WRecordFilterBar_cl(QWidget* page) : QWidget(page) {
    Build();
    EnableDates();
}

WRecordFilterBar_cl::~WRecordFilterBar_cl() {
    // A box that has the focus loses it as it goes, after this part of the bar is gone:
    // its "typing ended" must not reach the bar then.
    for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
}

void WRecordFilterBar_cl::Build() {
    DialogBuilder_cl build(this);
    const Platform_ns::DialogUnits_cl units;
    const auto makeDate = [&](int32_t id, int32_t x) {
        auto* picker = new QDateEdit(this);
        picker->setObjectName(QString::number(id));
        picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        picker->setCalendarPopup(true);
        DateTyping_cl::Install(picker);
        units.Place(picker, x, 9, 69, 15);
        return picker;
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
    build.Label(QStringLiteral("查找"), 7, 47, 17, 15);
    searchEdit = build.Edit(IdSearch, 26, 46, 100, 14);
    build.Label(QStringLiteral("分类"), 131, 47, 17, 15);
    categoryCombo = build.ComboBox(IdCategory, Style_en::DropDownList, 150, 46, 70, 120);
    build.Label(QStringLiteral("金额"), 225, 47, 17, 15);
    minimumEdit = build.Edit(IdMinimum, 244, 46, 40, 14);
    build.Label(QStringLiteral("至"), 287, 47, 9, 15);
    maximumEdit = build.Edit(IdMaximum, 298, 46, 40, 14);
    countedCombo = build.ComboBox(IdCounted, Style_en::DropDownList, 343, 46, 80, 60);
    // The page's width, down to the search line; the page's buttons on the user line lie
    // over it.
    build.Size(kWidth, kHeight);

    CTL_ns::LengthLimit_cl::Apply(userNameCombo->lineEdit(), RecordFile_cl::MaxName);
    searchEdit->setPlaceholderText(QStringLiteral("名称、分类、注释或用户"));
    searchEdit->setMaxLength(RecordFile_cl::MaxComment);
    minimumEdit->setPlaceholderText(QStringLiteral("不限"));
    maximumEdit->setPlaceholderText(QStringLiteral("不限"));
    for (int32_t mode = Today; mode <= Custom; ++mode) {
        dateModeCombo->AddItem(QString::fromUtf16(kDateModes[mode].mode), mode);
    }
    for (int32_t counted = 0; counted < int32_t(std::size(kCounted)); ++counted) {
        countedCombo->AddItem(QString::fromUtf16(kCounted[counted]), counted);
    }
    dateModeCombo->setCurrentIndex(Today);
    countedCombo->setCurrentIndex(0);
    categoryCombo->AddItem(kAllCategories, 0);
    categoryCombo->setCurrentIndex(0);

    connect(dateModeCombo, &CTL_ns::ComboBox_cl::SelectionChanged, this, &WRecordFilterBar_cl::OnDateMode);
    connect(previousButton, &QPushButton::clicked, this, [this] { Handle([this] { Step(-1); }); });
    connect(nextButton, &QPushButton::clicked, this, [this] { Handle([this] { Step(1); }); });
    // A date being typed is taken when the typing ends (Enter or leaving the box), never
    // digit by digit: each digit would reload the list, and the box fills in the next
    // section as it goes. A pick from the calendar, which holds the focus, counts at once.
    for (QDateEdit* picker : {beginDate, endDate}) {
        connect(picker, &QDateEdit::dateTimeChanged, this, [this, picker] {
            if (!picker->hasFocus()) Take();
        });
        connect(picker, &QDateEdit::editingFinished, this, &WRecordFilterBar_cl::Take);
    }
    for (CTL_ns::ComboBox_cl* combo : {userModeCombo, userNameCombo, categoryCombo, countedCombo}) {
        connect(combo, &CTL_ns::ComboBox_cl::SelectionChanged, this, &WRecordFilterBar_cl::Take);
    }
    // Typed text is taken when the typing ends: Enter or leaving the box. The combo box
    // takes the focus events itself, so its edit's own signal is the one to follow.
    for (QLineEdit* edit : {userNameCombo->lineEdit(), searchEdit, minimumEdit, maximumEdit}) {
        connect(edit, &QLineEdit::editingFinished, this, &WRecordFilterBar_cl::Take);
    }
}

void WRecordFilterBar_cl::Restore(Unique_ns::ICustom_cl& custom, bool canViewOthers) {
    const QSignalBlocker blockers[] = {QSignalBlocker(dateModeCombo), QSignalBlocker(userModeCombo),
                                       QSignalBlocker(userNameCombo), QSignalBlocker(countedCombo)};
    userModeCombo->clear();
    userModeCombo->AddItem(QString::fromUtf16(kUserModes[CurrentUser]), CurrentUser);
    if (canViewOthers) {
        userModeCombo->AddItem(QString::fromUtf16(kUserModes[NamedUser]), NamedUser);
        userModeCombo->AddItem(QString::fromUtf16(kUserModes[AllUsers]), AllUsers);
    }
    // A remembered choice that is no longer offered (the user's power changed) falls back
    // to the first one.
    if (!Choose(dateModeCombo, custom.ReadString(kDateModeKey, QString()))) dateModeCombo->setCurrentIndex(Today);
    if (!Choose(userModeCombo, custom.ReadString(kUserModeKey, QString()))) userModeCombo->setCurrentIndex(0);
    if (!Choose(countedCombo, custom.ReadString(kCountedKey, QString()))) countedCombo->setCurrentIndex(0);
    const Container_ns::List_tl<Base_ns::String_cl> names =
        Unique_ns::GetRecentRecordFromDatabase().List(SearchedNamesKey);
    for (auto id = names.First(); !id.IsEmpty(); id.Next()) userNameCombo->AddText(id.Get());
    if (userNameCombo->count() > 0) userNameCombo->setCurrentIndex(0);
    // The range the user set himself comes back; the other modes set their own.
    const Base_ns::DateTime_cl customBegin = Base_ns::DateTime_cl::Parse(custom.ReadString(kCustomBeginKey, QString()));
    const Base_ns::DateTime_cl customEnd = Base_ns::DateTime_cl::Parse(custom.ReadString(kCustomEndKey, QString()));
    if (Data(dateModeCombo) != Custom) {
        ApplyDateMode();
    } else if (customBegin.IsValid() && customEnd.IsValid()) {
        SetDates(customBegin, customEnd);
    }
    shown = Read();
    // The categories come later; a remembered one that is gone then gives all back.
    const QString category = custom.ReadString(kCategoryKey, kAllCategories);
    shown.filter.typeName = category == kAllCategories ? QString() : category;
    EnableDates();
}

void WRecordFilterBar_cl::Store(Unique_ns::ICustom_cl& custom) const {
    // What the parts show, whether or not the page has taken it yet.
    const Filter_st filter = Read();
    custom.WriteString(kDateModeKey, dateModeCombo->currentText());
    custom.WriteString(kUserModeKey, userModeCombo->currentText());
    if (filter.dateMode == Custom) {
        custom.WriteString(kCustomBeginKey, filter.begin.FormatDate());
        custom.WriteString(kCustomEndKey, filter.end.FormatDate());
    }
    custom.WriteString(kCategoryKey, categoryCombo->currentText());
    custom.WriteString(kCountedKey, countedCombo->currentText());
}

void WRecordFilterBar_cl::SetCategories(const QStringList& names) {
    const QSignalBlocker blocker(categoryCombo);
    categoryCombo->clear();
    categoryCombo->AddItem(kAllCategories, 0);
    for (const QString& name : names) categoryCombo->AddItem(name, 1);
    if (shown.filter.typeName.isEmpty() || !Choose(categoryCombo, shown.filter.typeName)) {
        categoryCombo->setCurrentIndex(0);
        shown.filter.typeName.clear();
    }
}

void WRecordFilterBar_cl::SetDrillDown(const QString& typeName, const Base_ns::DateTime_cl& begin,
                                       const Base_ns::DateTime_cl& end, int32_t userMode, const QString& userName,
                                       RecordFilter_st::Counted_en counted) {
    {
        const QSignalBlocker blockers[] = {QSignalBlocker(dateModeCombo), QSignalBlocker(userModeCombo),
                                           QSignalBlocker(userNameCombo), QSignalBlocker(categoryCombo),
                                           QSignalBlocker(countedCombo)};
        ChooseData(countedCombo, int32_t(counted));
        dateModeCombo->setCurrentIndex(Custom);
        SetDates(begin, end);
        ChooseData(userModeCombo, userMode);
        userNameCombo->setEditText(userName);
        if (typeName.isEmpty() || !Choose(categoryCombo, typeName)) categoryCombo->setCurrentIndex(0);
        for (QLineEdit* edit : {searchEdit, minimumEdit, maximumEdit}) edit->clear();
    }
    refusedBounds.clear();
    shown = Read();
    shown.filter.typeName = typeName;
    EnableDates();
}

void WRecordFilterBar_cl::RememberName(const QString& name) {
    if (name.isEmpty()) return;
    {
        const QSignalBlocker blocker(userNameCombo);
        const int found = userNameCombo->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (found != 0) {
            if (found > 0) userNameCombo->removeItem(found);
            userNameCombo->insertItem(0, name, QVariant());
        }
        userNameCombo->setCurrentIndex(0);
    }
    Unique_ns::GetRecentRecordFromDatabase().Add(SearchedNamesKey, name);
}

void WRecordFilterBar_cl::SetDates(const Base_ns::DateTime_cl& begin, const Base_ns::DateTime_cl& end) {
    // The program's own setting is no pick of the user's.
    const QSignalBlocker beginBlocker(beginDate);
    const QSignalBlocker endBlocker(endDate);
    beginDate->setDate(QDate(begin.Year(), begin.Month(), begin.Day()));
    endDate->setDate(QDate(end.Year(), end.Month(), end.Day()));
}

void WRecordFilterBar_cl::EnableDates() {
    const int32_t dateMode = Data(dateModeCombo);
    previousButton->setText(QString::fromUtf16(kDateModes[dateMode].previous));
    nextButton->setText(QString::fromUtf16(kDateModes[dateMode].next));
    beginDate->setEnabled(dateMode == Custom);
    endDate->setEnabled(dateMode == Custom);
    previousButton->setEnabled(dateMode != Custom);
    nextButton->setEnabled(dateMode != Custom);
    userNameCombo->setEnabled(Data(userModeCombo) == NamedUser);
}

void WRecordFilterBar_cl::OnDateMode() {
    ApplyDateMode();
    Take();
}

void WRecordFilterBar_cl::ApplyDateMode() {
    const Base_ns::DateTime_cl now = Base_ns::DateTime_cl::Now();
    switch (Data(dateModeCombo)) {
    case Today:
        SetDates(now, now);
        break;
    case ThisMonth:
        SetDates(FirstOfMonth(now, 0), FirstOfMonth(now, 0).EndOfMonth());
        break;
    case LastThirtyDays:
        // Thirty days with today, so that steps of thirty days tile without a shared day.
        SetDates(now - Base_ns::DateTimeSpan_cl(29), now);
        break;
    default:
        break;
    }
}

void WRecordFilterBar_cl::Step(int32_t direction) {
    const Base_ns::DateTime_cl begin = PickerDay(beginDate, 0, 0, 0);
    const Base_ns::DateTime_cl end = PickerDay(endDate, 0, 0, 0);
    switch (Data(dateModeCombo)) {
    case Today:
    case LastThirtyDays: {
        const Base_ns::DateTimeSpan_cl days(Data(dateModeCombo) == Today ? direction : 30 * direction);
        SetDates(begin + days, end + days);
        break;
    }
    case ThisMonth:
        SetDates(FirstOfMonth(begin, direction), FirstOfMonth(begin, direction).EndOfMonth());
        break;
    default:
        throw SysError(1, __LINE__, QString::number(Data(dateModeCombo)));
    }
    Take();
}

WRecordFilterBar_cl::Filter_st WRecordFilterBar_cl::Read() const {
    Filter_st filter;
    filter.dateMode = Data(dateModeCombo);
    filter.begin = PickerDay(beginDate, 0, 0, 0);
    filter.end = PickerDay(endDate, 23, 59, 59);
    filter.userMode = Data(userModeCombo);
    if (filter.userMode == NamedUser) filter.userName = userNameCombo->Text().trimmed();
    filter.filter.text = searchEdit->text().trimmed();
    filter.filter.typeName = categoryCombo->currentIndex() > 0 ? categoryCombo->currentText() : QString();
    filter.filter.counted = RecordFilter_st::Counted_en(Data(countedCombo));
    filter.filter.minimum = shown.filter.minimum;
    filter.filter.maximum = shown.filter.maximum;
    return filter;
}

bool WRecordFilterBar_cl::ReadBounds(RecordFilter_st& filter) {
    const QString texts[] = {minimumEdit->text().trimmed(), maximumEdit->text().trimmed()};
    std::optional<int32_t> bounds[2];
    int32_t code = 0;
    QString remark;
    for (int32_t i = 0; i < 2 && code == 0; ++i) {
        int32_t cents = 0;
        if (texts[i].isEmpty()) continue;
        if (!ConvertInfo_cl::TextToMoney(texts[i], cents) || cents < 0) {
            code = 113;
            remark = texts[i];
        } else {
            bounds[i] = cents;
        }
    }
    if (code == 0 && bounds[0] && bounds[1] && *bounds[0] > *bounds[1]) code = 114;
    if (code == 0) {
        refusedBounds.clear();
        filter.minimum = bounds[0];
        filter.maximum = bounds[1];
        return true;
    }
    // Said once for the same texts: the box taking the focus ends the typing again.
    const QString refused = texts[0] + QLatin1Char('\n') + texts[1];
    if (refused != refusedBounds) {
        refusedBounds = refused;
        UserError(code, __LINE__, remark).Show(this);
    }
    return false;
}

void WRecordFilterBar_cl::Take() {
    Filter_st filter = Read();
    // A wrong bound keeps the one shown; the rest of the change still counts.
    static_cast<void>(ReadBounds(filter.filter));
    EnableDates();
    if (filter == shown) return;
    shown = filter;
    emit FilterChanged();
}

int32_t WRecordFilterBar_cl::Data(const CTL_ns::ComboBox_cl* combo) const {
    return combo->currentIndex() < 0 ? 0 : combo->ItemData(combo->currentIndex());
}

template <typename Action>
void WRecordFilterBar_cl::Handle(Action&& action) {
    try {
        action();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

}  // namespace Vorelle_ns
