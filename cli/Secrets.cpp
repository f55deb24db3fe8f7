#include "Secrets.h"

#include <QtGlobal>

namespace Cli_ns {

namespace {

QString Take(const char* name) {
    const QString value = qEnvironmentVariable(name);
    qunsetenv(name);
    return value;
}

}  // namespace

Secrets_st Secrets_st::TakeFromEnvironment() {
    Secrets_st secrets;
    secrets.bookPassword = Take("VORELLE_BOOK_PASSWORD");
    secrets.password = Take("VORELLE_PASSWORD");
    secrets.newPassword = Take("VORELLE_NEW_PASSWORD");
    return secrets;
}

}  // namespace Cli_ns
