#include "PairingLink.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace Web_ns {

QString PairingLink_cl::HomeAddress() {
    QString found = QStringLiteral("127.0.0.1");
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return found;
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET) continue;
        if ((entry->ifa_flags & IFF_LOOPBACK) != 0 || (entry->ifa_flags & IFF_UP) == 0) continue;
        char text[INET_ADDRSTRLEN] = {};
        const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr);
        if (inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) != nullptr) {
            found = QString::fromLatin1(text);
            break;
        }
    }
    freeifaddrs(list);
    return found;
}

QString PairingLink_cl::Make(bool secure, const std::string& host, int port, const QString& key) {
    QString shown = QString::fromStdString(host);
    if (shown.isEmpty() || shown == QStringLiteral("0.0.0.0") || shown == QStringLiteral("::")) shown = HomeAddress();
    if (shown.contains(u':')) shown = u'[' + shown + u']';
    return (secure ? QStringLiteral("https://") : QStringLiteral("http://")) + shown + u':' + QString::number(port) +
           QStringLiteral("/#k=") + key;
}

}  // namespace Web_ns
