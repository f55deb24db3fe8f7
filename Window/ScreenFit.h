#pragma once

#include <QSize>
#include <QString>
#include <cstdint>

class QWidget;

namespace Vorelle_ns {

// Sizes of top-level windows against the screen they show on, so that a small screen
// shows all of a window, title bar included.
class ScreenFit_cl {
public:
    // The width a window needs for its title to show whole in a window manager's title
    // bar: the title in bold, an icon and three buttons.
    static int32_t TitleWidth(const QString& title);
    // wanted, or less where the free area of the primary screen is smaller, leaving room
    // for a frame and a title bar: for a window before it shows.
    static QSize Bounded(const QSize& wanted);
    // Shrinks a shown window, down to its least size, and moves it so that its frame lies
    // on its screen, centred where it was off it.
    static void Fit(QWidget* window);
};

}  // namespace Vorelle_ns
