#include "Import/XlsxRows.h"

#include "IO/IOError.h"
#include "Import/ZipEntry.h"
#include "base/DateTime.h"
#include "base/Text.h"

#include <QFile>
#include <cmath>

namespace Import_ns {

namespace {

IO_ns::IOError_cl IOError(int32_t code, int32_t line, const QString& remark) {
    static const Base_ns::ErrorInfo_st table[] = {{101, "Excel文件内容不正确，无法读取工作表。"},
                                                  {102, "Excel文件内容不正确，共享文字的编号超出范围。"},
                                                  {103, "Excel文件内容不正确，行号不正确。"},
                                                  {104, "Excel文件内容不正确，单元格位置不正确或超过256列。"},
                                                  {105, "Excel文件内容不正确，单元格文字超过32767个字。"},
                                                  {106, "Excel文件内容不正确，共享文字超过五十万条。"},
                                                  {107, "Excel文件内容不正确，单元格格式超过65536种。"}};
    return IO_ns::IOError_cl(line, __FILE__, XlsxRows_cl::ClassName(), code, table, int32_t(std::size(table)),
                             remark);
}

// The value of the attribute of that local name, whatever its namespace prefix.
QString Attribute(const QXmlStreamReader& xml, QStringView name) {
    for (const QXmlStreamAttribute& attribute : xml.attributes()) {
        if (attribute.name() == name) return attribute.value().toString();
    }
    return QString();
}

// The column of a cell reference ("AB12" gives 27), from 0; -1 when the reference is no
// column of at most three letters followed by a row number.
int32_t ColumnOf(const QString& reference) {
    int32_t column = 0;
    qsizetype i = 0;
    for (; i < reference.size() && i < 4 && reference[i] >= u'A' && reference[i] <= u'Z'; ++i)
        column = column * 26 + (reference[i].unicode() - u'A' + 1);
    if (i == 0 || i > 3 || i == reference.size() || reference[i] < u'1' || reference[i] > u'9') return -1;
    return column - 1;
}

// Whether a number format shows a date or time: the built-in ones, or a format code
// with day, month, year, hour or second letters outside quoted text and brackets.
bool IsDateFormat(int32_t id, const QString& code) {
    if ((id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) || (id >= 50 && id <= 58))
        return true;
    bool quoted = false;
    int32_t bracket = 0;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i].toLower();
        if (c == u'"') quoted = !quoted;
        else if (quoted) continue;
        else if (c == u'\\') ++i;
        else if (c == u'[') ++bracket;
        else if (c == u']') bracket = std::max(0, bracket - 1);
        else if (bracket == 0 && (c == u'y' || c == u'm' || c == u'd' || c == u'h' || c == u's')) return true;
    }
    return false;
}

// A workbook's day count as the time it stands for; the text itself when it is none.
QString DayCountText(const QString& text) {
    bool number = false;
    const double days = text.toDouble(&number);
    // Day counts from 1900-03-01 on are OLE dates; the ones before are off by a day.
    if (!number || !(days >= 61 && days < 2958466)) return text;
    // Whole seconds: a stored 0.5 second would otherwise round differently per reader.
    return Base_ns::DateTime_cl(std::round(days * 86400.0) / 86400.0).Format();
}

}  // namespace

bool XlsxRows_cl::LooksLikeZip(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(4) == QByteArray("PK\x03\x04", 4);
}

XlsxRows_cl::XlsxRows_cl(const QString& path) : path(path) {
    sheetPath = FirstSheetPath();
    ReadSharedStrings();
    ReadDateStyles();
    Rewind();
}

XlsxRows_cl::~XlsxRows_cl() = default;

QString XlsxRows_cl::Where() const {
    return QStringLiteral("第") + QString::number(std::max(row, 1)) + QStringLiteral("行");
}

void XlsxRows_cl::ThrowXmlError(const ZipEntry_cl& entry) {
    entry.Check();
    throw IOError(101, __LINE__,
                  path + QStringLiteral("：") + sheetPath + QStringLiteral("，") + Where() + QStringLiteral("：") +
                      Base_ns::LeftCharacters(xml.errorString(), 60));
}

QString XlsxRows_cl::FirstSheetPath() {
    QString relation;
    {
        ZipEntry_cl workbook(path, QStringLiteral("xl/workbook.xml"));
        QXmlStreamReader reader(&workbook);
        while (!reader.atEnd()) {
            reader.readNext();
            if (relation.isEmpty() && reader.isStartElement() && reader.name() == u"sheet")
                relation = Attribute(reader, u"id");
        }
        workbook.Finish();
    }
    const QString rels = QStringLiteral("xl/_rels/workbook.xml.rels");
    QString target;
    if (!relation.isEmpty() && ZipEntry_cl::Contains(path, rels)) {
        ZipEntry_cl entry(path, rels);
        QXmlStreamReader reader(&entry);
        while (!reader.atEnd()) {
            reader.readNext();
            if (target.isEmpty() && reader.isStartElement() && reader.name() == u"Relationship" &&
                Attribute(reader, u"Id") == relation)
                target = Attribute(reader, u"Target");
        }
        entry.Finish();
    }
    if (target.isEmpty()) return QStringLiteral("xl/worksheets/sheet1.xml");
    return target.startsWith(u'/') ? target.mid(1) : QStringLiteral("xl/") + target;
}

QString XlsxRows_cl::ReadText() {
    QString text;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement()) break;
        if (xml.isStartElement()) {
            xml.raiseError(QStringLiteral("文字中不应有其他元素"));
            break;
        }
        if (xml.isCharacters() || xml.isEntityReference()) text += xml.text();
        if (text.size() > MaxCell) throw IOError(105, __LINE__, path + QStringLiteral("：") + Where());
    }
    return text;
}

