#pragma once

#include "platform/ado/Variant.h"

#include <QString>

namespace DB_ns {

// A statement whose values travel beside its text: each "?" marker of sql takes the next
// value of parameters. What a user typed goes this way, never into the text.
struct BoundSQL_st {
    QString sql;
    Ado_ns::VariantList_tl parameters;

    // Puts piece after this statement: its text after this text, its values after these.
    void Append(const BoundSQL_st& piece) {
        sql += piece.sql;
        parameters.insert(parameters.end(), piece.parameters.begin(), piece.parameters.end());
    }
};

}  // namespace DB_ns
