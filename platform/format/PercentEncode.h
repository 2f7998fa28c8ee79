// Percent-encoding of text for a web address or a "mailto:" request.
#pragma once

#include <string>
#include <string_view>

namespace zl::format {

// Every byte as "%XX" (upper-case hexadecimal) but the ASCII letters and digits, "-", ".", "_",
// "~" and the characters of `keep`, which stay as they are. Whatever the locale: UTF-8 text
// becomes its bytes, each encoded.
std::string PercentEncode(std::string_view text, std::string_view keep = "");

}  // namespace zl::format
