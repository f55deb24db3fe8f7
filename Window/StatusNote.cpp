#include "StatusNote.h"

#include <QMainWindow>
#include <QStatusBar>

namespace Vorelle_ns {

void StatusNote_cl::Say(QWidget* from, const QString& text) {
    // A dialog says it in the main window it was opened over.
    for (QWidget* window = from->window(); window != nullptr;
         window = window->parentWidget() != nullptr ? window->parentWidget()->window() : nullptr) {
        if (auto* main = qobject_cast<QMainWindow*>(window)) return main->statusBar()->showMessage(text, kShownMs);
    }
}

}  // namespace Vorelle_ns
