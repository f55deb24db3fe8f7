#include "PhoneServer.h"

#include "PairingLink.h"

namespace Web_ns {

PhoneServer_cl::~PhoneServer_cl() { Stop(); }

void PhoneServer_cl::Start(const Vorelle_ns::LinkInfo_st& link, const ServeSettings_st& wanted) {
    Stop();
    auto newBook = std::make_unique<WebBook_cl>();
    newBook->Open(link);
    auto newServer = std::make_unique<WebServer_cl>(*newBook, nullptr);
    newServer->Bind(wanted);
    settings = wanted;
    settings.port = newServer->Port();
    book = std::move(newBook);
    server = std::move(newServer);
    served = false;
    serving = std::thread([this] {
        server->Serve();
        served = true;
    });
}

void PhoneServer_cl::Stop() {
    if (!server) return;
    // A stop asked before serving began is kept by the server: Serve() then returns at once.
    server->Stop();
    serving.join();
    server.reset();
    book.reset();
}

QString PhoneServer_cl::Address() const {
    const QString link = PairingLink(QString());
    return link.left(link.indexOf(QStringLiteral("#k=")));
}

QString PhoneServer_cl::PairingLink(const QString& key) const {
    return PairingLink_cl::Make(!settings.certFile.isEmpty(), settings.host, settings.port, key);
}

}  // namespace Web_ns
