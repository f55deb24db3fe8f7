#include "Output.h"

#include "IO/CSVStream.h"
#include "WriteBuffer.h"

#include <QChar>
#include <algorithm>
#include <cstdio>

namespace Cli_ns {

namespace {

struct Range_st {
    char32_t first;
    char32_t last;
};

// East Asian Wide and Fullwidth code points.
constexpr Range_st kWide[] = {{0x1100, 0x115F}, {0x2E80, 0x303E}, {0x3041, 0x33FF}, {0x3400, 0x4DBF},
                              {0x4E00, 0x9FFF}, {0xA000, 0xA4CF}, {0xAC00, 0xD7A3}, {0xF900, 0xFAFF},
                              {0xFE30, 0xFE4F}, {0xFF00, 0xFF60}, {0xFFE0, 0xFFE6}, {0x1F300, 0x1F64F},
                              {0x1F900, 0x1F9FF}, {0x20000, 0x3FFFD}};

void Write(FILE* stream, const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

QString Pad(const QString& text, int32_t width, bool right) {
    const QString fill(std::max(0, width - Output_cl::DisplayWidth(text)), u' ');
    return right ? fill + text : text + fill;
}

}  // namespace

void Output_cl::Line(const QString& text) { Write(stdout, (text + u'\n').toUtf8()); }

void Output_cl::Bytes(const QByteArray& bytes) { Write(stdout, bytes); }

void Output_cl::ErrorLine(const QString& text) { Write(stderr, (text + u'\n').toUtf8()); }

int32_t Output_cl::DisplayWidth(const QString& text) {
    int32_t width = 0;
    for (const char32_t c : text.toUcs4()) {
        const QChar::Category category = QChar::category(c);
        if (category == QChar::Mark_NonSpacing || category == QChar::Mark_Enclosing) continue;
        const bool wide = std::any_of(std::begin(kWide), std::end(kWide),
                                      [c](const Range_st& range) { return c >= range.first && c <= range.last; });
        width += wide ? 2 : 1;
    }
    return width;
}

QString Output_cl::Table(const QList<QStringList>& rows, qsizetype leftColumns) {
    QList<int32_t> widths;
    for (const QStringList& row : rows) {
        for (qsizetype j = 0; j < row.size(); ++j) {
            if (j >= widths.size()) widths.append(0);
            widths[j] = std::max(widths[j], DisplayWidth(row[j]));
        }
    }
    QString text;
    for (const QStringList& row : rows) {
        QString line;
        for (qsizetype j = 0; j < row.size(); ++j) {
            if (j > 0) line += QStringLiteral("  ");
            line += Pad(row[j], widths[j], j >= leftColumns);
        }
        text += line + u'\n';
    }
    return text;
}

QByteArray Output_cl::Csv(const QList<QStringList>& rows) {
    WriteBuffer_cl buffer;
    {
        IO_ns::CSVStream_cl stream(buffer);
        stream.SetEncoding(IO_ns::CSVStream_cl::Encoding_en::Utf8);
        stream.SetColumnCount(int32_t(rows.first().size()));
        for (const QStringList& row : rows) {
            for (const QString& cell : row) stream.WriteCell(cell);
        }
    }
    QByteArray bytes = buffer.Bytes();
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    return bytes;
}

}  // namespace Cli_ns
