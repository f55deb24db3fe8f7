#pragma once

#include "Data/TradeLog.h"
#include "base/DateTime.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace Import_ns {

// A statement's trade that would book an entry, as the matcher sees it.
struct MatchTrade_st {
    int32_t line = 0;
    Base_ns::DateTime_cl time;
    int64_t expense = 0;  // signed hundredths as it would be booked
    bool income = false;  // booked to an income category
    QString text;         // the shop and the goods
    // The statements whose entries it may be besides those typed: a card's payment to a
    // wallet is the wallet's trade, and the other way round.
    QStringList partners;
};

// The entry of the book a trade was paired with.
struct Match_st {
    Vorelle_ns::BookEntry_st entry;
    bool clear = false;  // one candidate, well ahead of any other: linked without asking
};

// Pairs a statement's trades with the entries already in the book that may be the same
// purchases (typed, or booked from a partner statement): the same signed amount to the cent and kind, within some days of each other,
// scored by how near they lie and how alike their texts are. Pairs are chosen one to one
// for the best total score, so that no trade takes another's better partner. A pair is
// clear when neither side has another candidate near its score and the days are inside
// the window's edge; any other is for the user to decide.
class StatementMatcher_cl {
public:
    explicit StatementMatcher_cl(int32_t days) : days(days) {}

    // trade line -> its pair; trades paired with nothing are left out.
    [[nodiscard]] QHash<int32_t, Match_st> Match(const QList<MatchTrade_st>& trades,
                                                 const QList<Vorelle_ns::BookEntry_st>& entries) const;
    // How alike two texts are, 0 to 1: the share of the shorter one's characters (letters,
    // digits, Chinese as typed) the other holds too.
    [[nodiscard]] static double Likeness(const QString& a, const QString& b);
    // Whole days between two times by their dates.
    [[nodiscard]] static int32_t DaysApart(const Base_ns::DateTime_cl& a, const Base_ns::DateTime_cl& b);

private:
    int32_t days;
};

}  // namespace Import_ns
