#include "Text.h"

#include <QTextBoundaryFinder>

namespace Base_ns {

QString IntToText(int32_t value) { return QString::number(value); }

bool HasIllegalSqlChar(const QString& text) { return text.contains(u'\''); }

bool HasIllegalQuotedChar(const QString& text) { return text.contains(u'"'); }

bool HasIllegalUnquotedChar(const QString& text) { return text.contains(u';'); }

int32_t CharacterCount(const QString& text) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int32_t count = 0;
    while (finder.toNextBoundary() > 0) ++count;
    return count;
}

QString LeftCharacters(const QString& text, int32_t count) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype end = 0;
    for (int32_t i = 0; i < count; ++i) {
        const qsizetype next = finder.toNextBoundary();
        if (next < 0) break;
        end = next;
    }
    return text.left(end);
}

}  // namespace Base_ns
