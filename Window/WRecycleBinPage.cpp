#include "WRecycleBinPage.h"
#include "StatusNote.h"

#include "Control/DataCore.h"
#include "DialogBuilder.h"
#include "RecycleBinModel.h"
#include "WMainWnd.h"
#include "base/Error.h"
#include "platform/widgets/DialogUnits.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

namespace Vorelle_ns {

WRecycleBinPage_cl::WRecycleBinPage_cl(QWidget* parent) : QWidget(parent), model(new RecycleBinModel_cl(this)) {
    DialogBuilder_cl build(this);
    restoreButton = build.Button(IdRestore, QStringLiteral("恢复(&R)"), 7, 7, 60, 18);
    countLabel = build.Label(QString(), 75, 11, 300, 12);
    list = new QTableView(this);
    list->setObjectName(QString::number(IdList));
    list->setModel(model);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->verticalHeader()->hide();
    // Rows of one height need no measuring: the view stays quick at any length.
    list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 4);
    list->horizontalHeader()->setStretchLastSection(true);
    Platform_ns::DialogUnits_cl().Place(list, 7, 27, 508, 220);
    build.Size(Width, Height);
    static const int32_t widths[] = {110, 60, 56, 110, 60, 80, 70};
    for (int32_t i = 0; i < int32_t(std::size(widths)); ++i) list->setColumnWidth(i, widths[i]);

    autoSize.Register(this);
    autoSize.AddChildAligned(list, 0, 0, 1, 1);
    connect(restoreButton, &QPushButton::clicked, this, &WRecycleBinPage_cl::RestoreSelected);
}

void WRecycleBinPage_cl::Reload() {
    model->SetRows(DataCore().GetRecycleBin().GetDeletions());
    countLabel->setText(QStringLiteral("共%1项").arg(model->rowCount()));
}

void WRecycleBinPage_cl::RestoreSelected() {
    try {
        Container_ns::List_tl<int32_t> records;
        QList<const DeletedRow_st*> others;
        for (const QModelIndex& index : list->selectionModel()->selectedRows()) {
            const DeletedRow_st& row = model->Row(index.row());
            if (row.kind == DeletedKind_en::Record)
                records.Append(row.sn);
            else
                others.append(&row);
        }
        RecycleBin_cl& bin = DataCore().GetRecycleBin();
        // Users first, so that entries of a user restored together with him come back too.
        for (const DeletedRow_st* row : others) {
            if (row->kind == DeletedKind_en::User) bin.RestoreUser(row->sn);
        }
        for (const DeletedRow_st* row : others) {
            if (row->kind == DeletedKind_en::Template) bin.RestoreTemplate(row->sn);
            if (row->kind == DeletedKind_en::Schedule) bin.RestoreSchedule(row->sn);
        }
        if (records.Count() != 0) bin.RestoreRecords(records);
        WMainWnd_cl::PostRecordsChanged();
        StatusNote_cl::Say(this, QStringLiteral("已恢复%1项。").arg(records.Count() + int32_t(others.size())));
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
    try {
        Reload();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

void WRecycleBinPage_cl::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    try {
        Reload();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

void WRecycleBinPage_cl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    try {
        autoSize.Resize();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

}  // namespace Vorelle_ns
