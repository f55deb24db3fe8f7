#include "WCreateDBPage.h"

#include "base/Error.h"

#include <QTabBar>

namespace Vorelle_ns {

WCreateDBPage_cl::WCreateDBPage_cl(QWidget* parent)
    : QWidget(parent), tabCtrl(this), localPage(&tabCtrl), sqlServerPage(&tabCtrl), postgreSQLPage(&tabCtrl) {
    tabCtrl.setObjectName(QString::number(IdTab));
    tabCtrl.AddPage(QStringLiteral("本地数据库"), &localPage);
    tabCtrl.AddPage(QStringLiteral("网络数据库(SQL Server)"), &sqlServerPage);
    tabCtrl.AddPage(QStringLiteral("网络数据库(PostgreSQL)"), &postgreSQLPage);
    // Until the start dialog gives the frame its place: room for a page under the tabs.
    resize(localPage.width(), localPage.height() + tabCtrl.TabBar()->sizeHint().height());
    tabCtrl.setGeometry(rect());
    tabCtrl.Select(0);
    autoSize.Register(this);
    autoSize.AddChildAligned(&tabCtrl, 0, 2, 1, 1);

    for (WCreatePageBase_cl* page : std::initializer_list<WCreatePageBase_cl*>{&localPage, &sqlServerPage, &postgreSQLPage}) {
        connect(page, &WCreatePageBase_cl::UserNameSet, this, &WCreateDBPage_cl::UserNameSet);
        connect(page, &WCreatePageBase_cl::DatabaseCreated, this, &WCreateDBPage_cl::DatabaseCreated);
    }
}

void WCreateDBPage_cl::EnableControls() {
    tabCtrl.setEnabled(true);
    localPage.EnableControls();
    sqlServerPage.EnableControls();
    postgreSQLPage.EnableControls();
}

void WCreateDBPage_cl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    try {
        autoSize.Resize();
    } catch (const Base_ns::Error_cl& error) {
        error.Show(this);
    }
}

}  // namespace Vorelle_ns
