#include "WebServer.h"

#include "base/UserError.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <arpa/inet.h>
#include <chrono>
#include <condition_variable>
#include <iterator>
#include <microhttpd.h>
#include <mutex>
#include <netdb.h>
#include <netinet/in.h>
#include <strings.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <unordered_set>

// Resources of a static library are registered by hand, outside any namespace.
static void InitPageResources() { Q_INIT_RESOURCE(page); }

namespace Web_ns {

namespace {

using Clock = std::chrono::steady_clock;

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark) {
    static const Base_ns::ErrorInfo_st table[] = {{101, "监听地址应该写成地址:端口，例如0.0.0.0:8765。"},
                                                  {102, "无法读取证书或私钥文件。"},
                                                  {103, "无法监听这个地址，端口可能已被占用。"},
                                                  {104, "证书和私钥文件要一起给出。"}};
    return Base_ns::UserError_cl(line, __FILE__, WebServer_cl::ClassName(), code, table, int32_t(std::size(table)),
                                 remark);
}

// A path as the log shows it: control characters (a decoded %0A) cannot forge lines.
QString Printable(const std::string& text) {
    QString shown = QString::fromStdString(text).left(200);
    for (QChar& c : shown) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) c = u'?';
    }
    return shown;
}

// Event threads, each with its own epoll; a request is answered on the thread that read it.
constexpr unsigned kThreads = 4;
// All connections together: the addresses of a home network, 8 each, and room to spare.
constexpr unsigned kConnections = 512;
// A connection's memory for its head and buffers: the head must fit.
constexpr size_t kConnectionMemory = 32 * 1024;
// Silence on a connection, also while its answer waits to be read.
constexpr unsigned kSilentSeconds = 3;
// How long Serve() waits, after Stop(), for the requests in flight.
constexpr auto kDrain = std::chrono::seconds(15);

struct Page_st {
    const char* path;
    const char* resource;
    const char* type;
};
const Page_st kPages[] = {{"/", ":/web/index.html", "text/html; charset=utf-8"},
                          {"/page.js", ":/web/page.js", "text/javascript; charset=utf-8"},
                          {"/page.css", ":/web/page.css", "text/css; charset=utf-8"}};

std::string Resource(const char* name) {
    QFile file(QString::fromLatin1(name));
    if (!file.open(QIODevice::ReadOnly)) return std::string();
    return file.readAll().toStdString();
}

QString ErrorText(int status) {
    switch (status) {
    case 404:
        return QStringLiteral("没有这个地址。");
    case 413:
        return QStringLiteral("请求的内容太大，最多16 KiB，并且要写明长度（Content-Length或分块传输）。");
    default:
        return QStringLiteral("请求的格式不正确。");
    }
}

// No cookies are ever set: a key travels only in the Authorization header, which another
// site cannot make a browser send.
const char* const kSecurityHeaders[][2] = {{"Content-Security-Policy", "default-src 'self'; frame-ancestors 'none'"},
                                           {"X-Content-Type-Options", "nosniff"},
                                           {"Referrer-Policy", "no-referrer"},
                                           {"X-Frame-Options", "DENY"}};

const char* Header(MHD_Connection* connection, const char* name) {
    return MHD_lookup_connection_value(connection, MHD_HEADER_KIND, name);
}

std::string ClientAddress(MHD_Connection* connection) {
    const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
    if (info == nullptr || info->client_addr == nullptr) return std::string();
    char host[NI_MAXHOST] = {};
    const socklen_t size = info->client_addr->sa_family == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
    if (getnameinfo(info->client_addr, size, host, sizeof host, nullptr, 0, NI_NUMERICHOST) != 0) return std::string();
    return host;
}

// One connection as the deadlines see it: the time by which what it is sending must be
// whole. A connection past it has its socket shut down, which ends it in its own thread.
struct Connection_st {
    int socket = -1;
    Clock::time_point deadline = Clock::time_point::max();
};

// One request from its head on: the body as far as it is kept.
struct Request_st {
    Connection_st* connection = nullptr;
    QElapsedTimer timer;
    std::string body;
    int refusal = 0;  // a status answered without reading the body on: 400, 413
    bool answered = false;
};

}  // namespace