QString XlsxRows_cl::ReadRichText() {
    // Runs (<r><t>) join; phonetic hints (<rPh>) are not part of the text.
    QString text;
    int depth = 1;
    bool phonetic = false;
    while (depth > 0 && !xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"t") {
            const QString run = ReadText();
            if (!phonetic) text += run;
            if (text.size() > MaxCell) throw IOError(105, __LINE__, path + QStringLiteral("：") + Where());
        } else if (xml.isStartElement()) {
            ++depth;
            if (xml.name() == u"rPh") phonetic = true;
        } else if (xml.isEndElement()) {
            --depth;
            if (xml.name() == u"rPh") phonetic = false;
        }
    }
    return text;
}

void XlsxRows_cl::ReadSharedStrings() {
    const QString member = QStringLiteral("xl/sharedStrings.xml");
    if (!ZipEntry_cl::Contains(path, member)) return;
    ZipEntry_cl entry(path, member);
    xml.setDevice(&entry);
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement() || xml.name() != u"si") continue;
        if (shared.size() == MaxSharedStrings) throw IOError(106, __LINE__, path + QStringLiteral("：") + member);
        shared.append(ReadRichText());
    }
    if (xml.hasError()) {
        entry.Check();
        throw IOError(101, __LINE__, path + QStringLiteral("：") + member + QStringLiteral("：") +
                                         Base_ns::LeftCharacters(xml.errorString(), 60));
    }
    xml.setDevice(nullptr);
    entry.Finish();
}

void XlsxRows_cl::ReadDateStyles() {
    const QString member = QStringLiteral("xl/styles.xml");
    if (!ZipEntry_cl::Contains(path, member)) return;
    ZipEntry_cl entry(path, member);
    QXmlStreamReader reader(&entry);
    QHash<int32_t, QString> codes;  // the workbook's own number formats
    bool cellStyles = false;
    int32_t style = 0;
    while (!reader.atEnd()) {
        reader.readNext();
        if (codes.size() + style > MaxStyles) throw IOError(107, __LINE__, path + QStringLiteral("：") + member);
        if (reader.isStartElement() && reader.name() == u"numFmt") {
            codes.insert(Attribute(reader, u"numFmtId").toInt(), Attribute(reader, u"formatCode"));
        } else if (reader.name() == u"cellXfs") {
            cellStyles = reader.isStartElement();
        } else if (cellStyles && reader.isStartElement() && reader.name() == u"xf") {
            const int32_t id = Attribute(reader, u"numFmtId").toInt();
            if (IsDateFormat(id, codes.value(id))) dateStyles.insert(style);
            ++style;
        }
    }
    if (reader.hasError()) {
        entry.Check();
        throw IOError(101, __LINE__, path + QStringLiteral("：") + member + QStringLiteral("：") +
                                         Base_ns::LeftCharacters(reader.errorString(), 60));
    }
    entry.Finish();
}

void XlsxRows_cl::Rewind() {
    xml.setDevice(nullptr);
    sheet.reset();
    sheet = std::make_unique<ZipEntry_cl>(path, sheetPath);
    xml.setDevice(sheet.get());
    row = 0;
}

int64_t XlsxRows_cl::Position() const { return sheet ? sheet->Inflated() : 0; }
int64_t XlsxRows_cl::Size() const { return sheet ? sheet->InflatedSize() : 0; }

void XlsxRows_cl::ReadCell(QStringList& cells) {
    const QString reference = Attribute(xml, u"r");
    const int32_t column = reference.isEmpty() ? int32_t(cells.size()) : ColumnOf(reference);
    // Cells come left to right, each once: anything else is no sheet a program wrote.
    if (column < cells.size() || column >= MaxColumns)
        throw IOError(104, __LINE__, path + QStringLiteral("：") + Where() + QStringLiteral("：") +
                                         Base_ns::LeftCharacters(reference, 20));
    const QString type = Attribute(xml, u"t");
    const QString styleText = Attribute(xml, u"s");
    QString value;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isEndElement() && xml.name() == u"c") break;
        if (!xml.isStartElement()) continue;
        if (xml.name() == u"v") value = ReadText();
        else if (xml.name() == u"is") value = ReadRichText();
    }
    if (type == u"s") {
        bool ok = false;
        const int index = value.toInt(&ok);
        if (!ok || index < 0 || index >= shared.size()) throw IOError(102, __LINE__, path + QStringLiteral("：") + Where());
        value = shared[index];
    } else if ((type.isEmpty() || type == u"n") && dateStyles.contains(styleText.toInt())) {
        value = DayCountText(value);
    }
    while (column > cells.size()) cells.append(QString());
    cells.append(value.trimmed());
}

bool XlsxRows_cl::Next(QStringList& cells, int32_t& line) {
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement() || xml.name() != u"row") continue;
        // Rows without a number follow the one before, as spreadsheets read them.
        const QString number = Attribute(xml, u"r");
        bool ok = true;
        const int32_t next = number.isEmpty() ? row + 1 : number.toInt(&ok);
        if (!ok || next <= row || next > MaxRows)
            throw IOError(103, __LINE__, path + QStringLiteral("：") + Where() + QStringLiteral("之后：") +
                                             Base_ns::LeftCharacters(number, 20));
        row = next;
        line = row;
        cells.clear();
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isEndElement() && xml.name() == u"row") break;
            if (xml.isStartElement() && xml.name() == u"c") ReadCell(cells);
        }
        if (xml.hasError()) ThrowXmlError(*sheet);
        return true;
    }
    if (xml.hasError()) ThrowXmlError(*sheet);
    sheet->Finish();
    return false;
}

}  // namespace Import_ns
