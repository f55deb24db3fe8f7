#pragma once

#include <QString>
#include <string>

namespace Web_ns {

// The link a phone opens once to pair: http://HOST:PORT/#k=KEY. The key stays in the
// fragment, which a browser never sends to any server.
class PairingLink_cl {
public:
    // host as served; a wildcard address (0.0.0.0, ::) is replaced by this machine's
    // address on the home network.
    [[nodiscard]] static QString Make(bool secure, const std::string& host, int port, const QString& key);
    // This machine's first IPv4 address that is not a loopback one; 127.0.0.1 when none.
    [[nodiscard]] static QString HomeAddress();
};

}  // namespace Web_ns
