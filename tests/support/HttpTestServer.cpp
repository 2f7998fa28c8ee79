#include "tests/support/HttpTestServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace zl::test {

namespace {

constexpr std::size_t kMaxRequestBytes = 64 * 1024;
constexpr auto kReadTimeout = std::chrono::seconds(5);
constexpr int kPollMs = 50;

// A socket bound to 127.0.0.1 on an ephemeral port; returns the descriptor and sets the port.
int BindLoopback(int& port) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        throw std::runtime_error("socket failed");
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(fd);
        throw std::runtime_error("bind failed");
    }
    port = ntohs(address.sin_port);
    return fd;
}

const char* Reason(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 404:
            return "Not Found";
        case 500:
            return "Internal Server Error";
        default:
            return "Status";
    }
}

void SendAll(int fd, const std::string& data) {
    std::size_t sent = 0;
    while (sent < data.size()) {
        ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            return;
        }
        sent += static_cast<std::size_t>(n);
    }
}

}  // namespace

HttpTestServer::HttpTestServer() {
    listener_ = BindLoopback(port_);
    if (::listen(listener_, 16) != 0) {
        ::close(listener_);
        throw std::runtime_error("listen failed");
    }
    thread_ = std::thread([this] { Serve(); });
}

HttpTestServer::~HttpTestServer() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
    ::close(listener_);
}

std::string HttpTestServer::HostAndPort() const {
    return "127.0.0.1:" + std::to_string(port_);
}

void HttpTestServer::SetReply(int status, const std::string& body) {
    std::lock_guard lock(mutex_);
    status_ = status;
    body_ = body;
}

void HttpTestServer::SetDelay(std::chrono::milliseconds delay) {
    std::lock_guard lock(mutex_);
    delay_ = delay;
}

std::vector<std::string> HttpTestServer::Paths() const {
    std::lock_guard lock(mutex_);
    return paths_;
}

bool HttpTestServer::WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return paths_.size() >= count; });
}

void HttpTestServer::Serve() {
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (stopping_) {
                return;
            }
        }
        pollfd waiting{listener_, POLLIN, 0};
        if (::poll(&waiting, 1, kPollMs) <= 0) {
            continue;
        }
        int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) {
            continue;
        }
        Answer(client);
        ::close(client);
    }
}

void HttpTestServer::Answer(int client) {
    // Read the request head, bounded in size and time.
    std::string request;
    const auto deadline = std::chrono::steady_clock::now() + kReadTimeout;
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < kMaxRequestBytes) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return;
        }
        pollfd readable{client, POLLIN, 0};
        if (::poll(&readable, 1, kPollMs) <= 0) {
            std::lock_guard lock(mutex_);
            if (stopping_) {
                return;
            }
            continue;
        }
        char buffer[4096];
        ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) {
            return;
        }
        request.append(buffer, static_cast<std::size_t>(n));
    }

    // "GET /path HTTP/1.1": the path is the second word of the first line.
    std::string line = request.substr(0, request.find("\r\n"));
    std::size_t first = line.find(' ');
    std::size_t second = first == std::string::npos ? first : line.find(' ', first + 1);
    std::string path =
        second == std::string::npos ? std::string() : line.substr(first + 1, second - first - 1);

    int status = 0;
    std::string body;
    {
        std::unique_lock lock(mutex_);
        paths_.push_back(path);
        changed_.notify_all();
        // The delay ends early when the server stops.
        if (changed_.wait_for(lock, delay_, [this] { return stopping_; })) {
            return;
        }
        status = status_;
        body = body_;
    }
    SendAll(client, "HTTP/1.1 " + std::to_string(status) + " " + Reason(status) +
                        "\r\nContent-Type: text/plain\r\nContent-Length: " +
                        std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
}

int ClosedPort() {
    int port = 0;
    int fd = BindLoopback(port);
    ::close(fd);
    return port;
}

}  // namespace zl::test
