#include "Import/CsvRows.h"

#include "IO/IOError.h"
#include "base/Text.h"

#include <QStringEncoder>
#include <algorithm>

namespace Import_ns {

namespace {

IO_ns::IOError_cl IOError(int32_t code, int32_t line, const QString& remark) {
    static const Base_ns::ErrorInfo_st table[] = {{101, "无法打开账单文件。"},
                                                  {102, "读取账单文件失败。"},
                                                  {103, "账单内容不正确，引号没有结束。"},
                                                  {104, "账单内容不正确，一行超过1MB。"},
                                                  {105, "账单内容不正确，含有空字符。"}};
    return IO_ns::IOError_cl(line, __FILE__, CsvRows_cl::ClassName(), code, table, int32_t(std::size(table)),
                               remark);
}

// Whether every byte of the file reads as UTF-8; GB18030 otherwise.
bool IsUtf8(QFile& file) {
    QStringDecoder check(QStringDecoder::Utf8);
    while (!file.atEnd()) {
        const QByteArray chunk = file.read(1 << 16);
        if (chunk.isEmpty()) break;
        const QString decoded = check.decode(chunk);  // decoding happens on conversion
        if (check.hasError()) return false;
    }
    return true;
}

}  // namespace

CsvRows_cl::CsvRows_cl(const QString& path) : file(path) {
    if (!file.open(QIODevice::ReadOnly)) throw IOError(101, __LINE__, path);
    utf8 = IsUtf8(file);
    Rewind();
}

void CsvRows_cl::Rewind() {
    if (!file.seek(0)) throw IOError(102, __LINE__, file.fileName());
    decoder = QStringDecoder(utf8 ? "UTF-8" : "GB18030", QStringDecoder::Flag::Stateless);
    if (utf8 && file.peek(3) == QByteArray("\xEF\xBB\xBF")) file.read(3);
    nextLine = 1;
}

bool CsvRows_cl::MayContain(const QString& text) {
    QStringEncoder encoder(utf8 ? "UTF-8" : "GB18030");
    const QByteArray wanted = encoder.encode(text);
    const qint64 at = file.pos();
    if (wanted.isEmpty() || !file.seek(0)) return true;
    QByteArray chunk;
    bool found = false;
    while (!found && !file.atEnd()) {
        // The last bytes of one chunk begin the next: the text may straddle them.
        chunk = chunk.right(wanted.size() - 1) + file.read(1 << 20);
        found = chunk.contains(wanted);
        if (chunk.size() < wanted.size()) break;
    }
    if (!file.seek(at)) throw IOError(102, __LINE__, file.fileName());
    return found;
}

QByteArray CsvRows_cl::ReadLine() {
    // A line break byte never occurs inside a GB18030 or UTF-8 character: lines are split
    // before decoding. Read with a bound, so that a file without line breaks is refused
    // instead of held whole.
    if (lineBuffer.isEmpty()) lineBuffer.resize(MaxRowBytes + 3);  // two bytes past the bound, and a NUL
    const qint64 read = file.readLine(lineBuffer.data(), lineBuffer.size());
    if (read < 0 && !file.atEnd()) throw IOError(102, __LINE__, file.fileName());
    QByteArray bytes(lineBuffer.constData(), std::max<qint64>(read, 0));
    if (bytes.size() > MaxRowBytes && !bytes.endsWith('\n'))
        throw IOError(104, __LINE__, file.fileName() + QStringLiteral("：第") + QString::number(nextLine) + u'行');
    if (bytes.endsWith('\n')) bytes.chop(1);
    if (bytes.endsWith('\r')) bytes.chop(1);
    ++nextLine;
    return bytes;
}

template <typename Text>
CsvRows_cl::Cell_en CsvRows_cl::Step(Cell_en cell, const Text& text, qsizetype& i) {
    const auto c = text[i];
    if (cell == Cell_en::Quoted) {
        if (c != u'"') return cell;
        if (i + 1 < text.size() && text[i + 1] == u'"') {
            ++i;
            return cell;
        }
        return Cell_en::Closed;
    }
    if (c == u',') return Cell_en::Start;
    // Only a quote that begins a cell quotes it: the apps write a quote inside an unquoted
    // cell as it is ("茶叶 "礼盒装""), and a lone one ("27" 显示器") too.
    if (c == u'"') return cell == Cell_en::Bare ? cell : Cell_en::Quoted;
    if (cell == Cell_en::Start) return c == u' ' || c == u'\t' ? cell : Cell_en::Bare;
    return cell;
}

bool CsvRows_cl::Next(QStringList& cells, int32_t& line) {
    if (file.atEnd()) return false;
    line = nextLine;
    QByteArray bytes;
    // A quoted cell still open at a line's end holds its line break. A quote is named by
    // the line it left open.
    Cell_en cell = Cell_en::Start;
    int32_t openLine = line;
    qsizetype openAt = 0;
    for (;;) {
        const int32_t lineNumber = nextLine;
        const qsizetype start = bytes.size();
        const bool wasOpen = cell == Cell_en::Quoted;
        qsizetype lastOpened = 0;
        bytes += ReadLine();
        for (qsizetype i = start; i < bytes.size(); ++i) {
            const Cell_en before = cell;
            cell = Step(cell, bytes, i);
            if (before != Cell_en::Quoted && cell == Cell_en::Quoted) lastOpened = i;
        }
        if (cell != Cell_en::Quoted) break;
        if (!wasOpen) {
            openLine = lineNumber;
            openAt = lastOpened;
        }
        // A quote still open at the end, or after a megabyte, was never closed.
        if (file.atEnd() || bytes.size() > MaxRowBytes) {
            const qsizetype lineEnd = bytes.indexOf('\n', openAt);
            const QByteArray quoted = bytes.mid(openAt, std::min<qsizetype>(lineEnd < 0 ? 120 : lineEnd - openAt, 120));
            throw IOError(103, __LINE__, file.fileName() + QStringLiteral("：第") + QString::number(openLine) +
                                             QStringLiteral("行：") + Base_ns::LeftCharacters(decoder.decode(quoted), 30));
        }
        bytes += '\n';
    }
    const QString text = decoder.decode(bytes);
    if (text.contains(QChar(0)))
        throw IOError(105, __LINE__, file.fileName() + QStringLiteral("：第") + QString::number(line) + u'行');
    cells = Split(text);
    return true;
}

QStringList CsvRows_cl::Split(QStringView text) {
    QStringList cells;
    cells.reserve(width);
    QString cell;        // the text of the cell before run
    qsizetype run = 0;   // the first character not yet in cell: runs are added whole
    const auto addRun = [&](qsizetype end) { cell += text.mid(run, end - run); };
    Cell_en state = Cell_en::Start;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const Cell_en before = state;
        const qsizetype at = i;
        state = Step(state, text, i);
        if (before != Cell_en::Quoted && text[at] == u',') {
            // Most cells have no quotes: each is one copy of its trimmed text.
            if (cell.isEmpty()) {
                cells.append(text.mid(run, at - run).trimmed().toString());
            } else {
                addRun(at);
                cells.append(std::move(cell).trimmed());
                cell.clear();
            }
            run = at + 1;
        } else if (i != at || (before == Cell_en::Quoted) != (state == Cell_en::Quoted)) {
            // A doubled quote keeps its second; a quote opening or closing a cell is left out.
            addRun(at);
            run = i == at ? at + 1 : i;
        }
    }
    addRun(text.size());
    cells.append(std::move(cell).trimmed());
    width = cells.size();
    return cells;
}

}  // namespace Import_ns
