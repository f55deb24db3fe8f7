#include "CSVStream.h"

#include "IOError.h"
#include "base/SysError.h"
#include "base/Trusteeship.h"

#include <bit>
#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace IO_ns {

namespace {

Base_ns::SysError_cl SysError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{1, "错误的列数量。"},
                                                  {2, "只能在写数据之初设置一次列数量。"},
                                                  {3, "没有设置列数量。"},
                                                  {4, "列数量为零时无法写入数据。"},
                                                  {5, "表格数据不足一行。"},
                                                  {6, "无数据可读。"},
                                                  {7, "无法转换文字编码。"}};
    return Base_ns::SysError_cl(line, __FILE__, CSVStream_cl::ClassName(), code, table,
                                int32_t(std::size(table)), remark);
}

IOError_cl IOError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {{101, "写数据失败。"},
                                                  {102, "CSV格式数据不正确，至少有一行的列数比第一行列多。"},
                                                  {103, "CSV格式数据不正确，至少有一行的列数比第一行列少。"},
                                                  {104, "从CSV格式数据取得的不是整型数。"}};
    return IOError_cl(line, __FILE__, CSVStream_cl::ClassName(), code, table, int32_t(std::size(table)),
                      remark);
}

constexpr const char* kAnsi = "CP936";
constexpr const char* kUnicode = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
constexpr int32_t kCellStep = 1000;

iconv_t OpenConverter(const char* to, const char* from) {
    const iconv_t converter = iconv_open(to, from);
    if (converter == iconv_t(-1)) {
        throw SysError(7, __LINE__, QString::fromLatin1(from) + QStringLiteral(" -> ") + QString::fromLatin1(to));
    }
    return converter;
}

// Converts text to the code page into bytes (room for two bytes a unit and a
// terminator); returns the number of bytes. A character the code page lacks becomes
// "?", as the platform's own conversion does.
int32_t ToAnsi(const QString& text, Base_ns::Trusteeship_tl<char>& bytes) {
    bytes.Allocate(2 * int32_t(text.size()) + 1);
    const iconv_t converter = OpenConverter(kAnsi, kUnicode);
    const char16_t* units = reinterpret_cast<const char16_t*>(text.utf16());
    char* in = const_cast<char*>(reinterpret_cast<const char*>(units));
    size_t inLeft = 2 * size_t(text.size());
    char* out = bytes.Data();
    size_t outLeft = size_t(bytes.Count()) - 1;
    while (inLeft > 0 && iconv(converter, &in, &inLeft, &out, &outLeft) == size_t(-1)) {
        if (errno == E2BIG || outLeft == 0) break;  // the text ends where the room ends
        const char16_t* unit = reinterpret_cast<const char16_t*>(in);
        const bool pair = inLeft >= 4 && QChar::isHighSurrogate(unit[0]) && QChar::isLowSurrogate(unit[1]);
        const size_t skipped = pair ? 4 : 2;
        in += skipped;
        inLeft -= skipped;
        *out++ = '?';
        --outLeft;
    }
    iconv_close(converter);
    return int32_t(out - bytes.Data());
}

// Converts bytes of the code page to text; a byte that starts no character of the code
// page becomes U+FFFD.
QString FromAnsi(const char* bytes, int32_t size) {
    QString text(size, Qt::Uninitialized);  // never more units than bytes
    const iconv_t converter = OpenConverter(kUnicode, kAnsi);
    char* in = const_cast<char*>(bytes);
    size_t inLeft = size_t(size);
    char* const start = reinterpret_cast<char*>(text.data());
    char* out = start;
    size_t outLeft = 2 * size_t(size);
    while (inLeft > 0 && iconv(converter, &in, &inLeft, &out, &outLeft) == size_t(-1) && outLeft >= 2) {
        const char16_t replacement = 0xFFFD;
        std::memcpy(out, &replacement, 2);
        out += 2;
        outLeft -= 2;
        ++in;
        --inLeft;
    }
    iconv_close(converter);
    text.truncate((out - start) / 2);
    return text;
}

