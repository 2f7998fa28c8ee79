// OLE strings: UTF-16 text with its byte length in the 4 bytes before the first character and a
// 0 character after the last. Allocated with std::malloc, so either side of a call may free one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/com/Com.h"

namespace zl::com {

// A copy of the 0-terminated text; nullptr for a null argument.
BSTR SysAllocString(const char16_t* text);
// `length` characters from `text` (or that many 0 characters when text is null).
BSTR SysAllocStringLen(const char16_t* text, std::uint32_t length);
void SysFreeString(BSTR s);
// Characters, embedded 0s included; 0 for null.
std::uint32_t SysStringLen(const char16_t* s);

// From UTF-8; invalid bytes become U+FFFD. Never null.
BSTR ToBstr(std::string_view utf8);
// To UTF-8 (the whole length, embedded 0s included); a null string is "".
std::string FromBstr(const char16_t* s);

// Owns one string.
class Bstr {
  public:
    Bstr() = default;
    explicit Bstr(std::string_view utf8) : s_(ToBstr(utf8)) {}
    ~Bstr() { SysFreeString(s_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& other) noexcept : s_(other.Detach()) {}
    Bstr& operator=(Bstr&& other) noexcept {
        Reset(other.Detach());
        return *this;
    }

    BSTR Get() const { return s_; }
    std::uint32_t Length() const { return SysStringLen(s_); }
    std::string Utf8() const { return FromBstr(s_); }
    void Reset(BSTR s = nullptr) {
        if (s != s_)
            SysFreeString(s_);
        s_ = s;
    }
    BSTR Detach() {
        BSTR s = s_;
        s_ = nullptr;
        return s;
    }
    // For out parameters: frees the current string first.
    BSTR* operator&() {
        Reset();
        return &s_;
    }

  private:
    BSTR s_ = nullptr;
};

}  // namespace zl::com
