#include "core/WebRequests.h"

#include <algorithm>

#include "core/DataMod.h"
#include "core/WebThread.h"
#include "platform/http/Http.h"

namespace zl {

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
            http::Get("http://" + http::Hosts().webHost + "/zlmversion.asp?version=" + appVersion);
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
