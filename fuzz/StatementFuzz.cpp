// A downloaded statement on any bytes: it is taken for one shape or refused, its rows
// read or a damaged one refused naming its line, and a second pass from the start reads
// the same rows.
#include "Import/BankProfile.h"
#include "Import/StatementReader.h"
#include "Property.h"
#include "base/Error.h"
#include "base/SysError.h"

#include <QFile>
#include <QList>
#include <QTemporaryDir>
#include <memory>

using namespace Import_ns;

namespace {

bool Same(const StatementRow_st& a, const StatementRow_st& b) {
    return a.line == b.line && a.time == b.time && a.category == b.category && a.counterparty == b.counterparty &&
           a.product == b.product && a.flow == b.flow && a.amount == b.amount && a.refunded == b.refunded &&
           a.status == b.status && a.tradeId == b.tradeId && a.refund == b.refund && a.closed == b.closed &&
           a.pending == b.pending;
}

// Reads every row; false when a row is refused, which must name its line.
bool ReadRows(StatementReader_cl& reader, QList<StatementRow_st>& rows) {
    try {
        StatementRow_st row;
        while (reader.Next(row)) {
            Fuzz_ns::Require(row.line > 0, "a row knows its line");
            Fuzz_ns::Require(rows.isEmpty() || row.line > rows.last().line, "rows come in the file's order");
            Fuzz_ns::Require(row.amount >= 0 && row.refunded >= 0, "amounts are not negative");
            Fuzz_ns::Require(row.time.IsValid(), "a trade has a time");
            rows.append(row);
        }
    } catch (const Base_ns::SysError_cl&) {
        Fuzz_ns::Require(false, "reading raises only user errors");
    } catch (const Base_ns::Error_cl& error) {
        Fuzz_ns::Require(error.Remark().contains(QStringLiteral("行")), "a refused row names its line");
        return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QTemporaryDir folder;
    static const QList<BankProfile_st> profiles = BankProfiles_cl::BuiltIn();
    const QString path = folder.filePath(QStringLiteral("statement.csv"));
    {
        QFile file(path);
        Fuzz_ns::Require(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "the input file is written");
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    std::unique_ptr<StatementReader_cl> reader;
    try {
        reader = std::make_unique<StatementReader_cl>(path, StatementKind_en::Auto, profiles);
    } catch (const Base_ns::SysError_cl&) {
        Fuzz_ns::Require(false, "finding the shape raises only user errors");
    } catch (const Base_ns::Error_cl&) {
        return 0;
    }
    QList<StatementRow_st> first;
    const bool whole = ReadRows(*reader, first);
    reader->Rewind();
    QList<StatementRow_st> second;
    Fuzz_ns::Require(ReadRows(*reader, second) == whole, "a second pass ends as the first");
    Fuzz_ns::Require(second.size() == first.size(), "a second pass reads as many rows");
    for (qsizetype i = 0; i < first.size(); ++i) Fuzz_ns::Require(Same(first[i], second[i]), "a second pass reads the same rows");
    return 0;
}
