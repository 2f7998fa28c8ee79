// The letter merge: a byte copy of an RTF template with its tags replaced by escaped values.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/DataMod.h"
#include "core/Globals.h"
#include "core/Template.h"
#include "platform/format/Format.h"
#include "tests/support/CoreFixture.h"

namespace zl {
namespace {

constexpr int kTemplate = 11;  // the delivered sample letter's row
constexpr int kCustomer = 9001;

class TemplateMergeTest : public test::CoreFixture {
  protected:
    void SetUp() override {
        ConnectAll();
        CurUserId = 2;
        CurBusUnitId = 3;
        Exec(
            "insert into entity (entity_id, dimension_id, entity_name, entity_first, "
            "entity_title, entity_fullname) values (9001, 1, 'Smith', 'John', 'Mr', "
            "'Smith John Mr')");
        Exec(
            "insert into address (address_id, entity_id, address_postal1, address_pcode) values "
            "(9011, 9001, '12 High Street', '8001')");
        Exec("update entity set entity_email='system@example.com' where entity_id=2");
        templatePath = folder.Home() + "/letter.rtf";
        outPath = folder.Home() + "/out.rtf";
        Exec("update doc_template set doc_template_file='" + templatePath +
             "' where doc_template_id=11");
    }
    void TearDown() override { format::Settings() = format::FormatSettings{}; }

    void Exec(const std::string& sql) { ASSERT_TRUE(dm->actionQuery(sql, "test")) << sql; }
    void WriteTemplate(const std::string& bytes) {
        std::ofstream(templatePath, std::ios::binary) << bytes;
    }
    // Merges `bytes` for the customer and returns what was written.
    std::string Merged(const std::string& bytes, int customer = kCustomer) {
        WriteTemplate(bytes);
        std::filesystem::remove(outPath);  // each merge makes a new letter
        Template merge;
        EXPECT_TRUE(merge.Merge(kTemplate, customer, outPath));
        return test::ReadFile(outPath);
    }

