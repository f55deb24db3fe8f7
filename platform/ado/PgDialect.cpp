#include "PgDialect.h"

#include <QList>
#include <iterator>

namespace Ado_ns {

namespace {

bool IsWordChar(QChar c) { return c.isLetterOrNumber() || c == u'_' || c == u'@'; }

const QString kNow = QStringLiteral("localtimestamp(0)");
const QString kStyle120 = QStringLiteral("'YYYY-MM-DD HH24:MI:SS'");

// One pass over a statement; a parenthesised part is translated as a scope of its own, so
// that "top" inside a sub-query puts its limit at the end of that sub-query.
class Translator {
public:
    explicit Translator(const QString& sql) : s(sql) {}

    QString Run(qsizetype from, qsizetype to) const {
        QString out;
        QString limit;
        qsizetype previous = -1;  // start of the last token that is not blank
        for (qsizetype i = from; i < to;) {
            qsizetype end = TokenEnd(i, to);
            const QChar c = s[i];
            if (c.isSpace()) {
                out += QStringView(s).mid(i, end - i);
                i = end;
                continue;
            }
            if (c == u'[') {
                out += u'"' + s.mid(i + 1, end - i - 2).replace(u'"', QStringLiteral("\"\"")) + u'"';
            } else if (c == u'(') {
                out += u'(' + Run(i + 1, end - 1) + u')';
            } else if (c == u'+' && Concatenates(previous, end, to)) {
                out += QStringLiteral("||");
            } else if (IsWordChar(c) && !c.isDigit() && (i == 0 || s[i - 1] != u'.')) {
                out += Word(i, end, to, limit);
            } else {
                out += QStringView(s).mid(i, end - i);
            }
            previous = i;
            i = end;
        }
        if (!limit.isEmpty()) out += QStringLiteral(" limit ") + limit;
        return out;
    }

private:
    // The end of the token at i: a quoted text or name, a bracketed name, a parenthesised
    // part, a word, a run of blanks or a single character.
    qsizetype TokenEnd(qsizetype i, qsizetype to) const {
        const QChar c = s[i];
        if (c == u'\'' || c == u'"') {
            for (qsizetype j = i + 1; j < to; ++j) {
                if (s[j] != c) continue;
                if (j + 1 < to && s[j + 1] == c) {
                    ++j;  // a doubled quote stands for one
                    continue;
                }
                return j + 1;
            }
            return to;
        }
        if (c == u'[') {
            const qsizetype close = s.indexOf(u']', i + 1);
            return close < 0 || close >= to ? to : close + 1;
        }
        if (c == u'(') {
            int depth = 0;
            for (qsizetype j = i; j < to; j = (s[j] == u'\'' || s[j] == u'"' || s[j] == u'[') ? TokenEnd(j, to) : j + 1) {
                if (s[j] == u'(') ++depth;
                if (s[j] == u')' && --depth == 0) return j + 1;
            }
            return to;
        }
        qsizetype j = i + 1;
        if (IsWordChar(c))
            while (j < to && IsWordChar(s[j])) ++j;
        else if (c.isSpace())
            while (j < to && s[j].isSpace()) ++j;
        return j;
    }

    qsizetype SkipSpace(qsizetype i, qsizetype to) const {
        while (i < to && s[i].isSpace()) ++i;
        return i;
    }

    bool IsQuoted(qsizetype i) const { return i >= 0 && i < s.size() && s[i] == u'\''; }

    // A "+" with a quoted text on either side joins texts.
    bool Concatenates(qsizetype previous, qsizetype next, qsizetype to) const {
        return IsQuoted(previous) || IsQuoted(SkipSpace(next, to));
    }

    bool Is(qsizetype i, qsizetype end, QStringView name) const {
        return end - i == name.size() && QStringView(s).mid(i, end - i).compare(name, Qt::CaseInsensitive) == 0;
    }

    // The arguments of the call whose "(" is at open and whose ")" ends before close,
    // split at the commas outside inner parentheses, each translated.
    QList<QString> Arguments(qsizetype open, qsizetype close) const {
        QList<QString> arguments;
        qsizetype start = open + 1;
        for (qsizetype j = start; j < close - 1;) {
            if (s[j] == u',') {
                arguments.append(Run(start, j).trimmed());
                start = ++j;
                continue;
            }
            j = TokenEnd(j, close - 1);
        }
        arguments.append(Run(start, close - 1).trimmed());
        return arguments;
    }

