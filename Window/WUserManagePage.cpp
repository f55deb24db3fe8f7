#include "WUserManagePage.h"

#include "Control/DataCore.h"
#include "DialogBuilder.h"
#include "StatusNote.h"
#include "WInputUserDlg.h"
#include "Window/ConvertInfo.h"
#include "base/Error.h"
#include "settings/Unique.h"

#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QPushButton>

namespace Vorelle_ns {

namespace {

const QString WidthsKey = QStringLiteral("用户列表");

}  // namespace

WUserManagePage_cl::WUserManagePage_cl(QWidget* parent) : QWidget(parent) {
    DialogBuilder_cl build(this);
    newButton = build.Button(IdNew, QStringLiteral("新增(&N)"), 7, 7, 60, 18);
    // The Delete key alone is no way a mouse user finds.
    deleteButton = build.Button(IdDelete, QStringLiteral("删除(&D)"), 72, 7, 60, 18);
    list = new CTL_ns::Report_cl(this);
    list->setObjectName(QString::number(IdList));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    Platform_ns::DialogUnits_cl().Place(list, 7, 27, 508, 220);
    build.Size(Width, Height);

    autoSize.Register(this);
    autoSize.AddChildAligned(list, 0, 0, 1, 1);

    static const CTL_ns::Report_cl::Column_st columns[] = {
        {QStringLiteral("用户名"), 20}, {QStringLiteral("权限"), 20}, {QStringLiteral("创建时间"), 30}};
    list->SetColumns(columns, int32_t(std::size(columns)));
    const QString widths = Unique_ns::GetCustomFromDatabase().ReadString(WidthsKey, list->ColumnWidthsText());
    try {
        list->SetColumnWidthsText(widths);
    } catch (const Base_ns::Error_cl&) {
        // Widths remembered for another column set (or damaged): the defaults stay.
    }

    list->installEventFilter(this);
    connect(newButton, &QPushButton::clicked, this, &WUserManagePage_cl::OnNew);
    connect(deleteButton, &QPushButton::clicked, this, &WUserManagePage_cl::OnDelete);
    connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this, &WUserManagePage_cl::EnableControls);
    EnableControls();
}

WUserManagePage_cl::~WUserManagePage_cl() {
    try {
        Unique_ns::GetCustomFromDatabase().WriteString(WidthsKey, list->ColumnWidthsText());
    } catch (const Base_ns::Error_cl& error) {
        error.Show(nullptr);
    }
}

void WUserManagePage_cl::Reload() {
    list->DeleteAllRows();
    const Base_ns::Trusteeship_tl<UserInfo_st> users = DataCore().GetControlUser().GetUsers();
    for (int32_t i = 0; i < users.Count(); ++i) {
        const UserInfo_st& user = users[i];
        const QString cells[] = {user.userName, ConvertInfo_cl::PowerToText(user.power), user.createTime.Format()};
        list->SetRowData(list->AddRow(cells, int32_t(std::size(cells))), user.sn);
    }
}

void WUserManagePage_cl::EnableControls() {
    list->setEnabled(true);
    newButton->setEnabled(true);
    deleteButton->setEnabled(list->HasSelection());
}

void WUserManagePage_cl::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    try {
        Reload();
        EnableControls();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

void WUserManagePage_cl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    try {
        autoSize.Resize();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

bool WUserManagePage_cl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        OnDelete();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void WUserManagePage_cl::OnNew() {
    try {
        WInputUserDlg_cl dialog(this);
        if (dialog.exec() == QDialog::Accepted) Reload();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

void WUserManagePage_cl::OnDelete() {
    try {
        if (!list->HasSelection()) return;
        const QString name = list->Text(list->SelectedRow(), 0);
        if (!DataCore().GetControlUser().DeleteUser(list->RowData(list->SelectedRow()), this)) return;
        Reload();
        EnableControls();
        StatusNote_cl::Say(this, QStringLiteral("已删除用户%1，他的记录已放入回收站。").arg(name));
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

}  // namespace Vorelle_ns
