// A small HTTP server on 127.0.0.1 for tests: it answers every request with one configurable
// status and body, after an optional delay, and records the path of each request.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zl::test {

class HttpTestServer {
  public:
    // Listens on an ephemeral port of 127.0.0.1 and serves on a thread of its own.
    HttpTestServer();
    // Stops serving and joins the thread.
    ~HttpTestServer();
    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    int Port() const { return port_; }
    // "127.0.0.1:PORT", as the host settings take it.
    std::string HostAndPort() const;

    // The reply to every later request; the default is status 200 with an empty body.
    void SetReply(int status, const std::string& body);
    // Waits this long after reading a request before replying.
    void SetDelay(std::chrono::milliseconds delay);

    // The paths of the requests received so far, exactly as sent (query included).
    std::vector<std::string> Paths() const;
    // Waits until at least `count` requests arrived or the time-out passed; returns whether they
    // did.
    bool WaitForRequests(std::size_t count,
                         std::chrono::milliseconds timeout = std::chrono::seconds(5)) const;

  private:
    void Serve();
    void Answer(int client);

    int listener_ = -1;
    int port_ = 0;
    std::thread thread_;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool stopping_ = false;
    int status_ = 200;
    std::string body_;
    std::chrono::milliseconds delay_{0};
    std::vector<std::string> paths_;
};

// A port of 127.0.0.1 on which nothing listens.
int ClosedPort();

}  // namespace zl::test
