// Speed of the statement readers on hostile files, beside a sound workbook of a year: a
// CSV whose quote stays open over 100,000 lines, a workbook whose one cell says column
// AAAAAAA, and one whose sheet is 64 MB of spaces packed into 64 KB. Each hostile file is
// refused; the sound one is read whole. Files are made in a temporary folder.

#include "Import/StatementReader.h"
#include "base/Error.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <minizip/zip.h>

namespace {

QTemporaryDir& Folder() {
    static QTemporaryDir folder;
    return folder;
}

QString Write(const char* name, const QByteArray& bytes) {
    const QString path = Folder().filePath(QString::fromUtf8(name));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
    return path;
}

// A workbook of one sheet: its head, pieces copies of a piece, its tail.
QString WriteWorkbook(const char* name, const QByteArray& head, const QByteArray& piece, int32_t pieces,
                      const QByteArray& tail) {
    const QString path = Folder().filePath(QString::fromUtf8(name));
    zipFile zip = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    const QByteArray workbook = "<workbook><sheets><sheet/></sheets></workbook>";
    zipOpenNewFileInZip(zip, "xl/workbook.xml", nullptr, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 6);
    zipWriteInFileInZip(zip, workbook.constData(), unsigned(workbook.size()));
    zipCloseFileInZip(zip);
    zipOpenNewFileInZip(zip, "xl/worksheets/sheet1.xml", nullptr, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 6);
    zipWriteInFileInZip(zip, head.constData(), unsigned(head.size()));
    for (int32_t i = 0; i < pieces; ++i) zipWriteInFileInZip(zip, piece.constData(), unsigned(piece.size()));
    zipWriteInFileInZip(zip, tail.constData(), unsigned(tail.size()));
    zipCloseFileInZip(zip);
    zipClose(zip, nullptr);
    return path;
}

// Reads every trade; the number read, or -1 when the file is refused.
int64_t ReadAll(const QString& path) {
    try {
        Import_ns::StatementReader_cl reader(path, Import_ns::StatementKind_en::Auto, {});
        Import_ns::StatementRow_st row;
        int64_t rows = 0;
        while (reader.Next(row)) ++rows;
        return rows;
    } catch (const Base_ns::Error_cl&) {
        return -1;
    }
}

void Run(benchmark::State& state, const QString& path, int64_t expected) {
    for (auto _ : state) {
        const int64_t rows = ReadAll(path);
        if (rows != expected) state.SkipWithError("the file was not read as expected");
        benchmark::DoNotOptimize(rows);
    }
}

const QByteArray kAlipayHeader =
    "交易时间,交易分类,交易对方,对方账号,商品说明,收/支,金额,收/付款方式,交易状态,交易订单号,商家订单号,备注,\n";

void BM_UnclosedQuote(benchmark::State& state) {
    static const QString path = [] {
        QByteArray text = kAlipayHeader + "2024-01-05 12:00:00,\"餐饮\n";
        for (int32_t i = 0; i < 100000; ++i)
            text += "2024-01-05 12:00:00,餐饮美食,某餐厅,/,午餐,支出,\"1.00\",余额宝,交易成功,20240105" +
                    QByteArray::number(i) + "\t,M1\t,,\n";
        return Write("quote.csv", text);
    }();
    Run(state, path, -1);
}
BENCHMARK(BM_UnclosedQuote)->Unit(benchmark::kMillisecond);

void BM_WideColumn(benchmark::State& state) {
    static const QString path = WriteWorkbook(
        "wide.xlsx", "<worksheet><sheetData><row r=\"2\"><c r=\"AAAAAAA2\" t=\"inlineStr\"><is><t>x</t></is></c>", "", 0,
        "</row></sheetData></worksheet>");
    Run(state, path, -1);
}
BENCHMARK(BM_WideColumn)->Unit(benchmark::kMillisecond);

void BM_SpacesBomb(benchmark::State& state) {
    static const QString path =
        WriteWorkbook("spaces.xlsx", "<worksheet><sheetData>", QByteArray(1 << 20, ' '), 64, "</sheetData></worksheet>");
    Run(state, path, -1);
}
BENCHMARK(BM_SpacesBomb)->Unit(benchmark::kMillisecond);

// A year of a household's Alipay trades as a workbook of inline strings.
void BM_WorkbookYear(benchmark::State& state) {
    static const QString path = [] {
        const auto cell = [](const QByteArray& text) { return "<c t=\"inlineStr\"><is><t>" + text + "</t></is></c>"; };
        QByteArray head = "<worksheet><sheetData><row>";
        for (const QByteArray& title : kAlipayHeader.trimmed().split(',')) head += cell(title);
        head += "</row>";
        QByteArray rows;
        for (int32_t i = 0; i < 3000; ++i) {
            rows += "<row>" + cell("2024-01-05 12:00:00") + cell("餐饮美食") + cell("某餐厅") + cell("/") + cell("午餐") +
                    cell("支出") + "<c><v>" + QByteArray::number(5 + i % 200) + ".5</v></c>" + cell("余额宝") +
                    cell("交易成功") + cell("2024" + QByteArray::number(i)) + "</row>";
        }
        return WriteWorkbook("year.xlsx", head, rows, 1, "</sheetData></worksheet>");
    }();
    Run(state, path, 3000);
}
BENCHMARK(BM_WorkbookYear)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
