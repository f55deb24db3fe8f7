#pragma once

#include "CTL/Report.h"
#include "SystemInfo/AutoSize.h"

#include <QWidget>
#include <cstdint>

class QPushButton;

namespace Vorelle_ns {

// "用户管理": the users of the open database, with new and delete. Only a user who may
// manage users gets this page's tab.
class WUserManagePage_cl : public QWidget {
    Q_OBJECT

public:
    static constexpr int32_t IdNew = 1053;
    static constexpr int32_t IdDelete = 1054;
    static constexpr int32_t IdList = 1030;
    // Designed size in dialog units.
    static constexpr int32_t Width = 522;
    static constexpr int32_t Height = 254;

    explicit WUserManagePage_cl(QWidget* parent = nullptr);
    // Remembers the list's column widths.
    ~WUserManagePage_cl() override;

    static QString ClassName() { return QStringLiteral("WUserManagePage_cl"); }

    // Fills the list from the users layer, oldest user first; each row's data is the
    // user's serial number.
    void Reload();
    void EnableControls();

    CTL_ns::Report_cl& GetList() { return *list; }

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnNew();
    void OnDelete();

    SystemInfo_ns::AutoSize_cl autoSize;
    QPushButton* newButton;
    QPushButton* deleteButton;
    CTL_ns::Report_cl* list;
};

}  // namespace Vorelle_ns
