// A test program that crashes while its PostgreSQL server runs: server_crash starts one,
// prints its folder and aborts.
#include "PostgresServer.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    PostgresServer_cl server;
    if (!server.Start()) {
        std::fprintf(stderr, "%s\n", qPrintable(server.Why()));
        return 2;
    }
    std::printf("%s\n", qPrintable(server.Folder()));
    std::fflush(stdout);
    std::abort();
}
