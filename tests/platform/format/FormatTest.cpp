// Format: Delphi's format specifiers and its errors.
#include <gtest/gtest.h>

#include "platform/format/Format.h"
#include "tests/platform/format/SettingsGuard.h"

using namespace zl::format;

TEST(Format, Integers) {
    EXPECT_EQ(Format("%d", 42), "42");
    EXPECT_EQ(Format("%d", -42), "-42");
    EXPECT_EQ(Format("%d", 0), "0");
    EXPECT_EQ(Format("%D", 7), "7");
    EXPECT_EQ(Format("%d", 9223372036854775807LL), "9223372036854775807");
    EXPECT_EQ(Format("%d", static_cast<long long>(-9223372036854775807LL - 1)),
              "-9223372036854775808");
    EXPECT_EQ(Format("%u", 42), "42");
    EXPECT_EQ(Format("%x", 255), "FF");
    EXPECT_EQ(Format("%.4x", 255), "00FF");
}

TEST(Format, IntegerPrecisionPadsWithZeros) {
    EXPECT_EQ(Format("%.10d", 7), "0000000007");
    EXPECT_EQ(Format("%.10d", -7), "-0000000007");
    EXPECT_EQ(Format("%.10d", 12345678901LL), "12345678901");
    EXPECT_EQ(Format("%.3d", 5), "005");
    EXPECT_EQ(Format("%8.3d", 5), "     005");
}

TEST(Format, Width) {
    EXPECT_EQ(Format("%5d", 42), "   42");
    EXPECT_EQ(Format("%-5d|", 42), "42   |");
    EXPECT_EQ(Format("%2d", 12345), "12345");
    EXPECT_EQ(Format("%5s", "ab"), "   ab");
    EXPECT_EQ(Format("%-5s|", "ab"), "ab   |");
    EXPECT_EQ(Format("%.2s", "abcdef"), "ab");
    EXPECT_EQ(Format("%*d", 5, 42), "   42");
    EXPECT_EQ(Format("%5.1f", 3.14159), "  3.1");
}

TEST(Format, Floats) {
    EXPECT_EQ(Format("%1.2f", 3.14159), "3.14");
    EXPECT_EQ(Format("%.2f", 2.675), "2.68");
    EXPECT_EQ(Format("%.2f", 1.005), "1.01");
    EXPECT_EQ(Format("%.2f", -2.675), "-2.68");
    EXPECT_EQ(Format("%.2f", -0.001), "0.00");
    EXPECT_EQ(Format("%.0f", 2.5), "3");
    EXPECT_EQ(Format("%f", 1.5), "1.50");  // Delphi's default precision is 2
    EXPECT_EQ(Format("%.3f", 1234567.0), "1234567.000");
    EXPECT_EQ(Format("%n", 1234567.5), "1,234,567.50");
    EXPECT_EQ(Format("%.0n", -1234567.5), "-1,234,568");
    EXPECT_EQ(Format("%e", 1234.5), "1.23450000000000E+003");
    EXPECT_EQ(Format("%.3e", -0.00012345), "-1.23E-004");
    EXPECT_EQ(Format("%g", 0.1), "0.1");
    EXPECT_EQ(Format("%g", 1e20), "1E20");
    EXPECT_EQ(Format("%m", 1234.5), "$1,234.50");
    // A float specifier accepts an integer.
    EXPECT_EQ(Format("%f", 2), "2.00");
    EXPECT_EQ(Format("%.1f", -3), "-3.0");
}

TEST(Format, FixedWritesAsTheFloatSpecifiers) {
    const struct {
        double value;
        int decimals;
        bool thousands;
        const char* text;
    } cases[] = {
        {2.675, 2, false, "2.68"},
        {-0.001, 2, false, "0.00"},
        {-1234567.5, 0, true, "-1,234,568"},
        {1234567.0, 3, false, "1234567.000"},
        {1.5, 25, false, "1.500000000000000000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(zl::format::FormatFixed(c.value, c.decimals, c.thousands), c.text) << c.value;
}

TEST(Format, FloatUsesTheDecimalSeparator) {
    zl::format::test::SettingsGuard guard;
    Settings().DecimalSeparator = ',';
    Settings().ThousandSeparator = '.';
    EXPECT_EQ(Format("%.2f", 3.14159), "3,14");
    EXPECT_EQ(Format("%n", 1234.5), "1.234,50");
}

TEST(Format, StringsAndLiterals) {
    EXPECT_EQ(Format("%s", "abc"), "abc");
    EXPECT_EQ(Format("%s", std::string("x y")), "x y");
    EXPECT_EQ(Format("%s", ""), "");
    EXPECT_EQ(Format("100%%"), "100%");
    EXPECT_EQ(Format("%d%%", 50), "50%");
    EXPECT_EQ(Format("no specifiers"), "no specifiers");
    EXPECT_EQ(Format("%s has %d items costing %.2f", "Cart", 3, 9.5),
              "Cart has 3 items costing 9.50");
    EXPECT_EQ(Format("select * from t where id = %d and name = '%s'", 12, "Bob"),
              "select * from t where id = 12 and name = 'Bob'");
}

TEST(Format, ArgumentIndex) {
    EXPECT_EQ(Format("%1:s %0:s", "a", "b"), "b a");
    EXPECT_EQ(Format("%0:s-%s-%0:s", "a", "b"), "a-b-a");
    EXPECT_EQ(Format("%d", 1, 2), "1");  // extra arguments are ignored
}

TEST(Format, MismatchedArgumentsRaise) {
    EXPECT_THROW(Format("%d", 1.5), EConvertError);
    EXPECT_THROW(Format("%d", "12"), EConvertError);
    EXPECT_THROW(Format("%x", 1.0), EConvertError);
    EXPECT_THROW(Format("%f", "1.5"), EConvertError);
    EXPECT_THROW(Format("%s", 12), EConvertError);
    EXPECT_THROW(Format("%s", 1.5), EConvertError);
}

TEST(Format, MissingArgumentsAndBadSpecifiersRaise) {
    EXPECT_THROW(Format("%d"), EConvertError);
    EXPECT_THROW(Format("%d %d", 1), EConvertError);
    EXPECT_THROW(Format("%s %s", "a"), EConvertError);
    EXPECT_THROW(Format("50%", 1), EConvertError);
    EXPECT_THROW(Format("%q", 1), EConvertError);
    EXPECT_THROW(Format("%5", 1), EConvertError);
    try {
        Format("%d", "x");
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Format '%d' invalid or incompatible with argument");
    }
}
