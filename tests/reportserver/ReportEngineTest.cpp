// The report engine: pages written from report definitions (exact bytes), the customer of a
// report, the CSV export and the whole run with its date dialog and viewer.
#include "reportserver/ZLMReport.h"

#include <QApplication>
#include <QDate>
#include <QDateEdit>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <string>
#include <vector>

#include "core/DataMod.h"
#include "core/Globals.h"
#include "reportserver/TfrmRepDates.h"
#include "reportserver/TfrmReportView.h"
#include "tests/support/QtFixture.h"

namespace zl::reportserver {
namespace {

using test::WhenModal;

// Documents and their lines. Lines 1-3 are document 7 in business unit 3; 6-8 hold text that
// CSV must quote.
constexpr const char* kMainData = R"(
CREATE TABLE tq_doc (doc_id INTEGER PRIMARY KEY, cust_int INTEGER, cust_text VARCHAR(20),
    doc_ref VARCHAR(20), doc_memo MEMO);
CREATE TABLE tq_line (line_id INTEGER PRIMARY KEY, doc_id INTEGER, bus_unit_id INTEGER,
    line_descr VARCHAR(100), line_rate DOUBLE, line_total DOUBLE, line_note MEMO,
    line_date DATETIME);
INSERT INTO tq_doc VALUES (7, 9001, 'abc', 'Q-7', NULL), (8, NULL, '9001', 'Q-8', NULL),
    (10, 4242, '', 'Q-10', NULL);
INSERT INTO entity (entity_id, dimension_id, parent_id, entity_name) VALUES (9001, 1, 0, 'Harrow');
INSERT INTO tq_line VALUES
    (1, 7, 3, 'Survey', 1500, 3000, NULL, '2024-03-01 00:00:00'),
    (2, 7, 3, 'Travel', 0, 0, NULL, '2024-03-15 00:00:00'),
    (3, 7, 3, 'Discount', -0.5, -0.5, NULL, '2024-03-31 00:00:00'),
    (4, 7, 4, 'Other unit', 9, 9, NULL, '2024-02-29 00:00:00'),
    (5, 8, 3, 'Other doc', 5, 5, NULL, '2024-04-01 00:00:00'),
    (6, 9, 3, 'Say "hi", then go', 2.5, 2.5, 'memo, with comma', '2023-03-02 00:00:00'),
    (7, 9, 3, NULL, 0, NULL, 'two
lines "x"', '2023-03-03 00:00:00'),
    (8, 9, 3, 'Crème brûlée', 1, 1, 'bare memo', '2023-03-04 00:00:00');
)";

// The definitions. Columns of rep_section: id, report, order, type, link, width, border, rows,
// cols, bgcolour, table, buwhere, parentfield, sqlhead, sqlfoot, ismetatable, line1, line2.
// Columns of rep_field: section, row, col, width, align, bold, field, format, static, heading,
// synonym, omitzero, runtotal, sum, isregto (the key, display order and size 2 are added).
constexpr const char* kMetaData = R"(
DELETE FROM zlm_rep; DELETE FROM rep_section; DELETE FROM rep_field; DELETE FROM synonym;
INSERT INTO zlm_rep VALUES
    (901, 'tq_doc', 'doc_id', 'cust_int', '', 'Quotation Q-7', 'config_quotemesg'),
    (902, 'tq_doc', 'doc_id', '', 'line_date', 'Sections', ''),
    (903, 'tq_doc', 'doc_id', '', '', 'Export', ''),
    (904, 'tq_doc', 'doc_id', '', 'line_date', 'Lines by date', ''),
    (905, 'tq_doc', 'doc_id', '', '', 'Broken', '');
INSERT INTO synonym VALUES (29, 'Total', 'Total:'), (9001, 'Amount', 'Bedrag'),
    (9002, 'Period', 'Period'), (9003, 'To', 'to'), (9004, 'Amount', 'Amount (€)');
CREATE VIEW field_in (sec, r, c, w, al, b, f, fmt, st, h, syn, omit, run, sm, regto) AS
    SELECT 0, 0, 0, 0, '', 0, '', '', '', '', 0, 0, 0, 0, 0 WHERE 0;
CREATE TRIGGER field_in_add INSTEAD OF INSERT ON field_in BEGIN
    INSERT INTO rep_field VALUES (NULL, NEW.sec, NEW.r, NEW.c, NEW.c, NEW.w, NEW.al, 2, NEW.b,
        NEW.f, NEW.fmt, NEW.st, NEW.h, NEW.syn, NEW.omit, NEW.run, NEW.sm, NEW.regto);
END;
-- A grid, the headings, the lines and the totals; the last three share the cells of 9012.
INSERT INTO rep_section VALUES
    (9011, 901, 1, 1, 0, 100, 0, 1, 2, '', 'tq_doc', 0, 'doc_id', '', '', 0, 0, 1),
    (9012, 901, 2, 3, 0, 100, 1, 0, 0, '#DDDDDD', 'tq_line', 0, '', '', '', 0, 0, 0),
    (9013, 901, 3, 5, 9012, 100, 1, 0, 0, '', 'tq_line', 1, 'doc_id', '', '', 0, 0, 0),
    (9014, 901, 4, 6, 9012, 100, 1, 0, 0, '', 'tq_line', 1, 'doc_id', '', '', 0, 0, 1);
INSERT INTO field_in VALUES
    (9011, 1, 1, 50, 'left', 1, '', '', '', '', 0, 0, 0, 0, 1),
    (9011, 1, 2, 50, 'right', 0, 'doc_ref', '', '', '', 0, 0, 0, 0, 0),
    (9012, 1, 1, 60, 'left', 0, 'line_descr', '', '', 'Item', 0, 0, 0, 0, 0),
    (9012, 1, 2, 20, 'right', 0, 'line_rate', '%.2n', '', 'Rate', 0, 1, 0, 0, 0),
    (9012, 1, 3, 20, 'right', 1, 'line_total', '%.2n', '', 'Amount', 9001, 0, 0, 1, 0);
-- Two detail sections for CSV, a heading between them.
INSERT INTO rep_section VALUES
    (9031, 903, 1, 5, 0, 100, 0, 0, 0, '', 'tq_line', 0, 'doc_id', '', '', 0, 0, 0),
    (9032, 903, 2, 3, 0, 100, 0, 0, 0, '', 'tq_line', 0, '', '', '', 0, 0, 0),
    (9033, 903, 3, 5, 0, 100, 0, 0, 0, '', 'tq_line', 0, 'doc_id', '', '', 0, 0, 0);
INSERT INTO field_in VALUES
    (9031, 1, 1, 20, 'left', 0, 'line_rate', '', '', '', 0, 0, 0, 0, 0),
    (9032, 1, 1, 20, 'left', 0, '', '', '', 'Only a heading', 0, 0, 0, 0, 0),
    (9033, 1, 1, 20, 'left', 0, 'line_id', '', '', '', 0, 0, 0, 0, 0),
    (9033, 1, 2, 20, 'left', 0, 'line_descr', '', '', '', 0, 0, 0, 0, 0),
    (9033, 1, 3, 20, 'left', 0, 'line_total', '', '', '', 0, 0, 0, 0, 0),
    (9033, 1, 4, 20, 'left', 0, 'line_note', '', '', '', 0, 0, 0, 0, 0),
    (9033, 1, 5, 20, 'left', 0, 'line_date', '', '', '', 0, 0, 0, 0, 0);
-- A period report and one whose data cannot be read.
INSERT INTO rep_section VALUES
    (9041, 904, 1, 5, 0, 100, 0, 0, 0, '', '', 0, '', 'select line_descr from tq_line',
     'order by line_id', 0, 0, 0),
    (9051, 905, 1, 5, 0, 100, 0, 0, 0, '', 'no_such_table', 0, '', '', '', 0, 0, 0);
INSERT INTO field_in VALUES
    (9041, 1, 1, 100, 'left', 0, 'line_descr', '', '', '', 0, 0, 0, 0, 0),
    (9051, 1, 1, 100, 'left', 0, 'line_descr', '', '', '', 0, 0, 0, 0, 0);
)";

constexpr const char* kFont = "<font size=\"2\" face=\"Arial\">\r\n";

// A grid or detail cell of font size 2; a grid cell's text carries its own line end.
std::string Td(int width, const std::string& align, const std::string& text, bool bold = false) {
    return "<td width=\"" + std::to_string(width) + "%\" align=\"" + align + "\">\r\n" + kFont +
           (bold ? "<b>" : "") + text + "</b></font>\r\n</td>\r\n";
}

// A heading cell, with its background colour if any.
std::string Th(int width, const std::string& align, const std::string& text,
               const std::string& colour = "") {
    return "<td width=\"" + std::to_string(width) + "%\" align=\"" + align + "\" " +
           (colour.empty() ? "" : " bgcolor=\"" + colour + "\" ") + ">\r\n" + kFont + "<b>" + text +
           "</b></font>\r\n</td>\r\n";
}

// A cell of a totals section.
std::string TotalTd(int width, const std::string& align, const std::string& text) {
    return "<td width=\"" + std::to_string(width) + "%\" align=\"" + align + "\"><b>\r\n" + kFont +
           text + "</b></font>\r\n</td>\r\n";
}

std::string Table(int width, int border) {
    return "<table width=\"" + std::to_string(width) + "%\" border=\"" + std::to_string(border) +
           "\">\r\n";
}

std::string Head(const std::string& title) {
    return "<html>\r\n<head>\r\n<title>" + title + "</title>\r\n<body>\r\n";
}

class ReportEngineTest : public test::QtFixture {
  protected:
    void SetUp() override {
        ConnectAll();
        dm->zlmConn.ExecuteScript(kMainData);
        dm->repConn.ExecuteScript(kMetaData);
        ASSERT_TRUE(dm->openQuery(dm->repConn, dm->qSynonym, "test", "select * from synonym"));
        SetConfig("(");
        OrganizationName = "Café Nørd Ltd";
    }
    void TearDown() override { OrganizationName.clear(); }