// Encloses the text in double quotes when it holds a double quote, a comma or a line
// break, doubling every double quote inside. Line breaks are quoted as well so that a
// cell holding one reads back as one cell.
QString Quote(const QString& text) {
    if (text.contains(u'"')) {
        QString doubled = text;
        doubled.replace(QStringLiteral("\""), QStringLiteral("\"\""));
        return u'"' + doubled + u'"';
    }
    if (text.contains(u',') || text.contains(u'\r') || text.contains(u'\n')) return u'"' + text + u'"';
    return text;
}

}  // namespace

void CSVStream_cl::SetColumnCount(int32_t count) {
    if (count < 0) throw SysError(1, __LINE__, QString::number(count));
    if (columnCount >= 0) throw SysError(2, __LINE__);
    columnCount = count;
    currentColumn = 0;
}

int32_t CSVStream_cl::ColumnCount() {
    if (columnCount < 0) CountColumns();
    return columnCount;
}

void CSVStream_cl::WriteCell(const QString& text) {
    if (columnCount < 0) throw SysError(3, __LINE__);
    // With no columns no row could ever end.
    if (columnCount == 0) throw SysError(4, __LINE__);
    if (currentColumn == columnCount) currentColumn = 0;
    Base_ns::Trusteeship_tl<char> bytes;
    const int32_t size = ToAnsi(Quote(text), bytes);
    const bool last = currentColumn == columnCount - 1;
    if (!container->Write(bytes.Data(), size) || !container->Write(last ? "\r\n" : ",", last ? 2 : 1)) {
        throw IOError(101, __LINE__);
    }
    ++currentColumn;
}

QString CSVStream_cl::ReadCell() {
    QString text;
    if (!TryReadCell(text)) throw SysError(6, __LINE__);
    return text;
}

// Counts the cells of the first line: commas and the line end outside double quotes.
// A last line that stops without a line break still holds its last cell.
void CSVStream_cl::CountColumns() {
    const int64_t start = container->GetPosition();
    columnCount = 0;
    int32_t quotes = 0;
    bool content = false;
    char byte = 0;
    while (container->Read(&byte, 1)) {
        const bool outside = quotes % 2 == 0;
        if (byte == '"') {
            ++quotes;
        } else if (outside && byte == ',') {
            ++columnCount;
            quotes = 0;
        } else if (outside && byte == '\n') {
            ++columnCount;
            content = false;
            break;
        }
        if (byte != '\r') content = true;
    }
    if (content) ++columnCount;
    container->SetPosition(start, true);
    currentColumn = 0;
}

bool CSVStream_cl::TryReadCell(QString& text) {
    if (columnCount < 0) CountColumns();
    Base_ns::Trusteeship_tl<char> cell;
    cell.Allocate(kCellStep);
    int32_t size = 0;
    int32_t quotes = 0;
    char byte = 0;
    for (;;) {
        if (!container->Read(&byte, 1)) {
            // The data ends: at a row's start there is no cell, inside quotes the cell
            // is unfinished; otherwise the last line simply lacks its line break.
            if (quotes % 2 != 0 || (size == 0 && currentColumn == 0)) return false;
            EndRow();
            break;
        }
        if (byte == '"') {
            ++quotes;
        } else if (quotes % 2 == 0) {
            if (byte == '\r') continue;
            if (byte == '\n') {
                EndRow();
                break;
            }
            if (byte == ',') {
                NextColumn();
                break;
            }
        }
        if (size == cell.Count()) cell.Resize(size + kCellStep);
        cell.Data()[size++] = byte;
    }
    text = FromAnsi(cell.Data(), size);
    if (quotes > 0) {
        text = text.mid(1, text.size() - 2);
        text.replace(QStringLiteral("\"\""), QStringLiteral("\""));
    }
    return true;
}

void CSVStream_cl::NextColumn() {
    if (currentColumn >= columnCount - 1) throw IOError(102, __LINE__);
    ++currentColumn;
}

void CSVStream_cl::EndRow() {
    if (currentColumn != columnCount - 1) throw IOError(103, __LINE__);
    currentColumn = 0;
}

}  // namespace IO_ns
