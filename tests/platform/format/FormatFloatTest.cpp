// FormatFloat: the masks the Parts use, rounding and sections.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/format/Format.h"
#include "tests/platform/format/SettingsGuard.h"

using namespace zl::format;

TEST(FormatFloat, TwoAndThreeDecimals) {
    EXPECT_EQ(FormatFloat("0.00", 3.14159), "3.14");
    EXPECT_EQ(FormatFloat("0.00", 0.5), "0.50");
    EXPECT_EQ(FormatFloat("0.00", 0), "0.00");
    EXPECT_EQ(FormatFloat("0.00", 1000000), "1000000.00");
    EXPECT_EQ(FormatFloat("0.00", -3.14159), "-3.14");
    EXPECT_EQ(FormatFloat("0.000", 2), "2.000");
    EXPECT_EQ(FormatFloat("0.000", 1.0005), "1.001");
    EXPECT_EQ(FormatFloat("0.000", -1.2345), "-1.235");
}

// Values whose binary form lies just below the half are rounded as their decimal text.
TEST(FormatFloat, RoundsHalfAwayFromZeroOnTheDecimalText) {
    EXPECT_EQ(FormatFloat("0.00", 2.675), "2.68");
    EXPECT_EQ(FormatFloat("0.00", 1.005), "1.01");
    EXPECT_EQ(FormatFloat("0.00", -2.675), "-2.68");
    EXPECT_EQ(FormatFloat("0.00", 0.125), "0.13");
    EXPECT_EQ(FormatFloat("0.00", 1.115), "1.12");
    EXPECT_EQ(FormatFloat("0.00", 8.345), "8.35");
    EXPECT_EQ(FormatFloat("0.00", 0.1 + 0.2), "0.30");
    EXPECT_EQ(FormatFloat("0.00", 9.995), "10.00");
    EXPECT_EQ(FormatFloat("0.00", 99.9999), "100.00");
    EXPECT_EQ(FormatFloat("0.00", 2.674999), "2.67");
}

TEST(FormatFloat, NeverWritesMinusZero) {
    EXPECT_EQ(FormatFloat("0.00", -0.001), "0.00");
    EXPECT_EQ(FormatFloat("0.00", -0.004999), "0.00");
    EXPECT_EQ(FormatFloat("0.00", -0.005), "-0.01");
    EXPECT_EQ(FormatFloat("0.00", -0.0), "0.00");
    EXPECT_EQ(FormatFloat("0", -0.4), "0");
    EXPECT_EQ(FormatFloat("#,##0.00", -0.001), "0.00");
    EXPECT_EQ(FormatFloat("##0.# %", -0.04), "0 %");
}

TEST(FormatFloat, ThousandSeparators) {
    EXPECT_EQ(FormatFloat("#,##0.00", 1234567.891), "1,234,567.89");
    EXPECT_EQ(FormatFloat("#,##0.00", -1234.5), "-1,234.50");
    EXPECT_EQ(FormatFloat("#,##0.00", 0), "0.00");
    EXPECT_EQ(FormatFloat("#,##0.00", 12), "12.00");
    EXPECT_EQ(FormatFloat("#,##0.00", 123), "123.00");
    EXPECT_EQ(FormatFloat("#,##0.00", 1000), "1,000.00");
    EXPECT_EQ(FormatFloat("#,##0.00", 999.999), "1,000.00");
    EXPECT_EQ(FormatFloat("#,##0.00", 0.5), "0.50");
    EXPECT_EQ(FormatFloat("#,##0.00", 1234567890.125), "1,234,567,890.13");
    EXPECT_EQ(FormatFloat("#,##0.00", -999999.995), "-1,000,000.00");
    EXPECT_EQ(FormatFloat("#,##0", 1234567), "1,234,567");
    EXPECT_EQ(FormatFloat("#,##0", 999), "999");
}

TEST(FormatFloat, OptionalDecimals) {
    EXPECT_EQ(FormatFloat("#,##0.##", 1234.5), "1,234.5");
    EXPECT_EQ(FormatFloat("#,##0.##", 1234), "1,234");
    EXPECT_EQ(FormatFloat("#,##0.##", 1234.567), "1,234.57");
    EXPECT_EQ(FormatFloat("#,##0.##", 1234.999), "1,235");
    EXPECT_EQ(FormatFloat("#,##0.##", 0), "0");
    EXPECT_EQ(FormatFloat("#,##0.##", 0.1), "0.1");
    EXPECT_EQ(FormatFloat("0.0#", 1), "1.0");
    EXPECT_EQ(FormatFloat("0.0#", 1.25), "1.25");
    EXPECT_EQ(FormatFloat("0.0#", 1.2), "1.2");
}

// In FormatFloat "%" is a literal character: the value is not multiplied by 100.
TEST(FormatFloat, PercentMaskKeepsItsLiteralText) {
    EXPECT_EQ(FormatFloat("##0.# %", 12.34), "12.3 %");
    EXPECT_EQ(FormatFloat("##0.# %", 0), "0 %");
    EXPECT_EQ(FormatFloat("##0.# %", 100), "100 %");
    EXPECT_EQ(FormatFloat("##0.# %", 1234.56), "1234.6 %");
    EXPECT_EQ(FormatFloat("##0.# %", 0.04), "0 %");
    EXPECT_EQ(FormatFloat("##0.# %", 0.05), "0.1 %");
    EXPECT_EQ(FormatFloat("##0.# %", 5.55), "5.6 %");
    EXPECT_EQ(FormatFloat("##0.# %", -5.55), "-5.6 %");
    EXPECT_EQ(FormatFloat("##0.# %", 99.96), "100 %");
}

