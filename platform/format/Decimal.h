// Internal to platform/format: a double as decimal digits, rounded the way Delphi users expect.
#pragma once

#include <string>

namespace zl::format::detail {

// value = 0.d1d2d3... x 10^exponent; digits has no leading or trailing zeros; empty means zero.
struct Decimal {
    bool negative = false;
    std::string digits;
    int exponent = 0;

    bool IsZero() const { return digits.empty(); }
};

// The finite value `v` with `precision` significant digits (1..17), correctly rounded from binary.
Decimal ToDecimal(double v, int precision);

// Rounds half away from zero to `decimals` digits after the decimal point.
void RoundToDecimals(Decimal& d, int decimals);

// The digit at `index` of the integer/fraction layout: position p (1 = units, 2 = tens, ...) of
// the integer part, or the n-th digit after the point (IntDigit/FracDigit).
char IntDigit(const Decimal& d, int position);
char FracDigit(const Decimal& d, int n);
int IntDigitCount(const Decimal& d);  // digits left of the point, 0 when the value is below 1

// Inserts `sep` between groups of three digits (no separator when sep is '\0').
std::string GroupThousands(const std::string& intDigits, char sep);

// "-ddd.ddd" with exactly `decimals` digits after the point, optionally grouped by thousands.
// No minus sign when the rounded value is zero.
std::string FixedText(double v, int decimals, bool thousands);

// Delphi's general format (ffGeneral): `precision` significant digits, no trailing zeros, fixed
// notation when the value has at most `precision` integer digits and is >= 0.00001, otherwise
// "d.dddE[-]x" with at least `expDigits` exponent digits.
std::string GeneralText(double v, int precision, int expDigits = 0);

// Delphi's ffExponent: "-d.dddE+xxx" with `precision` digits and `expDigits` minimum exponent
// digits.
std::string ExponentText(double v, int precision, int expDigits);

// "NAN", "INF", "-INF" for a value that is not finite; empty otherwise.
std::string NonFiniteText(double v);

}  // namespace zl::format::detail
