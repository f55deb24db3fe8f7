#include "Import/XlsxRows.h"

#include "IO/IOError.h"
#include "Import/ZipEntry.h"

#include <QFile>

namespace Import_ns {

namespace {

IO_ns::IOError_cl IOError(int32_t code, int32_t line, const QString& remark) {
    static const Base_ns::ErrorInfo_st table[] = {{101, "Excel文件内容不正确，无法读取工作表。"},
                                                  {102, "Excel文件内容不正确，共享文字的编号超出范围。"}};
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

// The column of a cell reference ("AB12" gives 27), from 0; -1 without letters.
int32_t ColumnOf(const QString& reference) {
    int32_t column = 0;
    qsizetype i = 0;
    for (; i < reference.size() && reference[i] >= u'A' && reference[i] <= u'Z'; ++i)
        column = column * 26 + (reference[i].unicode() - u'A' + 1);
    return i == 0 ? -1 : column - 1;
}

}  // namespace

bool XlsxRows_cl::LooksLikeZip(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(4) == QByteArray("PK\x03\x04", 4);
}

XlsxRows_cl::XlsxRows_cl(const QString& path) : path(path) {
    sheetPath = FirstSheetPath();
    ReadSharedStrings();
    Rewind();
}

XlsxRows_cl::~XlsxRows_cl() = default;

QString XlsxRows_cl::FirstSheetPath() {
    QString relation;
    {
        ZipEntry_cl workbook(path, QStringLiteral("xl/workbook.xml"));
        QXmlStreamReader reader(&workbook);
        while (!reader.atEnd() && relation.isEmpty()) {
            reader.readNext();
            if (reader.isStartElement() && reader.name() == u"sheet") relation = Attribute(reader, u"id");
        }
    }
    const QString rels = QStringLiteral("xl/_rels/workbook.xml.rels");
    if (!relation.isEmpty() && ZipEntry_cl::Contains(path, rels)) {
        ZipEntry_cl entry(path, rels);
        QXmlStreamReader reader(&entry);
        while (!reader.atEnd()) {
            reader.readNext();
            if (reader.isStartElement() && reader.name() == u"Relationship" && Attribute(reader, u"Id") == relation) {
                const QString target = Attribute(reader, u"Target");
                return target.startsWith(u'/') ? target.mid(1) : QStringLiteral("xl/") + target;
            }
        }
    }
    return QStringLiteral("xl/worksheets/sheet1.xml");
}

QString XlsxRows_cl::ReadRichText() {
    // Runs (<r><t>) join; phonetic hints (<rPh>) are not part of the text.
    QString text;
    int depth = 1;
    bool phonetic = false;
    while (depth > 0 && !xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == u"t") {
            // Reads up to and with its end element.
            const QString run = xml.readElementText();
            if (!phonetic) text += run;
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
        if (xml.isStartElement() && xml.name() == u"si") shared.append(ReadRichText());
    }
    if (xml.hasError()) throw IOError(101, __LINE__, path + QStringLiteral("：") + member);
    xml.setDevice(nullptr);
}

void XlsxRows_cl::Rewind() {
    xml.setDevice(nullptr);
    sheet = std::make_unique<ZipEntry_cl>(path, sheetPath);
    xml.setDevice(sheet.get());
}

int64_t XlsxRows_cl::Position() const { return sheet ? sheet->Inflated() : 0; }
int64_t XlsxRows_cl::Size() const { return sheet ? sheet->InflatedSize() : 0; }

bool XlsxRows_cl::Next(QStringList& cells, int32_t& line) {
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement() || xml.name() != u"row") continue;
        line = Attribute(xml, u"r").toInt();
        cells.clear();
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isEndElement() && xml.name() == u"row") break;
            if (!xml.isStartElement() || xml.name() != u"c") continue;
            const int32_t column = ColumnOf(Attribute(xml, u"r"));
            const QString type = Attribute(xml, u"t");
            QString value;
            while (!xml.atEnd()) {
                xml.readNext();
                if (xml.isEndElement() && xml.name() == u"c") break;
                if (!xml.isStartElement()) continue;
                if (xml.name() == u"v") value = xml.readElementText();
                else if (xml.name() == u"is") value = ReadRichText();
            }
            if (type == u"s") {
                bool ok = false;
                const int index = value.toInt(&ok);
                if (!ok || index < 0 || index >= shared.size())
                    throw IOError(102, __LINE__, QStringLiteral("第") + QString::number(line) + QStringLiteral("行"));
                value = shared[index];
            }
            while (column > cells.size()) cells.append(QString());
            cells.append(value.trimmed());
        }
        if (xml.hasError()) break;
        return true;
    }
    if (xml.hasError()) throw IOError(101, __LINE__, path + QStringLiteral("：") + xml.errorString());
    return false;
}

}  // namespace Import_ns
