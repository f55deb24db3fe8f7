#include "Data/RecordDuplicates.h"

#include "Data/RecordFile.h"
#include "Data/RecordFileReader.h"
#include "Data/RecordList.h"
#include "Data/RecordManage.h"
#include "Data/UserManage.h"

#include <QHash>

namespace Vorelle_ns {

namespace {

// What makes two entries alike, as the file writes them.
QString Likeness(const RecordRow_st& row) {
    QString texts[RecordFile_cl::ColumnCount];
    RecordFile_cl::RowTexts(row, texts);
    texts[0] = row.recordTime.Format();  // the time of day as well
    QString joined;
    for (const QString& text : texts) joined += text + QChar(0);
    return joined;
}

RecordRow_st AsRow(const RecordInfo_st& record) {
    RecordRow_st row;
    row.recordTime = record.recordTime;
    row.typeName = record.typeName;
    row.expenseName = record.expenseName;
    row.expense = record.expense;
    row.userName = record.userName;
    row.statisticsMode = record.statisticsMode;
    row.comment = record.comment;
    row.refund = record.refund;
    return row;
}

}  // namespace

RecordRepeats_st RecordDuplicates_cl::Find(const QString& path) {
    RecordRepeats_st repeats;
    // The file's days first: only the book's entries of those days are read.
    Base_ns::DateTime_cl first, last;
    {
        RecordFileReader_cl reader(path);
        RecordInfo_st record;
        while (reader.Next(record)) {
            if (!first.IsValid() || record.recordTime.IsEarlierThan(first)) first = record.recordTime;
            if (!last.IsValid() || last.IsEarlierThan(record.recordTime)) last = record.recordTime;
        }
    }
    if (!first.IsValid()) return repeats;
    // Who sees only his own entries imports only his own.
    const RecordList_cl book = recordManage.GetRecordList(userManage.CanViewOthers(), QString(), first, last);
    if (book.Count() == 0) return repeats;
    QHash<QString, int32_t> held;  // how many entries of the book are alike
    for (int32_t i = 0; i < book.Count(); ++i) ++held[Likeness(book.Row(i))];
    RecordFileReader_cl reader(path);
    RecordInfo_st record;
    while (reader.Next(record)) {
        const auto found = held.find(Likeness(AsRow(record)));
        // The n-th alike row of the file repeats the book when the book has n alike.
        if (found == held.end() || found.value() == 0) continue;
        --found.value();
        if (repeats.count++ == 0) repeats.firstLine = record.line;
    }
    return repeats;
}

}  // namespace Vorelle_ns
