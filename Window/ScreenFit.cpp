#include "ScreenFit.h"

#include <QApplication>
#include <QFontMetrics>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace Vorelle_ns {

namespace {

// Room for the icon and the three buttons of a title bar, and for a frame with its title
// bar around a window not yet shown.
constexpr int32_t kTitleBarButtons = 140;
const QSize kFrame(16, 48);

}  // namespace

int32_t ScreenFit_cl::TitleWidth(const QString& title) {
    QFont font = QApplication::font();
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(title) + kTitleBarButtons;
}

QSize ScreenFit_cl::Bounded(const QSize& wanted) {
    return wanted.boundedTo(QGuiApplication::primaryScreen()->availableGeometry().size() - kFrame);
}

void ScreenFit_cl::Fit(QWidget* window) {
    const QRect available = window->screen()->availableGeometry();
    const QRect frame = window->frameGeometry();
    if (available.contains(frame)) return;
    // A window manager may not have told its frame yet: at least the usual one is left.
    const QSize margins = (frame.size() - window->size()).expandedTo(kFrame);
    window->resize(window->size().boundedTo(available.size() - margins).expandedTo(window->minimumSize()));
    QRect outer(QPoint(0, 0), window->size() + margins);
    outer.moveCenter(available.center());
    // A window larger than the screen keeps its title bar on it.
    outer.moveTopLeft(QPoint(std::max(outer.left(), available.left()), std::max(outer.top(), available.top())));
    window->move(outer.topLeft());
}

}  // namespace Vorelle_ns