    void SetConfig(const std::string& minus) {
        db::Query q(&dm->localConn);
        q.SetSQL(
            "update config set config_reportfont='Arial', config_minussymbol=?, "
            "config_quotemesg='Prices include \"delivery\" & VAT.'");
        q.SetParameters({minus});
        q.ExecSQL();
        ASSERT_TRUE(dm->openQuery(dm->localConn, dm->qConfig, "test", "select * from config"));
    }
    // The page of report `id` for document `key` in business unit 3.
    std::string Page(int id, int key) {
        report.reportKey = key;
        report.busUnitId = 3;
        std::filesystem::remove(html);  // each run writes a new page
        EXPECT_TRUE(report.createHTML(html));
        report.Populate(id);
        report.Generate();
        report.closeHTML();
        return test::ReadFile(html);
    }

    std::string html = folder.DataFolder() + "report.html";
    ZLMReport report;
};

TEST_F(ReportEngineTest, QuotationPageHasItsExactBytesWithEitherMinusSymbol) {
    const std::string page =
        Head("Quotation Q-7") + Table(100, 0) + "<tr>\r\n" +
        Td(50, "left", "Café Nørd Ltd\r\n", true) + Td(50, "right", "Q-7\r\n") +
        "</tr>\r\n</table>\r\n<hr>" + Table(100, 1) + "<tr>\r\n" +
        Th(60, "left", "Item", "#DDDDDD") + Th(20, "right", "Rate", "#DDDDDD") +
        Th(20, "right", "Bedrag", "#DDDDDD") + "</tr>\r\n</table>\r\n" + Table(100, 1) + "<tr>" +
        Td(60, "left", "Survey") + Td(20, "right", "1,500.00") + Td(20, "right", "3,000.00", true) +
        "</tr><tr>" + Td(60, "left", "Travel") + Td(20, "right", "") +
        Td(20, "right", "0.00", true) + "</tr><tr>" + Td(60, "left", "Discount") +
        Td(20, "right", "(0.50)") + Td(20, "right", "(0.50)", true) + "</tr></table>\r\n" +
        Table(100, 1) + "<tr>\r\n" + TotalTd(60, "left", "Total:") + TotalTd(20, "right", "") +
        TotalTd(20, "right", "<b>2,999.50") + "</tr>\r\n</table>\r\n" + "<hr>" + kFont +
        "Prices include &quot;delivery&quot; &amp; VAT.\r\n</b></font>\r\n</body>\r\n</html>\r\n";
    EXPECT_EQ(Page(901, 7), page);
    EXPECT_EQ(report.customerId, 9001);
    EXPECT_EQ(report.htmlTitle(), "Quotation Q-7");

    SetConfig("-");
    std::string withMinus = page;
    for (std::size_t at; (at = withMinus.find("(0.50)")) != std::string::npos;)
        withMinus.replace(at, 6, "-0.50");
    EXPECT_EQ(Page(901, 7), withMinus);
    EXPECT_EQ(ErrorLog(), "");
}

TEST_F(ReportEngineTest, EachSectionKindWritesItsRows) {
    report.fromDate = format::EncodeDate(2024, 3, 1);
    report.toDate = format::EncodeDate(2024, 3, 31);
    const struct {
        const char* what;
        const char* definition;  // sections 9021 and on of report 902, and their fields
        std::string body;
        const char* logged = "";
    } cases[] = {
        {"grid: organisation, static text, data, synonyms, period, empty and missing cells",
         R"(INSERT INTO rep_section VALUES
                (9021, 902, 1, 1, 0, 100, 0, 2, 5, '', 'tq_doc', 0, 'doc_id', '', '', 0, 0, 0);
            INSERT INTO field_in VALUES
                (9021, 1, 1, 30, 'left', 1, '', '', '', '', 0, 0, 0, 0, 1),
                (9021, 1, 2, 30, 'center', 0, '', '', 'Quotation for', '', 0, 0, 0, 0, 0),
                (9021, 1, 3, 20, 'right', 0, 'doc_ref', '', '', '', 0, 0, 0, 0, 0),
                (9021, 1, 4, 20, 'left', 0, 'doc_memo', '', '', '', 0, 0, 0, 0, 0),
                (9021, 2, 1, 30, 'left', 0, '', '', '', '', 9002, 0, 0, 0, 0),
                (9021, 2, 2, 30, 'left', 0, '_start_date', '', '', '', 0, 0, 0, 0, 0),
                (9021, 2, 3, 20, 'left', 0, '', '', '', '', 9003, 0, 0, 0, 1),
                (9021, 2, 4, 20, 'left', 0, '_end_date', '', '', '', 0, 0, 0, 0, 0);)",
         Table(100, 0) + "<tr>\r\n" + Td(30, "left", "Café Nørd Ltd\r\n", true) +
             Td(30, "center", "Quotation for\r\n") + Td(20, "right", "Q-7\r\n") +
             "<td></td><td></td></tr>\r\n<tr>\r\n" + Td(30, "left", "Period\r\n") +
             Td(30, "left", "March 01, 2024\r\n") + Td(20, "left", "to\r\n") +
             Td(20, "left", "March 31, 2024\r\n") + "<td></td></tr>\r\n</table>\r\n"},
        {"heading row without background colour",
         R"(INSERT INTO rep_section VALUES
                (9021, 902, 1, 3, 0, 80, 2, 0, 0, '', 'tq_line', 0, '', '', '', 0, 0, 0);
            INSERT INTO field_in VALUES
                (9021, 1, 1, 60, 'left', 0, '', '', '', 'Item', 0, 0, 0, 0, 0),
                (9021, 1, 2, 40, 'right', 0, '', '', '', 'x', 9004, 0, 0, 0, 0);)",
         Table(80, 2) + "<tr>\r\n" + Th(60, "left", "Item") + Th(40, "right", "Amount (€)") +
             "</tr>\r\n</table>\r\n"},
        {"types 2, 4 and 7: empty tables with their rules, their data still opened",
         R"(INSERT INTO rep_section VALUES
                (9021, 902, 1, 2, 0, 50, 0, 0, 0, '', 'tq_line', 0, '', '', '', 0, 1, 0),
                (9022, 902, 2, 4, 0, 60, 1, 0, 0, '', 'tq_line', 0, '', '', '', 0, 0, 1),
                (9023, 902, 3, 7, 0, 70, 0, 0, 0, '', 'no_such_table', 0, '', '', '', 0, 1, 1);
            INSERT INTO field_in VALUES
                (9021, 1, 1, 20, 'left', 0, 'line_descr', '', '', '', 0, 0, 0, 0, 0);)",
         "<hr>" + Table(50, 0) + "</table>\r\n" + Table(60, 1) + "</table>\r\n<hr><hr>" +
             Table(70, 0) + "</table>\r\n<hr>",
         "TDataMod.openQuery > ReportField.openData;"},
        {"a table of the metadata database",
         R"(INSERT INTO rep_section VALUES
                (9021, 902, 1, 5, 0, 100, 0, 0, 0, '', 'zlm_rep', 0, '', '', '', 1, 0, 0);
            INSERT INTO field_in VALUES
                (9021, 1, 1, 100, 'left', 0, 'zlm_rep_htmltitle', '', '', '', 0, 0, 0, 0, 0);)",
         Table(100, 0) + "<tr>" + Td(100, "left", "Quotation Q-7") + "</tr><tr>" +
             Td(100, "left", "Sections") + "</tr><tr>" + Td(100, "left", "Export") + "</tr><tr>" +
             Td(100, "left", "Lines by date") + "</tr><tr>" + Td(100, "left", "Broken") +
             "</tr></table>\r\n"},
        {"the period limits an SQL-head section, never a table section",
         R"(INSERT INTO rep_section VALUES
                (9021, 902, 1, 5, 0, 100, 0, 0, 0, '', '', 0, '',
                 'select line_descr, line_date from tq_line', 'order by line_date desc', 0, 0, 0),
                (9022, 902, 2, 5, 0, 100, 0, 0, 0, '', 'tq_line', 0, 'doc_id', '', '', 0, 0, 0);
            INSERT INTO field_in VALUES
                (9021, 1, 1, 50, 'left', 0, 'line_descr', '', '', '', 0, 0, 0, 0, 0),
                (9021, 1, 2, 50, 'right', 0, 'line_date', '', '', '', 0, 0, 0, 0, 0),
                (9022, 1, 1, 100, 'left', 0, 'line_descr', '', '', '', 0, 0, 0, 0, 0);)",
         Table(100, 0) + "<tr>" + Td(50, "left", "Discount") + Td(50, "right", "2024/03/31") +
             "</tr><tr>" + Td(50, "left", "Travel") + Td(50, "right", "2024/03/15") + "</tr><tr>" +
             Td(50, "left", "Survey") + Td(50, "right", "2024/03/01") + "</tr></table>\r\n" +
             Table(100, 0) + "<tr>" + Td(100, "left", "Survey") + "</tr><tr>" +
             Td(100, "left", "Travel") + "</tr><tr>" + Td(100, "left", "Discount") + "</tr><tr>" +
             Td(100, "left", "Other unit") + "</tr></table>\r\n"},
        {"two running totals share one total; a first totals cell with a sum",
         R"(INSERT INTO rep_section VALUES
                (9021, 902, 1, 5, 0, 100, 0, 0, 0, '', 'tq_line', 1, 'doc_id', '', '', 0, 0, 0),
                (9022, 902, 2, 6, 0, 100, 0, 0, 0, '', 'tq_line', 1, 'doc_id', '', '', 0, 0, 0);
            INSERT INTO field_in VALUES
                (9021, 1, 1, 50, 'left', 0, 'line_rate', '%.1f', '', '', 0, 0, 1, 0, 0),
                (9021, 1, 2, 50, 'left', 0, 'line_total', '%.1f', '', '', 0, 0, 1, 0, 0),
                (9022, 1, 1, 100, 'right', 0, 'line_total', '%.2n', '', '', 0, 0, 0, 1, 0);)",
         Table(100, 0) + "<tr>" + Td(50, "left", "1500.0") + Td(50, "left", "4500.0") +
             "</tr><tr>" + Td(50, "left", "4500.0") + Td(50, "left", "4500.0") + "</tr><tr>" +
             Td(50, "left", "4499.5") + Td(50, "left", "4499.0") + "</tr></table>\r\n" +
             Table(100, 0) + "<tr>\r\n" + TotalTd(100, "right", "Total:2,999.50") +
             "</tr>\r\n</table>\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        dm->repConn.ExecuteScript(
            "DELETE FROM rep_section WHERE zlm_rep_id=902;"
            "DELETE FROM rep_field WHERE rep_section_id BETWEEN 9020 AND 9029;");
        dm->repConn.ExecuteScript(c.definition);
        const std::size_t logBefore = ErrorLog().size();
        EXPECT_EQ(Page(902, 7), Head("Sections") + c.body + "</body>\r\n</html>\r\n");
        const std::string logged = ErrorLog().substr(logBefore);
        if (*c.logged)
            EXPECT_NE(logged.find(c.logged), std::string::npos) << logged;
        else
            EXPECT_EQ(logged, "");
    }
}

