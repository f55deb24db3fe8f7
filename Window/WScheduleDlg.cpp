#include "WScheduleDlg.h"

#include "DateTyping.h"
#include "CTL/LengthLimit.h"
#include "Control/DataCore.h"
#include "ConvertInfo.h"
#include "Data/RecordFile.h"
#include "DialogBuilder.h"
#include "base/UserError.h"
#include "platform/widgets/DialogUnits.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <cstdlib>
#include <iterator>

namespace Vorelle_ns {

namespace {

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{101, "金额不正确，应为大于零的数字，以元为单位，最多两位小数，最多为21474836.47。"}};
    return Base_ns::UserError_cl(line, __FILE__, WScheduleDlg_cl::ClassName(), code, table, int32_t(std::size(table)),
                                 remark);
}

enum End_en { Never = 0, UntilDate = 1, ByCount = 2 };

template <typename Control>
Control* Placed(Control* control, int32_t id, int32_t x, int32_t y, int32_t width, int32_t height) {
    control->setObjectName(QString::number(id));
    Platform_ns::DialogUnits_cl().Place(control, x, y, width, height);
    return control;
}

QComboBox* Combo(QWidget* parent, int32_t id, const QStringList& items, int32_t x, int32_t y, int32_t width) {
    auto* combo = Placed(new QComboBox(parent), id, x, y, width, 14);
    combo->addItems(items);
    return combo;
}

QDateEdit* DateEdit(QWidget* parent, int32_t id, int32_t x, int32_t y) {
    auto* edit = Placed(new QDateEdit(QDate::currentDate(), parent), id, x, y, 70, 14);
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    edit->setCalendarPopup(true);
    DateTyping_cl::Install(edit);
    return edit;
}

QSpinBox* Spin(QWidget* parent, int32_t id, int32_t maximum, int32_t x, int32_t y) {
    auto* spin = Placed(new QSpinBox(parent), id, x, y, 40, 14);
    spin->setRange(1, maximum);
    return spin;
}

}  // namespace

