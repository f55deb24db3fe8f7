#pragma once

// Requests written byte by byte on real sockets from a chosen loopback address (127.0.0.1,
// 127.0.0.2, …: each is a client address of its own to the server), for what no proper
// client sends: broken framing, slow heads, too many connections.

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <strings.h>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace Raw_ns {

using Clock = std::chrono::steady_clock;

// A connection from the address from to the server's port on 127.0.0.1; -1 when refused.
inline int Dial(const char* from, int port) {
    const int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0) return -1;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    inet_pton(AF_INET, from, &local.sin_addr);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(uint16_t(port));
    inet_pton(AF_INET, "127.0.0.1", &to.sin_addr);
    if (bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        close(s);
        return -1;
    }
    return s;
}

// Whether the server closed s within seconds (anything it sends is read and dropped).
inline bool ClosedWithin(int s, double seconds) {
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    char buffer[4096];
    while (Clock::now() < end) {
        pollfd p{s, POLLIN, 0};
        const int left = int(std::chrono::duration<double, std::milli>(end - Clock::now()).count()) + 1;
        if (poll(&p, 1, left) <= 0) continue;
        const ssize_t got = recv(s, buffer, sizeof buffer, MSG_DONTWAIT);
        if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR)) return true;
    }
    return false;
}

struct Reply_st {
    int status = 0;  // 0: no answer
    std::string text;  // head and body as they came
    bool closed = false;  // the server ended the connection
    [[nodiscard]] std::string Body() const {
        const size_t end = text.find("\r\n\r\n");
        return end == std::string::npos ? std::string() : text.substr(end + 4);
    }
    [[nodiscard]] std::string HeaderValue(const std::string& name) const {
        const std::string head = text.substr(0, text.find("\r\n\r\n"));
        for (size_t at = head.find("\r\n"); at != std::string::npos; at = head.find("\r\n", at + 2)) {
            const size_t colon = head.find(':', at + 2);
            const size_t end = head.find("\r\n", at + 2);
            if (colon == std::string::npos || colon > end) continue;
            std::string key = head.substr(at + 2, colon - at - 2);
            if (strcasecmp(key.c_str(), name.c_str()) != 0) continue;
            std::string value = head.substr(colon + 1, (end == std::string::npos ? head.size() : end) - colon - 1);
            while (!value.empty() && value.front() == ' ') value.erase(0, 1);
            return value;
        }
        return std::string();
    }
};

// Whether text holds a whole answer: its head and as much body as it says.
inline bool Whole(const std::string& text) {
    const size_t end = text.find("\r\n\r\n");
    if (end == std::string::npos) return false;
    Reply_st reply;
    reply.text = text;
    const std::string length = reply.HeaderValue("Content-Length");
    return !length.empty() && text.size() >= end + 4 + std::strtoul(length.c_str(), nullptr, 10);
}

// Sends request from the address from, reading meanwhile (an answer that comes early ends
// the sending), then reads until the answer is whole, the server closes, or seconds pass.
// endWrite: the sending side is closed after the request.
inline Reply_st Exchange(const char* from, int port, const std::string& request, bool endWrite = false,
                         double seconds = 30) {
    Reply_st reply;
    const int s = Dial(from, port);
    if (s < 0) return reply;
    fcntl(s, F_SETFL, fcntl(s, F_GETFL) | O_NONBLOCK);
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    size_t sent = 0;
    bool ended = false;
    char buffer[65536];
    while (Clock::now() < end && !reply.closed && !Whole(reply.text)) {
        if (sent == request.size() && endWrite && !ended) {
            shutdown(s, SHUT_WR);
            ended = true;
        }
        pollfd p{s, short(POLLIN | (sent < request.size() ? POLLOUT : 0)), 0};
        if (poll(&p, 1, 100) <= 0) continue;
        if (p.revents & (POLLIN | POLLHUP | POLLERR)) {
            const ssize_t got = recv(s, buffer, sizeof buffer, 0);
            if (got > 0) reply.text.append(buffer, size_t(got));
            else if (got == 0 || (errno != EAGAIN && errno != EINTR)) reply.closed = true;
            continue;
        }
        if ((p.revents & POLLOUT) && reply.text.empty()) {
            const ssize_t put = send(s, request.data() + sent, std::min<size_t>(request.size() - sent, 16384), MSG_NOSIGNAL);
            if (put > 0) sent += size_t(put);
            else if (errno != EAGAIN && errno != EINTR) sent = request.size();
        }
    }
    close(s);
    if (reply.text.rfind("HTTP/1.", 0) == 0 && reply.text.size() > 12) reply.status = std::atoi(reply.text.c_str() + 9);
    return reply;
}

// A body in chunks of piece bytes, with its last chunk.
inline std::string Chunked(const std::string& body, size_t piece = 4096) {
    std::string out;
    char size[32];
    for (size_t at = 0; at < body.size(); at += piece) {
        const size_t n = std::min(piece, body.size() - at);
        snprintf(size, sizeof size, "%zx\r\n", n);
        out += size + body.substr(at, n) + "\r\n";
    }
    return out + "0\r\n\r\n";
}

}  // namespace Raw_ns
