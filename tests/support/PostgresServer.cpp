#include "PostgresServer.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QProcess>
#include <QVersionNumber>
#include <QCoreApplication>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <cerrno>
#include <csignal>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The newest installed server programs, e.g. /usr/lib/postgresql/15/bin.
QString FindBinaries() {
    QDir root(QStringLiteral("/usr/lib/postgresql"));
    QString best;
    QVersionNumber bestVersion;
    for (const QString& entry : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QVersionNumber version = QVersionNumber::fromString(entry);
        if (QFile::exists(root.filePath(entry + QStringLiteral("/bin/initdb"))) && version > bestVersion) {
            bestVersion = version;
            best = root.filePath(entry + QStringLiteral("/bin"));
        }
    }
    return best;
}

// A port the system hands out as free on 127.0.0.1 at this moment.
int FreePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    close(fd);
    return port;
}

const char kFolderPrefix[] = "vorelle-pg-";

// The server's process, as its pid file in the cluster gives it; 0 when there is none.
pid_t ServerProcess(const QString& folder) {
    QFile pidFile(folder + QStringLiteral("/data/postmaster.pid"));
    return pidFile.open(QIODevice::ReadOnly) ? pid_t(pidFile.readLine().trimmed().toLong()) : 0;
}

// Ends a server at once and waits for it; false when it had to be killed.
bool EndServer(pid_t pid, int seconds) {
    if (pid <= 0 || kill(pid, SIGQUIT) != 0) return true;
    for (int i = 0; i < seconds * 100 && kill(pid, 0) == 0; ++i) usleep(10000);
    if (kill(pid, 0) != 0) return true;
    kill(pid, SIGKILL);
    return false;
}

// The servers this process runs, for the handler below; 0 in a free place.
volatile sig_atomic_t runningServers[4] = {};

void Track(pid_t from, pid_t to) {
    for (volatile sig_atomic_t& place : runningServers) {
        if (place != from) continue;
        place = to;
        return;
    }
}

const int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTERM, SIGINT, SIGHUP};
struct sigaction previousActions[std::size(kFatalSignals)];

// A test program that crashes or is stopped takes its server with it, then ends as it
// would have ended: a fault is met again on return and reaches the handler before this
// one, any other signal is raised again for it.
void EndServerWithProgram(int signal) {
    for (const volatile sig_atomic_t& place : runningServers)
        if (place > 0) kill(pid_t(place), SIGQUIT);
    for (size_t i = 0; i < std::size(kFatalSignals); ++i) {
        if (kFatalSignals[i] != signal) continue;
        sigaction(signal, &previousActions[i], nullptr);
        if (signal != SIGSEGV && signal != SIGBUS && signal != SIGFPE && signal != SIGILL) raise(signal);
    }
}

void EndServersWithProgram() {
    static const bool installed = [] {
        struct sigaction action {};
        action.sa_handler = EndServerWithProgram;
        sigemptyset(&action.sa_mask);
        for (size_t i = 0; i < std::size(kFatalSignals); ++i) sigaction(kFatalSignals[i], &action, &previousActions[i]);
        return true;
    }();
    (void)installed;
}

// Whether the program that made folder is gone. A folder that does not say which
// program made it is taken as gone only once it is an hour old: it may be being made.
bool Abandoned(const QString& folder) {
    QFile ownerFile(folder + QStringLiteral("/owner"));
    if (!ownerFile.open(QIODevice::ReadOnly))
        return QFileInfo(folder).lastModified().secsTo(QDateTime::currentDateTime()) > 3600;
    const pid_t owner = pid_t(ownerFile.readAll().trimmed().toLong());
    return owner > 0 && kill(owner, 0) != 0 && errno == ESRCH;
}

// Ends and removes the clusters that test programs which are gone (killed, say) left
// behind. A folder is first renamed, so that of several programs starting at once only
// one takes it.
void SweepAbandoned() {
    QDir temporary(QStringLiteral("/tmp"));
    for (const QString& name : temporary.entryList({QString::fromLatin1(kFolderPrefix) + u'*'}, QDir::Dirs)) {
        const QString folder = temporary.filePath(name);
        const QString taken = QStringLiteral("%1.swept-%2").arg(folder).arg(getpid());
        if (name.contains(u'.') || !Abandoned(folder) || rename(qPrintable(folder), qPrintable(taken)) != 0) continue;
        EndServer(ServerProcess(taken), 10);
        QDir(taken).removeRecursively();
    }
}

}  // namespace

PostgresServer_cl::~PostgresServer_cl() { Discard(); }

void PostgresServer_cl::Discard() {
    Stop();
    Remove();
}

PostgresServer_cl& PostgresServer_cl::Shared() {
    static PostgresServer_cl server;
    static const bool registered = [] {
        // Stopped while the application object still exists; without one, at exit.
        if (QCoreApplication::instance() != nullptr) qAddPostRoutine([] { server.Discard(); });
        return true;
    }();
    (void)registered;
    return server;
}

QString PostgresServer_cl::Address() const { return QStringLiteral("127.0.0.1:%1").arg(port); }

