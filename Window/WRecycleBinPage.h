#pragma once

#include "SystemInfo/AutoSize.h"

#include <QWidget>
#include <cstdint>

class QLabel;
class QPushButton;
class QTableView;

namespace Vorelle_ns {

class RecycleBinModel_cl;

// "回收站": the deletions the logged-in user may see, newest first, and restoring the
// selected ones. The super administrator and administrators get this page's tab.
class WRecycleBinPage_cl : public QWidget {
    Q_OBJECT

public:
    static constexpr int32_t IdRestore = 1301;
    static constexpr int32_t IdList = 1302;
    static constexpr int32_t Width = 522;
    static constexpr int32_t Height = 254;

    explicit WRecycleBinPage_cl(QWidget* parent = nullptr);

    static QString ClassName() { return QStringLiteral("WRecycleBinPage_cl"); }

    void Reload();
    // Restores the selected rows: entries together in one step, then users and templates.
    void RestoreSelected();

    QTableView& GetList() { return *list; }
    RecycleBinModel_cl& GetModel() { return *model; }

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    SystemInfo_ns::AutoSize_cl autoSize;
    QPushButton* restoreButton;
    QLabel* countLabel;
    QTableView* list;
    RecycleBinModel_cl* model;
};

}  // namespace Vorelle_ns
