#include "CSVStream.h"

#include "IOError.h"
#include "base/SysError.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>
#include <bit>
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
                                                  {7, "无法转换文字编码。"},
                                                  {8, "只能在写数据之前选择编码。"}};
    return Base_ns::SysError_cl(line, __FILE__, CSVStream_cl::ClassName(), code, table,
                                int32_t(std::size(table)), remark);
}

IOError_cl IOError(int32_t code, int32_t line, const QString& remark = QString()) {
    static const Base_ns::ErrorInfo_st table[] = {
        {101, "写数据失败。"},
        {102, "CSV格式数据不正确，这一行的列数比第一行多。"},
        {103, "CSV格式数据不正确，这一行的列数比第一行少。"},
        {104, "从CSV格式数据取得的不是整型数。"},
        {105, "CSV格式数据不正确，引号没有结束。"},
        {106, "CSV格式数据不正确，引号结束后还有文字。"},
        {107, "CSV格式数据不正确，含有空字符。"},
        {108, "有GBK编码无法表示的文字，请改用UTF-8编码导出。"},
        {109, "有残缺的文字，无法保存。"},
        {110, "文字中含有空字符，无法保存。"}};
    return IOError_cl(line, __FILE__, CSVStream_cl::ClassName(), code, table, int32_t(std::size(table)),
                      remark);
}

constexpr const char* kAnsi = "CP936";
constexpr const char* kUnicode = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
constexpr char kBom[] = "\xEF\xBB\xBF";

iconv_t Converter(void*& slot, const char* to, const char* from) {
    if (slot == nullptr) {
        const iconv_t converter = iconv_open(to, from);
        if (converter == iconv_t(-1)) {
            throw SysError(7, __LINE__, QString::fromLatin1(from) + QStringLiteral(" -> ") + QString::fromLatin1(to));
        }
        slot = converter;
    }
    iconv(iconv_t(slot), nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    return iconv_t(slot);
}

// Encloses the text in double quotes when it holds a double quote, a comma or a line
// break, doubling every double quote inside. Line breaks are quoted as well so that a
// cell holding one reads back as one cell; an empty cell alone on its row is quoted so
// that its line is not blank.
QString Quote(const QString& text, bool alone) {
    if (text.contains(u'"')) {
        QString doubled = text;
        doubled.replace(QStringLiteral("\""), QStringLiteral("\"\""));
        return u'"' + doubled + u'"';
    }
    if (text.contains(u',') || text.contains(u'\r') || text.contains(u'\n') || (alone && text.isEmpty())) {
        return u'"' + text + u'"';
    }
    return text;
}

// A text a spreadsheet would take for a formula: one beginning with =, +, - or @ that is
// no plain number ("-25.5" stays a number).
bool IsFormulaLike(QStringView text) {
    static const QRegularExpression number(QStringLiteral("^[+-][0-9]+(?:\\.[0-9]*)?$"));
    return !text.isEmpty() && QStringView(u"=+-@").contains(text[0]) && !number.match(text).hasMatch();
}

// Such a text is written behind an apostrophe, so that a spreadsheet shows it as text;
// so is a text that would otherwise read back without its own leading apostrophe.
QString Guarded(const QString& text) {
    const bool apostrophe = text.size() > 1 && text[0] == u'\'' && QStringView(u"=+-@'").contains(text[1]);
    return IsFormulaLike(text) || apostrophe ? u'\'' + text : text;
}

// The text as it was before Guarded.
QString Unguarded(QString text) {
    if (text.size() > 1 && text[0] == u'\'' && QStringView(u"=+-@'").contains(text[1])) text.remove(0, 1);
    return text;
}

bool IsAscii(const QByteArray& bytes) {
    for (const char byte : bytes)
        if (static_cast<unsigned char>(byte) >= 0x80) return false;
    return true;
}

}  // namespace

CSVStream_cl::~CSVStream_cl() {
    for (void* converter : {encoder, decoder})
        if (converter != nullptr) iconv_close(iconv_t(converter));
}

