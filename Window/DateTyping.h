#pragma once

#include <QObject>

class QDateTimeEdit;

namespace Vorelle_ns {

// Lets a date box take a date typed over what it shows. Qt's box drops a digit typed
// where its part is full, as after a click, and one typed over the whole text selected
// (Ctrl+A); here such a digit replaces the part the cursor is in, or starts with the
// first part when all is selected. So "20170101" typed after a click on the year, or
// over all, gives 2017-01-01, and "15" after a click on the day the 15th.
class DateTyping_cl : public QObject {
    Q_OBJECT

public:
    // Watches box's keys for as long as the box lives.
    static void Install(QDateTimeEdit* box);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit DateTyping_cl(QDateTimeEdit* box);
    QDateTimeEdit* box;
};

}  // namespace Vorelle_ns
