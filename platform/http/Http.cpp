#include "platform/http/Http.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

namespace zl::http {

namespace {

void GlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct EasyDeleter {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};

size_t AppendBody(char* data, size_t size, size_t count, void* user) {
    auto& response = *static_cast<Response*>(user);
    const size_t room = kMaxReplyBytes - response.body.size();
    if (size * count > room) {
        // Taking less than was offered ends the transfer: the rest is never read.
        response.body.append(data, room);
        response.cut = true;
        return 0;
    }
    response.body.append(data, size * count);
    return size * count;
}

void Check(CURLcode code) {
    if (code != CURLE_OK) {
        throw HttpError(curl_easy_strerror(code));
    }
}

}  // namespace

Response Get(const std::string& url, std::chrono::milliseconds connectTimeout,
             std::chrono::milliseconds totalTimeout) {
    GlobalInit();
    std::unique_ptr<CURL, EasyDeleter> curl(curl_easy_init());
    if (!curl) {
        throw HttpError("curl_easy_init failed");
    }
    Response response;
    CURL* c = curl.get();
    Check(curl_easy_setopt(c, CURLOPT_URL, url.c_str()));
    Check(curl_easy_setopt(c, CURLOPT_HTTPGET, 1L));
    Check(curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L));
    Check(curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L));
    Check(
        curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(connectTimeout.count())));
    Check(curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, static_cast<long>(totalTimeout.count())));
    Check(curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &AppendBody));
    Check(curl_easy_setopt(c, CURLOPT_WRITEDATA, &response));
    const CURLcode performed = curl_easy_perform(c);
    if (!(performed == CURLE_WRITE_ERROR && response.cut))
        Check(performed);
    Check(curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &response.status));
    return response;
}

HostSettings& Hosts() {
    static HostSettings hosts{ZELMAR_WEB_HOST, ZELMAR_USAGE_HOST};
    return hosts;
}

}  // namespace zl::http
