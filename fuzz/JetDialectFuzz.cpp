// The Jet dialect translation: any text translates or is refused as a provider error, and
// text between quotes or brackets is never touched.
#include "Property.h"
#include "platform/ado/JetDialect.h"
#include "platform/ado/ProviderError.h"

using Ado_ns::JetDialect_cl;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        (void)JetDialect_cl::Translate(text);
    } catch (const Ado_ns::ProviderError_cl&) {
    }
    // The same text as a literal and as a bracketed name passes through unchanged.
    QString literal = text;
    literal.replace(u'\'', QStringLiteral("''"));
    literal = u'\'' + literal + u'\'';
    const QString statement = QStringLiteral("select ") + literal + QStringLiteral(" from t where d=#2024-02-01#");
    const QString translated = JetDialect_cl::Translate(statement);
    Fuzz_ns::Require(translated.startsWith(QStringLiteral("select ") + literal + QStringLiteral(" from t where d=")),
                     "quoted text is kept as written");
    if (!text.contains(u']')) {
        const QString name = u'[' + text + u']';
        Fuzz_ns::Require(JetDialect_cl::Translate(QStringLiteral("select ") + name).endsWith(name),
                         "bracketed names are kept as written");
    }
    return 0;
}
