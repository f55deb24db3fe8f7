#include "Data/RecordList.h"

namespace Vorelle_ns {

namespace {

// Bit fields of a packed time: second, minute, hour, day, month, year, then the status,
// the statistics mode and the refund mark.
struct Field_st {
    int32_t shift, bits;
};
constexpr Field_st kSecond{0, 6}, kMinute{6, 6}, kHour{12, 5}, kDay{17, 5}, kMonth{22, 4}, kYear{26, 14},
    kStatus{40, 2}, kMode{42, 2}, kRefund{44, 1};

uint64_t Put(Field_st field, int32_t value) { return (uint64_t(value) & ((uint64_t(1) << field.bits) - 1)) << field.shift; }
int32_t Get(uint64_t packed, Field_st field) { return int32_t((packed >> field.shift) & ((uint64_t(1) << field.bits) - 1)); }

// Distinct comments are mostly one of a kind: only so many are looked up to be shared.
constexpr qsizetype kSharedTexts = 4096;

}  // namespace

RecordList_cl::RecordList_cl() {
    starts.push_back(0);
    starts.push_back(0);  // text 0 is the empty one
}

void RecordList_cl::Append(const RecordRow_st& row) {
    const Base_ns::DateTime_cl& time = row.recordTime;
    uint64_t packed = Put(kStatus, int32_t(time.Status())) | Put(kMode, row.statisticsMode) | Put(kRefund, row.refund);
    if (time.IsValid()) {
        const Base_ns::DateTime_cl::Parts_st p = time.Parts();
        packed |= Put(kSecond, p.second) | Put(kMinute, p.minute) | Put(kHour, p.hour) | Put(kDay, p.day) |
                  Put(kMonth, p.month) | Put(kYear, p.year);
    }
    // Categories and owners are few: all of them are shared.
    rows.push_back(Row_st{packed, row.sn, row.expense, Intern(seenTypes, row.typeName, -1),
                          Intern(seenNames, row.expenseName, kSharedTexts), Intern(seenUsers, row.userName, -1),
                          Intern(seenComments, row.comment, kSharedTexts)});
}

void RecordList_cl::Finish() {
    for (Seen_tl* seen : {&seenTypes, &seenNames, &seenUsers, &seenComments}) *seen = Seen_tl();
    characters.shrink_to_fit();
}

RecordRow_st RecordList_cl::Row(int32_t index) const {
    const Row_st& row = rows[size_t(index)];
    RecordRow_st entry;
    entry.sn = row.sn;
    const uint64_t t = row.time;
    switch (Get(t, kStatus)) {
    case Base_ns::DateTime_cl::Valid:
        entry.recordTime = Base_ns::DateTime_cl::FromParts(Get(t, kYear), Get(t, kMonth), Get(t, kDay), Get(t, kHour),
                                                           Get(t, kMinute), Get(t, kSecond));
        break;
    case Base_ns::DateTime_cl::Invalid:
        entry.recordTime = Base_ns::DateTime_cl::MakeInvalid();
        break;
    default:
        break;  // null
    }
    entry.typeName = Text(row.type);
    entry.expenseName = Text(row.name);
    entry.expense = row.expense;
    entry.userName = Text(row.user);
    entry.statisticsMode = Get(t, kMode);
    entry.comment = Text(row.comment);
    entry.refund = Get(t, kRefund) != 0;
    return entry;
}

int32_t RecordList_cl::Intern(Seen_tl& seen, const QString& text, qsizetype limit) {
    if (text.isEmpty()) return 0;
    if (const auto found = seen.constFind(text); found != seen.cend()) return *found;
    const int32_t index = int32_t(starts.size()) - 1;
    characters.insert(characters.end(), text.utf16(), text.utf16() + text.size());
    starts.push_back(int32_t(characters.size()));
    if (limit < 0 || seen.size() < limit) seen.insert(text, index);
    return index;
}

QString RecordList_cl::Text(int32_t index) const {
    const int32_t start = starts[size_t(index)];
    return QString::fromUtf16(characters.data() + start, starts[size_t(index) + 1] - start);
}

}  // namespace Vorelle_ns
