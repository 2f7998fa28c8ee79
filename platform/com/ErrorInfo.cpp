#include "platform/com/ErrorInfo.h"

#include <cstdio>
#include <utility>

namespace zl::com {
namespace {

thread_local std::optional<ErrorInfo> tlsErrorInfo;

}  // namespace

void SetErrorInfo(const GUID& iid, std::string source, std::string description) {
    tlsErrorInfo = ErrorInfo{iid, std::move(source), std::move(description)};
}

void ClearErrorInfo() {
    tlsErrorInfo.reset();
}

std::optional<ErrorInfo> GetErrorInfo() {
    std::optional<ErrorInfo> info = std::move(tlsErrorInfo);
    tlsErrorInfo.reset();
    return info;
}

std::string ResultText(HRESULT hr) {
    if (hr == REGDB_E_CLASSNOTREG)
        return "Class not registered";
    char text[32];
    std::snprintf(text, sizeof text, "OLE error %08X", static_cast<unsigned>(hr));
    return text;
}

void OleCheck(HRESULT hr) {
    if (Succeeded(hr))
        return;
    std::optional<ErrorInfo> info = GetErrorInfo();
    throw OleError(info ? info->description : ResultText(hr), hr);
}

}  // namespace zl::com
