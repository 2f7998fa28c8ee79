#include "platform/format/Decimal.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "platform/format/Format.h"

namespace zl::format::detail {

namespace {

std::string PadNumber(int n, int minDigits) {
    std::string s = std::to_string(n);
    if (static_cast<int>(s.size()) < minDigits)
        s.insert(0, static_cast<std::size_t>(minDigits) - s.size(), '0');
    return s;
}

void StripTrailingZeros(Decimal& d) {
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits.empty())
        d.exponent = 0;
}

}  // namespace

Decimal ToDecimal(double v, int precision) {
    Decimal d;
    if (precision < 1)
        precision = 1;
    if (precision > 17)
        precision = 17;
    d.negative = std::signbit(v);
    if (v == 0.0 || !std::isfinite(v))
        return d;
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific,
                             precision - 1);
    std::string_view text(buf, static_cast<std::size_t>(res.ptr - buf));
    std::size_t e = text.find('e');
    for (std::size_t i = 0; i < e; ++i)
        if (text[i] >= '0' && text[i] <= '9')
            d.digits += text[i];
    int exp10 = 0;
    std::string_view expText = text.substr(e + 1);
    if (!expText.empty() && expText[0] == '+')
        expText.remove_prefix(1);
    std::from_chars(expText.data(), expText.data() + expText.size(), exp10);
    d.exponent = exp10 + 1;
    StripTrailingZeros(d);
    return d;
}

void RoundToDecimals(Decimal& d, int decimals) {
    if (d.IsZero())
        return;
    long keep = static_cast<long>(d.exponent) + decimals;
    if (keep < 0) {
        d.digits.clear();
        d.exponent = 0;
        return;
    }
    if (keep >= static_cast<long>(d.digits.size()))
        return;
    bool up = d.digits[static_cast<std::size_t>(keep)] >= '5';
    d.digits.resize(static_cast<std::size_t>(keep));
    if (up) {
        long i = keep - 1;
        while (i >= 0 && d.digits[static_cast<std::size_t>(i)] == '9') {
            d.digits[static_cast<std::size_t>(i)] = '0';
            --i;
        }
        if (i < 0) {
            d.digits.insert(d.digits.begin(), '1');
            ++d.exponent;
        } else {
            ++d.digits[static_cast<std::size_t>(i)];
        }
    }
    StripTrailingZeros(d);
}

char IntDigit(const Decimal& d, int position) {
    long index = static_cast<long>(d.exponent) - position;
    if (index >= 0 && index < static_cast<long>(d.digits.size()))
        return d.digits[static_cast<std::size_t>(index)];
    return '0';
}

char FracDigit(const Decimal& d, int n) {
    long index = static_cast<long>(d.exponent) + n - 1;
    if (index >= 0 && index < static_cast<long>(d.digits.size()))
        return d.digits[static_cast<std::size_t>(index)];
    return '0';
}

int IntDigitCount(const Decimal& d) {
    return d.IsZero() || d.exponent < 0 ? 0 : d.exponent;
}

std::string GroupThousands(const std::string& intDigits, char sep) {
    if (sep == '\0' || intDigits.size() <= 3)
        return intDigits;
    std::string out;
    std::size_t n = intDigits.size();
    for (std::size_t i = 0; i < n; ++i) {
        out += intDigits[i];
        std::size_t left = n - i - 1;
        if (left > 0 && left % 3 == 0)
            out += sep;
    }
    return out;
}

std::string NonFiniteText(double v) {
    if (std::isnan(v))
        return "NAN";
    if (std::isinf(v) && v < 0)
        return "-INF";
    if (std::isinf(v))
        return "INF";
    return {};
}

std::string FixedText(double v, int decimals, bool thousands) {
    if (!std::isfinite(v))
        return NonFiniteText(v);
    const FormatSettings& fs = Settings();
    Decimal d = ToDecimal(v, 15);
    RoundToDecimals(d, decimals);
    std::string intPart;
    int n = IntDigitCount(d);
    for (int p = n; p >= 1; --p)
        intPart += IntDigit(d, p);
    if (intPart.empty())
        intPart.push_back('0');
    if (thousands)
        intPart = GroupThousands(intPart, fs.ThousandSeparator);
    std::string out;
    if (d.negative && !d.IsZero())
        out += '-';
    out += intPart;
    if (decimals > 0) {
        out += fs.DecimalSeparator;
        for (int i = 1; i <= decimals; ++i)
            out += FracDigit(d, i);
    }
    return out;
}

std::string GeneralText(double v, int precision, int expDigits) {
    if (!std::isfinite(v))
        return NonFiniteText(v);
    if (precision < 1 || precision > 17)
        precision = 15;
    const char sep = Settings().DecimalSeparator;
    Decimal d = ToDecimal(v, precision);
    if (d.IsZero())
        return "0";
    std::string out;
    if (d.negative)
        out += '-';
    if (d.exponent > precision || d.exponent < -4) {
        out += d.digits[0];
        if (d.digits.size() > 1) {
            out += sep;
            out.append(d.digits, 1, std::string::npos);
        }
        int e = d.exponent - 1;
        out += 'E';
        if (e < 0)
            out += '-';
        out += PadNumber(std::abs(e), expDigits);
        return out;
    }
    if (d.exponent <= 0) {
        out += '0';
        out += sep;
        out.append(static_cast<std::size_t>(-d.exponent), '0');
        out += d.digits;
        return out;
    }
    for (int p = d.exponent; p >= 1; --p)
        out += IntDigit(d, p);
    if (static_cast<int>(d.digits.size()) > d.exponent) {
        out += sep;
        out.append(d.digits, static_cast<std::size_t>(d.exponent), std::string::npos);
    }
    return out;
}

std::string ExponentText(double v, int precision, int expDigits) {
    if (!std::isfinite(v))
        return NonFiniteText(v);
    if (precision < 1 || precision > 17)
        precision = 15;
    Decimal d = ToDecimal(v, precision);
    std::string digits = d.digits;
    int e = d.IsZero() ? 0 : d.exponent - 1;
    digits.resize(static_cast<std::size_t>(precision), '0');
    std::string out;
    if (d.negative && !d.IsZero())
        out += '-';
    out += digits[0];
    if (precision > 1) {
        out += Settings().DecimalSeparator;
        out.append(digits, 1, std::string::npos);
    }
    out += 'E';
    out += e < 0 ? '-' : '+';
    out += PadNumber(std::abs(e), expDigits);
    return out;
}

}  // namespace zl::format::detail
