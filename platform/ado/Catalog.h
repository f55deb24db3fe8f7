#pragma once

#include <QString>

namespace Ado_ns {

// Creating database files.
class Catalog_cl {
public:
    // Creates an empty database file as the connection string describes it (only the
    // local provider creates files), protected by its database password. Refuses an
    // existing file with DataSourceExists. Throws ProviderError_cl.
    static void Create(const QString& connectionString);
};

}  // namespace Ado_ns
