#include "WSchedulePage.h"

#include "Control/DataCore.h"
#include "ConvertInfo.h"
#include "Data/ScheduleDates.h"
#include "DialogBuilder.h"
#include "WScheduleDlg.h"
#include "base/UserError.h"
#include "platform/prompt/Prompt.h"
#include "platform/widgets/DialogUnits.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <iterator>

namespace Vorelle_ns {

namespace {

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{101, "请先选择一条定期记录。"}};
    return Base_ns::UserError_cl(line, __FILE__, WSchedulePage_cl::ClassName(), code, table,
                                 int32_t(std::size(table)), remark);
}

}  // namespace

WSchedulePage_cl::WSchedulePage_cl(QWidget* parent) : QWidget(parent) {
    DialogBuilder_cl build(this);
    QPushButton* add = build.Button(IdAdd, QStringLiteral("新增(&N)"), 7, 7, 50, 16);
    QPushButton* change = build.Button(IdChange, QStringLiteral("修改(&M)"), 61, 7, 50, 16);
    QPushButton* pause = build.Button(IdPause, QStringLiteral("暂停/继续(&P)"), 115, 7, 60, 16);
    QPushButton* remove = build.Button(IdDelete, QStringLiteral("删除(&D)"), 179, 7, 50, 16);
    list = new QTableWidget(this);
    list->setObjectName(QString::number(IdList));
    list->setColumnCount(9);
    list->setHorizontalHeaderLabels({QStringLiteral("用户"), QStringLiteral("分类"), QStringLiteral("名称"),
                                     QStringLiteral("金额"), QStringLiteral("规则"), QStringLiteral("结束"),
                                     QStringLiteral("下次日期"), QStringLiteral("状态"), QStringLiteral("注释")});
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->verticalHeader()->hide();
    list->horizontalHeader()->setStretchLastSection(true);
    Platform_ns::DialogUnits_cl().Place(list, 7, 27, 508, 220);
    build.Size(Width, Height);
    static const int32_t widths[] = {60, 60, 80, 70, 110, 80, 80, 50};
    for (int32_t i = 0; i < int32_t(std::size(widths)); ++i) list->setColumnWidth(i, widths[i]);

    autoSize.Register(this);
    autoSize.AddChildAligned(list, 0, 0, 1, 1);
    connect(add, &QPushButton::clicked, this, &WSchedulePage_cl::AddSchedule);
    connect(change, &QPushButton::clicked, this, &WSchedulePage_cl::ChangeCurrent);
    connect(pause, &QPushButton::clicked, this, &WSchedulePage_cl::PauseCurrent);
    connect(remove, &QPushButton::clicked, this, &WSchedulePage_cl::DeleteCurrent);
    connect(list, &QTableWidget::cellDoubleClicked, this, &WSchedulePage_cl::ChangeCurrent);
}

template <typename Action>
void WSchedulePage_cl::Handle(Action&& action) {
    try {
        action();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
    try {
        Reload();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

void WSchedulePage_cl::Reload() {
    const int32_t keep = list->currentRow() >= 0 && list->currentRow() < rows.Count() ? rows[list->currentRow()].schedule.sn : 0;
    rows = DataCore().GetScheduleManage().GetSchedules();
    list->setRowCount(rows.Count());
    for (int32_t row = 0; row < rows.Count(); ++row) {
        const Schedule_st& schedule = rows[row].schedule;
        const QString state = schedule.paused ? QStringLiteral("暂停")
                              : rows[row].nextDate.isValid() ? QStringLiteral("进行中")
                                                             : QStringLiteral("已结束");
        const QString texts[] = {schedule.userName,
                                 schedule.typeName,
                                 schedule.expenseName,
                                 ConvertInfo_cl::MoneyToText(schedule.expense, ConvertInfo_cl::Decimals_en::Two),
                                 ScheduleDates_cl::RuleText(schedule),
                                 ScheduleDates_cl::EndText(schedule),
                                 rows[row].nextDate.toString(Qt::ISODate),
                                 state,
                                 schedule.comment};
        for (int32_t column = 0; column < int32_t(std::size(texts)); ++column) {
            auto* item = new QTableWidgetItem(texts[column]);
            if (column == 3) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            list->setItem(row, column, item);
        }
        if (schedule.sn == keep) list->setCurrentCell(row, 0);
    }
}

const Schedule_st& WSchedulePage_cl::Current() const {
    const int32_t row = list->currentRow();
    if (row < 0 || row >= rows.Count()) throw UserError(101, __LINE__);
    return rows[row].schedule;
}

void WSchedulePage_cl::AddSchedule() {
    Handle([this] {
        WScheduleDlg_cl dialog(0, this);
        dialog.exec();
    });
}

void WSchedulePage_cl::ChangeCurrent() {
    Handle([this] {
        WScheduleDlg_cl dialog(Current().sn, this);
        dialog.exec();
    });
}

void WSchedulePage_cl::PauseCurrent() {
    Handle([this] { DataCore().GetScheduleManage().SetPaused(Current().sn, !Current().paused); });
}

void WSchedulePage_cl::DeleteCurrent() {
    Handle([this] {
        const Schedule_st& schedule = Current();
        if (Platform_ns::Prompt().Message(this,
                                          QStringLiteral("删除定期记录“%1 %2”吗？已经记账的记录不变，删除的定期记录可以在回收站恢复。")
                                              .arg(schedule.typeName, schedule.expenseName),
                                          DataCore_cl::GetProductName(),
                                          Platform_ns::Buttons_en::OKCancel) != Platform_ns::Answer_en::OK)
            return;
        DataCore().GetScheduleManage().Delete(schedule.sn);
    });
}

void WSchedulePage_cl::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    try {
        Reload();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

void WSchedulePage_cl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    try {
        autoSize.Resize();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

}  // namespace Vorelle_ns
