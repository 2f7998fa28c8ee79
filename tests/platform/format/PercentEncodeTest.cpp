// PercentEncode: which bytes stay, which become "%XX", and what the keep set adds.
#include "platform/format/PercentEncode.h"

#include <gtest/gtest.h>

#include <string>

using zl::format::PercentEncode;

TEST(PercentEncode, KeepsOnlyUnreservedBytesAndTheKeepSet) {
    const struct {
        std::string text, keep, encoded;
    } cases[] = {
        {"", "", ""},
        {"AZaz09-._~", "", "AZaz09-._~"},
        // The neighbours of the letter and digit ranges in ASCII.
        {"/:@[`{", "", "%2F%3A%40%5B%60%7B"},
        {"a b+c&d=e?f#g%h", "", "a%20b%2Bc%26d%3De%3Ff%23g%25h"},
        {std::string("\0\r\n\x7F", 4), "", "%00%0D%0A%7F"},
        // UTF-8 "é" and a lone high byte: every byte, upper-case hexadecimal.
        {"caf\xC3\xA9 \xFF", "", "caf%C3%A9%20%FF"},
        {"jo@example.org", "@", "jo@example.org"},
        // The keep set adds to the unreserved characters and takes nothing away.
        {"x y.z", " ", "x y.z"},
        {"x@y", "!", "x%40y"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PercentEncode(c.text, c.keep), c.encoded) << c.text;
}
