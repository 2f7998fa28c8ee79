#include "platform/com/Bstr.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/format/Utf8.h"

namespace zl::com {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

char* Block(BSTR s) {
    return reinterpret_cast<char*>(s) - sizeof(std::uint32_t);
}

const char* Block(const char16_t* s) {
    return reinterpret_cast<const char*>(s) - sizeof(std::uint32_t);
}

// One code point from s at i, advancing i; malformed input gives U+FFFD for one byte.
char32_t DecodeUtf8(std::string_view s, std::size_t& i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b0 = byte(i);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int extra = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3, cp = b0 & 0x07, min = 0x10000;
    } else {
        ++i;
        return kReplacement;
    }
    if (i + extra >= s.size()) {
        ++i;
        return kReplacement;
    }
    for (int k = 1; k <= extra; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            ++i;
            return kReplacement;
        }
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return kReplacement;
    }
    i += extra + 1;
    return cp;
}

}  // namespace

BSTR SysAllocStringLen(const char16_t* text, std::uint32_t length) {
    const std::size_t bytes = std::size_t{length} * sizeof(char16_t);
    auto* block = static_cast<char*>(std::malloc(sizeof(std::uint32_t) + bytes + sizeof(char16_t)));
    if (!block)
        throw std::bad_alloc();
    const auto prefix = static_cast<std::uint32_t>(bytes);
    std::memcpy(block, &prefix, sizeof prefix);
    auto* chars = reinterpret_cast<char16_t*>(block + sizeof(std::uint32_t));
    if (text)
        std::memcpy(chars, text, bytes);
    else
        std::memset(chars, 0, bytes);
    chars[length] = 0;
    return chars;
}

BSTR SysAllocString(const char16_t* text) {
    if (!text)
        return nullptr;
    return SysAllocStringLen(text,
                             static_cast<std::uint32_t>(std::char_traits<char16_t>::length(text)));
}

void SysFreeString(BSTR s) {
    if (s)
        std::free(Block(s));
}

std::uint32_t SysStringLen(const char16_t* s) {
    if (!s)
        return 0;
    std::uint32_t bytes;
    std::memcpy(&bytes, Block(s), sizeof bytes);
    return bytes / sizeof(char16_t);
}

BSTR ToBstr(std::string_view utf8) {
    std::u16string wide;
    wide.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const char32_t cp = DecodeUtf8(utf8, i);
        if (cp >= 0x10000) {
            wide += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            wide += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            wide += static_cast<char16_t>(cp);
        }
    }
    return SysAllocStringLen(wide.data(), static_cast<std::uint32_t>(wide.size()));
}

std::string FromBstr(const char16_t* s) {
    std::string out;
    const std::uint32_t length = SysStringLen(s);
    out.reserve(length);
    for (std::uint32_t i = 0; i < length; ++i) {
        char32_t cp = s[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < length && s[i + 1] >= 0xDC00 &&
            s[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = kReplacement;
        }
        format::AppendUtf8(out, cp);
    }
    return out;
}

void VariantClear(VARIANT& v) {
    if (v.vt == VT_BSTR)
        SysFreeString(v.bstrVal);
    v.vt = VT_EMPTY;
    v.lVal = 0;
}

}  // namespace zl::com
