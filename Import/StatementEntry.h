#pragma once

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
};
constexpr int32_t kDecisionCount = 11;

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
};

}  // namespace Import_ns
