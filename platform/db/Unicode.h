// Case folding and length of UTF-8 text, for lcase/ucase, case-insensitive locating and the
// width check of text columns.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zl::db {

std::string ToLowerUtf8(std::string_view text);
std::string ToUpperUtf8(std::string_view text);
// Whether `text`, lower-cased, equals `lowered` (text lower-cased already), or begins with it when
// `prefix`; neither is copied, so a search can try every row of a long list on each key typed.
bool LowerCaseMatch(std::string_view text, std::string_view lowered, bool prefix);
// The number of characters (code points) of UTF-8 text; a stray byte counts as one.
std::size_t Utf8Length(std::string_view text);
// The first `characters` characters of UTF-8 text (all of it when it is shorter); a character is
// never cut in half.
std::string Utf8Left(std::string_view text, std::size_t characters);

}  // namespace zl::db
