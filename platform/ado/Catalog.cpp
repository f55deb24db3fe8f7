#include "Catalog.h"

#include "ConnectionString.h"
#include "JetEngine.h"
#include "ProviderError.h"

namespace Ado_ns {

void Catalog_cl::Create(const QString& connectionString) {
    const ConnectionString_cl settings(connectionString);
    const QString provider = settings.Value(QStringLiteral("Provider"));
    if (provider.compare(ProviderName_ns::Jet, Qt::CaseInsensitive) != 0)
        throw ProviderError_cl(Result_ns::FeatureNotAvailable,
                               QStringLiteral("Object or provider is not capable of performing requested operation."));
    JetEngine_cl::Create(settings);
}

}  // namespace Ado_ns
