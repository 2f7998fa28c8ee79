// One blocking HTTP GET with time-outs, and the maker's host names.
#pragma once

#include <chrono>
#include <stdexcept>
#include <string>

namespace zl::http {

struct Response {
    long status = 0;
    std::string body;
};

// No reply came: no network, a host that cannot be found, a refused connection, a time-out.
class HttpError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Sends one GET and waits for the whole reply; redirects are not followed. Any reply, whatever
// its status, is returned; throws HttpError when none came.
Response Get(const std::string& url,
             std::chrono::milliseconds connectTimeout = std::chrono::seconds(3),
             std::chrono::milliseconds totalTimeout = std::chrono::seconds(5));

// The maker's hosts ("name" or "name:port"), initialised from the build settings.
struct HostSettings {
    std::string webHost;    // error report and version check
    std::string usageHost;  // usage notice
};

HostSettings& Hosts();

}  // namespace zl::http
