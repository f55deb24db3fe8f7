#include "ServeCommand.h"

#include "Book.h"
#include "Output.h"
#include "Web/CertificateFiles.h"
#include "Web/WebBook.h"
#include "Web/WebServer.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <mutex>
#include <pthread.h>
#include <thread>

namespace Cli_ns {

namespace {

const QString kListen = QStringLiteral("listen");
const QString kCert = QStringLiteral("cert");
const QString kKey = QStringLiteral("key");

}  // namespace

QString ServeCommand_cl::Summary() const {
    return QStringLiteral("在家庭网络上提供手机记账页面和接口，直到收到SIGTERM或SIGINT（默认监听0.0.0.0:8765）");
}

void ServeCommand_cl::AddOptions(QCommandLineParser& parser) const {
    parser.addOption({kListen, QStringLiteral("监听的地址和端口，默认0.0.0.0:8765。"), QStringLiteral("ADDRESS:PORT")});
    parser.addOption({kCert, QStringLiteral("HTTPS证书文件（PEM）。"), QStringLiteral("FILE")});
    parser.addOption({kKey, QStringLiteral("HTTPS私钥文件（PEM）。"), QStringLiteral("FILE")});
}

void ServeCommand_cl::Run(Book_cl& book, const QCommandLineParser& parser) const {
    Arguments(parser, 0);
    Web_ns::ServeSettings_st settings;
    if (parser.isSet(kListen)) settings = Web_ns::WebServer_cl::ParseListen(parser.value(kListen));
    settings.certFile = parser.value(kCert);
    settings.keyFile = parser.value(kKey);
    // Before the book is opened: a bad file is named with what is wrong with it.
    Web_ns::CertificateFiles_cl::Check(settings.certFile, settings.keyFile);

    // The signals are taken by one thread of their own: every thread started from here
    // on inherits them blocked.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    Web_ns::WebBook_cl webBook;
    webBook.Open(book.Link());
    std::mutex logLock;
    Web_ns::WebServer_cl server(webBook, [&logLock](const QString& line) {
        std::lock_guard<std::mutex> hold(logLock);
        Output_cl::ErrorLine(line);
    });
    server.Bind(settings);
    Output_cl::ErrorLine(QStringLiteral("正在服务：%1://%2:%3/ （SIGTERM或Ctrl+C停止）")
                             .arg(server.Secure() ? QStringLiteral("https") : QStringLiteral("http"),
                                  QString::fromStdString(settings.host))
                             .arg(server.Port()));

    std::atomic<bool> stopping{false};
    std::thread waiter([&] {
        int received = 0;
        sigwait(&stopSignals, &received);
        stopping = true;
        // A signal that came before serving began is kept: Serve() then returns at once.
        server.Stop();
    });
    server.Serve();
    // Serving ended by itself: the waiter is woken by a signal only it receives.
    if (!stopping) pthread_kill(waiter.native_handle(), SIGTERM);
    waiter.join();
    Output_cl::ErrorLine(QStringLiteral("已停止。"));
}

}  // namespace Cli_ns
