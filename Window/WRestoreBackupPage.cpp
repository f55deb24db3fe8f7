#include "WRestoreBackupPage.h"

#include "ConvertInfo.h"

#include "CTL/Report.h"
#include "Control/DataCore.h"
#include "DialogBuilder.h"
#include "base/Error.h"
#include "base/UserError.h"
#include "SystemInfo/Path.h"
#include "platform/prompt/Prompt.h"

#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <iterator>

namespace Vorelle_ns {

namespace {

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{101, "请先选择一个备份。"}};
    return Base_ns::UserError_cl(line, __FILE__, QStringLiteral("WRestoreBackupPage_cl"), code, table,
                                 int32_t(std::size(table)), remark);
}

const QString bookFilter = QStringLiteral("数据库文件(*.mdb)|*.mdb|");

template <typename Action>
void Handle(QWidget* owner, Action action) {
    try {
        action();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(owner);
    }
}

}  // namespace

WRestoreBackupPage_cl::WRestoreBackupPage_cl(QWidget* parent) : QWidget(parent) {
    DialogBuilder_cl build(this);
    list = new CTL_ns::Report_cl(this);
    list->setObjectName(QString::number(IdList));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    Platform_ns::DialogUnits_cl().Place(list, 5, 5, 190, 62);
    static const CTL_ns::Report_cl::Column_st columns[] = {
        {QStringLiteral("账本"), 30}, {QStringLiteral("备份时间"), 45}, {QStringLiteral("大小"), -1}};
    list->SetColumns(columns, int32_t(std::size(columns)));
    build.Label(QStringLiteral("密码"), 5, 74, 22, 12);
    passwordEdit = build.PasswordEdit(IdPassword, 28, 72, 95, 13);
    QPushButton* count = build.Button(IdCount, QStringLiteral("查看条目数"), 127, 71, 68, 15);
    infoLabel = build.Label(QString(), 5, 89, 190, 12);
    QPushButton* restoreNew = build.Button(IdRestoreNew, QStringLiteral("恢复为新账本(&N)"), 5, 104, 92, 16);
    QPushButton* restoreOver = build.Button(IdRestoreOver, QStringLiteral("覆盖原账本(&O)"), 103, 104, 92, 16);

    connect(count, &QPushButton::clicked, this, &WRestoreBackupPage_cl::OnCount);
    connect(restoreNew, &QPushButton::clicked, this, &WRestoreBackupPage_cl::OnRestoreNew);
    connect(restoreOver, &QPushButton::clicked, this, &WRestoreBackupPage_cl::OnRestoreOver);
    connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, infoLabel, [this] { infoLabel->clear(); });
}

void WRestoreBackupPage_cl::Reload() {
    backups = BookBackup_cl::List();
    list->DeleteAllRows();
    for (int32_t i = 0; i < int32_t(backups.size()); ++i) {
        const BackupFile_st& backup = backups[i];
        const QString cells[] = {backup.book, backup.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                                 ConvertInfo_cl::SizeToText(backup.size)};
        list->SetRowData(list->AddRow(cells, int32_t(std::size(cells))), i);
    }
    infoLabel->setText(backups.isEmpty() ? QStringLiteral("备份文件夹中还没有备份。") : QString());
}

const BackupFile_st& WRestoreBackupPage_cl::Chosen() const {
    if (!list->HasSelection()) throw UserError(101, __LINE__);
    return backups[list->RowData(list->SelectedRow())];
}

void WRestoreBackupPage_cl::OnCount() {
    Handle(this, [this] {
        const int32_t entries = BookBackup_cl::CountEntries(Chosen().path, passwordEdit->text());
        infoLabel->setText(QStringLiteral("该备份有%1条费用记录。").arg(entries));
    });
}

void WRestoreBackupPage_cl::OnRestoreNew() {
    Handle(this, [this] {
        const BackupFile_st& backup = Chosen();
        const QString path = Platform_ns::Prompt().SaveFile(this, bookFilter, SystemInfo_ns::GetApplicationFolder(),
                                                            backup.book + QStringLiteral("（恢复）.mdb"));
        if (path.isEmpty()) return;
        emit BookRestored(DataCore().RestoreBackupAsNew(backup.path, passwordEdit->text(), path));
    });
}

void WRestoreBackupPage_cl::OnRestoreOver() {
    Handle(this, [this] {
        const BackupFile_st& backup = Chosen();
        const QString question =
            QStringLiteral("要用%1的备份覆盖账本“%2”吗？\r\n覆盖前会先把该账本现在的内容备份到备份文件夹。")
                .arg(backup.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), backup.book);
        if (Platform_ns::Prompt().Message(this, question, DataCore_cl::GetProductName(),
                                          Platform_ns::Buttons_en::YesNo) != Platform_ns::Answer_en::Yes)
            return;
        const int32_t index = DataCore().RestoreBackupOver(backup, passwordEdit->text());
        Reload();
        emit BookRestored(index);
    });
}

void WRestoreBackupPage_cl::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Handle(this, [this] { Reload(); });
}

}  // namespace Vorelle_ns
