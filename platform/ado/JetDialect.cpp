#include "JetDialect.h"

#include "ProviderError.h"
#include "base/DateTime.h"

namespace Ado_ns {

namespace {

const QString kNow = QStringLiteral("(datetime('now','localtime'))");
const QString kToday = QStringLiteral("(datetime('now','localtime','start of day'))");
const QString kTimeOfDay = QStringLiteral("(strftime('1899-12-30 %H:%M:%S','now','localtime'))");
const QString kCounter = QStringLiteral("integer primary key autoincrement");

bool IsWordChar(QChar c) { return c.isLetterOrNumber() || c == u'_'; }

// One pass over a Jet statement; every position counts UTF-16 units of sql.
class Translator {
public:
    explicit Translator(const QString& sql) : s(sql) {}

    // Statements are translated one by one as they run, imports by the thousand: what
    // stays is copied in whole runs, and a statement with nothing to translate is shared.
    QString Run(qsizetype from, qsizetype to) const {
        QString out;
        qsizetype copied = from;  // s[copied, i) is still to be copied as it is
        for (qsizetype i = from; i < to;) {
            qsizetype end = TokenEnd(i, to);
            const QChar c = s[i];
            QString replacement;
            if (c == u'#')
                replacement = DateLiteral(i, end);
            else if (IsWordChar(c) && !c.isDigit() && (i == 0 || s[i - 1] != u'.'))
                replacement = Word(i, end, to);
            if (!replacement.isNull()) {
                out += QStringView(s).mid(copied, i - copied);
                out += replacement;
                copied = end;
            }
            i = end;
        }
        if (copied == from)
            return s.mid(from, to - from);
        out += QStringView(s).mid(copied, to - copied);
        return out;
    }

private:
    // The end of the token at i: a quoted text, a bracketed name, a date literal, a word,
    // or a single character.
    qsizetype TokenEnd(qsizetype i, qsizetype to) const {
        const QChar c = s[i];
        if (c == u'\'' || c == u'"') {
            qsizetype j = i + 1;
            for (; j < to; ++j) {
                if (s[j] == c) {
                    if (j + 1 < to && s[j + 1] == c) {
                        ++j;  // a doubled quote stands for one
                        continue;
                    }
                    return j + 1;
                }
            }
            return to;
        }
        if (c == u'[' || c == u'#') {
            const qsizetype close = s.indexOf(c == u'[' ? u']' : u'#', i + 1);
            return close < 0 || close >= to ? to : close + 1;
        }
        if (IsWordChar(c)) {
            qsizetype j = i + 1;
            while (j < to && IsWordChar(s[j]))
                ++j;
            return j;
        }
        return i + 1;
    }

    qsizetype SkipSpace(qsizetype i, qsizetype to) const {
        while (i < to && s[i].isSpace())
            ++i;
        return i;
    }

    bool WordAt(qsizetype i, qsizetype to, QStringView word) const {
        const qsizetype end = i + word.size();
        return end <= to && QStringView(s).mid(i, word.size()).compare(word, Qt::CaseInsensitive) == 0 &&
               (end == to || !IsWordChar(s[end]));
    }

    // The position after "( )" starting at i, or -1 when there is no empty argument list.
    qsizetype EmptyCall(qsizetype i, qsizetype to) const {
        i = SkipSpace(i, to);
        if (i >= to || s[i] != u'(')
            return -1;
        i = SkipSpace(i + 1, to);
        return i < to && s[i] == u')' ? i + 1 : -1;
    }

    QString DateLiteral(qsizetype i, qsizetype end) const {
        const QString text = s.mid(i, end - i);
        const Base_ns::DateTime_cl value =
            text.size() >= 2 && text.endsWith(u'#') ? Base_ns::DateTime_cl::Parse(text.mid(1, text.size() - 2))
                                                    : Base_ns::DateTime_cl::MakeInvalid();
        if (!value.IsValid())
            throw ProviderError_cl(Result_ns::ErrorsInCommand,
                                   QStringLiteral("Syntax error in date in query expression '%1'.").arg(text));
        return u'\'' + value.Format() + u'\'';
    }

    // The translation of the word s[i, end), which may take in what follows it by moving
    // end; a null text for a word that stays as it is.
    QString Word(qsizetype i, qsizetype& end, qsizetype to) const {
        const QStringView word = QStringView(s).mid(i, end - i);
        auto is = [&word](QStringView name) {
            return word.size() == name.size() && word.compare(name, Qt::CaseInsensitive) == 0;
        };
        if (is(u"date")) {
            const qsizetype call = EmptyCall(end, to);
            if (call < 0)
                return QString();
            const qsizetype plus = SkipSpace(call, to);
            if (plus < to && s[plus] == u'+') {
                const qsizetype time = SkipSpace(plus + 1, to);
                const qsizetype timeCall = WordAt(time, to, u"time") ? EmptyCall(time + 4, to) : -1;
                if (timeCall >= 0) {
                    end = timeCall;
                    return kNow;
                }
            }
            end = call;
            return kToday;
        }
        if (is(u"now") || is(u"time")) {
            const qsizetype call = EmptyCall(end, to);
            if (call < 0)
                return QString();
            end = call;
            return is(u"now") ? kNow : kTimeOfDay;
        }
        if (is(u"counter")) {
            qsizetype j = SkipSpace(end, to);
            if (j < to && s[j] == u'(') {
                const qsizetype close = s.indexOf(u')', j);
                j = close < 0 || close >= to ? to : close + 1;  // seed and increment
            }
            end = j;
            j = SkipSpace(j, to);
            if (WordAt(j, to, u"primary")) {
                const qsizetype key = SkipSpace(j + 7, to);
                if (WordAt(key, to, u"key"))
                    end = key + 3;
            }
            return kCounter;
        }
        if (is(u"default")) {
            const qsizetype exprEnd = DefaultEnd(end, to);
            const QString expr = Run(end, exprEnd).trimmed();
            end = exprEnd;
            return QStringLiteral("default (%1)").arg(expr);
        }
        return QString();
    }

    // The end of the default expression starting at i: before a "," or ")" that closes
    // the column, or before a constraint word; trailing blanks are left outside.
    qsizetype DefaultEnd(qsizetype i, qsizetype to) const {
        static const char16_t* const stops[] = {u"not", u"null", u"primary", u"unique", u"check",
                                                u"references", u"constraint", u"collate"};
        int depth = 0;
        qsizetype last = i;
        for (qsizetype j = SkipSpace(i, to); j < to; j = SkipSpace(j, to)) {
            const QChar c = s[j];
            if (depth == 0 && (c == u',' || c == u')'))
                break;
            if (depth == 0 && last != i && IsWordChar(c)) {
                bool stop = false;
                for (const char16_t* word : stops)
                    stop = stop || WordAt(j, to, word);
                if (stop)
                    break;
            }
            depth += c == u'(' ? 1 : c == u')' ? -1 : 0;
            j = TokenEnd(j, to);
            last = j;
        }
        return last;
    }

    const QString& s;
};

}  // namespace

QString JetDialect_cl::Translate(const QString& sql) { return Translator(sql).Run(0, sql.size()); }

}  // namespace Ado_ns