// Values from the data (organisation name, columns) are escaped; what the definition writes
// (static text, headings, synonyms, number formats) keeps its markup byte for byte.
TEST_F(ReportEngineTest, DataValuesAreEscapedAndTheDefinitionsMarkupIsNot) {
    OrganizationName = "Deck & planing <phase 1>";
    dm->zlmConn.Execute(
        "update tq_doc set doc_ref='<img src=x onerror=alert(1)> A<B & Sons' where doc_id=7");
    dm->zlmConn.Execute("update tq_line set line_descr='O''Neil \"quoted\"' where line_id=1");
    dm->repConn.ExecuteScript(R"(
        DELETE FROM rep_section WHERE zlm_rep_id=902;
        INSERT INTO synonym VALUES (9005, 'Amount', '<b>Amount</b>');
        INSERT INTO rep_section VALUES
            (9021, 902, 1, 1, 0, 100, 0, 1, 3, '', 'tq_doc', 0, 'doc_id', '', '', 0, 0, 0),
            (9022, 902, 2, 3, 0, 100, 0, 0, 0, '', 'tq_line', 0, '', '', '', 0, 0, 0),
            (9023, 902, 3, 5, 9022, 100, 0, 0, 0, '', 'tq_line', 1, 'doc_id', '', '', 0, 0, 0);
        INSERT INTO field_in VALUES
            (9021, 1, 1, 30, 'left', 1, '', '', '', '', 0, 0, 0, 0, 1),
            (9021, 1, 2, 30, 'left', 0, '', '', '<i>Quote</i>&nbsp;for', '', 0, 0, 0, 0, 0),
            (9021, 1, 3, 40, 'left', 0, 'doc_ref', '', '', '', 0, 0, 0, 0, 0),
            (9022, 1, 1, 60, 'left', 0, 'line_descr', '', '', '<u>Item</u>', 0, 0, 0, 0, 0),
            (9022, 1, 2, 40, 'right', 0, 'line_rate', '%.2f&nbsp;&euro;', '', '', 9005, 0, 0, 0,
             0);)");
    ASSERT_TRUE(dm->openQuery(dm->repConn, dm->qSynonym, "test", "select * from synonym"));
    EXPECT_EQ(
        Page(902, 7),
        Head("Sections") + Table(100, 0) + "<tr>\r\n" +
            Td(30, "left", "Deck &amp; planing &lt;phase 1&gt;\r\n", true) +
            Td(30, "left", "<i>Quote</i>&nbsp;for\r\n") +
            Td(40, "left", "&lt;img src=x onerror=alert(1)&gt; A&lt;B &amp; Sons\r\n") +
            "</tr>\r\n</table>\r\n" + Table(100, 0) + "<tr>\r\n" + Th(60, "left", "<u>Item</u>") +
            Th(40, "right", "<b>Amount</b>") + "</tr>\r\n</table>\r\n" + Table(100, 0) + "<tr>" +
            Td(60, "left", "O&#39;Neil &quot;quoted&quot;") +
            Td(40, "right", "1500.00&nbsp;&euro;") + "</tr><tr>" + Td(60, "left", "Travel") +
            Td(40, "right", "0.00&nbsp;&euro;") + "</tr><tr>" + Td(60, "left", "Discount") +
            Td(40, "right", "(0.50&nbsp;&euro;)") + "</tr></table>\r\n</body>\r\n</html>\r\n");
    EXPECT_EQ(ErrorLog(), "");
}

