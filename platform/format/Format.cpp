// Settings, Format and the text <-> number conversions.
#include "platform/format/Format.h"

#include <charconv>
#include <climits>
#include <cmath>

#include "platform/format/Decimal.h"

namespace zl::format {

FormatSettings& Settings() {
    static FormatSettings settings;
    return settings;
}

// ---------------------------------------------------------------------------------------------
// Format

namespace {

[[noreturn]] void InvalidFormat(std::string_view fmt) {
    throw EConvertError("Format '" + std::string(fmt) + "' invalid or incompatible with argument");
}

[[noreturn]] void NoArgument(std::string_view fmt) {
    throw EConvertError("No argument for format '" + std::string(fmt) + "'");
}

std::string Pad(std::string text, int width, bool left) {
    if (width > 0 && static_cast<int>(text.size()) < width) {
        std::size_t fill = static_cast<std::size_t>(width) - text.size();
        if (left)
            text.append(fill, ' ');
        else
            text.insert(0, fill, ' ');
    }
    return text;
}

std::string ZeroPadDigits(std::string digits, int precision) {
    if (precision > 0 && static_cast<int>(digits.size()) < precision)
        digits.insert(0, static_cast<std::size_t>(precision) - digits.size(), '0');
    return digits;
}

std::string UnsignedDigits(unsigned long long v, int base) {
    char buf[32];
    auto res = std::to_chars(buf, buf + sizeof buf, v, base);
    std::string s(buf, res.ptr);
    for (char& c : s)
        if (c >= 'a' && c <= 'f')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

}  // namespace

std::string FormatFixed(double value, int decimals, bool thousands) {
    return detail::FixedText(value, std::min(decimals, 18), thousands);
}

std::string FormatV(std::string_view fmt, const std::vector<FormatArg>& args) {
    std::string out;
    std::size_t next = 0;  // the next argument
    const std::size_t n = fmt.size();
    for (std::size_t i = 0; i < n; ++i) {
        char c = fmt[i];
        if (c != '%') {
            out += c;
            continue;
        }
        if (++i >= n)
            InvalidFormat(fmt);
        if (fmt[i] == '%') {
            out += '%';
            continue;
        }
        // A number or "*": taken from the arguments; -1 when absent.
        auto readNumber = [&]() -> int {
            if (i < n && fmt[i] == '*') {
                ++i;
                if (next >= args.size())
                    NoArgument(fmt);
                const auto* v = std::get_if<long long>(&args[next++]);
                if (!v)
                    InvalidFormat(fmt);
                return static_cast<int>(*v);
            }
            if (i >= n || fmt[i] < '0' || fmt[i] > '9')
                return -1;
            long long value = 0;
            while (i < n && fmt[i] >= '0' && fmt[i] <= '9') {
                value = value * 10 + (fmt[i] - '0');
                if (value > 100000)
                    InvalidFormat(fmt);
                ++i;
            }
            return static_cast<int>(value);
        };
        int first = readNumber();
        if (i < n && fmt[i] == ':') {  // "%1:s": the argument index
            if (first < 0)
                InvalidFormat(fmt);
            next = static_cast<std::size_t>(first);
            ++i;
            first = -1;
        }
        bool left = false;
        int width = first;
        if (width < 0) {
            if (i < n && fmt[i] == '-') {
                left = true;
                ++i;
            }
            width = readNumber();
        }
        int precision = -1;
        if (i < n && fmt[i] == '.') {
            ++i;
            precision = readNumber();
            if (precision < 0)
                precision = 0;
        }
        if (i >= n)
            InvalidFormat(fmt);
        char type = fmt[i];
        if (type >= 'A' && type <= 'Z')
            type = static_cast<char>(type - 'A' + 'a');
        if (std::string_view("deufgnmpsx").find(type) == std::string_view::npos)
            InvalidFormat(fmt);
        if (next >= args.size())
            NoArgument(fmt);
        const FormatArg& arg = args[next++];

        std::string text;
        switch (type) {
            case 'd':
            case 'u':
            case 'x':
            case 'p': {
                const auto* v = std::get_if<long long>(&arg);
                if (!v)
                    InvalidFormat(fmt);
                if (type == 'd') {
                    unsigned long long mag = *v < 0 ? 0ULL - static_cast<unsigned long long>(*v)
                                                    : static_cast<unsigned long long>(*v);
                    text = ZeroPadDigits(UnsignedDigits(mag, 10), precision);
                    if (*v < 0)
                        text.insert(0, 1, '-');
                } else if (type == 'u') {
                    text = ZeroPadDigits(UnsignedDigits(static_cast<unsigned long long>(*v), 10),
                                         precision);
                } else if (type == 'x') {
                    text = ZeroPadDigits(UnsignedDigits(static_cast<unsigned long long>(*v), 16),
                                         precision);
                } else {
                    text =
                        ZeroPadDigits(UnsignedDigits(static_cast<unsigned long long>(*v), 16), 16);
                }
                break;
            }
            case 'e':
            case 'f':
            case 'g':
            case 'n':
            case 'm': {
                double v;
                if (const auto* d = std::get_if<double>(&arg))
                    v = *d;
                else if (const auto* ll = std::get_if<long long>(&arg))
                    v = static_cast<double>(*ll);
                else
                    InvalidFormat(fmt);
                if (type == 'e') {
                    text = detail::ExponentText(v, precision < 0 ? 15 : precision, 3);
                } else if (type == 'f' || type == 'n') {
                    text = FormatFixed(v, precision < 0 ? 2 : precision, type == 'n');
                } else if (type == 'g') {
                    text = detail::GeneralText(v, precision < 0 ? 15 : precision, 0);
                } else {  // money: "$1,234.50", negative "($1,234.50)"
                    std::string body = detail::FixedText(
                        std::fabs(v), precision < 0 ? 2 : std::min(precision, 18), true);
                    std::string zero = detail::FixedText(0.0, precision < 0 ? 2 : precision, true);
                    bool negative = v < 0 && body != zero;
                    text = negative ? "($" + body + ")" : "$" + body;
                }
                break;
            }
            case 's': {
                const auto* s = std::get_if<std::string>(&arg);
                if (!s)
                    InvalidFormat(fmt);
                text = *s;
                if (precision >= 0 && static_cast<std::size_t>(precision) < text.size())
                    text.resize(static_cast<std::size_t>(precision));
                break;
            }
        }
        out += Pad(std::move(text), width, left);
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// Numbers

std::string IntToStr(long long value) {
    return std::to_string(value);
}

namespace {

bool ParseInt(std::string_view text, int& out) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i >= text.size())
        return false;
    long long value = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            return false;
    }
    if (negative)
        value = -value;
    if (value < INT_MIN || value > INT_MAX)
        return false;
    out = static_cast<int>(value);
    return true;
}

}  // namespace

int StrToInt(std::string_view text) {
    int value = 0;
    if (!ParseInt(text, value))
        throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
    return value;
}

int StrToIntDef(std::string_view text, int fallback) {
    int value = 0;
    return ParseInt(text, value) ? value : fallback;
}

bool TryStrToFloat(std::string_view text, double& out) {
    // Surrounding blanks are allowed, as Delphi's TextToFloat allows them.
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    const char sep = Settings().DecimalSeparator;
    std::string clean;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-')
            clean += '-';
        ++i;
    }
    int mantissaDigits = 0;
    long firstSignificant = LONG_MIN;  // decimal power of the first non-zero digit
    int intDigits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        if (firstSignificant == LONG_MIN && text[i] != '0')
            firstSignificant = mantissaDigits;
        clean += text[i++];
        ++mantissaDigits;
    }
    intDigits = mantissaDigits;
    if (i < text.size() && (text[i] == '.' || text[i] == sep)) {
        clean += '.';
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            if (firstSignificant == LONG_MIN && text[i] != '0')
                firstSignificant = mantissaDigits;
            clean += text[i++];
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return false;
    long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        clean += 'e';
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            negativeExponent = text[i] == '-';
            clean += text[i++];
        }
        int expDigits = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            if (exponent < 100000)
                exponent = exponent * 10 + (text[i] - '0');
            clean += text[i++];
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
        if (negativeExponent)
            exponent = -exponent;
    }
    if (i != text.size())
        return false;
    double value = 0;
    auto res = std::from_chars(clean.data(), clean.data() + clean.size(), value);
    if (res.ec == std::errc::result_out_of_range) {
        // Underflow to zero is harmless; overflow is not a valid value.
        if (firstSignificant == LONG_MIN)
            return false;
        long power = intDigits - 1 - firstSignificant + exponent;
        if (power > 0)
            return false;
        value = 0.0;
    } else if (res.ec != std::errc() || res.ptr != clean.data() + clean.size()) {
        return false;
    }
    if (!std::isfinite(value))
        return false;
    out = value;
    return true;
}

double StrToFloat(std::string_view text) {
    double value = 0;
    if (!TryStrToFloat(text, value))
        throw EConvertError("'" + std::string(text) + "' is not a valid floating point value");
    return value;
}

std::string FloatToStr(double value) {
    return detail::GeneralText(value, 15, 0);
}

}  // namespace zl::format