struct WebServer_cl::Daemon_st {
    WebServer_cl& owner;
    MHD_Daemon* mhd = nullptr;
    int listening = -1;
    std::string certificate, key;
    std::string pages[std::size(kPages)];

    std::mutex lock;  // guards what follows
    std::condition_variable changed;
    bool stopAsked = false;
    int inFlight = 0;  // requests from their head to their end
    std::unordered_set<Connection_st*> connections;
    std::thread watch;

    explicit Daemon_st(WebServer_cl& owner) : owner(owner) {}

    void SetDeadline(Connection_st* connection, Clock::time_point deadline) {
        if (connection == nullptr) return;
        std::lock_guard<std::mutex> hold(lock);
        connection->deadline = deadline;
    }

    // Shuts down the sockets past their deadline until the server ends.
    void Watch() {
        std::unique_lock<std::mutex> hold(lock);
        while (mhd != nullptr) {
            const Clock::time_point now = Clock::now();
            for (Connection_st* connection : connections) {
                if (connection->deadline <= now && connection->socket >= 0) {
                    shutdown(connection->socket, SHUT_RDWR);
                    connection->deadline = Clock::time_point::max();
                }
            }
            changed.wait_for(hold, std::chrono::milliseconds(100));
        }
    }

    static void Noticed(void* self, MHD_Connection* c, void** socketContext, MHD_ConnectionNotificationCode code) {
        Daemon_st& d = *static_cast<Daemon_st*>(self);
        std::lock_guard<std::mutex> hold(d.lock);
        if (code == MHD_CONNECTION_NOTIFY_STARTED) {
            // The socket is closed only after the notice of its end: a socket in the table
            // is still this connection's.
            auto* connection = new Connection_st;
            const MHD_ConnectionInfo* info = MHD_get_connection_info(c, MHD_CONNECTION_INFO_CONNECTION_FD);
            connection->socket = info != nullptr ? info->connect_fd : -1;
            connection->deadline = Clock::now() + std::chrono::seconds(kHeadSeconds);
            *socketContext = connection;
            d.connections.insert(connection);
        } else {
            auto* connection = static_cast<Connection_st*>(*socketContext);
            d.connections.erase(connection);
            delete connection;
            *socketContext = nullptr;
        }
    }

    static void Completed(void* self, MHD_Connection*, void** requestContext, MHD_RequestTerminationCode) {
        Daemon_st& d = *static_cast<Daemon_st*>(self);
        auto* request = static_cast<Request_st*>(*requestContext);
        if (request == nullptr) return;
        *requestContext = nullptr;
        {
            std::lock_guard<std::mutex> hold(d.lock);
            // The next request's head is due from now on.
            if (request->connection != nullptr)
                request->connection->deadline = Clock::now() + std::chrono::seconds(kHeadSeconds);
            --d.inFlight;
        }
        d.changed.notify_all();
        delete request;
    }

    static MHD_Result Access(void* self, MHD_Connection* c, const char* url, const char* method, const char*,
                             const char* upload, size_t* uploadSize, void** requestContext) {
        Daemon_st& d = *static_cast<Daemon_st*>(self);
        auto* request = static_cast<Request_st*>(*requestContext);
        if (request == nullptr) return d.Begin(c, method, url, requestContext);
        if (*uploadSize != 0) {
            if (request->refusal == 0 && request->body.size() + *uploadSize > kMaxBody) {
                // Nothing more is kept: answered now where the library lets it, else the
                // rest is read and dropped until its end or its deadline.
                request->refusal = 413;
                std::string().swap(request->body);
                (void)d.Refuse(c, *request, method, url, 413);
            }
            if (request->refusal == 0) request->body.append(upload, *uploadSize);
            *uploadSize = 0;
            return MHD_YES;
        }
        if (request->answered) return MHD_YES;
        d.SetDeadline(request->connection, Clock::time_point::max());
        if (request->refusal != 0) return d.Refuse(c, *request, method, url, request->refusal);
        return d.Answer(c, *request, method, url);
    }

