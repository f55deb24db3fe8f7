#include "Import/CsvRows.h"

#include "IO/IOError.h"

namespace Import_ns {

namespace {

IO_ns::IOError_cl IOError(int32_t code, int32_t line, const QString& remark) {
    static const Base_ns::ErrorInfo_st table[] = {{101, "无法打开账单文件。"}, {102, "读取账单文件失败。"}};
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

QString CsvRows_cl::ReadLine() {
    // A line break byte never occurs inside a GB18030 or UTF-8 character: lines are split
    // before decoding.
    QByteArray bytes = file.readLine();
    if (bytes.endsWith('\n')) bytes.chop(1);
    if (bytes.endsWith('\r')) bytes.chop(1);
    ++nextLine;
    return decoder.decode(bytes);
}

bool CsvRows_cl::Next(QStringList& cells, int32_t& line) {
    if (file.atEnd()) return false;
    line = nextLine;
    QString text = ReadLine();
    // An odd number of quotes leaves a quoted cell open: its line break belongs to it.
    while (text.count(u'"') % 2 == 1 && !file.atEnd()) text += u'\n' + ReadLine();
    cells = Split(text);
    return true;
}

QStringList CsvRows_cl::Split(const QString& text) {
    QStringList cells;
    QString cell;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c != u'"') {
                cell += c;
            } else if (i + 1 < text.size() && text[i + 1] == u'"') {
                cell += c;
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            cells.append(cell.trimmed());
            cell.clear();
        } else {
            cell += c;
        }
    }
    cells.append(cell.trimmed());
    return cells;
}

}  // namespace Import_ns
