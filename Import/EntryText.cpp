#include "Import/EntryText.h"

#include "Data/RecordFile.h"
#include "Window/ConvertInfo.h"
#include "base/Text.h"

namespace Import_ns {

QString ClipName(const QString& text) { return Base_ns::LeftCharacters(text, Vorelle_ns::RecordFile_cl::MaxName); }

QString ClipComment(const QString& text) {
    return Base_ns::LeftCharacters(text, Vorelle_ns::RecordFile_cl::MaxComment);
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
