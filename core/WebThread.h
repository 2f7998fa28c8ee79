// Sends one HTTP GET on a thread of its own; nobody waits for it.
#pragma once

#include <string>

namespace zl {

class WebThread {
  public:
    // Stores the URL of the request.
    void Init(const std::string& url);
    // Sends the GET and ignores the reply; swallows every failure.
    void Execute() noexcept;
    // Runs Execute on a detached thread with its own copy of the URL, so this object may go
    // right after. Throws std::system_error when no thread can be started.
    void Start();

  private:
    std::string url_;
};

}  // namespace zl
