#pragma once

#include "Data/RecordManage.h"

#include <QHash>
#include <QString>
#include <cstdint>
#include <vector>

namespace Vorelle_ns {

// A long entry list held compactly: each row is a few integers (its time packed into one),
// its texts live once in a shared pool, and a whole row is made again only when asked
// for, so that a list of a million entries costs tens of megabytes, not hundreds.
class RecordList_cl {
public:
    RecordList_cl();

    int32_t Count() const { return int32_t(rows.size()); }
    // The entry at index, made from its compact row.
    RecordRow_st Row(int32_t index) const;
    int32_t Sn(int32_t index) const { return rows[size_t(index)].sn; }

    void Append(const RecordRow_st& row);
    // Lets go of what only appending needs.
    void Finish();

private:
    struct Row_st {
        uint64_t time;  // the time's parts, its status, the statistics mode and the refund mark
        int32_t sn;
        int32_t expense;
        int32_t type;  // texts: indexes into the pool
        int32_t name;
        int32_t user;
        int32_t comment;
    };
    using Seen_tl = QHash<QString, int32_t>;

    // The text's index in the pool; texts seen before (up to limit of them) are shared.
    int32_t Intern(Seen_tl& seen, const QString& text, qsizetype limit);
    QString Text(int32_t index) const;

    std::vector<Row_st> rows;
    std::vector<char16_t> characters;
    std::vector<int32_t> starts;  // text i is characters [starts[i], starts[i + 1])
    Seen_tl seenTypes, seenNames, seenUsers, seenComments;
};

}  // namespace Vorelle_ns
