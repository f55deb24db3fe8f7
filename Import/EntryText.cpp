#include "Import/EntryText.h"

#include "Window/ConvertInfo.h"

namespace Import_ns {

QString Clip(const QString& text, qsizetype units) {
    if (text.size() <= units) return text;
    if (units > 0 && text[units - 1].isHighSurrogate()) --units;
    return text.left(units);
}

QString WithoutApostrophe(QString text) { return text.replace(u'\'', u'\u2019'); }

bool ReadAmount(QString text, int64_t& hundredths) {
    text.remove(u'¥').remove(u'￥').remove(u',').remove(u' ');
    if (text.isEmpty() || text == u"/") {
        hundredths = 0;
        return true;
    }
    int32_t cents = 0;
    if (!Vorelle_ns::ConvertInfo_cl::TextToMoney(text, cents)) return false;
    hundredths = cents;
    return true;
}

}  // namespace Import_ns
