#include "core/WebThread.h"

#include <thread>

#include "core/WebRequests.h"

namespace zl {

void WebThread::Init(const std::string& url) {
    url_ = url;
}

void WebThread::Execute() noexcept {
    try {
        WebGet(url_);
    } catch (...) {
        // A lost request is of no consequence.
    }
}

void WebThread::Start() {
    std::thread([copy = *this]() mutable { copy.Execute(); }).detach();
}

}  // namespace zl