    // The head is whole: the body is due within its deadline, and what the head says of
    // its framing is checked before any of it is read.
    MHD_Result Begin(MHD_Connection* c, const char* method, const char* url, void** requestContext) {
        auto* request = new Request_st;
        request->timer.start();
        const MHD_ConnectionInfo* info = MHD_get_connection_info(c, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
        request->connection = info != nullptr ? static_cast<Connection_st*>(info->socket_context) : nullptr;
        *requestContext = request;
        {
            std::lock_guard<std::mutex> hold(lock);
            ++inFlight;
            if (request->connection != nullptr)
                request->connection->deadline = Clock::now() + std::chrono::seconds(kBodySeconds);
        }
        const char* length = Header(c, MHD_HTTP_HEADER_CONTENT_LENGTH);
        const char* encoding = Header(c, MHD_HTTP_HEADER_TRANSFER_ENCODING);
        if (length != nullptr && encoding != nullptr) {
            request->refusal = 400;  // two framings: which one the body has is not said
        } else if (encoding != nullptr && strcasecmp(encoding, "chunked") != 0) {
            request->refusal = 400;
        } else if (length != nullptr) {
            char* end = nullptr;
            const unsigned long long size = strtoull(length, &end, 10);
            if (end == length || *end != '\0') request->refusal = 400;
            else if (size > kMaxBody) request->refusal = 413;
        } else if (encoding == nullptr && strcmp(method, MHD_HTTP_METHOD_POST) == 0) {
            // A body whose length is not said would be read until the connection ends.
            request->refusal = 413;
        }
        // Refused before any of the body is read; the connection ends with the answer.
        if (request->refusal != 0) return Refuse(c, *request, method, url, request->refusal);
        return MHD_YES;
    }

    MHD_Result Refuse(MHD_Connection* c, Request_st& request, const char* method, const char* url, int status) {
        return Send(c, request, method, url, status, Api_cl::ErrorBody(ErrorText(status)), "application/json; charset=utf-8",
                    true, QString());
    }

    MHD_Result Answer(MHD_Connection* c, Request_st& request, const char* method, const char* url) {
        const std::string path = url;
        const bool get = strcmp(method, MHD_HTTP_METHOD_GET) == 0 || strcmp(method, MHD_HTTP_METHOD_HEAD) == 0;
        for (size_t i = 0; i < std::size(kPages); ++i) {
            if (get && path == kPages[i].path)
                return Send(c, request, method, url, 200, pages[i], kPages[i].type, false, QString(), "no-cache");
        }
        const bool api = path.rfind("/api/", 0) == 0 &&
                         (get || strcmp(method, MHD_HTTP_METHOD_POST) == 0 || strcmp(method, MHD_HTTP_METHOD_DELETE) == 0);
        if (!api) return Send(c, request, method, url, 404, Api_cl::ErrorBody(ErrorText(404)), "application/json; charset=utf-8", false, QString());
        ApiRequest_st call;
        call.method = get ? std::string(MHD_HTTP_METHOD_GET) : std::string(method);
        call.path = path;
        MHD_get_connection_values(
            c, MHD_GET_ARGUMENT_KIND,
            [](void* query, MHD_ValueKind, const char* name, const char* value) {
                static_cast<std::map<std::string, std::string>*>(query)->insert_or_assign(name, value ? value : "");
                return MHD_YES;
            },
            &call.query);
        call.address = ClientAddress(c);
        const char* authorization = Header(c, MHD_HTTP_HEADER_AUTHORIZATION);
        call.hasAuthorization = authorization != nullptr;
        call.authorization = authorization != nullptr ? authorization : "";
        const char* idempotencyKey = Header(c, "Idempotency-Key");
        call.hasIdempotencyKey = idempotencyKey != nullptr;
        call.idempotencyKey = idempotencyKey != nullptr ? idempotencyKey : "";
        call.body = std::move(request.body);
        ApiReply_st reply;
        try {
            reply = owner.api.Handle(call);
        } catch (...) {
            reply = {500, Api_cl::ErrorBody(QStringLiteral("服务器出错，这次操作没有完成。")), QString()};
        }
        return Send(c, request, method, url, reply.status, reply.body, "application/json; charset=utf-8", false, reply.user);
    }

    MHD_Result Send(MHD_Connection* c, Request_st& request, const char* method, const char* url, int status,
                    const std::string& body, const char* type, bool close, const QString& user,
                    const char* cache = "no-store") {
        MHD_Response* response =
            MHD_create_response_from_buffer(body.size(), const_cast<char*>(body.data()), MHD_RESPMEM_MUST_COPY);
        if (response == nullptr) return MHD_NO;
        for (const auto& header : kSecurityHeaders) MHD_add_response_header(response, header[0], header[1]);
        MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, type);
        MHD_add_response_header(response, MHD_HTTP_HEADER_CACHE_CONTROL, cache);
        // A body left unread is never taken as the next request.
        if (close) MHD_add_response_header(response, MHD_HTTP_HEADER_CONNECTION, "close");
        const MHD_Result queued = MHD_queue_response(c, unsigned(status), response);
        MHD_destroy_response(response);
        if (queued != MHD_YES) return queued;
        request.answered = true;
        if (owner.log) {
            owner.log(QStringLiteral("%1 %2 %3 %4 %5 %6 %7ms")
                          .arg(QDateTime::currentDateTime().toString(Qt::ISODate), QString::fromStdString(ClientAddress(c)),
                               user.isEmpty() ? QStringLiteral("-") : user, QString::fromLatin1(method), Printable(url))
                          .arg(status)
                          .arg(request.timer.elapsed()));
        }
        return queued;
    }
};