TEST_F(ReportEngineTest, CustomerIsLookedUpOnlyForAnIntegerKeyOfTheFirstRecord) {
    const struct {
        const char* field;
        int key;
        int customer;
    } cases[] = {
        {"cust_int", 7, 9001},
        {"cust_int", 8, 0},      // null
        {"cust_text", 7, 0},     // "abc"
        {"cust_text", 8, 9001},  // "9001"
        {"cust_int", 99, 0},     // no record
        {"cust_int", 10, 0},     // names no entity
        {"", 7, 0},              // the report has no customer
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " of document " + std::to_string(c.key));
        dm->repConn.Execute("update zlm_rep set zlm_rep_customerfield='" + std::string(c.field) +
                            "' where zlm_rep_id=901");
        report.customerId = -1;
        report.reportKey = c.key;
        report.Populate(901);
        EXPECT_EQ(report.customerId, c.customer);
    }
    EXPECT_EQ(ErrorLog(), "");  // no customer query was ever refused
}

TEST_F(ReportEngineTest, CsvHoldsTheLastDetailSectionWithQuotedTextAndBareValues) {
    Page(903, 9);
    const std::string csv = folder.Home() + "/lines.csv";
    report.exportCSV(csv);
    EXPECT_EQ(test::ReadFile(csv),
              "line_id,line_descr,line_total,line_note,line_date\r\n"
              "6,\"Say \"\"hi\"\", then go\",2.5,\"memo, with comma\",2023/03/02\r\n"
              "7,\"\",,\"two\nlines \"\"x\"\"\",2023/03/03\r\n"
              "8,\"Crème brûlée\",1,bare memo,2023/03/04\r\n");
    EXPECT_THROW(report.exportCSV(folder.Home() + "/no/such/folder/lines.csv"), std::exception);
}

