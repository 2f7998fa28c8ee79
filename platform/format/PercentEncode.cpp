#include "platform/format/PercentEncode.h"

namespace zl::format {

namespace {

// Not std::isalnum: under the user's locale it would take single bytes of other letters.
bool IsUnreserved(char ch) {
    return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9') ||
           ch == '-' || ch == '.' || ch == '_' || ch == '~';
}

}  // namespace

std::string PercentEncode(std::string_view text, std::string_view keep) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() * 3);
    for (const char ch : text) {
        if (IsUnreserved(ch) || keep.find(ch) != std::string_view::npos) {
            out += ch;
        } else {
            const auto c = static_cast<unsigned char>(ch);
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        }
    }
    return out;
}

}  // namespace zl::format