WebServer_cl::WebServer_cl(WebBook_cl& book, Log_fn log)
    : api(book), log(std::move(log)), daemon(std::make_unique<Daemon_st>(*this)) {
    InitPageResources();
    for (size_t i = 0; i < std::size(kPages); ++i) daemon->pages[i] = Resource(kPages[i].resource);
}

WebServer_cl::~WebServer_cl() {
    Stop();
    Serve();
}

ServeSettings_st WebServer_cl::ParseListen(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^(\\[[0-9A-Fa-f:.]+\\]|[0-9A-Za-z.-]+):([0-9]{1,5})$"));
    const QRegularExpressionMatch match = form.match(text);
    const int port = match.hasMatch() ? match.captured(2).toInt() : -1;
    if (port < 0 || port > 65535) throw UserError(101, __LINE__, text);
    ServeSettings_st settings;
    QString host = match.captured(1);
    if (host.startsWith(u'[')) host = host.mid(1, host.size() - 2);
    settings.host = host.toStdString();
    settings.port = port;
    return settings;
}

namespace {

// A socket listening on host:port, or -1.
int Listen(const std::string& host, int port, int& boundPort) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (getaddrinfo(host.empty() ? nullptr : host.c_str(), service.c_str(), &hints, &found) != 0) return -1;
    int socketFd = -1;
    for (addrinfo* a = found; a != nullptr && socketFd < 0; a = a->ai_next) {
        socketFd = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (socketFd < 0) continue;
        const int yes = 1;
        setsockopt(socketFd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        if (bind(socketFd, a->ai_addr, a->ai_addrlen) != 0 || listen(socketFd, 128) != 0) {
            close(socketFd);
            socketFd = -1;
        }
    }
    freeaddrinfo(found);
    if (socketFd < 0) return -1;
    sockaddr_storage address{};
    socklen_t size = sizeof address;
    getsockname(socketFd, reinterpret_cast<sockaddr*>(&address), &size);
    boundPort = ntohs(address.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&address)->sin6_port
                                                    : reinterpret_cast<sockaddr_in*>(&address)->sin_port);
    return socketFd;
}

std::string ReadPem(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::string();
    return file.read(1024 * 1024).toStdString();
}

void DropLog(void*, const char*, va_list) {}

}  // namespace

