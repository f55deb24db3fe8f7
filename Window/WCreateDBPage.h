#pragma once

#include "CTL/TabCtrl.h"
#include "SystemInfo/AutoSize.h"
#include "WCreateLocalDBPage.h"
#include "WCreatePostgreSQLDBPage.h"
#include "WCreateSQLServerDBPage.h"

#include <QWidget>
#include <cstdint>

namespace Vorelle_ns {

// "创建数据库": the frame of the create pages, one tab each.
class WCreateDBPage_cl : public QWidget {
    Q_OBJECT

public:
    static constexpr int32_t IdTab = 1013;

    explicit WCreateDBPage_cl(QWidget* parent = nullptr);

    static QString ClassName() { return QStringLiteral("WCreateDBPage_cl"); }

    // Enables the tab control and every page.
    void EnableControls();

    CTL_ns::TabCtrl_cl& GetTabCtrl() { return tabCtrl; }
    WCreateLocalDBPage_cl& GetLocalPage() { return localPage; }
    WCreateSQLServerDBPage_cl& GetSQLServerPage() { return sqlServerPage; }
    WCreatePostgreSQLDBPage_cl& GetPostgreSQLPage() { return postgreSQLPage; }

signals:
    // Passed on from the pages (see WCreatePageBase_cl).
    void UserNameSet(const QString& userName);
    void DatabaseCreated(int32_t index);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Declared after the tab control that shows them, so the pages go first.
    SystemInfo_ns::AutoSize_cl autoSize;
    CTL_ns::TabCtrl_cl tabCtrl;
    WCreateLocalDBPage_cl localPage;
    WCreateSQLServerDBPage_cl sqlServerPage;
    WCreatePostgreSQLDBPage_cl postgreSQLPage;
};

}  // namespace Vorelle_ns
