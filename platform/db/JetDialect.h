// Translation of the Jet SQL dialect that the system writes into SQLite's dialect. It works on
// tokens: string literals, names and comments are never rewritten by accident.
#pragma once

#include <string>
#include <string_view>

#include "platform/format/Format.h"

namespace zl::db {

// Rewrites one or more statements:
// - #date# literals, written in the short date format (optionally with a time), become the
//   canonical stored text 'YYYY-MM-DD HH:MM:SS';
// - "double-quoted" values become 'single-quoted' string literals;
// - [bracketed] names become "quoted" names ("]]" inside stands for "]");
// - true and false become 1 and 0;
// - "select [distinct] top N ..." becomes "select [distinct] ... limit N" (per sub-select);
// - reserved words that the schema uses as column names (table) are quoted.
// Raises DbError on an unterminated literal or an invalid date literal.
std::string TranslateJet(std::string_view sql);

// A date (and time) as a Jet date literal in the one unambiguous form, "#YYYY-MM-DD HH:MM:SS#",
// which the translation maps to the stored text. Every date written into SQL goes through here;
// titles and labels keep the user's short date format.
std::string SqlDate(format::TDateTime dt);

// A table or column name as a bracketed identifier ("]" doubled), so that a name read from the
// metadata can never end the brackets early or be taken for SQL of its own.
std::string QuoteName(std::string_view name);

}  // namespace zl::db
