#pragma once

#include "Api.h"

#include <QString>
#include <functional>
#include <memory>
#include <string>

namespace httplib {
class Server;
}

namespace Web_ns {

class WebBook_cl;

// Where to serve, and the certificate that makes it HTTPS.
struct ServeSettings_st {
    std::string host = "0.0.0.0";
    int port = 8765;
    QString certFile;  // both empty: plain HTTP
    QString keyFile;
};

// Serves the phone page and the API over HTTP or HTTPS with a fixed pool of worker
// threads: bodies over 16 KiB are refused, slow and idle connections closed, every answer
// carries the security headers, and every request leaves one line in the log (never a
// key).
class WebServer_cl {
public:
    using Log_fn = std::function<void(const QString& line)>;

    WebServer_cl(WebBook_cl& book, Log_fn log);
    ~WebServer_cl();
    WebServer_cl(const WebServer_cl&) = delete;
    WebServer_cl& operator=(const WebServer_cl&) = delete;

    static QString ClassName() { return QStringLiteral("WebServer_cl"); }
    static constexpr size_t kMaxBody = 16 * 1024;

    // "ADDRESS:PORT" (an IPv6 address in brackets); raises a user error naming the text.
    [[nodiscard]] static ServeSettings_st ParseListen(const QString& text);

    // Takes the address (port 0: a free one); raises a user error naming what failed.
    void Bind(const ServeSettings_st& settings);
    [[nodiscard]] int Port() const { return port; }
    [[nodiscard]] bool Secure() const { return secure; }
    // Serves until Stop(); returns once the requests in flight are answered.
    void Serve();
    // From any thread.
    void Stop();

private:
    void Route();

    Api_cl api;
    Log_fn log;
    std::unique_ptr<httplib::Server> server;
    int port = 0;
    bool secure = false;
};

}  // namespace Web_ns
