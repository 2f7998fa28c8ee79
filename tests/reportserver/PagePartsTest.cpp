// Where a large page is cut, and the start tags each part reopens after the page's head.
#include "reportserver/PageParts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zl::reportserver {
namespace {

struct Expected {
    std::string bytes;  // the part's own bytes
    std::string reopen;
    int firstRow;
    int rows;
    int reopenedRows = 0;
};

// With a part size of one byte every row end is a cut.
TEST(PageParts, APageIsCutAfterEachRowEndWithTheTagsOpenThere) {
    struct Case {
        const char* what;
        std::string page;
        std::string head;
        std::vector<Expected> parts;
    };
    const Case cases[] = {
        {"a report page: no </head>, stray end tags, rows in one table",
         "<html>\n<head>\n<title>Orders <tr></title>\n<body>\n<font face=\"Arial\"><table "
         "width=\"100%\"><tr><td><b>A</b></font></td>\n</tr><tr><td>B</b></font></td>\n</tr>"
         "</table>\n</body>\n</html>\n",
         "<html>\n<head>\n<title>Orders <tr></title>\n",
         {{"<html>\n<head>\n<title>Orders <tr></title>\n<body>\n<font face=\"Arial\"><table "
           "width=\"100%\"><tr><td><b>A</b></font></td>\n</tr>",
           "", 0, 1},
          {"<tr><td>B</b></font></td>\n</tr>", "<body><font face=\"Arial\"><table width=\"100%\">",
           1, 1},
          {"</table>\n</body>\n</html>\n", "<body><font face=\"Arial\"><table width=\"100%\">", 2,
           0}}},
        {"comments, scripts and quoted '>' hide nothing; rows and cells end unclosed",
         "<!DOCTYPE html><style>tr{}</style><!-- <tr></tr> --><table class=\"a>b\"><tr><td>1"
         "<tr><td>2<script>'</tr>'</script></TR><td>3</table>",
         "<!DOCTYPE html><style>tr{}</style><!-- <tr></tr> -->",
         {{"<!DOCTYPE html><style>tr{}</style><!-- <tr></tr> --><table class=\"a>b\"><tr><td>1"
           "<tr><td>2<script>'</tr>'</script></TR>",
           "", 0, 2},
          {"<td>3</table>", "<table class=\"a>b\">", 2, 0}}},
        {"a table in a cell: its outer row and cell are reopened",
         "<body><table><tr><td><table><tr><td>x</td></tr><tr><td>y</td></tr></table></td></tr>"
         "</table>",
         "",
         {{"<body><table><tr><td><table><tr><td>x</td></tr>", "", 0, 2},
          {"<tr><td>y</td></tr>", "<body><table><tr><td><table>", 2, 1, 1},
          {"</table></td></tr>", "<body><table><tr><td><table>", 3, 0, 1},
          {"</table>", "<body><table>", 3, 0}}},
        {"no row end: one part", "<p>One paragraph</p>", "", {{"<p>One paragraph</p>", "", 0, 0}}},
    };
    for (const Case& c : cases) {
        const PageParts split = SplitPage(c.page, 1);
        EXPECT_EQ(split.head, c.head) << c.what;
        std::vector<Expected> parts;
        int rows = 0;
        for (const PagePart& part : split.parts) {
            parts.push_back({c.page.substr(part.begin, part.end - part.begin), part.reopen,
                             part.firstRow, part.rows, part.reopenedRows});
            rows += part.rows;
        }
        EXPECT_EQ(split.rows, rows) << c.what;
        ASSERT_EQ(parts.size(), c.parts.size()) << c.what;
        for (std::size_t i = 0; i < parts.size(); ++i) {
            EXPECT_EQ(parts[i].bytes, c.parts[i].bytes) << c.what << ", part " << i;
            EXPECT_EQ(parts[i].reopen, c.parts[i].reopen) << c.what << ", part " << i;
            EXPECT_EQ(parts[i].firstRow, c.parts[i].firstRow) << c.what << ", part " << i;
            EXPECT_EQ(parts[i].rows, c.parts[i].rows) << c.what << ", part " << i;
            EXPECT_EQ(parts[i].reopenedRows, c.parts[i].reopenedRows) << c.what << ", part " << i;
        }
    }
}

TEST(PageParts, PartsAreAtLeastTheirSizeAndShownAfterTheHead) {
    std::string page = "<html><head><title>T</title><body><table>";
    for (int row = 0; row < 10; ++row)
        page += "<tr><td>" + std::string(90, 'a' + row) + "</td></tr>";  // 108 bytes a row
    page += "</table>";
    const PageParts split = SplitPage(page, 250);
    // The first part holds the head and two rows (258 bytes); the others three rows each.
    std::vector<int> rows;
    for (const PagePart& part : split.parts)
        rows.push_back(part.rows);
    EXPECT_EQ(rows, (std::vector<int>{2, 3, 3, 2}));
    const PagePart& second = split.parts[1];
    const std::string bytes = page.substr(second.begin, split.parts[2].end - second.begin);
    EXPECT_EQ(PartsPage(split, 1, bytes), "<html><head><title>T</title><body><table>" + bytes);
    EXPECT_EQ(PartsPage(split, 0, "<html>"), "<html>");
}

}  // namespace
}  // namespace zl::reportserver