TEST_F(ReportEngineTest, ASecondRunShowsTheRowsAsTheyAreThen) {
    dm->repConn.ExecuteScript(R"(
        INSERT INTO zlm_rep VALUES (906, 'tq_doc', 'doc_id', '', '', 'Lines', '');
        INSERT INTO rep_section VALUES
            (9061, 906, 1, 5, 0, 100, 0, 0, 0, '', 'tq_line', 1, 'doc_id', '', '', 0, 0, 0);
        INSERT INTO field_in VALUES
            (9061, 1, 1, 100, 'left', 0, 'line_descr', '', '', '', 0, 0, 0, 0, 0);)");
    const auto lines = [](const std::string& second) {
        return Head("Lines") + Table(100, 0) + "<tr>" + Td(100, "left", "Survey") + "</tr><tr>" +
               Td(100, "left", second) + "</tr><tr>" + Td(100, "left", "Discount") +
               "</tr></table>\r\n</body>\r\n</html>\r\n";
    };
    EXPECT_EQ(Page(906, 7), lines("Travel"));
    dm->zlmConn.Execute("update tq_line set line_descr='Hotel' where line_id=2");
    EXPECT_EQ(Page(906, 7), lines("Hotel"));
}

class ReportEngineRunTest : public ReportEngineTest {
  protected:
    void SetUp() override {
        ReportEngineTest::SetUp();
        // Closes every viewer that opens, counting them.
        viewerWatch.callOnTimeout([this] {
            if (auto* view = qobject_cast<TfrmReportView*>(QApplication::activeModalWidget())) {
                ++viewersShown;
                view->close();
            }
        });
        viewerWatch.start(10);
    }
    void AnswerDates(bool ok) {
        WhenModal<TfrmRepDates>([ok](TfrmRepDates& dates) {
            dates.dtFrom->setDate(QDate(2024, 3, 10));
            dates.dtTo->setDate(QDate(2024, 3, 31));
            (ok ? dates.btnOK : dates.btnCancel)->click();
        });
    }

