// Text <-> number conversions.
#include <gtest/gtest.h>

#include <climits>

#include "platform/format/Format.h"
#include "tests/platform/format/SettingsGuard.h"

using namespace zl::format;

TEST(IntToStr, Values) {
    EXPECT_EQ(IntToStr(0), "0");
    EXPECT_EQ(IntToStr(-42), "-42");
    EXPECT_EQ(IntToStr(2147483648LL), "2147483648");
    EXPECT_EQ(IntToStr(LLONG_MIN), "-9223372036854775808");
}

TEST(StrToInt, OptionalSignAndDigits) {
    EXPECT_EQ(StrToInt("123"), 123);
    EXPECT_EQ(StrToInt("-45"), -45);
    EXPECT_EQ(StrToInt("+7"), 7);
    EXPECT_EQ(StrToInt("007"), 7);
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(StrToInt("-2147483648"), INT_MIN);
}

TEST(StrToInt, AnythingElseRaises) {
    try {
        StrToInt("abc");
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
    }
    for (const char* bad : {"", " 12", "12 ", "1.5", "1e3", "2147483648", "-2147483649",
                            "99999999999999999999", "-", "+", "12a", "1,000", "--1", "0x10"})
        EXPECT_THROW(StrToInt(bad), EConvertError) << bad;
}

TEST(StrToInt, Default) {
    EXPECT_EQ(StrToIntDef("x", -1), -1);
    EXPECT_EQ(StrToIntDef("", 5), 5);
    EXPECT_EQ(StrToIntDef("15", 0), 15);
    EXPECT_EQ(StrToIntDef("-3", 0), -3);
}

TEST(StrToFloat, Values) {
    EXPECT_EQ(StrToFloat("3.14"), 3.14);
    EXPECT_EQ(StrToFloat("-0.5"), -0.5);
    EXPECT_EQ(StrToFloat("+2"), 2.0);
    EXPECT_EQ(StrToFloat("1e3"), 1000.0);
    EXPECT_EQ(StrToFloat("1.5E-2"), 0.015);
    EXPECT_EQ(StrToFloat(".5"), 0.5);
    EXPECT_EQ(StrToFloat("5."), 5.0);
    EXPECT_EQ(StrToFloat(" 2.5 "), 2.5);
    EXPECT_EQ(StrToFloat("1234567.891"), 1234567.891);
    EXPECT_EQ(StrToFloat("1e-400"), 0.0);
    double out = 0;
    EXPECT_TRUE(TryStrToFloat("0.1", out));
    EXPECT_EQ(out, 0.1);
}

TEST(StrToFloat, AnythingElseRaises) {
    try {
        StrToFloat("x");
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'x' is not a valid floating point value");
    }
    for (const char* bad : {"", " ", "1,5", "1e", "e5", "1.2.3", "--1", "1e999", "-1e999", "nan",
                            "inf", ".", "-.", "1 2", "0x10", "1,000.5"}) {
        double out = 7;
        EXPECT_FALSE(TryStrToFloat(bad, out)) << bad;
        EXPECT_EQ(out, 7) << bad;
        EXPECT_THROW(StrToFloat(bad), EConvertError) << bad;
    }
}

TEST(StrToFloat, IsIndependentOfTheCLocale) {
    // Whatever the process locale says, "." is the decimal point.
    EXPECT_EQ(StrToFloat("0.25"), 0.25);
    EXPECT_EQ(FloatToStr(0.25), "0.25");
}

TEST(FloatToStr, GeneralFormat) {
    EXPECT_EQ(FloatToStr(0), "0");
    EXPECT_EQ(FloatToStr(-0.0), "0");
    EXPECT_EQ(FloatToStr(0.1), "0.1");
    EXPECT_EQ(FloatToStr(-0.5), "-0.5");
    EXPECT_EQ(FloatToStr(2.5), "2.5");
    EXPECT_EQ(FloatToStr(100), "100");
    EXPECT_EQ(FloatToStr(0.1 + 0.2), "0.3");
    EXPECT_EQ(FloatToStr(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(FloatToStr(2.0 / 3), "0.666666666666667");
    EXPECT_EQ(FloatToStr(1234567.891), "1234567.891");
    EXPECT_EQ(FloatToStr(0.0001), "0.0001");
    EXPECT_EQ(FloatToStr(999999999999999.0), "999999999999999");
}

TEST(FloatToStr, ExponentForLargeAndTinyValues) {
    EXPECT_EQ(FloatToStr(1e15), "1E15");
    EXPECT_EQ(FloatToStr(1e20), "1E20");
    EXPECT_EQ(FloatToStr(-1e20), "-1E20");
    EXPECT_EQ(FloatToStr(1.5e300), "1.5E300");
    EXPECT_EQ(FloatToStr(123456789012345678.0), "1.23456789012346E17");
    EXPECT_EQ(FloatToStr(1.5e-7), "1.5E-7");
    EXPECT_EQ(FloatToStr(1e-7), "1E-7");
}

TEST(FloatToStr, RoundTripsThroughStrToFloatToFifteenDigits) {
    for (double v : {0.1, 3.14159, -2.675, 1234567.891, 1e-10, 6.02214076e23, 123.456}) {
        double back = StrToFloat(FloatToStr(v));
        EXPECT_NEAR(back, v, std::abs(v) * 1e-14) << v;
    }
}

TEST(FloatToStr, UsesTheDecimalSeparator) {
    zl::format::test::SettingsGuard guard;
    Settings().DecimalSeparator = ',';
    EXPECT_EQ(FloatToStr(2.5), "2,5");
    EXPECT_EQ(StrToFloat("2,5"), 2.5);  // what FloatToStr writes reads back
    EXPECT_EQ(StrToFloat("2.5"), 2.5);
}
