#pragma once

#include "Data/TradeLog.h"
#include "Import/StatementRow.h"

#include <QString>
#include <cstdint>

namespace Import_ns {

// What becomes of a statement row.
enum class Decision_en {
    Import,           // booked as it is (less any part refunded)
    Refund,           // a refund, booked back into its original's expense category
    Closed,           // closed, failed or cancelled
    Pending,          // not finished
    Neutral,          // money moved between one's own accounts
    FullyRefunded,    // refunded in full: nothing was spent
    RefundCounted,    // a refund its original row already subtracts
    OriginalSkipped,  // the refund of a trade that was not booked either
    Zero,             // no amount
    AlreadyImported,  // booked by an earlier import (or earlier in this file)
    Conflict,         // its id was booked before with another amount
    Linked,           // the same purchase as an entry already in the book: linked to it, nothing booked
    MaybeDuplicate,   // perhaps an entry already in the book: left for the user to decide
    Unpaired,         // a card's payment to a wallet whose trade is not in the book yet: left to the user
};
constexpr int32_t kDecisionCount = 14;

// What becomes of a trade that may be an entry already in the book.
enum class MatchChoice_en {
    Ask,   // a clear match is linked, an unclear one waits for the user
    New,   // booked as a new entry
    Link,  // linked to the best candidate
};

// The words the preview and the summary use.
QString DecisionText(Decision_en decision);
inline bool Books(Decision_en decision) { return decision == Decision_en::Import || decision == Decision_en::Refund; }

// A row with its decision and, when it books, the entry it makes.
struct StatementEntry_st {
    StatementRow_st row;
    Decision_en decision = Decision_en::Import;
    int64_t expense = 0;  // signed hundredths: < 0 expense, > 0 income or a refund
    QString typeName;
    QString expenseName;
    QString comment;
    int32_t mode = 0;  // statistics mode
    // Of a refund: what it gives back beyond what was left of its purchase, and what was left.
    int64_t excess = 0;
    int64_t refundLeft = 0;
    // Of a purchase: what the statement says was refunded in rows it does not hold.
    int64_t refundLater = 0;
    // Of a trade linked to an entry: the category it goes to alone, should the link be undone.
    QString ownType;
    // The entry of the book it was paired with (linked, or perhaps the same): sn 0 for none.
    Vorelle_ns::BookEntry_st pairedWith;

    // Signed hundredths as the preview and the summary show them, < 0 money spent: what
    // is or was booked (less what was refunded), else the statement's amount.
    int64_t Amount() const;
};

}  // namespace Import_ns
