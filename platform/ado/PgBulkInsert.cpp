#include "PgBulkInsert.h"

#include <QRegularExpression>

namespace Ado_ns {

namespace {

const QString kMarker = QStringLiteral("?");

bool IsName(const QString& text) {
    static const QRegularExpression name(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return name.match(text).hasMatch();
}

// The values of the row that opens text, split at its own commas, and the length of the
// row with its parentheses; nothing when the row is not closed or holds a marker within
// a longer value.
std::optional<std::pair<QStringList, qsizetype>> FirstRow(const QString& text) {
    if (!text.startsWith(u'(')) return std::nullopt;
    QStringList values;
    qsizetype start = 1;
    int depth = 0;
    bool quoted = false;
    for (qsizetype i = 1; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            quoted = c != u'\'';  // a doubled quote closes and opens again
        } else if (c == u'\'') {
            quoted = true;
        } else if (c == u'(') {
            ++depth;
        } else if (c == u')' && depth > 0) {
            --depth;
        } else if (c == u',' || c == u')') {
            if (depth > 0) continue;
            const QString value = text.mid(start, i - start).trimmed();
            if (value != kMarker && value.contains(kMarker)) return std::nullopt;
            values.append(value);
            start = i + 1;
            if (c == u')') return std::make_pair(values, i + 1);
        }
    }
    return std::nullopt;
}

// A value as an element of an array literal: always quoted, so that no text is read as
// NULL or split at a comma or brace.
bool AppendElement(QString& array, const Variant_st& value) {
    if (value.type == VT_NULL || value.type == VT_EMPTY) {
        array += QStringLiteral("NULL");
        return true;
    }
    QString text;
    if (value.type == VT_R8) {
        text = QString::number(value.real, 'g', 17);
    } else if (value.type == VT_BOOL || !value.ToText(text)) {
        return false;  // true is -1 here, which no boolean reads
    }
    array += u'"';
    for (const QChar c : text) {
        if (c == u'"' || c == u'\\') array += u'\\';
        array += c;
    }
    array += u'"';
    return true;
}

}  // namespace

std::optional<PgBulkInsert_cl> PgBulkInsert_cl::Parse(const QString& sql) {
    static const QRegularExpression head(QStringLiteral("^\\s*insert\\s+into\\s+(\\w+)\\s*\\(([^()]*)\\)\\s*values\\s*"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = head.match(sql);
    if (!match.hasMatch()) return std::nullopt;
    PgBulkInsert_cl shape;
    shape.table = match.captured(1);
    for (const QString& column : match.captured(2).split(u','))
        shape.columns.append(column.trimmed());
    const QString rows = sql.mid(match.capturedEnd()).trimmed();
    const auto first = FirstRow(rows);
    if (!IsName(shape.table) || !first || first->first.size() != shape.columns.size()) return std::nullopt;
    for (const QString& column : shape.columns)
        if (!IsName(column)) return std::nullopt;
    // Every further row is the first one's text again, after a comma.
    const QStringView rowText = QStringView(rows).left(first->second);
    qsizetype at = first->second;
    if (at == rows.size()) return std::nullopt;
    while (at < rows.size()) {
        if (rows[at] != u',' || QStringView(rows).mid(at + 1, rowText.size()) != rowText) return std::nullopt;
        at += 1 + rowText.size();
    }
    shape.row = first->first;
    shape.markers = shape.row.count(kMarker);
    if (shape.markers == 0) return std::nullopt;
    return shape;
}

std::optional<QString> PgBulkInsert_cl::Statement(const QHash<QString, QString>& columnTypes) const {
    QStringList selected, arrays, names;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (row[i] != kMarker) {
            selected.append(row[i]);
            continue;
        }
        const auto type = columnTypes.constFind(columns[i].toLower());
        if (type == columnTypes.cend()) return std::nullopt;
        const QString name = QStringLiteral("v%1").arg(names.size() + 1);
        names.append(name);
        selected.append(QStringLiteral("x.") + name);
        arrays.append(QStringLiteral("cast(? as %1[])").arg(*type));
    }
    return QStringLiteral("insert into %1(%2) select %3 from unnest(%4) as x(%5)")
        .arg(table, columns.join(u','), selected.join(u','), arrays.join(u','), names.join(u','));
}

std::optional<VariantList_tl> PgBulkInsert_cl::Arrays(const VariantList_tl& parameters) const {
    if (parameters.empty() || qsizetype(parameters.size()) % markers != 0) return std::nullopt;
    const size_t rows = parameters.size() / size_t(markers);
    VariantList_tl arrays;
    for (size_t m = 0; m < size_t(markers); ++m) {
        QString array = QStringLiteral("{");
        for (size_t r = 0; r < rows; ++r) {
            if (r > 0) array += u',';
            if (!AppendElement(array, parameters[r * size_t(markers) + m])) return std::nullopt;
        }
        array += u'}';
        arrays.push_back(Variant_st::Text(array));
    }
    return arrays;
}

}  // namespace Ado_ns