bool PostgresServer_cl::Run(const QString& program, const QStringList& arguments, QString* output, int timeoutMs) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setWorkingDirectory(folder);
    if (asPostgres) {
        process.setProgram(QStringLiteral("runuser"));
        process.setArguments(QStringList{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--"), program} + arguments);
    } else {
        process.setProgram(program);
        process.setArguments(arguments);
    }
    process.start();
    const bool finished = process.waitForStarted() && process.waitForFinished(timeoutMs);
    const QString text = QString::fromLocal8Bit(process.readAll());
    if (output != nullptr) *output = text;
    if (finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0) return true;
    why = QStringLiteral("%1 %2 failed (%3): %4")
              .arg(program, arguments.join(u' '), finished ? QString::number(process.exitCode()) : process.errorString(), text);
    return false;
}

bool PostgresServer_cl::Start() {
    if (running) return true;
    binaries = FindBinaries();
    if (binaries.isEmpty()) {
        why = QStringLiteral("No PostgreSQL server programs under /usr/lib/postgresql: run scripts/install-deps.sh.");
        return false;
    }
    SweepAbandoned();
    char pattern[] = "/tmp/vorelle-pg-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        why = QStringLiteral("Cannot make a temporary folder for the test server.");
        return false;
    }
    folder = QString::fromLocal8Bit(pattern);
    // Which program made the folder, so that a later one can tell when it is abandoned.
    QFile owner(folder + QStringLiteral("/owner"));
    if (!owner.open(QIODevice::WriteOnly) || owner.write(QByteArray::number(getpid())) <= 0 || !owner.flush()) {
        why = QStringLiteral("Cannot write in the test server's folder %1.").arg(folder);
        return false;
    }
    owner.close();
    // The server refuses to run as root: the cluster then belongs to the postgres user.
    asPostgres = geteuid() == 0;
    if (asPostgres) {
        const passwd* user = getpwnam("postgres");
        if (user == nullptr || chown(pattern, user->pw_uid, user->pw_gid) != 0) {
            why = QStringLiteral("Running as root, but the folder cannot be given to the postgres system user.");
            return false;
        }
    }
    port = FreePort();
    if (port == 0) {
        why = QStringLiteral("No free port on 127.0.0.1 for the test server.");
        return false;
    }
    QString output;
    if (!Run(binaries + QStringLiteral("/initdb"),
             {QStringLiteral("-D"), folder + QStringLiteral("/data"), QStringLiteral("-U"), QStringLiteral("postgres"),
              QStringLiteral("--auth-local=trust"), QStringLiteral("--auth-host=scram-sha-256"), QStringLiteral("-E"),
              QStringLiteral("UTF8"), QStringLiteral("--locale=C.UTF-8"), QStringLiteral("--no-sync")},
             &output))
        return false;
    return Resume();
}

bool PostgresServer_cl::Resume() {
    if (running) return true;
    // A throwaway cluster need not survive a power cut, but a stopped server must keep
    // every commit it confirmed: the log is still written at each commit.
    const QString options = QStringLiteral("-k %1 -p %2 -c listen_addresses=127.0.0.1 -c fsync=off -c full_page_writes=off "
                                           "-c max_connections=40")
                                .arg(folder)
                                .arg(port);
    if (!Run(binaries + QStringLiteral("/pg_ctl"),
             {QStringLiteral("-D"), folder + QStringLiteral("/data"), QStringLiteral("-o"), options, QStringLiteral("-l"),
              folder + QStringLiteral("/server.log"), QStringLiteral("-w"), QStringLiteral("-t"), QStringLiteral("60"),
              QStringLiteral("start")})) {
        QFile log(folder + QStringLiteral("/server.log"));
        if (log.open(QIODevice::ReadOnly)) why += QStringLiteral("\nserver log:\n") + QString::fromUtf8(log.readAll());
        return false;
    }
    running = true;
    Track(0, ServerProcess(folder));
    EndServersWithProgram();
    return true;
}

bool PostgresServer_cl::Stop() {
    if (!running) return true;
    running = false;
    // Signalled directly rather than through pg_ctl: this also runs while the process
    // ends, when no new program can be started through Qt.
    const pid_t pid = ServerProcess(folder);
    Track(pid, 0);
    if (pid <= 0 || kill(pid, 0) != 0) {
        why = QStringLiteral("The test server's process could not be found to stop it.");
        return false;
    }
    if (!EndServer(pid, 30)) {
        why = QStringLiteral("The test server did not stop within 30 seconds and was killed.");
        return false;
    }
    return true;
}

void PostgresServer_cl::Remove() {
    if (folder.isEmpty()) return;
    QDir(folder).removeRecursively();
    folder.clear();
}

bool PostgresServer_cl::Psql(const QString& sql, const QString& database, QString* output) {
    return Run(binaries + QStringLiteral("/psql"),
               {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-A"), QStringLiteral("-t"), QStringLiteral("-h"),
                folder, QStringLiteral("-p"), QString::number(port), QStringLiteral("-U"), QStringLiteral("postgres"),
                QStringLiteral("-d"), database, QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-c"),
                sql},
               output);
}

bool PostgresServer_cl::MakeBook(const QString& login, const QString& password, const QString& database) {
    QString exists;
    if (!Psql(QStringLiteral("select 1 from pg_roles where rolname = '%1'").arg(login), QStringLiteral("postgres"), &exists))
        return false;
    const QString role = exists.trimmed().isEmpty() ? QStringLiteral("create role \"%1\" login password '%2'")
                                                    : QStringLiteral("alter role \"%1\" login password '%2'");
    return Psql(role.arg(login, password)) && Psql(QStringLiteral("drop database if exists \"%1\" with (force)").arg(database)) &&
           Psql(QStringLiteral("create database \"%1\" owner \"%2\"").arg(database, login));
}