    // The word s[i, end) translated; end may move over what the word takes in.
    QString Word(qsizetype i, qsizetype& end, qsizetype to, QString& limit) const {
        const QString word = s.mid(i, end - i);
        const qsizetype open = SkipSpace(end, to);
        const bool call = open < to && s[open] == u'(';
        const qsizetype close = call ? TokenEnd(open, to) : -1;
        if (Is(i, end, u"nvarchar")) return QStringLiteral("varchar");
        if (Is(i, end, u"nchar")) return QStringLiteral("char");
        if (Is(i, end, u"datetime")) return QStringLiteral("timestamp(0)");
        if (Is(i, end, u"isnull") && call) return QStringLiteral("coalesce");
        if (Is(i, end, u"len") && call) return QStringLiteral("length");
        if (Is(i, end, u"getdate") && call && SkipSpace(open + 1, to) == close - 1) {
            end = close;
            return kNow;
        }
        if (Is(i, end, u"identity") && call) {
            const QList<QString> seed = Arguments(open, close);
            end = close;
            if (seed.size() != 2) return QStringLiteral("generated by default as identity");
            return QStringLiteral("generated by default as identity (start with %1 increment by %2)").arg(seed[0], seed[1]);
        }
        if (Is(i, end, u"datename") && call) {
            const QList<QString> arguments = Arguments(open, close);
            if (arguments.size() == 2) {
                end = close;
                return QStringLiteral("to_char(%1, %2)").arg(arguments[1], DatePart(arguments[0]));
            }
        }
        if (Is(i, end, u"charindex") && call) {
            // SQL Server's default collation ignores case; so does the translation.
            const QList<QString> arguments = Arguments(open, close);
            if (arguments.size() == 2) {
                end = close;
                return QStringLiteral("strpos(lower(%1), lower(%2))").arg(arguments[1], arguments[0]);
            }
        }
        if (Is(i, end, u"convert") && call) {
            const QList<QString> arguments = Arguments(open, close);
            if (arguments.size() >= 2) {
                end = close;
                return Convert(arguments);
            }
        }
        if (Is(i, end, u"top")) {
            const qsizetype number = SkipSpace(end, to);
            qsizetype digits = number;
            while (digits < to && s[digits].isDigit()) ++digits;
            if (digits > number) {
                limit = s.mid(number, digits - number);
                end = digits;
                return QString();
            }
        }
        return word;
    }

    // The to_char pattern of a datename part.
    static QString DatePart(const QString& part) {
        const QString p = part.toLower();
        if (p == u"yyyy" || p == u"yy" || p == u"year") return QStringLiteral("'YYYY'");
        if (p == u"q" || p == u"qq" || p == u"quarter") return QStringLiteral("'Q'");
        if (p == u"m" || p == u"mm" || p == u"month") return QStringLiteral("'FMMonth'");
        if (p == u"d" || p == u"dd" || p == u"day") return QStringLiteral("'FMDD'");
        if (p == u"hh" || p == u"hour") return QStringLiteral("'FMHH24'");
        if (p == u"mi" || p == u"n" || p == u"minute") return QStringLiteral("'FMMI'");
        if (p == u"ss" || p == u"s" || p == u"second") return QStringLiteral("'FMSS'");
        return u'\'' + part + u'\'';
    }

    // convert(type, value[, style]): style 120 (and 121, 20, 23) is the ISO text, cut to
    // the length of the character type; without a style it is a cast. Another style is
    // left as written, for the server to refuse: a cast would give the ISO text for it.
    static QString Convert(const QList<QString>& arguments) {
        const QString type = arguments[0];
        const QString style = arguments.size() > 2 ? arguments[2] : QString();
        if (!style.isEmpty() && style != u"120" && style != u"121" && style != u"20" && style != u"23")
            return QStringLiteral("convert(%1)").arg(arguments.join(QStringLiteral(", ")));
        if (!style.isEmpty()) {
            const qsizetype open = type.indexOf(u'(');
            const QString length = open < 0 ? QStringLiteral("30") : type.mid(open + 1, type.size() - open - 2).trimmed();
            // A length that ends a field asks only for the fields before it: the server
            // then formats those alone, not the whole text to cut it down again.
            static const char* const whole[] = {"YYYY", "YYYY-MM", "YYYY-MM-DD", "YYYY-MM-DD HH24", "YYYY-MM-DD HH24:MI",
                                                "YYYY-MM-DD HH24:MI:SS"};
            static const int lengths[] = {4, 7, 10, 13, 16, 19};
            for (size_t i = 0; i < std::size(lengths); ++i) {
                if (length == QString::number(lengths[i]))
                    return QStringLiteral("to_char(%1, '%2')").arg(arguments[1], QLatin1String(whole[i]));
            }
            return QStringLiteral("substr(to_char(%1, %2), 1, %3)").arg(arguments[1], kStyle120, length);
        }
        return QStringLiteral("cast(%1 as %2)").arg(arguments[1], type);
    }

    const QString& s;
};

}  // namespace

QString PgDialect_cl::Translate(const QString& sql) { return Translator(sql).Run(0, sql.size()); }

}  // namespace Ado_ns
