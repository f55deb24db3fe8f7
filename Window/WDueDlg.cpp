#include "WDueDlg.h"
#include "StatusNote.h"

#include "DateTyping.h"
#include "Control/DataCore.h"
#include "ConvertInfo.h"
#include "DialogBuilder.h"
#include "WMainWnd.h"
#include "base/UserError.h"
#include "platform/prompt/Prompt.h"
#include "platform/widgets/DialogUnits.h"

#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <cstdlib>
#include <iterator>

namespace Vorelle_ns {

namespace {

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{101, "金额不正确，应为大于零的数字，以元为单位，最多两位小数，最多为21474836.47。"},
                                                  {102, "请先选择一条定期记录。"},
                                                  {103, "请先勾选要记账的定期记录。"}};
    return Base_ns::UserError_cl(line, __FILE__, WDueDlg_cl::ClassName(), code, table, int32_t(std::size(table)),
                                 remark);
}

QString RowRemark(int32_t row, const QDate& date) {
    return QStringLiteral("第%1行，%2").arg(row + 1).arg(date.toString(Qt::ISODate));
}

}  // namespace

WDueDlg_cl::WDueDlg_cl(const QDate& until, QWidget* parent) : QDialog(parent), until(until) {
    setWindowTitle(QStringLiteral("到期的定期记录"));
    DialogBuilder_cl build(this);
    countLabel = build.Label(QString(), 7, 7, 300, 12);
    list = new QTableWidget(this);
    list->setObjectName(QString::number(IdList));
    list->setColumnCount(ColumnCount);
    list->setHorizontalHeaderLabels({QStringLiteral("日期"), QStringLiteral("用户"), QStringLiteral("分类"),
                                     QStringLiteral("名称"), QStringLiteral("收支"), QStringLiteral("金额")});
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->verticalHeader()->hide();
    list->horizontalHeader()->setStretchLastSection(true);
    Platform_ns::DialogUnits_cl().Place(list, 7, 22, 426, 180);
    QPushButton* bookAll = build.Button(IdBookAll, QStringLiteral("全部记账(&A)"), 7, 208, 62, 16);
    QPushButton* bookChosen = build.Button(IdBookChosen, QStringLiteral("勾选的记账(&B)"), 73, 208, 66, 16);
    QPushButton* skip = build.Button(IdSkip, QStringLiteral("跳过(&S)"), 143, 208, 50, 16);
    QPushButton* postpone = build.Button(IdPostpone, QStringLiteral("推迟到(&P)"), 197, 208, 52, 16);
    postponeDate = new QDateEdit(QDate::currentDate().addDays(1), this);
    postponeDate->setObjectName(QString::number(IdPostponeDate));
    postponeDate->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    postponeDate->setCalendarPopup(true);
    DateTyping_cl::Install(postponeDate);
    Platform_ns::DialogUnits_cl().Place(postponeDate, 253, 208, 70, 16);
    QPushButton* close = build.Button(IdClose, QStringLiteral("关闭(&C)"), 383, 208, 50, 16);
    build.Label(QStringLiteral("金额可以修改；关闭后没有处理的定期记录下次登录时再显示。"), 7, 230, 426, 12);
    build.Size(Width, Height);
    static const int32_t widths[] = {100, 70, 70, 90, 44};
    for (int32_t i = 0; i < int32_t(std::size(widths)); ++i) list->setColumnWidth(i, widths[i]);

    connect(bookAll, &QPushButton::clicked, this, &WDueDlg_cl::BookAll);
    connect(bookChosen, &QPushButton::clicked, this, &WDueDlg_cl::BookChosen);
    connect(skip, &QPushButton::clicked, this, &WDueDlg_cl::SkipCurrent);
    connect(postpone, &QPushButton::clicked, this, &WDueDlg_cl::PostponeCurrent);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    Reload();
}

void WDueDlg_cl::OfferDue(QWidget* owner) {
    try {
        WDueDlg_cl dialog(QDate::currentDate(), owner);
        if (dialog.list->rowCount() != 0) dialog.exec();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(owner);
    }
}

