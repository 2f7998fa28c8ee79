// The per-thread error-info record that a failing member leaves for its caller, the exception
// types of both sides, and the conversion between exceptions and result codes.
#pragma once

#include <exception>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/com/Com.h"

namespace zl::com {

struct ErrorInfo {
    GUID iid;
    std::string source;
    std::string description;
};

// One record per thread, replaced by every set.
void SetErrorInfo(const GUID& iid, std::string source, std::string description);
void ClearErrorInfo();
// Takes the record: a second call answers nullopt.
std::optional<ErrorInfo> GetErrorInfo();

// A failure that carries its own result code.
class OleSysError : public std::runtime_error {
  public:
    OleSysError(const std::string& message, HRESULT code)
        : std::runtime_error(message), code_(code) {}
    HRESULT Code() const { return code_; }

  private:
    HRESULT code_;
};

// A failed call, raised on the caller's side by OleCheck.
class OleError : public OleSysError {
  public:
    using OleSysError::OleSysError;
};

// The text for a failed code when no error-info record says more.
std::string ResultText(HRESULT hr);

// Raises OleError for a failed code, with the error-info record's description when one is set.
void OleCheck(HRESULT hr);

// Runs a server member's body and turns what it raises into a result code: S_OK when it
// returns; an OleSysError's negative code; E_UNEXPECTED otherwise. Whatever was raised leaves an
// error-info record (iid, progId as source, its message).
template <class F>
HRESULT SafeCall(const GUID& iid, const char* progId, F&& body) noexcept {
    ClearErrorInfo();
    try {
        body();
        return S_OK;
    } catch (const OleSysError& e) {
        SetErrorInfo(iid, progId, e.what());
        return Failed(e.Code()) ? e.Code() : E_UNEXPECTED;
    } catch (const std::exception& e) {
        SetErrorInfo(iid, progId, e.what());
        return E_UNEXPECTED;
    } catch (...) {
        SetErrorInfo(iid, progId, "Unknown exception");
        return E_UNEXPECTED;
    }
}

}  // namespace zl::com
