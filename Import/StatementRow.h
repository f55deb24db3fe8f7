#pragma once

#include "base/DateTime.h"

#include <QString>
#include <cstdint>

namespace Import_ns {

// Which way the money of a statement row went, as the statement itself says.
enum class Flow_en { Expense, Income, Neutral };
constexpr int32_t kFlowCount = 3;

// One trade of a downloaded statement, read from its own columns.
struct StatementRow_st {
    int32_t line = 0;  // line of the CSV file or row of the sheet, from 1
    Base_ns::DateTime_cl time;
    QString category;      // the app's own spending category, where it has one
    QString kind;          // the app's kind of trade ("商户消费", "即时到账交易"): no category
    QString counterparty;
    QString product;
    Flow_en flow = Flow_en::Neutral;
    int64_t amount = 0;    // hundredths, not negative
    int64_t refunded = 0;  // hundredths taken off this trade on its own row (the older Alipay layout)
    int64_t refundedApart = 0;  // hundredths the row says were refunded in rows of their own (WeChat)
    QString status;
    QString tradeId;       // the order number; for a bank row without one, made from the row
    bool refund = false;   // the row is the refund of another trade
    bool closed = false;   // closed, failed or cancelled
    bool pending = false;  // not finished yet
};

// Counts and sums a statement states about itself; a flag per flow says whether it does.
struct StatementTotals_st {
    int32_t rows = -1;  // -1: not stated
    bool has[kFlowCount] = {false, false, false};
    int32_t count[kFlowCount] = {0, 0, 0};
    int64_t sum[kFlowCount] = {0, 0, 0};
};

}  // namespace Import_ns