template <typename Action>
void WDueDlg_cl::Handle(Action&& action) {
    try {
        action();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
    try {
        Reload();
        // Nothing left to decide.
        if (due.Count() == 0) accept();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

void WDueDlg_cl::Reload() {
    due = DataCore().GetScheduleManage().GetDue(until);
    list->setRowCount(due.Count());
    for (int32_t row = 0; row < due.Count(); ++row) {
        const DueOccurrence_st& occurrence = due[row];
        auto* date = new QTableWidgetItem(occurrence.dueDate.toString(Qt::ISODate));
        date->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        date->setCheckState(Qt::Unchecked);
        list->setItem(row, Date, date);
        const QString texts[] = {occurrence.userName, occurrence.typeName, occurrence.expenseName,
                                 occurrence.expense > 0 ? QStringLiteral("收入") : QStringLiteral("开销")};
        for (int32_t column = User; column <= Kind; ++column) {
            auto* item = new QTableWidgetItem(texts[column - User]);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            list->setItem(row, column, item);
        }
        auto* amount = new QTableWidgetItem(ConvertInfo_cl::MoneyToText(std::abs(int64_t(occurrence.expense)), ConvertInfo_cl::Decimals_en::Two));
        amount->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        list->setItem(row, Amount, amount);
    }
    countLabel->setText(due.Count() == 0 ? QStringLiteral("没有到期的定期记录。")
                                         : QStringLiteral("到%1为止到期的定期记录，共%2条：")
                                               .arg(until.toString(Qt::ISODate))
                                               .arg(due.Count()));
}

void WDueDlg_cl::BookAll() {
    QList<int32_t> rows;
    for (int32_t row = 0; row < list->rowCount(); ++row) rows.append(row);
    Handle([&] { Book(rows); });
}

void WDueDlg_cl::BookChosen() {
    QList<int32_t> rows;
    for (int32_t row = 0; row < list->rowCount(); ++row) {
        if (list->item(row, Date)->checkState() == Qt::Checked) rows.append(row);
    }
    Handle([&] {
        if (rows.isEmpty()) throw UserError(103, __LINE__);
        Book(rows);
    });
}

void WDueDlg_cl::Book(const QList<int32_t>& rows) {
    Base_ns::Trusteeship_tl<DueOccurrence_st> chosen;
    chosen.Allocate(int32_t(rows.size()));
    for (int32_t i = 0; i < chosen.Count(); ++i) {
        const int32_t row = rows[i];
        int32_t cents = 0;
        if (!ConvertInfo_cl::TextToMoney(list->item(row, Amount)->text().trimmed(), cents) || cents < 1) {
            list->setCurrentCell(row, Amount);
            throw UserError(101, __LINE__, RowRemark(row, due[row].dueDate));
        }
        chosen[i] = due[row];
        chosen[i].expense = due[row].expense > 0 ? cents : -cents;
    }
    const int32_t booked = DataCore().GetScheduleManage().BookAll(chosen);
    const int32_t elsewhere = chosen.Count() - booked;
    WMainWnd_cl::PostRecordsChanged();
    StatusNote_cl::Say(this, QStringLiteral("已记账%1条定期记录。").arg(booked));
    if (elsewhere != 0) {
        Platform_ns::Prompt().Message(this, QStringLiteral("有%1条定期记录已经在别处记账或跳过，没有再记账。").arg(elsewhere),
                                      DataCore_cl::GetProductName(), Platform_ns::Buttons_en::OK);
    }
}

int32_t WDueDlg_cl::CurrentRow() const {
    const int32_t row = list->currentRow();
    if (row < 0 || row >= due.Count()) throw UserError(102, __LINE__);
    return row;
}

void WDueDlg_cl::PostponeCurrent() {
    Handle([this] {
        const DueOccurrence_st& occurrence = due[CurrentRow()];
        (void)DataCore().GetScheduleManage().Postpone(occurrence.scheduleSn, occurrence.date, postponeDate->date());
    });
}

void WDueDlg_cl::SkipCurrent() {
    Handle([this] {
        const DueOccurrence_st& occurrence = due[CurrentRow()];
        (void)DataCore().GetScheduleManage().Skip(occurrence.scheduleSn, occurrence.date);
    });
}

}  // namespace Vorelle_ns
