// FormatFloat: the masks the Parts use, rounding and sections.
#include <gtest/gtest.h>

#include <limits>
#include <utility>
#include <vector>

#include "platform/format/Format.h"
#include "tests/platform/format/SettingsGuard.h"

using namespace zl::format;

namespace {

// Each value formatted with the mask gives the text beside it.
void ExpectTexts(const char* mask, std::vector<std::pair<double, const char*>> cases) {
    for (const auto& [value, text] : cases)
        EXPECT_EQ(FormatFloat(mask, value), text) << "mask " << mask << ", value " << value;
}

}  // namespace

TEST(FormatFloat, FixedDecimals) {
    ExpectTexts("0.00", {{3.14159, "3.14"},
                         {0.5, "0.50"},
                         {0, "0.00"},
                         {1000000, "1000000.00"},
                         {-3.14159, "-3.14"}});
    ExpectTexts("0.000", {{2, "2.000"}, {1.0005, "1.001"}, {-1.2345, "-1.235"}});
    // Values whose binary form lies just below the half are rounded as their decimal text.
    ExpectTexts("0.00", {{2.675, "2.68"},
                         {1.005, "1.01"},
                         {-2.675, "-2.68"},
                         {0.125, "0.13"},
                         {1.115, "1.12"},
                         {8.345, "8.35"},
                         {0.1 + 0.2, "0.30"},
                         {9.995, "10.00"},
                         {99.9999, "100.00"},
                         {2.674999, "2.67"}});
    // Never "-0.00".
    ExpectTexts("0.00", {{-0.001, "0.00"}, {-0.004999, "0.00"}, {-0.005, "-0.01"}, {-0.0, "0.00"}});
    ExpectTexts("0", {{-0.4, "0"}});
    ExpectTexts("#,##0.00", {{-0.001, "0.00"}});
    ExpectTexts("##0.# %", {{-0.04, "0 %"}});
}

TEST(FormatFloat, ThousandSeparatorsAndOptionalDecimals) {
    ExpectTexts("#,##0.00", {{1234567.891, "1,234,567.89"},
                             {-1234.5, "-1,234.50"},
                             {0, "0.00"},
                             {12, "12.00"},
                             {123, "123.00"},
                             {1000, "1,000.00"},
                             {999.999, "1,000.00"},
                             {0.5, "0.50"},
                             {1234567890.125, "1,234,567,890.13"},
                             {-999999.995, "-1,000,000.00"}});
    ExpectTexts("#,##0", {{1234567, "1,234,567"}, {999, "999"}});
    ExpectTexts("#,##0.##", {{1234.5, "1,234.5"},
                             {1234, "1,234"},
                             {1234.567, "1,234.57"},
                             {1234.999, "1,235"},
                             {0, "0"},
                             {0.1, "0.1"}});
    ExpectTexts("0.0#", {{1, "1.0"}, {1.25, "1.25"}, {1.2, "1.2"}});
}

// In FormatFloat "%" is a literal character: the value is not multiplied by 100.
TEST(FormatFloat, PercentMaskKeepsItsLiteralText) {
    ExpectTexts("##0.# %", {{12.34, "12.3 %"},
                            {0, "0 %"},
                            {100, "100 %"},
                            {1234.56, "1234.6 %"},
                            {0.04, "0 %"},
                            {0.05, "0.1 %"},
                            {5.55, "5.6 %"},
                            {-5.55, "-5.6 %"},
                            {99.96, "100 %"}});
}

TEST(FormatFloat, WholeNumbers) {
    ExpectTexts("0", {{2.5, "3"}, {-2.5, "-3"}, {0.4, "0"}, {1234.5, "1235"}, {0, "0"}});
    ExpectTexts("#", {{0, ""}, {0.4, ""}, {5, "5"}, {12345.6, "12346"}});
    ExpectTexts("00000", {{42, "00042"}});
    ExpectTexts("000", {{12345, "12345"}});
    ExpectTexts("#.00", {{0.5, ".50"}});
}

TEST(FormatFloat, Sections) {
    // -0.001 and 0.001 round to zero: the zero section.
    ExpectTexts("0.00;(0.00);zero",
                {{5, "5.00"}, {-5, "(5.00)"}, {0, "zero"}, {-0.001, "zero"}, {0.001, "zero"}});
    ExpectTexts("0.00;(0.00)", {{-1234.5, "(1234.50)"}, {0, "0.00"}, {-0.001, "0.00"}});
    ExpectTexts("#,##0.00;-#,##0.00;-", {{0, "-"}, {-1234, "-1,234.00"}});
    // An empty negative section: section 0.
    ExpectTexts("0.00;;nil", {{-2, "-2.00"}, {0, "nil"}});
}

TEST(FormatFloat, LiteralQuotedScientificAndSpecialValues) {
    ExpectTexts("'Total: '0.00", {{3.14159, "Total: 3.14"}});
    ExpectTexts("\"#\"0", {{5, "#5"}});
    ExpectTexts("0.00 'a;b'", {{1, "1.00 a;b"}});
    ExpectTexts("$#,##0.00", {{1234.5, "$1,234.50"}, {-1234.5, "-$1,234.50"}});
    ExpectTexts("0.00 kg", {{2.5, "2.50 kg"}});
    ExpectTexts("0.00E+00", {{1234.5, "1.23E+03"}, {0.000123, "1.23E-04"}, {9.999, "1.00E+01"}});
    ExpectTexts("0.00E-00", {{1234.5, "1.23E03"}});
    ExpectTexts("0.###E+0", {{1234.5, "1.235E+3"}});
    ExpectTexts("0.00", {{1e20, "1E20"},
                         {std::numeric_limits<double>::quiet_NaN(), "NAN"},
                         {-std::numeric_limits<double>::infinity(), "-INF"}});
    ExpectTexts("0", {{1e17, "100000000000000000"}});
    ExpectTexts("", {{2.5, "2.5"}});
}

TEST(FormatFloat, UsesTheSettingsSeparators) {
    {
        zl::format::test::SettingsGuard guard;
        Settings().DecimalSeparator = ',';
        Settings().ThousandSeparator = '.';
        EXPECT_EQ(FormatFloat("#,##0.00", 1234567.891), "1.234.567,89");
        EXPECT_EQ(FormatFloat("##0.# %", 12.34), "12,3 %");
        Settings().ThousandSeparator = '\0';
        EXPECT_EQ(FormatFloat("#,##0.00", 1234567.891), "1234567,89");
    }
    // The guard restores them.
    EXPECT_EQ(FormatFloat("#,##0.00", 1234.5), "1,234.50");
}
