#pragma once

#include <QString>

class QWidget;

namespace Vorelle_ns {

// What an action did to the book, said in the main window's status bar for a while: a
// change is never silent, and a message box would stop the next keystroke.
class StatusNote_cl {
public:
    static constexpr int kShownMs = 8000;
    // from: any widget of the main window or of a dialog over it; nothing is said
    // outside a main window.
    static void Say(QWidget* from, const QString& text);
};

}  // namespace Vorelle_ns
