#pragma once

#include "Data/Schedule.h"
#include "base/Trusteeship.h"

#include <QDate>
#include <QDialog>
#include <cstdint>

class QDateEdit;
class QLabel;
class QTableWidget;

namespace Vorelle_ns {

// "到期的定期记录": what has come due up to a day and is neither booked nor skipped, one
// row per occurrence with its amount open to change (a bill varies). Books them all or
// the ticked ones, postpones or skips the current one. Opened after login when anything
// is due.
class WDueDlg_cl : public QDialog {
    Q_OBJECT

public:
    static constexpr int32_t IdList = 2101;
    static constexpr int32_t IdBookAll = 2102;
    static constexpr int32_t IdBookChosen = 2103;
    static constexpr int32_t IdPostpone = 2104;
    static constexpr int32_t IdPostponeDate = 2105;
    static constexpr int32_t IdSkip = 2106;
    static constexpr int32_t IdClose = 2107;
    static constexpr int32_t Width = 440;
    static constexpr int32_t Height = 250;
    // The columns of the list.
    enum Column_en { Date = 0, User, Type, Name, Kind, Amount, ColumnCount };

    // Lists the occurrences due up to until; raises what the data layer raises.
    explicit WDueDlg_cl(const QDate& until, QWidget* parent = nullptr);

    static QString ClassName() { return QStringLiteral("WDueDlg_cl"); }

    // After login: shows the dialog over owner when anything has come due today for the
    // logged-in user. Errors are shown, never passed on.
    static void OfferDue(QWidget* owner);

    void Reload();
    void BookAll();
    void BookChosen();
    void PostponeCurrent();
    void SkipCurrent();

    QTableWidget& GetList() { return *list; }
    QDateEdit& GetPostponeDate() { return *postponeDate; }

private:
    // Books the given rows, each with the amount typed in its row; every amount is
    // checked before the first is booked.
    void Book(const QList<int32_t>& rows);
    // The row of the current occurrence; raises when none is chosen.
    int32_t CurrentRow() const;
    template <typename Action>
    void Handle(Action&& action);

    QDate until;
    Base_ns::Trusteeship_tl<DueOccurrence_st> due;
    QTableWidget* list;
    QDateEdit* postponeDate;
    QLabel* countLabel;
};

}  // namespace Vorelle_ns
