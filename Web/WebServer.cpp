#include "WebServer.h"

#include "base/UserError.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <httplib.h>
#include <iterator>

// Resources of a static library are registered by hand, outside any namespace.
static void InitPageResources() { Q_INIT_RESOURCE(page); }

namespace Web_ns {

namespace {

Base_ns::UserError_cl UserError(int32_t code, int32_t line, const QString& remark) {
    static const Base_ns::ErrorInfo_st table[] = {{101, "监听地址应该写成地址:端口，例如0.0.0.0:8765。"},
                                                  {102, "无法读取证书或私钥文件。"},
                                                  {103, "无法监听这个地址，端口可能已被占用。"},
                                                  {104, "证书和私钥文件要一起给出。"}};
    return Base_ns::UserError_cl(line, __FILE__, WebServer_cl::ClassName(), code, table, int32_t(std::size(table)),
                                 remark);
}

// Whoever asked and when the request began, for its log line: a request is read,
// answered and logged on one worker thread.
thread_local QElapsedTimer requestTimer;
thread_local QString requestUser;

// A path as the log shows it: control characters (a decoded %0A) cannot forge lines.
QString Printable(const std::string& text) {
    QString shown = QString::fromStdString(text).left(200);
    for (QChar& c : shown) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) c = u'?';
    }
    return shown;
}

constexpr time_t kReadSeconds = 3;
constexpr time_t kWriteSeconds = 3;
constexpr time_t kIdleSeconds = 2;
constexpr size_t kWorkers = 8;
constexpr size_t kRequestsPerConnection = 5;

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
    case 405:
        return QStringLiteral("不支持这个请求方法。");
    case 413:
        return QStringLiteral("请求的内容太大，最多16 KiB。");
    case 414:
        return QStringLiteral("请求的地址太长。");
    default:
        return QStringLiteral("请求的格式不正确。");
    }
}

}  // namespace

WebServer_cl::WebServer_cl(WebBook_cl& book, Log_fn log) : api(book), log(std::move(log)) { InitPageResources(); }

WebServer_cl::~WebServer_cl() { Stop(); }

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

void WebServer_cl::Bind(const ServeSettings_st& settings) {
    if (settings.certFile.isEmpty() != settings.keyFile.isEmpty()) throw UserError(104, __LINE__, QString());
    if (!settings.certFile.isEmpty()) {
        auto ssl = std::make_unique<httplib::SSLServer>(QFile::encodeName(settings.certFile).constData(),
                                                        QFile::encodeName(settings.keyFile).constData());
        if (!ssl->is_valid()) throw UserError(102, __LINE__, settings.certFile + QStringLiteral("，") + settings.keyFile);
        server = std::move(ssl);
        secure = true;
    } else {
        server = std::make_unique<httplib::Server>();
        secure = false;
    }
    Route();
    const bool bound = settings.port == 0 ? (port = server->bind_to_any_port(settings.host)) > 0
                                          : server->bind_to_port(settings.host, settings.port);
    if (!bound) {
        server.reset();
        throw UserError(103, __LINE__, QString::fromStdString(settings.host) + u':' + QString::number(settings.port));
    }
    if (settings.port != 0) port = settings.port;
}

void WebServer_cl::Serve() {
    if (server) server->listen_after_bind();
}

void WebServer_cl::Stop() {
    if (server) server->stop();
}

void WebServer_cl::Route() {
    httplib::Server& s = *server;
    s.new_task_queue = [] { return new httplib::ThreadPool(kWorkers); };
    s.set_payload_max_length(kMaxBody);
    s.set_read_timeout(kReadSeconds, 0);
    s.set_write_timeout(kWriteSeconds, 0);
    s.set_keep_alive_timeout(kIdleSeconds);
    // A worker serves one connection at a time: closing after a few requests lets the
    // phones waiting behind a busy one take their turn.
    s.set_keep_alive_max_count(kRequestsPerConnection);
    // No cookies are ever set: a key travels only in the Authorization header, which
    // another site cannot make a browser send.
    s.set_default_headers({{"Content-Security-Policy", "default-src 'self'; frame-ancestors 'none'"},
                           {"X-Content-Type-Options", "nosniff"},
                           {"Referrer-Policy", "no-referrer"},
                           {"X-Frame-Options", "DENY"}});

    s.set_pre_routing_handler([](const httplib::Request&, httplib::Response&) {
        requestTimer.start();
        requestUser.clear();
        return httplib::Server::HandlerResponse::Unhandled;
    });
    for (const Page_st& page : kPages) {
        s.Get(page.path, [body = Resource(page.resource), type = page.type](const httplib::Request&,
                                                                             httplib::Response& res) {
            res.set_header("Cache-Control", "no-cache");
            res.set_content(body, type);
        });
    }
    const auto callApi = [this](const httplib::Request& req, httplib::Response& res) {
        ApiRequest_st request;
        request.method = req.method;
        request.path = req.path;
        for (const auto& [name, value] : req.params) request.query.insert_or_assign(name, value);
        request.address = req.remote_addr;
        request.authorization = req.get_header_value("Authorization");
        request.hasIdempotencyKey = req.has_header("Idempotency-Key");
        request.idempotencyKey = req.get_header_value("Idempotency-Key");
        request.body = req.body;
        const ApiReply_st reply = api.Handle(request);
        requestUser = reply.user;
        res.status = reply.status;
        res.set_header("Cache-Control", "no-store");
        res.set_content(reply.body, "application/json; charset=utf-8");
    };
    const char* apiPath = "/api/.*";
    s.Get(apiPath, callApi);
    s.Post(apiPath, callApi);
    s.Delete(apiPath, callApi);

    s.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        // The API's own errors have their body; the server's (no route, too large) get one.
        if (!res.body.empty()) return;
        res.set_header("Cache-Control", "no-store");
        res.set_content(Api_cl::ErrorBody(ErrorText(res.status)), "application/json; charset=utf-8");
    });
    s.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
        res.status = 500;
        res.set_content(Api_cl::ErrorBody(QStringLiteral("服务器出错，这次操作没有完成。")),
                        "application/json; charset=utf-8");
    });
    s.set_logger([this](const httplib::Request& req, const httplib::Response& res) {
        if (!log) return;
        const qint64 ms = requestTimer.isValid() ? requestTimer.elapsed() : 0;
        requestTimer.invalidate();
        log(QStringLiteral("%1 %2 %3 %4 %5 %6 %7ms")
                .arg(QDateTime::currentDateTime().toString(Qt::ISODate), QString::fromStdString(req.remote_addr),
                     requestUser.isEmpty() ? QStringLiteral("-") : requestUser, QString::fromStdString(req.method),
                     Printable(req.path))
                .arg(res.status)
                .arg(ms));
    });
}

}  // namespace Web_ns