    QTimer viewerWatch;
    int viewersShown = 0;
};

TEST_F(ReportEngineRunTest, PeriodFromTheDateDialogLimitsThePageAndTheViewerShowsIt) {
    AnswerDates(true);
    report.Run(904, 3, 5, 7, html);
    EXPECT_EQ(test::ReadFile(html), Head("Lines by date") + Table(100, 0) + "<tr>" +
                                        Td(100, "left", "Travel") + "</tr><tr>" +
                                        Td(100, "left", "Discount") +
                                        "</tr></table>\r\n</body>\r\n</html>\r\n");
    EXPECT_EQ(report.fromDate, format::EncodeDate(2024, 3, 10));
    EXPECT_EQ(report.userId, 5);
    EXPECT_FALSE(report.hasStream());
    EXPECT_EQ(viewersShown, 1);
}

TEST_F(ReportEngineRunTest, CancelledDatesLeaveTheHeadClosedAndShowNothing) {
    AnswerDates(false);
    report.Run(904, 3, 5, 7, html);
    EXPECT_EQ(test::ReadFile(html), "<html>\r\n<head>\r\n");
    EXPECT_FALSE(report.hasStream());
    EXPECT_EQ(viewersShown, 0);
}

TEST_F(ReportEngineRunTest, AReportIdWithoutADefinitionIsSaidOnceWithoutFileOrViewer) {
    EXPECT_THROW(report.Run(907, 3, 5, 7, html), NoSuchReport);
    ExpectMessages({{"There is no report with id 907.", "Report not found"}});
    EXPECT_FALSE(std::filesystem::exists(html));
    EXPECT_FALSE(report.hasStream());
    EXPECT_EQ(viewersShown, 0);
}

TEST_F(ReportEngineRunTest, FailedDataQueryEndsTheRunWithTheFileClosed) {
    EXPECT_THROW(report.Run(905, 3, 5, 7, html), std::exception);
    EXPECT_FALSE(report.hasStream());
    EXPECT_EQ(test::ReadFile(html), Head("Broken") + Table(100, 0));
    EXPECT_NE(ErrorLog().find("TDataMod.openQuery > ReportField.openData;"), std::string::npos);
    EXPECT_EQ(viewersShown, 0);
}

}  // namespace
}  // namespace zl::reportserver
