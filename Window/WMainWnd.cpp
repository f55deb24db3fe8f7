#include "WMainWnd.h"

#include "Control/DataCore.h"
#include "WStartDlg.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QScreen>

namespace Vorelle_ns {

WMainWnd_cl::WMainWnd_cl() {
    setWindowIcon(QGuiApplication::windowIcon());
    setWindowTitle(DataCore_cl::GetProductName() + QLatin1Char(' ') + DataCore_cl::GetSoftwareVersion());

    QMenu* user = menuBar()->addMenu(QStringLiteral("用户(&U)"));
    QAction* switchUserAction = user->addAction(QStringLiteral("切换用户(&L)"), this, &WMainWnd_cl::OnSwitchUser);
    switchUserAction->setObjectName(QString::number(IdSwitchUser));
    QAction* exitAction = user->addAction(QStringLiteral("退出(&E)"), this, &QWidget::close);
    exitAction->setObjectName(QString::number(IdExit));
    QMenu* help = menuBar()->addMenu(QStringLiteral("帮助(&H)"));
    QAction* versionAction = help->addAction(QStringLiteral("版本说明(&V)"), this, [this] { WStartDlg_cl::ShowVersion(this); });
    versionAction->setObjectName(QString::number(IdVersion));
}

void WMainWnd_cl::Create() {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const int32_t left = (screen.width() - 800) / 2;
    const int32_t top = (screen.height() - 600) / 2;
    resize(799, 599);
    show();
    // The frame's outer corner goes where the window's rectangle begins.
    move(left, top);
}

void WMainWnd_cl::OnSwitchUser() {
    switchUser = true;
    close();
}

void WMainWnd_cl::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
    if (event->isAccepted()) emit Closed();
}

void WMainWnd_cl::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        WStartDlg_cl::ShowVersion(this);
        return;
    }
    QMainWindow::keyPressEvent(event);
}

}  // namespace Vorelle_ns
