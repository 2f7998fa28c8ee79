// One blocking HTTP GET with time-outs, and the maker's host names.
#pragma once

#include <chrono>
#include <cstddef>
#include <stdexcept>
#include <string>

namespace zl::http {

// The most of a reply's body that is read: the version check needs one line.
constexpr std::size_t kMaxReplyBytes = 64 * 1024;

struct Response {
    long status = 0;
    // At most kMaxReplyBytes.
    std::string body;
    // The reply went on beyond kMaxReplyBytes: the body holds its beginning, the rest was not
    // read.
    bool cut = false;
};

// No reply came: no network, a host that cannot be found, a refused connection, a time-out.
class HttpError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Sends one GET and waits for the reply, or for its first kMaxReplyBytes when it is longer;
// redirects are not followed. Any reply, whatever its status, is returned; throws HttpError when
// none came.
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
