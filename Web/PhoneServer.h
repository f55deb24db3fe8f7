#pragma once

#include "WebBook.h"
#include "WebServer.h"

#include <QString>
#include <atomic>
#include <memory>
#include <thread>

namespace Web_ns {

// The phone page served in the background while a window is open: its own book
// connection, its server and the thread that runs it. Log lines are dropped.
class PhoneServer_cl {
public:
    PhoneServer_cl() = default;
    ~PhoneServer_cl();
    PhoneServer_cl(const PhoneServer_cl&) = delete;
    PhoneServer_cl& operator=(const PhoneServer_cl&) = delete;

    // Connects to the book of link and serves; raises what the book or the address raise,
    // and then serves nothing.
    void Start(const Vorelle_ns::LinkInfo_st& link, const ServeSettings_st& settings);
    // Finishes the requests in flight and closes the connection.
    void Stop();
    [[nodiscard]] bool IsRunning() const { return server != nullptr; }
    // The address a phone opens: http://HOST:PORT/ with this machine's home address.
    [[nodiscard]] QString Address() const;
    // The pairing link of a key for this server.
    [[nodiscard]] QString PairingLink(const QString& key) const;

private:
    std::unique_ptr<WebBook_cl> book;
    std::unique_ptr<WebServer_cl> server;
    std::thread serving;
    std::atomic<bool> served{false};
    ServeSettings_st settings;
};

}  // namespace Web_ns
