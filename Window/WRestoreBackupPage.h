#pragma once

#include "Data/BookBackup.h"

#include <QList>
#include <QWidget>
#include <cstdint>

class QLabel;
class QLineEdit;
class QPushButton;

namespace CTL_ns {
class Report_cl;
}

namespace Vorelle_ns {

// "恢复备份" of the start dialog: the backups in the backup folder, newest first; with the
// book's password the entries of the chosen one are counted, and it is restored as a new
// book or, after a confirmation, over its book (which is backed up first).
class WRestoreBackupPage_cl : public QWidget {
    Q_OBJECT

public:
    static constexpr int32_t IdList = 1401;
    static constexpr int32_t IdPassword = 1402;
    static constexpr int32_t IdCount = 1403;
    static constexpr int32_t IdRestoreNew = 1404;
    static constexpr int32_t IdRestoreOver = 1405;

    explicit WRestoreBackupPage_cl(QWidget* parent = nullptr);

    void Reload();
    void OnCount();
    void OnRestoreNew();
    void OnRestoreOver();

    CTL_ns::Report_cl& GetList() { return *list; }
    QLineEdit& GetPassword() { return *passwordEdit; }
    QLabel& GetInfo() { return *infoLabel; }

signals:
    // A link now leads to the restored book.
    void BookRestored(int32_t index);

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The chosen backup; raises when none is chosen.
    const BackupFile_st& Chosen() const;

    QList<BackupFile_st> backups;
    CTL_ns::Report_cl* list;
    QLineEdit* passwordEdit;
    QLabel* infoLabel;
};

}  // namespace Vorelle_ns
