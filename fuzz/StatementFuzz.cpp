// A downloaded statement on any bytes: it is taken for one shape or refused, its rows
// read or a damaged one refused naming its line, and a second pass from the start reads
// the same rows. Bytes beginning with "<" are a workbook's parts instead, packed into an
// xlsx file: the sheet, then after a line "=====" its shared strings, then its styles.
// A workbook never inflates a part beyond its bound (run with -malloc_limit_mb to hold
// memory too).
#include "Import/BankProfile.h"
#include "Import/StatementReader.h"
#include "Import/ZipEntry.h"
#include "Property.h"
#include "base/Error.h"
#include "base/SysError.h"

#include <QFile>
#include <QList>
#include <QTemporaryDir>
#include <memory>
#include <minizip/zip.h>

using namespace Import_ns;

namespace {

bool Same(const StatementRow_st& a, const StatementRow_st& b) {
    return a.line == b.line && a.time == b.time && a.category == b.category && a.counterparty == b.counterparty &&
           a.product == b.product && a.flow == b.flow && a.amount == b.amount && a.refunded == b.refunded &&
           a.refundedApart == b.refundedApart &&
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
            Fuzz_ns::Require(row.amount >= 0 && row.refunded >= 0 && row.refundedApart >= 0, "amounts are not negative");
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

// The parts after a workbook's fixed head, packed as xlsx at path.
void WriteWorkbook(const QString& path, const QByteArray& data) {
    QList<QByteArray> members;
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = data.indexOf("\n=====\n", from);
        members.append(data.mid(from, at < 0 ? -1 : at - from));
        if (at < 0 || members.size() == 3) break;
        from = at + 7;
    }
    const char* const names[] = {"xl/worksheets/sheet1.xml", "xl/sharedStrings.xml", "xl/styles.xml"};
    zipFile zip = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    Fuzz_ns::Require(zip != nullptr, "the workbook is written");
    const QByteArray workbook = "<workbook><sheets><sheet/></sheets></workbook>";
    const auto put = [zip](const char* name, const QByteArray& bytes) {
        zipOpenNewFileInZip(zip, name, nullptr, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 1);
        zipWriteInFileInZip(zip, bytes.constData(), unsigned(bytes.size()));
        zipCloseFileInZip(zip);
    };
    put("xl/workbook.xml", workbook);
    for (qsizetype i = 0; i < members.size(); ++i) put(names[i], members[i]);
    zipClose(zip, nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QTemporaryDir folder;
    static const QList<BankProfile_st> profiles = BankProfiles_cl::BuiltIn();
    const QString path = folder.filePath(QStringLiteral("statement.csv"));
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QFile::remove(path);
    if (bytes.startsWith('<')) {
        WriteWorkbook(path, bytes);
    } else {
        QFile file(path);
        Fuzz_ns::Require(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "the input file is written");
        file.write(bytes);
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
    Fuzz_ns::Require(reader->Position() <= ZipEntry_cl::MaxInflated + (1 << 16), "a part inflates within its bound");
    reader->Rewind();
    QList<StatementRow_st> second;
    Fuzz_ns::Require(ReadRows(*reader, second) == whole, "a second pass ends as the first");
    Fuzz_ns::Require(second.size() == first.size(), "a second pass reads as many rows");
    for (qsizetype i = 0; i < first.size(); ++i) Fuzz_ns::Require(Same(first[i], second[i]), "a second pass reads the same rows");
    return 0;
}
