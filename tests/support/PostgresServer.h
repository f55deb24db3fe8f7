#pragma once

#include <QString>
#include <QStringList>

// A throwaway PostgreSQL cluster for tests and benchmarks: initdb in a temporary folder
// (as the "postgres" system user when running as root), a free port on 127.0.0.1, the
// socket in the folder, logins by password over TCP. Stopped and removed when destroyed;
// stopped too when the program crashes or is stopped by a signal, and its folder removed
// by the next start in any program. Nothing here touches a server that was running before.
class PostgresServer_cl {
public:
    PostgresServer_cl() = default;
    ~PostgresServer_cl();
    PostgresServer_cl(const PostgresServer_cl&) = delete;
    PostgresServer_cl& operator=(const PostgresServer_cl&) = delete;

    // Makes and starts the cluster; false with Why() telling what failed.
    bool Start();
    // Stops the server at once (as a crash or a power cut would), keeping its files;
    // Resume starts it again on the same port.
    bool Stop();
    bool Resume();
    // Stops the server and removes its folder.
    void Discard();
    bool IsRunning() const { return running; }
    const QString& Why() const { return why; }

    // The folder of the cluster, its socket and its log.
    const QString& Folder() const { return folder; }
    // "127.0.0.1:port", as a link's server address.
    QString Address() const;
    int Port() const { return port; }

    // Runs sql with psql as the cluster's superuser in database; false with Why().
    bool Psql(const QString& sql, const QString& database = QStringLiteral("postgres"), QString* output = nullptr);
    // A login with a password and an empty database it owns, made afresh.
    bool MakeBook(const QString& login, const QString& password, const QString& database);

    // One server for a whole test program, started on first use and stopped at exit.
    static PostgresServer_cl& Shared();

private:
    // Runs a server program, as the postgres user when needed; false with Why().
    bool Run(const QString& program, const QStringList& arguments, QString* output = nullptr, int timeoutMs = 120000);
    void Remove();

    QString folder;   // the cluster, the socket and the log
    QString binaries; // the PostgreSQL programs
    int port = 0;
    bool running = false;
    bool asPostgres = false;
    QString why;
};
