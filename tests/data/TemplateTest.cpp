// Template tags and the delivered sample letter and local pages.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "ScriptDb.h"

namespace {

using zl::test::ReadScript;
using zl::test::ScriptDb;

std::string ReadFile(const std::string& relative) {
    std::ifstream in(std::string(ZELMAR_SOURCE_DIR) + "/data/" + relative, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(DataTemplate, TagsAreNormalisedAndNameColumnsOfTheirSource) {
    ScriptDb meta, main;
    ASSERT_EQ(meta.Exec(ReadScript("zlm_meta.sql")), "");
    ASSERT_EQ(main.Exec(ReadScript("zlm.sql")), "");
    const auto tags = meta.Rows(
        "select template_tag_tag, \"table\", suffix, tablefield "
        "from template_tag order by template_tag_id");
    ASSERT_FALSE(tags.empty());
    std::set<std::string> families;
    for (const auto& t : tags) {
        EXPECT_EQ(t[0], "<_" + t[1] + "_" + t[2] + "_>");
        families.insert(t[1]);
        std::string source;
        if (t[1] == "customer" || t[1] == "busunit") {
            source = "repEntityAddress";
        } else if (t[1] == "user") {
            source = "entity";
        } else {
            EXPECT_EQ(t[1], "system");
            continue;
        }
        EXPECT_NO_THROW(main.Rows("select " + t[3] + " from " + source)) << t[0];
    }
    EXPECT_EQ(families, (std::set<std::string>{"busunit", "customer", "system", "user"}));
    EXPECT_EQ(meta.Int("select count(*) from template_tag where template_tag_tag in "
                       "('<_system_date_>', '<_system_time_>')"),
              2);
    // No family name occurs in another's tags, so a tag names one family only.
    for (const auto& t : tags) {
        for (const auto& f : families) {
            if (f != t[1]) {
                EXPECT_EQ(t[0].find(f), std::string::npos) << t[0] << " contains " << f;
            }
        }
    }
}

TEST(DataTemplate, SampleLetterIsRtfUsingKnownTags) {
    const std::string rtf = ReadFile("sampletemplate.rtf");
    ASSERT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
    int depth = 0;
    for (char c : rtf) {
        depth += c == '{' ? 1 : c == '}' ? -1 : 0;
        ASSERT_GE(depth, 0);
    }
    EXPECT_EQ(depth, 0);

    ScriptDb meta;
    ASSERT_EQ(meta.Exec(ReadScript("zlm_meta.sql")), "");
    std::set<std::string> known;
    for (const auto& row : meta.Rows("select template_tag_tag from template_tag")) {
        known.insert(row[0]);
    }
    // Every "<" of the letter opens a known tag in its canonical form.
    std::set<std::string> used;
    for (size_t at = rtf.find('<'); at != std::string::npos; at = rtf.find('<', at + 1)) {
        const size_t end = rtf.find('>', at);
        ASSERT_NE(end, std::string::npos);
        const std::string tag = rtf.substr(at, end - at + 1);
        EXPECT_TRUE(known.count(tag)) << tag;
        used.insert(tag.substr(0, tag.find('_', 2)));
    }
    EXPECT_EQ(used, (std::set<std::string>{"<_busunit", "<_customer", "<_system", "<_user"}));
}

TEST(DataPages, LocalPagesAreHtml) {
    for (const char* page : {"help.html", "zlmupdate.html", "zlmquit.html", "zlmredir.html"}) {
        const std::string html = ReadFile(std::string("pages/") + page);
        EXPECT_NE(html.find("<html"), std::string::npos) << page;
        EXPECT_NE(html.find("</html>"), std::string::npos) << page;
        EXPECT_NE(html.find("<title>"), std::string::npos) << page;
    }
    EXPECT_NE(ReadFile("pages/zlmupdate.html").find("supplier"), std::string::npos);
}

}  // namespace
