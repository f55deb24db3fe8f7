#include "QtTranslator.h"

#include <cstring>

QString QtTranslator_cl::translate(const char* context, const char* sourceText, const char* disambiguation,
                                   int n) const {
    const QString text = QTranslator::translate(context, sourceText, disambiguation, n);
    if (!text.isEmpty() || context == nullptr || std::strcmp(context, "QAbstractFileIconProvider") != 0) return text;
    return QTranslator::translate("QFileDialog", sourceText, disambiguation, n);
}
