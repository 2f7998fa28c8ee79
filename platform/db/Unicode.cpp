#include "platform/db/Unicode.h"

#include <locale.h>
#include <wctype.h>

#include "platform/format/Utf8.h"

namespace zl::db {
namespace {

// glibc's C.UTF-8 locale carries the full Unicode case mappings, independent of the user's
// locale settings.
locale_t CaseLocale() {
    static const locale_t locale = [] {
        locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
        if (!l)
            l = newlocale(LC_CTYPE_MASK, "C.utf8", static_cast<locale_t>(0));
        return l;
    }();
    return locale;
}

// Decodes one code point at text[i] and advances i; a malformed byte decodes as itself.
char32_t Decode(std::string_view text, std::size_t& i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char c = byte(i);
    const int extra = c >= 0xF0 && c < 0xF8   ? 3
                      : c >= 0xE0 && c < 0xF0 ? 2
                      : c >= 0xC0 && c < 0xE0 ? 1
                                              : 0;
    if (extra == 0 || i + extra >= text.size()) {
        ++i;
        return c;
    }
    char32_t cp = c & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            ++i;
            return c;
        }
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    i += extra + 1;
    return cp;
}

char32_t LowerOf(char32_t cp, locale_t locale) {
    if (cp < 0x80)
        return cp >= 'A' && cp <= 'Z' ? cp + ('a' - 'A') : cp;
    if (locale)
        return static_cast<char32_t>(towlower_l(static_cast<wint_t>(cp), locale));
    return cp;
}

std::string Fold(std::string_view text, bool upper) {
    std::string out;
    out.reserve(text.size());
    const locale_t locale = CaseLocale();
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t start = i;
        const char32_t cp = Decode(text, i);
        if (i - start == 1 && cp >= 0x80) {  // a stray byte stays as it is
            out += text[start];
            continue;
        }
        wint_t mapped = static_cast<wint_t>(cp);
        if (locale)
            mapped = upper ? towupper_l(mapped, locale) : towlower_l(mapped, locale);
        else if (cp < 0x80)
            mapped = upper ? towupper(mapped) : towlower(mapped);
        format::AppendUtf8(out, static_cast<char32_t>(mapped));
    }
    return out;
}

}  // namespace

std::string ToLowerUtf8(std::string_view text) {
    return Fold(text, false);
}
std::string ToUpperUtf8(std::string_view text) {
    return Fold(text, true);
}

bool LowerCaseMatch(std::string_view text, std::string_view lowered, bool prefix) {
    const locale_t locale = CaseLocale();
    std::size_t i = 0, j = 0;
    while (j < lowered.size()) {
        if (i >= text.size())
            return false;
        const std::size_t start = i;
        char32_t cp = Decode(text, i);
        if (i - start > 1 || cp < 0x80)  // a stray byte stays as it is, as Fold keeps it
            cp = LowerOf(cp, locale);
        if (cp != Decode(lowered, j))
            return false;
    }
    return prefix || i == text.size();
}

std::size_t Utf8Length(std::string_view text) {
    std::size_t count = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        Decode(text, i);
        ++count;
    }
    return count;
}

std::string Utf8Left(std::string_view text, std::size_t characters) {
    std::size_t i = 0;
    for (std::size_t count = 0; count < characters && i < text.size(); ++count)
        Decode(text, i);
    return std::string(text.substr(0, i));
}

}  // namespace zl::db
