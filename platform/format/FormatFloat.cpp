// FormatFloat: Delphi's digit-placeholder masks.
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "platform/format/Decimal.h"
#include "platform/format/Format.h"

namespace zl::format {

namespace {

using detail::Decimal;

// The layout of one section of a mask.
struct SectionInfo {
    int intPlaceholders = 0;  // '0' and '#' before the decimal point
    int minInt = 0;           // integer digits always written (from the first '0')
    int fracPlaceholders = 0;
    int minFrac = 0;  // decimals always written (up to the last '0')
    bool thousands = false;
    bool scientific = false;
};

bool IsExponentAt(std::string_view s, std::size_t i) {
    return (s[i] == 'E' || s[i] == 'e') && i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-');
}

SectionInfo Scan(std::string_view s) {
    SectionInfo info;
    bool point = false;
    int firstZero = -1;
    for (std::size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c == '\'' || c == '"') {
            std::size_t end = s.find(c, i + 1);
            i = end == std::string_view::npos ? s.size() : end;
        } else if (c == '0' || c == '#') {
            if (!point) {
                if (c == '0' && firstZero < 0)
                    firstZero = info.intPlaceholders;
                ++info.intPlaceholders;
            } else {
                ++info.fracPlaceholders;
                if (c == '0')
                    info.minFrac = info.fracPlaceholders;
            }
        } else if (c == '.') {
            point = true;
        } else if (c == ',') {
            info.thousands = true;
        } else if (!info.scientific && IsExponentAt(s, i)) {
            info.scientific = true;
            i += 1;
            while (i + 1 < s.size() && s[i + 1] == '0')
                ++i;
        }
    }
    if (firstZero >= 0)
        info.minInt = info.intPlaceholders - firstZero;
    return info;
}

std::vector<std::string_view> SplitSections(std::string_view mask) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (std::size_t i = 0; i < mask.size(); ++i) {
        char c = mask[i];
        if (c == '\'' || c == '"') {
            std::size_t end = mask.find(c, i + 1);
            i = end == std::string_view::npos ? mask.size() - 1 : end;
        } else if (c == ';') {
            out.push_back(mask.substr(start, i - start));
            start = i + 1;
            if (out.size() == 2)
                break;  // a third section runs to the end
        }
    }
    out.push_back(mask.substr(start));
    if (out.size() > 3)
        out.resize(3);
    return out;
}

std::string PadNumber(int n, int minDigits) {
    std::string s = std::to_string(n);
    if (static_cast<int>(s.size()) < minDigits)
        s.insert(0, static_cast<std::size_t>(minDigits) - s.size(), '0');
    return s;
}

// Writes `value` with one section; nullopt when a non-zero value rounds to zero under it.
std::optional<std::string> Render(std::string_view s, double value, bool writeMinus) {
    const FormatSettings& fs = Settings();
    SectionInfo info = Scan(s);
    Decimal d = detail::ToDecimal(value, 15);
    if (!info.scientific && !d.IsZero() && d.exponent > 18)
        return detail::GeneralText(value, 15);

    int shownExponent = 0;
    if (info.scientific) {
        int sig = info.intPlaceholders + info.fracPlaceholders;
        if (sig < 1)
            sig = 1;
        if (!d.IsZero()) {
            detail::RoundToDecimals(d, sig - d.exponent);
            shownExponent = d.exponent - info.intPlaceholders;
            d.exponent = info.intPlaceholders;
        }
    } else {
        detail::RoundToDecimals(d, info.fracPlaceholders);
    }
    if (d.IsZero() && value != 0.0)
        return std::nullopt;

    int n = std::max(detail::IntDigitCount(d), info.minInt);
    int f = info.minFrac;
    for (int i = info.fracPlaceholders; i > f; --i) {
        if (detail::FracDigit(d, i) != '0') {
            f = i;
            break;
        }
    }

    std::string out;
    if (writeMinus && !d.IsZero())
        out += '-';
    auto emitDigit = [&](int p) {
        out += detail::IntDigit(d, p);
        if (info.thousands && fs.ThousandSeparator != '\0' && p > 1 && (p - 1) % 3 == 0)
            out += fs.ThousandSeparator;
    };
    int intSeen = 0;
    int fracSeen = 0;
    bool point = false;
    bool exponentDone = false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c == '\'' || c == '"') {
            std::size_t end = s.find(c, i + 1);
            if (end == std::string_view::npos)
                end = s.size();
            out.append(s.substr(i + 1, end - i - 1));
            i = end;
        } else if (c == '0' || c == '#') {
            if (!point) {
                int pos = info.intPlaceholders - intSeen;
                ++intSeen;
                if (intSeen == 1)
                    for (int p = n; p > pos; --p)
                        emitDigit(p);
                if (pos <= n)
                    emitDigit(pos);
            } else {
                ++fracSeen;
                if (fracSeen <= f)
                    out += detail::FracDigit(d, fracSeen);
            }
        } else if (c == '.' && !point) {
            point = true;
            if (intSeen == 0)
                for (int p = n; p >= 1; --p)
                    emitDigit(p);
            if (f > 0)
                out += fs.DecimalSeparator;
        } else if (c == ',') {
            // the thousands flag; writes nothing itself
        } else if (info.scientific && !exponentDone && IsExponentAt(s, i)) {
            exponentDone = true;
            bool alwaysSign = s[i + 1] == '+';
            int digits = 0;
            i += 1;
            while (i + 1 < s.size() && s[i + 1] == '0') {
                ++digits;
                ++i;
            }
            out += c;
            if (shownExponent < 0)
                out += '-';
            else if (alwaysSign)
                out += '+';
            out += PadNumber(std::abs(shownExponent), digits);
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

std::string FormatFloat(std::string_view mask, double value) {
    if (!std::isfinite(value))
        return detail::NonFiniteText(value);
    if (mask.empty())
        return FloatToStr(value);
    std::vector<std::string_view> sections = SplitSections(mask);
    auto usable = [&](std::size_t i) { return i < sections.size() && !sections[i].empty(); };
    std::size_t index = 0;
    if (value < 0 && usable(1))
        index = 1;
    else if (value == 0 && usable(2))
        index = 2;
    if (value == 0)
        value = 0.0;  // no "-0"
    std::optional<std::string> out = Render(sections[index], value, index == 0 && value < 0);
    if (out)
        return *out;
    // The value rounds to zero under its section: write it as zero, never as "-0.00".
    index = usable(2) ? 2 : 0;
    return *Render(sections[index], 0.0, false);
}

}  // namespace zl::format