    std::string templatePath;
    std::string outPath;
};

TEST(RtfText, EscapesWhatRtfWouldReadAsMarkup) {
    const struct {
        std::string value;
        std::string rtf;
    } cases[] = {
        {"Plain 12 High St. (unit 3) #4 <a> ~", "Plain 12 High St. (unit 3) #4 <a> ~"},
        {"a{b}c\\d", "a\\{b\\}c\\\\d"},
        {"}\\par{\\b", "\\}\\\\par\\{\\\\b"},
        {"Caf\xC3\xA9", "Caf\\u233?"},  // é
        {"\xE2\x82\xAC"
         "5",
         "\\u8364?5"},                                // €
        {"\xEF\xA3\xBF", "\\u-1793?"},                // U+F8FF: above 0x7FFF, negative
        {"\xF0\x9F\x98\x80", "\\u-10179?\\u-8704?"},  // U+1F600 as a surrogate pair
        {"a\xFF"
         "b",
         "a\\u-3?b"},  // a stray byte: the replacement
        {"1\r\n2\n3\r4\r\n\r\n5", "1\\par 2\\par 3\\par 4\\par \\par 5"},  // line breaks
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RtfText(c.value), c.rtf) << c.value;
}

TEST_F(TemplateMergeTest, EveryTagFamilyIsReplacedAndEverythingElseCopied) {
    format::Settings().ShortDateFormat = "dd-MM-yyyy";
    const std::time_t now = std::time(nullptr);
    std::tm today{};
    localtime_r(&now, &today);
    char date[32];
    std::strftime(date, sizeof date, "%d-%m-%Y", &today);
    const auto hhmm = [] {
        const std::time_t t = std::time(nullptr);
        std::tm local{};
        localtime_r(&t, &local);
        char text[16];
        std::strftime(text, sizeof text, "%H:%M", &local);
        return std::string(text);
    };
    const std::string before = hhmm();
    const std::string out = Merged(
        "{\\rtf1\\ansi <_customer_fullname_>|<_customer_pcode_>|<_customer_postal1_>|"
        "<_busunit_name_>|<_busunit_postal1_>|<_user_fullname_>|<_user_email_>|"
        "<_system_date_>|<_system_time_>\\par\r\n}");
    const std::string after = hhmm();
    const std::string head =
        "{\\rtf1\\ansi Smith John Mr|8001|12 High Street|My business|Postal address|System  |"
        "system@example.com|" +
        std::string(date) + "|";
    EXPECT_TRUE(out == head + before + "\\par\r\n}" || out == head + after + "\\par\r\n}") << out;
}

TEST_F(TemplateMergeTest, ValuesAreEscapedSoThatNoneCanInjectRtf) {
    Exec("update entity set entity_name='Sm{ith}\\par \xC3\xA9' where entity_id=9001");
    EXPECT_EQ(Merged("{<_customer_name_>}"), "{Sm\\{ith\\}\\\\par \\u233?}");
}

TEST_F(TemplateMergeTest, ALineBreakInAValueStartsAParagraphOfTheLetter) {
    Exec(
        "update address set address_postal1='Line one' || char(13, 10) || 'Line two' "
        "where address_id=9011");
    EXPECT_EQ(Merged("{\\pard <_customer_postal1_>\\par}"), "{\\pard Line one\\par Line two\\par}");
}

TEST_F(TemplateMergeTest, TagsAreCopiedOrDroppedAsTheirTextSays) {
    const struct {
        const char* name;
        std::string tmpl;
        std::string out;
    } cases[] = {
        {"no tags: byte copy", std::string("{\\rtf1 a\r\nb\x00\xE9\xFF}", 13),
         std::string("{\\rtf1 a\r\nb\x00\xE9\xFF}", 13)},
        {"formatting around the names", "[<{\\b _customer}_{\\i name}\\b0 _>]", "[Smith]"},
        {"any case of the brackets' content is not a tag", "[<_CUSTOMER_NAME_>]", "[]"},
        {"formatting splitting a name", "[<_cust\\b omer_name_>]", "[]"},
        {"unknown text is dropped", "a < b and c > d", "a  d"},
        {"no closing bracket swallows the rest", "x<_customer_ and more\\par}", "x"},
        {"the last item named wins", "<_customer_pcode_>,<_customer_fullname_>",
         "8001,Smith John Mr"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Merged(c.tmpl), c.out) << c.name;
}

TEST_F(TemplateMergeTest, CleanTagNamesTheCanonicalTagOrNothing) {
    Template merge;
    const struct {
        std::string raw;
        std::string tag;
    } cases[] = {
        {"_customer_name_>", "<_customer_name_>"},
        {"\\plain\\f1 _busunit_\\fs20 postal2_>", "<_busunit_postal2_>"},
        {"user fullname>", "<_user_fullname_>"},
        {"_system_time_>", "<_system_time_>"},
        {"_customer_>", ""},
        {"_Customer_name_>", ""},
        {"_cus\\b tomer_name_>", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(merge.CleanTag(c.raw), c.tag) << c.raw;
}

TEST_F(TemplateMergeTest, ACustomerWithoutARowGivesEmptyText) {
    EXPECT_EQ(Merged("[<_customer_name_>][<_busunit_name_>]", 123456), "[][My business]");
}

TEST_F(TemplateMergeTest, AMissingTemplateFileIsReportedAndNothingIsWritten) {
    Exec("update doc_template set doc_template_file='" + folder.Home() +
         "/gone.rtf' where doc_template_id=11");
    Template merge;
    EXPECT_FALSE(merge.Merge(kTemplate, kCustomer, outPath));
    EXPECT_FALSE(std::filesystem::exists(outPath));
    ASSERT_EQ(prompter.Count(), 1u);
    EXPECT_EQ(prompter.Messages()[0].text, "Template file not found");
    // A template row that is not there has no file either.
    WriteTemplate("x");
    EXPECT_FALSE(merge.Merge(424242, kCustomer, outPath));
    EXPECT_FALSE(std::filesystem::exists(outPath));
    EXPECT_EQ(prompter.Count(), 2u);
}

TEST_F(TemplateMergeTest, AFailedWriteLeavesNoHalfLetter) {
    ASSERT_TRUE(dm->actionQuery(dm->repConn,
                                "insert into template_tag (template_tag_id, template_tag_tag, "
                                "\"table\", suffix, tablefield) values (299, '<_customer_bogus_>', "
                                "'customer', 'bogus', 'no_such_column')",
                                "test"));
    WriteTemplate("before <_customer_name_> <_customer_bogus_> after");
    Template merge;
    EXPECT_ANY_THROW(merge.Merge(kTemplate, kCustomer, outPath));
    EXPECT_FALSE(std::filesystem::exists(outPath));
    // An output that cannot be created raises too, and no file appears.
    const std::string nowhere = folder.Home() + "/no/such/folder/out.rtf";
    EXPECT_ANY_THROW(merge.Merge(kTemplate, kCustomer, nowhere));
    EXPECT_FALSE(std::filesystem::exists(nowhere));
}

TEST_F(TemplateMergeTest, ALetterGoesIntoItsReservedEmptyFileAndNeverOverAnother) {
    WriteTemplate("Dear <_customer_name_>");
    std::ofstream(outPath, std::ios::binary).close();
    Template merge;
    EXPECT_TRUE(merge.Merge(kTemplate, kCustomer, outPath));
    EXPECT_EQ(test::ReadFile(outPath), "Dear Smith");
    // A path handed out twice names someone's letter: it stays as it is.
    EXPECT_ANY_THROW(merge.Merge(kTemplate, kCustomer, outPath));
    EXPECT_EQ(test::ReadFile(outPath), "Dear Smith");
}

// A numbered folder swapped for a link after the path was reserved: the letter is not written
// through it.
TEST_F(TemplateMergeTest, ALinkPutInPlaceOfTheReservedFolderReceivesNothing) {
    WriteTemplate("Dear <_customer_name_>");
    const SwappedReservation swapped = ReserveThenSwapFolderForLink("doc", ".rtf");
    Template merge;
    EXPECT_ANY_THROW(merge.Merge(kTemplate, kCustomer, swapped.reserved));
    EXPECT_EQ(std::filesystem::file_size(swapped.linkTarget), 0u);
}

}  // namespace
}  // namespace zl
