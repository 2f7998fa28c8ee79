#include "core/WebRequests.h"

#include <algorithm>

#include "core/DataMod.h"
#include "core/ErrorLog.h"
#include "core/WebThread.h"

namespace zl {

http::Response WebGet(const std::string& url) {
    http::Response reply = http::Get(url);
    // Only the line: a box or an error report for it would send another request, whose reply
    // may be cut again.
    if (reply.cut)
        AppendErrorLog("WebGet",
                       "The reply was longer than " + std::to_string(http::kMaxReplyBytes) +
                           " bytes and was cut to them",
                       url.substr(0, url.find('?')));
    return reply;
}

std::string UsageVersion() {
    std::string version = TDataMod::ProgramVersion;
    std::replace(version.begin(), version.end(), '.', '_');
    return version;
}

void SendUsageNotice() noexcept {
    try {
        WebThread thread;
        thread.Init("http://" + http::Hosts().usageHost + "/usage.asp?vsn=" + UsageVersion());
        thread.Start();
    } catch (...) {
        // The usage notice never disturbs the program.
    }
}

bool CheckCurrentVersion(const std::string& appVersion) {
    try {
        http::Response reply =
            WebGet("http://" + http::Hosts().webHost + "/zlmversion.asp?version=" + appVersion);
        if (reply.status != 200) {
            return true;
        }
        if (reply.body.find("2.0") != std::string::npos) {
            return reply.body == appVersion;
        }
        return true;
    } catch (const http::HttpError&) {
        return true;
    }
}

}  // namespace zl
