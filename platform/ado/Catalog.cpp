#include "Catalog.h"

#include "ProviderError.h"

namespace Ado_ns {

void Catalog_cl::Create(const QString& connectionString) {
    Q_UNUSED(connectionString);
    throw ProviderError_cl(Result_ns::ProviderNotFound, QStringLiteral("Provider cannot be found. It may not be properly installed."));
}

}  // namespace Ado_ns
