#include "Text.h"

#include <QTextBoundaryFinder>

namespace Base_ns {

QString IntToText(int32_t value) { return QString::number(value); }

bool HasIllegalSqlChar(const QString& text) { return text.contains(u'\''); }

bool HasIllegalQuotedChar(const QString& text) { return text.contains(u'"'); }

bool HasIllegalUnquotedChar(const QString& text) { return text.contains(u';'); }

int32_t CharacterCount(const QString& text) {
    int32_t count = 0;
    for (const QChar unit : text) count += unit.isLowSurrogate() ? 0 : 1;
    return count;
}

QString LeftCharacters(const QString& text, int32_t count) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype end = 0;
    int32_t taken = 0;
    for (qsizetype next = finder.toNextBoundary(); next > 0; next = finder.toNextBoundary()) {
        taken += CharacterCount(text.mid(end, next - end));
        if (taken > count) break;
        end = next;
    }
    return text.left(end);
}

}  // namespace Base_ns