TEST(FormatFloat, WholeNumbers) {
    EXPECT_EQ(FormatFloat("0", 2.5), "3");
    EXPECT_EQ(FormatFloat("0", -2.5), "-3");
    EXPECT_EQ(FormatFloat("0", 0.4), "0");
    EXPECT_EQ(FormatFloat("0", 1234.5), "1235");
    EXPECT_EQ(FormatFloat("0", 0), "0");
    EXPECT_EQ(FormatFloat("#", 0), "");
    EXPECT_EQ(FormatFloat("#", 0.4), "");
    EXPECT_EQ(FormatFloat("#", 5), "5");
    EXPECT_EQ(FormatFloat("#", 12345.6), "12346");
    EXPECT_EQ(FormatFloat("00000", 42), "00042");
    EXPECT_EQ(FormatFloat("000", 12345), "12345");
    EXPECT_EQ(FormatFloat("#.00", 0.5), ".50");
}

TEST(FormatFloat, Sections) {
    const char* mask = "0.00;(0.00);zero";
    EXPECT_EQ(FormatFloat(mask, 5), "5.00");
    EXPECT_EQ(FormatFloat(mask, -5), "(5.00)");
    EXPECT_EQ(FormatFloat(mask, 0), "zero");
    EXPECT_EQ(FormatFloat(mask, -0.001), "zero");  // rounds to zero: the zero section
    EXPECT_EQ(FormatFloat(mask, 0.001), "zero");
    EXPECT_EQ(FormatFloat("0.00;(0.00)", -1234.5), "(1234.50)");
    EXPECT_EQ(FormatFloat("0.00;(0.00)", 0), "0.00");
    EXPECT_EQ(FormatFloat("0.00;(0.00)", -0.001), "0.00");
    EXPECT_EQ(FormatFloat("#,##0.00;-#,##0.00;-", 0), "-");
    EXPECT_EQ(FormatFloat("#,##0.00;-#,##0.00;-", -1234), "-1,234.00");
    EXPECT_EQ(FormatFloat("0.00;;nil", -2), "-2.00");  // empty negative section: section 0
    EXPECT_EQ(FormatFloat("0.00;;nil", 0), "nil");
}

TEST(FormatFloat, LiteralAndQuotedText) {
    EXPECT_EQ(FormatFloat("'Total: '0.00", 3.14159), "Total: 3.14");
    EXPECT_EQ(FormatFloat("\"#\"0", 5), "#5");
    EXPECT_EQ(FormatFloat("0.00 'a;b'", 1), "1.00 a;b");
    EXPECT_EQ(FormatFloat("$#,##0.00", 1234.5), "$1,234.50");
    EXPECT_EQ(FormatFloat("$#,##0.00", -1234.5), "-$1,234.50");
    EXPECT_EQ(FormatFloat("0.00 kg", 2.5), "2.50 kg");
}

TEST(FormatFloat, Scientific) {
    EXPECT_EQ(FormatFloat("0.00E+00", 1234.5), "1.23E+03");
    EXPECT_EQ(FormatFloat("0.00E+00", 0.000123), "1.23E-04");
    EXPECT_EQ(FormatFloat("0.00E-00", 1234.5), "1.23E03");
    EXPECT_EQ(FormatFloat("0.###E+0", 1234.5), "1.235E+3");
    EXPECT_EQ(FormatFloat("0.00E+00", 9.999), "1.00E+01");
}

TEST(FormatFloat, HugeValuesAndSpecialValues) {
    EXPECT_EQ(FormatFloat("0.00", 1e20), "1E20");
    EXPECT_EQ(FormatFloat("0", 1e17), "100000000000000000");
    EXPECT_EQ(FormatFloat("0.00", std::numeric_limits<double>::quiet_NaN()), "NAN");
    EXPECT_EQ(FormatFloat("0.00", -std::numeric_limits<double>::infinity()), "-INF");
    EXPECT_EQ(FormatFloat("", 2.5), "2.5");
}

TEST(FormatFloat, UsesTheSettingsSeparators) {
    zl::format::test::SettingsGuard guard;
    Settings().DecimalSeparator = ',';
    Settings().ThousandSeparator = '.';
    EXPECT_EQ(FormatFloat("#,##0.00", 1234567.891), "1.234.567,89");
    EXPECT_EQ(FormatFloat("##0.# %", 12.34), "12,3 %");
    Settings().ThousandSeparator = '\0';
    EXPECT_EQ(FormatFloat("#,##0.00", 1234567.891), "1234567,89");
}

TEST(FormatFloat, SettingsAreRestoredAfterTheTest) {
    EXPECT_EQ(FormatFloat("#,##0.00", 1234.5), "1,234.50");
}
