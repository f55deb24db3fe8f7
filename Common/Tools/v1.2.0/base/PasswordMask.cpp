#include "PasswordMask.h"

#include <QRegularExpression>
#include <QStringList>

namespace Base_ns {

namespace {

constexpr QStringView kMask = u"***";

bool IsPasswordName(QStringView name) { return name.contains(u"password", Qt::CaseInsensitive) || name.trimmed().compare(u"pwd", Qt::CaseInsensitive) == 0; }

// "[password] = 'x'" and "password<>'x'": the quoted value after a password column.
QString MaskComparisons(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral(R"((\[?\w*password\w*\]?\s*(?:=|<>)\s*)'(?:[^']|'')*')"),
                                            QRegularExpression::CaseInsensitiveOption);
    QString masked = text;
    return masked.replace(pattern, QStringLiteral("\\1'***'"));
}

// "Password=x;", "Jet OLEDB:Database Password=\"x\"", "PWD={x}": connection-string values.
QString MaskSettings(const QString& text) {
    static const QRegularExpression pattern(
        QStringLiteral(R"(((?:password|pwd)\s*=\s*)("[^"]*"?|\{[^}]*\}?|[^'\s;][^;\r\n]*))"),
        QRegularExpression::CaseInsensitiveOption);
    QString masked = text;
    return masked.replace(pattern, QStringLiteral("\\1***"));
}

// Splits a values list at the commas outside quotes; end is where the closing
// parenthesis stands (or the text's end).
QList<std::pair<qsizetype, qsizetype>> SplitValues(const QString& text, qsizetype from, qsizetype& end) {
    QList<std::pair<qsizetype, qsizetype>> spans;
    bool quoted = false;
    int depth = 0;
    qsizetype start = from;
    for (end = from; end < text.size(); ++end) {
        const QChar c = text[end];
        if (c == u'\'') quoted = !quoted;
        if (quoted) continue;
        if (c == u'(') ++depth;
        if (c == u')' && depth-- == 0) break;
        if (c == u',' && depth == 0) {
            spans.append({start, end - start});
            start = end + 1;
        }
    }
    spans.append({start, end - start});
    return spans;
}

// "insert into t(a,[password]) values('x','y')": the value in a password column's place.
QString MaskInsertValues(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral(R"(insert\s+into\s+[\w\[\]]+\s*\(([^)]*)\)\s*values\s*\()"),
                                            QRegularExpression::CaseInsensitiveOption);
    QString masked = text;
    qsizetype from = 0;
    for (;;) {
        const QRegularExpressionMatch match = pattern.match(masked, from);
        if (!match.hasMatch()) return masked;
        const QStringList columns = match.captured(1).split(u',');
        qsizetype end = 0;
        const auto values = SplitValues(masked, match.capturedEnd(), end);
        // Replaced from the last so that earlier positions stay valid.
        for (qsizetype i = std::min(columns.size(), values.size()) - 1; i >= 0; --i) {
            if (IsPasswordName(columns[i])) masked.replace(values[i].first, values[i].second, kMask.toString());
        }
        from = match.capturedEnd();
    }
}

}  // namespace

QString MaskPasswords(const QString& text) { return MaskSettings(MaskComparisons(MaskInsertValues(text))); }

}  // namespace Base_ns
