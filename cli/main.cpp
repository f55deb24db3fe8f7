#include "Cli.h"
#include "Secrets.h"
#include "platform/ado/Environment.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    // The windowed program's name, so that an installed copy keeps Error.log in the same
    // data folder as the windows.
    QCoreApplication::setApplicationName(QStringLiteral("Vorelle"));
    const Cli_ns::Secrets_st secrets = Cli_ns::Secrets_st::TakeFromEnvironment();
    Ado_ns::Environment_cl::Startup();
    const int status = Cli_ns::Cli_cl().Run(QCoreApplication::arguments(), secrets);
    Ado_ns::Environment_cl::Shutdown();
    return status;
}