QString CSVStream_cl::LineRemark(int32_t line) {
    return QStringLiteral("第") + QString::number(line) + QStringLiteral("行");
}

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

void CSVStream_cl::SetEncoding(Encoding_en chosen) {
    if (started) throw SysError(8, __LINE__);
    encoding = chosen;
}

QByteArray CSVStream_cl::Encode(const QString& text) {
    if (encoding == Encoding_en::Utf8) {
        QStringEncoder toUtf8(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
        QByteArray bytes = toUtf8(text);
        if (toUtf8.hasError()) throw IOError(109, __LINE__, LineRemark(rowLine) + u'：' + text);
        return bytes;
    }
    // Two bytes a unit at most: GBK has no four-byte characters.
    QByteArray bytes(2 * text.size(), Qt::Uninitialized);
    const iconv_t converter = Converter(encoder, kAnsi, kUnicode);
    char* in = const_cast<char*>(reinterpret_cast<const char*>(text.utf16()));
    size_t inLeft = 2 * size_t(text.size());
    char* out = bytes.data();
    size_t outLeft = size_t(bytes.size());
    if (iconv(converter, &in, &inLeft, &out, &outLeft) == size_t(-1)) {
        throw IOError(108, __LINE__, LineRemark(rowLine) + u'：' + text);
    }
    bytes.truncate(out - bytes.data());
    return bytes;
}

bool CSVStream_cl::GbkHolds(const QString& text) {
    void* converter = nullptr;
    QByteArray bytes(2 * text.size(), Qt::Uninitialized);
    char* in = const_cast<char*>(reinterpret_cast<const char*>(text.utf16()));
    size_t inLeft = 2 * size_t(text.size());
    char* out = bytes.data();
    size_t outLeft = size_t(bytes.size());
    const bool held = iconv(Converter(converter, kAnsi, kUnicode), &in, &inLeft, &out, &outLeft) != size_t(-1);
    iconv_close(iconv_t(converter));
    return held;
}

void CSVStream_cl::WriteCell(const QString& text) {
    if (columnCount < 0) throw SysError(3, __LINE__);
    // With no columns no row could ever end.
    if (columnCount == 0) throw SysError(4, __LINE__);
    if (!started) {
        started = true;
        if (encoding == Encoding_en::Utf8 && !container->Write(kBom, 3)) throw IOError(101, __LINE__);
    }
    if (currentColumn == columnCount) currentColumn = 0;
    // A reader would cut the text at the NUL, or refuse the file.
    if (text.contains(QChar(0))) throw IOError(110, __LINE__, LineRemark(rowLine));
    const QByteArray bytes = Encode(Quote(Guarded(text), columnCount == 1));
    const bool last = currentColumn == columnCount - 1;
    if (!container->Write(bytes.constData(), bytes.size()) || !container->Write(last ? "\r\n" : ",", last ? 2 : 1)) {
        throw IOError(101, __LINE__);
    }
    line += int32_t(text.count(u'\n'));
    ++currentColumn;
    if (last) rowLine = ++line;
}

QString CSVStream_cl::ReadCell() {
    QString text;
    if (!TryReadCell(text)) throw SysError(6, __LINE__);
    return text;
}

// A byte-order mark at the start of the data says UTF-8.
void CSVStream_cl::Start() {
    if (started) return;
    started = true;
    char head[3];
    if (container->GetPosition() != 0 || !container->Read(head, 3)) return;
    if (std::memcmp(head, kBom, 3) == 0) {
        encoding = Encoding_en::Utf8;
        decided = true;
    } else {
        container->SetPosition(0, true);
    }
}

// Counts the cells of the first row and goes back to where it began.
void CSVStream_cl::CountColumns() {
    Start();
    const int64_t start = container->GetPosition();
    const int32_t startLine = line;
    columnCount = 0;
    currentColumn = 0;
    End_en end = End_en::Separator;
    while (end == End_en::Separator && ReadRaw(end)) {
        ++columnCount;
        ++currentColumn;
    }
    container->SetPosition(start, true);
    line = startLine;
    currentColumn = 0;
}

bool CSVStream_cl::NextByte(char& byte) {
    if (!container->Read(&byte, 1)) return false;
    if (byte == '\0') throw IOError(107, __LINE__, LineRemark(line));
    if (byte == '\n') ++line;
    return true;
}

// Reads the bytes of one cell into raw: quoted text without its quotes and with doubled
// quotes made single, other text as it stands. False when the data ends at a row's start.
bool CSVStream_cl::ReadRaw(End_en& end) {
    raw.clear();
    char byte = 0;
    do {
        if (!NextByte(byte)) {
            end = End_en::Data;
            return currentColumn != 0;
        }
        // Blank lines between rows hold no cells.
    } while (currentColumn == 0 && (byte == '\n' || byte == '\r'));
    const int32_t cellLine = line - (byte == '\n' ? 1 : 0);
    if (currentColumn == 0) rowLine = cellLine;
    if (byte != '"') {
        for (;;) {
            if (byte == ',' || byte == '\n') {
                end = byte == ',' ? End_en::Separator : End_en::Row;
                break;
            }
            raw.append(byte);
            if (!NextByte(byte)) {
                end = End_en::Data;
                break;
            }
        }
        if (end != End_en::Separator && raw.endsWith('\r')) raw.chop(1);
        return true;
    }
    for (;;) {
        if (!NextByte(byte)) throw IOError(105, __LINE__, LineRemark(cellLine));
        if (byte != '"') {
            raw.append(byte);
            continue;
        }
        if (!NextByte(byte)) {
            end = End_en::Data;
            return true;
        }
        if (byte == '"') {
            raw.append(byte);
            continue;
        }
        if (byte == '\r' && !NextByte(byte)) {
            end = End_en::Data;
            return true;
        }
        if (byte == ',' || byte == '\n') {
            end = byte == ',' ? End_en::Separator : End_en::Row;
            return true;
        }
        throw IOError(106, __LINE__, LineRemark(line));
    }
}

// Bytes that are not characters of the encoding read as U+FFFD.
QString CSVStream_cl::Decode() {
    if (IsAscii(raw)) return QString::fromLatin1(raw);
    if (encoding == Encoding_en::Utf8 || !decided) {
        // A byte-order mark inside a cell is text: kept, not dropped as the decoder would.
        QStringDecoder fromUtf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                          QStringDecoder::Flag::ConvertInitialBom);
        QString text = fromUtf8(raw);
        if (decided) return text;
        decided = true;
        if (!fromUtf8.hasError()) {
            encoding = Encoding_en::Utf8;
            return text;
        }
    }
    QString text(raw.size(), Qt::Uninitialized);  // never more units than bytes
    const iconv_t converter = Converter(decoder, kUnicode, kAnsi);
    char* in = raw.data();
    size_t inLeft = size_t(raw.size());
    char* const start = reinterpret_cast<char*>(text.data());
    char* out = start;
    size_t outLeft = 2 * size_t(raw.size());
    while (inLeft > 0 && iconv(converter, &in, &inLeft, &out, &outLeft) == size_t(-1) && outLeft >= 2) {
        const char16_t replacement = 0xFFFD;
        std::memcpy(out, &replacement, 2);
        out += 2;
        outLeft -= 2;
        ++in;
        --inLeft;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
    text.truncate((out - start) / 2);
    return text;
}

bool CSVStream_cl::TryReadCell(QString& text) {
    if (columnCount < 0) CountColumns();
    Start();
    End_en end = End_en::Data;
    if (!ReadRaw(end)) return false;
    if (end == End_en::Separator) {
        if (currentColumn >= columnCount - 1) throw IOError(102, __LINE__, LineRemark(rowLine));
        ++currentColumn;
    } else {
        if (currentColumn != columnCount - 1) throw IOError(103, __LINE__, LineRemark(rowLine));
        currentColumn = 0;
    }
    text = Unguarded(Decode());
    return true;
}

}  // namespace IO_ns
