#pragma once

#include <QString>
#include <cstdint>

namespace Vorelle_ns {

class RecordManage_cl;
class UserManage_cl;

// The rows of a record file that are entries the book already holds: same time, category,
// name, amount, user, statistics mode and comment. Rows alike within the file are each an
// entry of their own: a file with two alike rows repeats the book only where the book has
// two such entries, so that nothing real is taken for a repetition.
struct RecordRepeats_st {
    int32_t count = 0;
    int32_t firstLine = 0;  // of the file, as its reader counts lines; 0 when none
};

class RecordDuplicates_cl {
public:
    RecordDuplicates_cl(UserManage_cl& userManage, RecordManage_cl& recordManage)
        : userManage(userManage), recordManage(recordManage) {}

    static QString ClassName() { return QStringLiteral("RecordDuplicates_cl"); }

    // Reads the file (twice when the book holds entries of its days) and counts its rows
    // the book holds already. Raises what its reader raises for a faulty file.
    [[nodiscard]] RecordRepeats_st Find(const QString& path);

private:
    UserManage_cl& userManage;
    RecordManage_cl& recordManage;
};

}  // namespace Vorelle_ns
