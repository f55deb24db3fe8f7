// Connection strings: any text parses or is refused as malformed, and the strings the
// program builds from values its checks accept give those values back exactly.
#include "DB/LocalDB.h"
#include "DB/SQLServerDB.h"
#include "Property.h"
#include "base/Text.h"
#include "platform/ado/ConnectionString.h"
#include "platform/ado/ProviderError.h"

#include <QStringList>

using Ado_ns::ConnectionString_cl;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const ConnectionString_cl parsed(text);
        (void)parsed.Value(QStringLiteral("Data Source"));
    } catch (const Ado_ns::ProviderError_cl&) {
    }
    // Four values split at NUL bytes: user, password, address, database.
    QStringList values = text.split(QChar(0));
    while (values.size() < 4) values.append(QString());
    const QString &user = values[0], &password = values[1], &address = values[2], &database = values[3];
    const auto quotable = [](const QString& value) { return !Base_ns::HasIllegalQuotedChar(value); };
    const auto bare = [&](const QString& value) { return quotable(value) && !Base_ns::HasIllegalUnquotedChar(value); };
    if (quotable(user) && quotable(password) && bare(address) && bare(database)) {
        const ConnectionString_cl server(DB_ns::SQLServerDB_cl::ConnectionString(user, address, database, password));
        Fuzz_ns::Require(server.Value(QStringLiteral("User ID")) == user, "user");
        Fuzz_ns::Require(server.Value(QStringLiteral("Password")) == password, "password");
        Fuzz_ns::Require(server.Value(QStringLiteral("Data Source")) == address, "address");
        Fuzz_ns::Require(server.Value(QStringLiteral("Database")) == database, "database");
    }
    if (quotable(password) && quotable(address)) {
        const ConnectionString_cl local(DB_ns::LocalDB_cl::ConnectionString(password, address));
        Fuzz_ns::Require(local.Value(QStringLiteral("Jet OLEDB:Database Password")) == password, "local password");
        Fuzz_ns::Require(local.Value(QStringLiteral("Data Source")) == address, "local path");
    }
    return 0;
}
