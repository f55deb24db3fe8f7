#pragma once

#include "Api.h"

#include <QString>
#include <functional>
#include <memory>
#include <string>

namespace Web_ns {

class WebBook_cl;

// Where to serve, and the certificate that makes it HTTPS.
struct ServeSettings_st {
    std::string host = "0.0.0.0";
    int port = 8765;
    QString certFile;  // both empty: plain HTTP
    QString keyFile;
};

// Serves the phone page and the API over HTTP or HTTPS (libmicrohttpd: event-driven, so
// that a slow client holds a socket and a little memory, never a worker). Limits hold
// whatever the framing: a body over 16 KiB is refused with 413 and never held, a request
// head must be whole within 5 s and its body within 10 s more, an address holds at most 8
// connections. Every answer carries the security headers, and every request leaves one
// line in the log (never a key).
class WebServer_cl {
public:
    using Log_fn = std::function<void(const QString& line)>;

    WebServer_cl(WebBook_cl& book, Log_fn log);
    ~WebServer_cl();
    WebServer_cl(const WebServer_cl&) = delete;
    WebServer_cl& operator=(const WebServer_cl&) = delete;

    static QString ClassName() { return QStringLiteral("WebServer_cl"); }
    static constexpr size_t kMaxBody = 16 * 1024;
    static constexpr int kHeadSeconds = 5;   // the whole head, from the connection or the last answer
    static constexpr int kBodySeconds = 10;  // the whole body, from the head
    static constexpr unsigned kPerAddress = 8;

    // "ADDRESS:PORT" (an IPv6 address in brackets); raises a user error naming the text.
    [[nodiscard]] static ServeSettings_st ParseListen(const QString& text);

    // Takes the address (port 0: a free one) and listens on it; raises a user error naming
    // what failed. Connections are taken from here on.
    void Bind(const ServeSettings_st& settings);
    [[nodiscard]] int Port() const { return port; }
    [[nodiscard]] bool Secure() const { return secure; }
    // Returns once Stop() was asked (at once when it was asked before) and the requests in
    // flight are answered; the server serves from Bind() on.
    void Serve();
    // From any thread, at any time, also before Bind() or Serve(): it is remembered.
    void Stop();

    struct Daemon_st;

private:
    Api_cl api;
    Log_fn log;
    std::unique_ptr<Daemon_st> daemon;
    int port = 0;
    bool secure = false;
};

}  // namespace Web_ns
