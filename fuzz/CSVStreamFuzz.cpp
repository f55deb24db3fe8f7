// The CSV reader on any bytes: it reads cells or refuses with a user error, and the cells
// it read, written again in either encoding, read back the same. GBK bytes that happen to
// be valid UTF-8 where the reader decides are read as UTF-8, by design: only a GBK
// reading is compared for GBK.
#include "IO/CSVStream.h"
#include "Property.h"
#include "base/Error.h"
#include "base/SysError.h"
#include "MemoryContainer.h"

#include <QStringList>

using IO_ns::CSVStream_cl;

namespace {

bool ReadAll(const QByteArray& bytes, int32_t& columns, QStringList& cells,
             CSVStream_cl::Encoding_en* found = nullptr) {
    MemoryContainer_cl memory(bytes);
    CSVStream_cl stream(memory);
    try {
        columns = stream.ColumnCount();
        QString cell;
        while (stream.TryReadCell(cell)) cells.append(cell);
        if (found != nullptr) *found = stream.Encoding();
    } catch (const Base_ns::SysError_cl&) {
        Fuzz_ns::Require(false, "reading raises only user errors");
    } catch (const Base_ns::Error_cl&) {
        return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int32_t columns = 0;
    QStringList cells;
    if (!ReadAll(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), columns, cells)) return 0;
    Fuzz_ns::Require(columns == 0 ? cells.isEmpty() : cells.size() % columns == 0, "whole rows only");
    if (cells.isEmpty()) return 0;
    for (const auto encoding : {CSVStream_cl::Encoding_en::Utf8, CSVStream_cl::Encoding_en::Gbk}) {
        MemoryContainer_cl memory;
        {
            CSVStream_cl writer(memory);
            writer.SetEncoding(encoding);
            writer.SetColumnCount(columns);
            try {
                for (const QString& cell : cells) writer.WriteCell(cell);
            } catch (const Base_ns::SysError_cl&) {
                Fuzz_ns::Require(false, "writing raises only user errors");
            } catch (const Base_ns::Error_cl&) {
                continue;  // text the encoding cannot hold, refused
            }
        }
        int32_t again = 0;
        QStringList reread;
        CSVStream_cl::Encoding_en found = encoding;
        Fuzz_ns::Require(ReadAll(memory.bytes, again, reread, &found), "what was written reads back");
        Fuzz_ns::Require(again == columns, "the columns survive a round trip");
        if (found == encoding) Fuzz_ns::Require(reread == cells, "cells survive a round trip");
    }
    return 0;
}