WScheduleDlg_cl::WScheduleDlg_cl(int32_t scheduleSn, QWidget* parent) : QDialog(parent), scheduleSn(scheduleSn) {
    setWindowTitle(scheduleSn == 0 ? QStringLiteral("新增定期记录") : QStringLiteral("修改定期记录"));
    DialogBuilder_cl build(this);
    const int32_t left = 7, field = 55;
    build.Label(QStringLiteral("用户："), left, 9, 45, 12);
    userCombo = Combo(this, IdUser, {}, field, 7, 80);
    build.Label(QStringLiteral("收支："), left, 25, 45, 12);
    kindCombo = Combo(this, IdKind, {QStringLiteral("开销"), QStringLiteral("收入")}, field, 23, 50);
    build.Label(QStringLiteral("统计："), 130, 25, 30, 12);
    statisticsCombo = Combo(this, IdStatistics,
                            {QStringLiteral("计入月统计"), QStringLiteral("计入年统计"), QStringLiteral("不计入统计")},
                            160, 23, 90);
    build.Label(QStringLiteral("分类："), left, 41, 45, 12);
    typeCombo = Combo(this, IdType, {}, field, 39, 80);
    typeCombo->setEditable(true);
    build.Label(QStringLiteral("名称："), left, 57, 45, 12);
    nameEdit = build.Edit(IdName, field, 55, 80, 14);
    CTL_ns::LengthLimit_cl::Apply(nameEdit, RecordFile_cl::MaxName);
    build.Label(QStringLiteral("金额(元)："), left, 73, 45, 12);
    amountEdit = build.Edit(IdAmount, field, 71, 80, 14);
    build.Label(QStringLiteral("重复："), left, 93, 45, 12);
    everyCombo = Combo(this, IdEvery, {QStringLiteral("天"), QStringLiteral("周"), QStringLiteral("月"), QStringLiteral("年")},
                       field + 55, 91, 35);
    build.Label(QStringLiteral("每"), field, 93, 10, 12);
    intervalSpin = Spin(this, IdInterval, 1000, field + 10, 91);
    build.Label(QStringLiteral("日/星期："), 150, 93, 40, 12);
    daySpin = Spin(this, IdDay, 31, 195, 91);
    build.Label(QStringLiteral("开始："), left, 111, 45, 12);
    fromDate = DateEdit(this, IdFrom, field, 109);
    build.Label(QStringLiteral("结束："), left, 129, 45, 12);
    endCombo = Combo(this, IdEnd, {QStringLiteral("不结束"), QStringLiteral("到日期"), QStringLiteral("共几次")}, field,
                     127, 50);
    untilDate = DateEdit(this, IdUntil, field + 55, 127);
    countSpin = Spin(this, IdCount, 100000, field + 130, 127);
    build.Label(QStringLiteral("注释："), left, 147, 45, 12);
    commentEdit = build.Edit(IdComment, field, 145, 195, 14);
    CTL_ns::LengthLimit_cl::Apply(commentEdit, RecordFile_cl::MaxComment);
    build.Label(QStringLiteral("按月：31表示月末，没有该日的月份记在月末；按周：1为周一，7为周日。"), left, 165, 246, 24);
    QPushButton* ok = build.Button(IdOK, QStringLiteral("确定(&O)"), 140, 205, 50, 16);
    QPushButton* cancel = build.Button(0, QStringLiteral("取消"), 200, 205, 50, 16);
    build.Size(Width, Height);
    ok->setDefault(true);

    if (DataCore().GetUserManage().CanManageUsers()) {
        const auto users = DataCore().GetUserManage().GetUsers();
        for (int32_t i = 0; i < users.Count(); ++i) {
            userCombo->addItem(users[i].userName);
            if (users[i].sn == DataCore().GetUserManage().GetCurrentUser()) userCombo->setCurrentIndex(i);
        }
    }
    everyCombo->setCurrentIndex(int32_t(ScheduleEvery_en::Month));
    daySpin->setValue(QDate::currentDate().day());
    statisticsCombo->setCurrentIndex(0);
    if (scheduleSn != 0) Fill(DataCore().GetScheduleManage().Get(scheduleSn));
    userCombo->setEnabled(userCombo->count() > 1);
    LoadTypes();
    FollowEvery();

    connect(kindCombo, &QComboBox::currentIndexChanged, this, &WScheduleDlg_cl::LoadTypes);
    connect(everyCombo, &QComboBox::currentIndexChanged, this, &WScheduleDlg_cl::FollowEvery);
    connect(endCombo, &QComboBox::currentIndexChanged, this, [this](int index) {
        untilDate->setEnabled(index == UntilDate);
        countSpin->setEnabled(index == ByCount);
    });
    untilDate->setEnabled(endCombo->currentIndex() == UntilDate);
    countSpin->setEnabled(endCombo->currentIndex() == ByCount);
    connect(ok, &QPushButton::clicked, this, &WScheduleDlg_cl::Save);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void WScheduleDlg_cl::Fill(const Schedule_st& schedule) {
    if (userCombo->findText(schedule.userName) < 0) userCombo->addItem(schedule.userName);
    userCombo->setCurrentText(schedule.userName);
    kindCombo->setCurrentIndex(schedule.expense > 0 ? 1 : 0);
    typeCombo->setCurrentText(schedule.typeName);
    nameEdit->setText(schedule.expenseName);
    amountEdit->setText(ConvertInfo_cl::MoneyToText(std::abs(int64_t(schedule.expense))));
    statisticsCombo->setCurrentIndex(schedule.statisticsMode);
    everyCombo->setCurrentIndex(int32_t(schedule.every));
    intervalSpin->setValue(schedule.interval);
    daySpin->setValue(schedule.day);
    fromDate->setDate(schedule.firstDate);
    endCombo->setCurrentIndex(schedule.count > 0 ? ByCount : schedule.untilDate.isValid() ? UntilDate : Never);
    if (schedule.untilDate.isValid()) untilDate->setDate(schedule.untilDate);
    if (schedule.count > 0) countSpin->setValue(schedule.count);
    commentEdit->setText(schedule.comment);
}

void WScheduleDlg_cl::LoadTypes() {
    const QString typed = typeCombo->currentText();
    typeCombo->clear();
    const auto names = DataCore().GetControlUser().GetTypeNames(kindCombo->currentIndex() == 1);
    for (int32_t i = 0; i < names.Count(); ++i) typeCombo->addItem(names[i]);
    typeCombo->setCurrentText(typed);
}

void WScheduleDlg_cl::FollowEvery() {
    const bool week = everyCombo->currentIndex() == int32_t(ScheduleEvery_en::Week);
    daySpin->setMaximum(week ? 7 : 31);
    daySpin->setEnabled(everyCombo->currentIndex() != int32_t(ScheduleEvery_en::Day));
}

Schedule_st WScheduleDlg_cl::Read() const {
    Schedule_st schedule;
    schedule.userName = userCombo->currentText();
    schedule.typeName = typeCombo->currentText().trimmed();
    schedule.expenseName = nameEdit->text().trimmed();
    int32_t cents = 0;
    if (!ConvertInfo_cl::TextToMoney(amountEdit->text().trimmed(), cents) || cents < 1) {
        amountEdit->setFocus();
        throw UserError(101, __LINE__, amountEdit->text());
    }
    schedule.expense = kindCombo->currentIndex() == 1 ? cents : -cents;
    schedule.comment = commentEdit->text();
    schedule.statisticsMode = statisticsCombo->currentIndex();
    schedule.every = ScheduleEvery_en(everyCombo->currentIndex());
    schedule.interval = intervalSpin->value();
    schedule.day = daySpin->value();
    schedule.firstDate = fromDate->date();
    if (endCombo->currentIndex() == UntilDate) schedule.untilDate = untilDate->date();
    if (endCombo->currentIndex() == ByCount) schedule.count = countSpin->value();
    return schedule;
}

void WScheduleDlg_cl::Save() {
    try {
        const Schedule_st schedule = Read();
        ScheduleManage_cl& schedules = DataCore().GetScheduleManage();
        if (scheduleSn == 0)
            (void)schedules.Add(schedule);
        else
            schedules.Alter(scheduleSn, schedule);
        accept();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

}  // namespace Vorelle_ns
