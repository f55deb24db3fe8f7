#include "StatusNote.h"

#include <QMainWindow>
#include <QStatusBar>

namespace Vorelle_ns {

void StatusNote_cl::Say(QWidget* from, const QString& text) {
    if (auto* main = qobject_cast<QMainWindow*>(from->window())) main->statusBar()->showMessage(text, kShownMs);
}

}  // namespace Vorelle_ns
