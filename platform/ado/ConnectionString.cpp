#include "ConnectionString.h"

#include "ProviderError.h"

namespace Ado_ns {

namespace {

[[noreturn]] void Malformed(qsizetype index) {
    throw ProviderError_cl(Result_ns::Fail, QStringLiteral("The connection string is malformed at index %1.").arg(index));
}

}  // namespace

ConnectionString_cl::ConnectionString_cl(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const qsizetype start = i;
        const qsizetype equals = text.indexOf(u'=', i);
        const qsizetype semicolon = text.indexOf(u';', i);
        if (semicolon >= 0 && (equals < 0 || semicolon < equals)) {
            if (!text.mid(i, semicolon - i).trimmed().isEmpty())
                Malformed(start);  // a piece without "="
            i = semicolon + 1;
            continue;
        }
        if (equals < 0) {
            if (!text.mid(i).trimmed().isEmpty())
                Malformed(start);
            break;
        }
        Pair_st pair{text.mid(i, equals - i).trimmed(), QString()};
        if (pair.key.isEmpty())
            Malformed(start);
        i = equals + 1;
        while (i < n && text[i].isSpace())
            ++i;
        if (i < n && (text[i] == u'"' || text[i] == u'\'')) {
            const QChar quote = text[i++];
            for (;; ++i) {
                if (i >= n)
                    Malformed(start);  // no closing quote
                if (text[i] == quote) {
                    if (i + 1 < n && text[i + 1] == quote) {
                        pair.value.append(quote);
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                pair.value.append(text[i]);
            }
            while (i < n && text[i].isSpace())
                ++i;
            if (i < n && text[i] != u';')
                Malformed(start);  // text after the closing quote
        } else {
            const qsizetype end = semicolon < 0 ? n : semicolon;
            pair.value = text.mid(i, end - i).trimmed();
            i = end;
        }
        pairs.Append(pair);
        ++i;  // past the ";"
    }
}

QString ConnectionString_cl::Value(const QString& key) const {
    for (auto id = pairs.First(); !id.IsEmpty(); id.Next())
        if (id.Get().key.compare(key, Qt::CaseInsensitive) == 0)
            return id.Get().value;
    return QString();
}

}  // namespace Ado_ns
