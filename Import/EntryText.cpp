#include "Import/EntryText.h"

#include "Data/RecordFile.h"
#include "Window/ConvertInfo.h"
#include "base/Text.h"

#include <QRegularExpression>

namespace Import_ns {

namespace {

// Every character is one code unit or more: a text of no more units than count is
// whole, without finding where its characters end.
QString Clip(const QString& text, int32_t count) {
    return text.size() <= count ? text : Base_ns::LeftCharacters(text, count);
}

}  // namespace

QString ClipName(const QString& text) { return Clip(text, Vorelle_ns::RecordFile_cl::MaxName); }

QString ClipComment(const QString& text) { return Clip(text, Vorelle_ns::RecordFile_cl::MaxComment); }

QString WithoutApostrophe(QString text) { return text.replace(u'\'', u'\u2019'); }

bool ReadAmount(QString text, int64_t& hundredths) {
    text = text.trimmed();
    if (text.isEmpty() || text == u"/") {
        hundredths = 0;
        return true;
    }
    // A sign may stand before the yuan sign ("-¥28.16"), spaces only after it ("¥ 28.16").
    QString sign;
    if (text.startsWith(u'-') || text.startsWith(u'+')) {
        sign = text.left(1);
        text.remove(0, 1);
    }
    if (text.startsWith(u'¥') || text.startsWith(u'￥')) text = text.mid(1).trimmed();
    // Thousands separators only between groups of three digits before the point.
    static const QRegularExpression grouped(QStringLiteral("^[+-]?[0-9]{1,3}(?:,[0-9]{3})+(?:\\.[0-9]*)?$"));
    if (text.contains(u',')) {
        if (!grouped.match(text).hasMatch()) return false;
        text.remove(u',');
    }
    int32_t cents = 0;
    if (!Vorelle_ns::ConvertInfo_cl::TextToMoney(sign + text, cents)) return false;
    hundredths = cents;
    return true;
}

}  // namespace Import_ns