void WebServer_cl::Bind(const ServeSettings_st& settings) {
    if (settings.certFile.isEmpty() != settings.keyFile.isEmpty()) throw UserError(104, __LINE__, QString());
    Daemon_st& d = *daemon;
    if (d.mhd != nullptr) return;
    secure = !settings.certFile.isEmpty();
    if (secure) {
        d.certificate = ReadPem(settings.certFile);
        d.key = ReadPem(settings.keyFile);
        if (d.certificate.empty() || d.key.empty())
            throw UserError(102, __LINE__, settings.certFile + QStringLiteral("，") + settings.keyFile);
    }
    int boundPort = 0;
    d.listening = Listen(settings.host, settings.port, boundPort);
    if (d.listening < 0)
        throw UserError(103, __LINE__, QString::fromStdString(settings.host) + u':' + QString::number(settings.port));
    port = boundPort;

    unsigned flags = MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_EPOLL | MHD_USE_ITC | MHD_USE_ERROR_LOG;
    if (secure) flags |= MHD_USE_TLS;
    MHD_OptionItem options[] = {
        {MHD_OPTION_LISTEN_SOCKET, d.listening, nullptr},
        {MHD_OPTION_THREAD_POOL_SIZE, kThreads, nullptr},
        {MHD_OPTION_CONNECTION_LIMIT, kConnections, nullptr},
        {MHD_OPTION_PER_IP_CONNECTION_LIMIT, kPerAddress, nullptr},
        {MHD_OPTION_CONNECTION_MEMORY_LIMIT, intptr_t(kConnectionMemory), nullptr},
        {MHD_OPTION_CONNECTION_TIMEOUT, kSilentSeconds, nullptr},
        {MHD_OPTION_NOTIFY_CONNECTION, intptr_t(&Daemon_st::Noticed), &d},
        {MHD_OPTION_NOTIFY_COMPLETED, intptr_t(&Daemon_st::Completed), &d},
        {MHD_OPTION_EXTERNAL_LOGGER, intptr_t(&DropLog), nullptr},
        {secure ? MHD_OPTION_HTTPS_MEM_CERT : MHD_OPTION_END, 0, const_cast<char*>(d.certificate.c_str())},
        {MHD_OPTION_HTTPS_MEM_KEY, 0, const_cast<char*>(d.key.c_str())},
        {MHD_OPTION_END, 0, nullptr}};
    {
        std::lock_guard<std::mutex> hold(d.lock);
        d.mhd = MHD_start_daemon(flags, 0, nullptr, nullptr, &Daemon_st::Access, &d, MHD_OPTION_ARRAY, options,
                                 MHD_OPTION_END);
    }
    if (d.mhd == nullptr) {
        close(d.listening);
        d.listening = -1;
        if (secure) throw UserError(102, __LINE__, settings.certFile + QStringLiteral("，") + settings.keyFile);
        throw UserError(103, __LINE__, QString::fromStdString(settings.host) + u':' + QString::number(settings.port));
    }
    d.watch = std::thread([&d] { d.Watch(); });
}

void WebServer_cl::Serve() {
    Daemon_st& d = *daemon;
    std::unique_lock<std::mutex> hold(d.lock);
    d.changed.wait(hold, [&d] { return d.stopAsked; });
    if (d.mhd == nullptr) return;
    // No new connection; the requests begun are answered, as long as they take.
    const MHD_socket quiet = MHD_quiesce_daemon(d.mhd);
    if (quiet != MHD_INVALID_SOCKET) close(quiet);
    d.listening = -1;
    d.changed.wait_for(hold, kDrain, [&d] { return d.inFlight == 0; });
    MHD_Daemon* stopping = d.mhd;
    hold.unlock();
    MHD_stop_daemon(stopping);
    hold.lock();
    d.mhd = nullptr;
    hold.unlock();
    d.changed.notify_all();
    if (d.watch.joinable()) d.watch.join();
}

void WebServer_cl::Stop() {
    {
        std::lock_guard<std::mutex> hold(daemon->lock);
        daemon->stopAsked = true;
    }
    daemon->changed.notify_all();
}

}  // namespace Web_ns
