#include "Window/DateTyping.h"

#include <QDateTimeEdit>
#include <QKeyEvent>
#include <QLineEdit>

namespace Vorelle_ns {

DateTyping_cl::DateTyping_cl(QDateTimeEdit* box) : QObject(box), box(box) {}

void DateTyping_cl::Install(QDateTimeEdit* box) { box->installEventFilter(new DateTyping_cl(box)); }

bool DateTyping_cl::eventFilter(QObject* watched, QEvent* event) {
    if (watched != box || event->type() != QEvent::KeyPress) return false;
    const QString typed = static_cast<QKeyEvent*>(event)->text();
    if (typed.size() != 1 || !typed[0].isDigit()) return false;
    const QLineEdit* edit = box->findChild<QLineEdit*>();
    if (edit == nullptr) return false;
    // A part typed half-way is not full: its digits go on as Qt puts them.
    if (edit->text() != box->dateTime().toString(box->displayFormat())) return false;
    if (!edit->hasSelectedText()) {
        box->setSelectedSection(box->currentSection());
    } else if (edit->selectedText() == edit->text()) {
        box->setSelectedSection(box->sectionAt(0));
    }
    return false;
}

}  // namespace Vorelle_ns
