// Every report and chart the program can ask for, run on the delivered definitions and
// databases holding a few documents: each writes a page with the documents on it, shows it and
// logs nothing.
#include <QDateEdit>
#include <QPieSeries>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QToolButton>
#include <QtTest/QTest>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "core/BOMPopulater.h"
#include "core/DataMod.h"
#include "core/Globals.h"
#include "reportserver/GraphReport.h"
#include "reportserver/TfrmPieChart.h"
#include "reportserver/TfrmRepDates.h"
#include "reportserver/TfrmReportView.h"
#include "reportserver/ZLMReport.h"
#include "tests/support/QtFixture.h"

namespace zl::reportserver {
namespace {

using test::WhenModal;

// Business unit 2006 with its address; customer 2001 with his; user 2005 besides the delivered
// user 2; a component, a service and an assembly of one component and one service. A quotation,
// an order and an invoice of January and February 2026, and a forecast of the first quarter.
constexpr const char* kDocuments = R"(
INSERT INTO entity (entity_id, dimension_id, parent_id, entity_name, entity_first, entity_title) VALUES
    (2001, 1, 0, 'Harrow Foods', '', ''),
    (2005, 4, 0, 'Clerk', 'Ann', 'Ms'),
    (2006, 5, 0, 'North office', '', '');
INSERT INTO address (address_id, entity_id, address_postal1, address_pcode) VALUES
    (2003, 2001, '1 Mill Lane', '4410'),
    (2007, 2006, '8 Quay Street', '5520');
INSERT INTO billable (billable_id, dimension_id, billable_code, billable_descr, billable_units) VALUES
    (2010, 10, 'C-1', 'Widget', 'each'), (2011, 14, 'S-1', 'Installation', 'hour'),
    (2012, 11, 'A-1', 'Kit', 'set');
INSERT INTO bill_item (bill_item_id, billable_id, component_id, service_id, assembly_id,
                       dimension_id, bill_item_qty) VALUES
    (2013, 2012, 2010, 0, 0, 25, 3), (2014, 2012, 0, 2011, 0, 25, 1);
INSERT INTO zlm_doc (zlm_doc_id, dimension_id, customer_id, bus_unit_id, doc_status_id,
                     zlm_doc_date, zlm_doc_ref, zlm_doc_from, zlm_doc_to) VALUES
    (2020, 6, 2001, 2006, 1, '2026-01-10 00:00:00', 'Q-2020', NULL, NULL),
    (2021, 7, 2001, 2006, 3, '2026-01-31 00:00:00', 'O-2021', NULL, NULL),
    (2024, 8, 2001, 2006, 5, '2026-02-01 00:00:00', 'I-2024', NULL, NULL),
    (2026, 15, 0, 2006, 0, '2026-01-01 00:00:00', 'F-2026', '2026-01-01 00:00:00',
     '2026-03-31 00:00:00');
INSERT INTO doc_item (doc_item_id, zlm_doc_id, dimension_id, sys_user_id, doc_item_billtype,
                      component_id, service_id, assembly_id, doc_item_code, doc_item_descr,
                      doc_item_qty, doc_item_rate, doc_item_discount, doc_item_tax,
                      doc_item_total, doc_item_costrate) VALUES
    (2030, 2020, 24, 2005, 1, 2010, 0, 0, 'C-1', 'Widget', 2, 100, 10, 15, 207, 60),
    (2031, 2020, 24, 2, 0, 0, 2011, 0, 'S-1', 'Installation', 1, 50, 0, 0, 50, 20),
    (2032, 2021, 24, 2005, 1, 2010, 0, 0, 'C-1', 'Widget', 2, 100, 10, 15, 207, 60),
    (2033, 2021, 24, 2005, 2, 0, 0, 2012, 'A-1', 'Kit', 1, 300, 0, 0, 300, 150),
    (2034, 2021, 24, 2005, 0, 0, 2011, 0, 'S-1', 'Installation', 1, 50, 0, 0, 50, 20),
    (2037, 2024, 24, 2005, 1, 2010, 0, 0, 'C-1', 'Widget', 2, 100, 10, 15, 207, 60),
    (2038, 2024, 24, 2005, 0, 0, 2011, 0, 'S-1', 'Installation', 1, 50, 0, 0, 50, 20),
    (2040, 2026, 24, 2005, 1, 2010, 0, 0, 'C-1', 'Widget', 9, 100, 0, 0, 900, 0);
)";

// Keeps a picture of the window for the documentation when ZELMAR_SCREENSHOT_DIR names a folder
// (run under a real display, for example with xvfb-run).
void Picture(QWidget& window, const char* name) {
    if (const char* dir = std::getenv("ZELMAR_SCREENSHOT_DIR"))
        window.grab().save(QString(dir) + "/" + name);
}
// The report window once its engine has drawn the page.
void Picture(TfrmReportView& view, const char* name) {
    if (!std::getenv("ZELMAR_SCREENSHOT_DIR"))
        return;
    EXPECT_TRUE(QTest::qWaitFor([&] { return view.PageLoaded(); }, 10000));
    QTest::qWait(500);
    Picture(static_cast<QWidget&>(view), name);
}

constexpr int kUnit = 2006;
// Report 10 of the documents above, every line ended by CR LF.
std::string OrdersByCustomerPage() {
    const auto td = [](int width, const std::string& align, const std::string& extra = "") {
        return "<td width=\"" + std::to_string(width) + "%\" align=\"" + align + "\"" + extra + ">";
    };
    const auto cell = [](const std::string& td, int size, const std::string& text) {
        return td + "\n<font size=\"" + std::to_string(size) + "\" face=\"Arial\">\n" + text +
               "</font>\n</td>\n";
    };
    const std::string table = "<table width=\"100%\" border=\"0\">\n";
    std::string page =
        "<html>\n<head>\n<title>Summarized orders by customer</title>\n<body>\n" + table +
        "<tr>\n" + cell(td(60, "left"), 4, "<b>Harbour Trading\n</b>") +
        cell(td(40, "right"), 4, "<b>Summarized orders by customer\n</b>") + "</tr>\n</table>\n" +
        table + "<tr>\n" + cell(td(25, "left"), 2, "<b>Business unit\n</b>") +
        cell(td(75, "left"), 2, "North office\n</b>") + "</tr>\n</table>\n<hr>" + table + "<tr>\n";
    const struct {
        int width;
        const char* align;
        std::string heading, value, total;
    } columns[] = {{50, "left", "Customer", "Harrow Foods", "Total"},
                   {20, "right", "Orders", "1", "1"},
                   {30, "right", "Value", "557.00", "557.00"}};
    for (const auto& c : columns)
        page += cell(td(c.width, c.align, "  bgcolor=\"#D9D9D9\" "), 2, "<b>" + c.heading + "</b>");
    page += "</tr>\n</table>\n" + table + "<tr>";
    for (const auto& c : columns)
        page += cell(td(c.width, c.align), 2, c.value + "</b>");
    page += "</tr></table>\n<hr>" + table + "<tr>\n";
    for (const auto& c : columns)
        page += cell(td(c.width, c.align) + "<b>", 2, c.total + "</b>");
    page += "</tr>\n</table>\n</body>\n</html>\n";
    for (std::size_t at = 0; (at = page.find('\n', at)) != std::string::npos; at += 2)
        page.insert(at, "\r");
    return page;
}
constexpr int kUser = 2;
// The reports that ask for a period first.
const std::set<int> kPeriodReports = {11, 12, 13, 15, 17, 22, 25};

class DeliveredReportsTest : public test::QtFixture {
  protected:
    void SetUp() override {
        ConnectAll();
        ASSERT_NO_THROW(dm->zlmConn.ExecuteScript(kDocuments));
        ASSERT_TRUE(dm->openQuery(dm->repConn, dm->qSynonym, "test", "select * from synonym"));
        OrganizationName = "Harbour Trading";
    }
    void TearDown() override { OrganizationName.clear(); }

    ZLMReport report10;

    std::string File(int id) const {
        return folder.DataFolder() + "rep" + std::to_string(id) + ".html";
    }

    // Confirms the next date dialog with the period, if one comes.
    static void AnswerDates(const QDate& from, const QDate& to) {
        WhenModal<TfrmRepDates>([from, to](TfrmRepDates& dialog) {
            dialog.dtFrom->setDate(from);
            dialog.dtTo->setDate(to);
            dialog.btnOK->click();
        });
    }
};

TEST_F(DeliveredReportsTest, EveryReportWritesItsDocumentsAndShowsThem) {
    {
        BOMPopulater bom;  // the bill of materials of the order, as its dialog prints it
        ASSERT_TRUE(bom.Populate(2021));
    }
    struct Case {
        int id;
        int key;
        std::vector<std::string> onPage;
    };
    const Case cases[] = {
        {1,
         2020,
         {"<title>Quotation</title>", "Harbour Trading", "Q-2020", "Harrow Foods", "1 Mill Lane",
          "8 Quay Street", "Widget", "207.00", "257.00",
          "This quotation is valid for 30 days from its date."}},
        {2,
         2021,
         {"<title>Order</title>", "O-2021", "Kit", "300.00", "557.00",
          "Thank you for your order."}},
        {3,
         2024,
         {"<title>Invoice</title>", "I-2024", "Installation", "257.00",
          "Payment is due within 30 days"}},
        {4, 2021, {"<title>Bill of materials</title>", "O-2021", "Widget", "Installation", "each"}},
        {10, kUnit, {"Summarized orders by customer", "North office", "Harrow Foods", "557.00"}},
        {11, kUnit, {"Component orders by time period", "C-1", "Widget", "207.00"}},
        {12, kUnit, {"Service orders by time period", "S-1", "Installation", "50.00"}},
        {13, kUnit, {"Assembly orders by time period", "A-1", "Kit", "300.00"}},
        {15, kUnit, {"Summarized orders by period", "2026/01", "557.00"}},
        {17, kUnit, {"Summarized quotations by time period", "2026/01", "257.00"}},
        {18, kUnit, {"Summarized quotations by status", "Draft", "257.00"}},
        {19, kUnit, {"Summarized quotations by system user", "Clerk Ann Ms", "207.00", "System"}},
        {21, kUnit, {"Summarized orders by business unit", "North office", "557.00"}},
        {22, kUnit, {"Summarized invoices by period", "2026/02", "257.00"}},
        {23, kUnit, {"Summarized orders by status", "Accepted", "557.00"}},
        {24, kUnit, {"Summarized invoices by status", "Paid", "257.00"}},
        {25, kUnit, {"Profit / Loss Report by period", "2026/02", "230.00", "140.00", "90.00"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("report " + std::to_string(c.id));
        if (kPeriodReports.count(c.id))
            AnswerDates(QDate(2026, 1, 10), QDate(2026, 2, 15));
        bool shown = false;
        std::string page;
        WhenModal<TfrmReportView>([&](TfrmReportView& view) {
            shown = true;
            page = test::ReadFile(File(c.id));
            if (c.id == 15)
                Picture(view, "report-orders-by-period.png");
            view.btnClose->click();
        });
        ZLMReport report;
        ASSERT_NO_THROW(report.Run(c.id, kUnit, kUser, c.key, File(c.id)););
        ASSERT_TRUE(shown);
        EXPECT_EQ(page, test::ReadFile(File(c.id)));
        EXPECT_NE(page.find("</html>"), std::string::npos);
        for (const std::string& text : c.onPage)
            EXPECT_NE(page.find(text), std::string::npos) << text;
    }
    EXPECT_EQ(prompter.Count(), 0u);
    EXPECT_EQ(ErrorLog(), "");
}

// Orders by customer writes the orders it read for its records: its sections use those rows
// rather than reading the view again, so an order saved meanwhile is on no part of the page,
// and the page keeps its bytes.
TEST_F(DeliveredReportsTest, OrdersByCustomerWritesTheRowsItReadOnce) {
    report10.busUnitId = kUnit;
    report10.reportKey = kUnit;
    ASSERT_TRUE(report10.createHTML(File(10)));
    report10.Populate(10);
    dm->zlmConn.ExecuteScript(
        "insert into entity (entity_id, dimension_id, entity_name) values (2050, 1, 'Late Ltd');"
        "insert into zlm_doc (zlm_doc_id, dimension_id, customer_id, bus_unit_id) values "
        "(2051, 7, 2050, 2006)");
    report10.Generate();
    report10.closeHTML();
    EXPECT_EQ(test::ReadFile(File(10)), OrdersByCustomerPage());
    EXPECT_EQ(ErrorLog(), "");
}

// Names from the data reach the quotation escaped, as typed; no element of them is written.
TEST_F(DeliveredReportsTest, TheQuotationWritesTheCustomerAndUnitAsTyped) {
    dm->zlmConn.Execute(
        "update entity set entity_name='<img src=x onerror=alert(1)> A<B & Sons' "
        "where entity_id=2001");
    dm->zlmConn.Execute(
        "update entity set entity_name='Deck & planing <phase 1>' where entity_id=2006");
    WhenModal<TfrmReportView>([](TfrmReportView& view) { view.btnClose->click(); });
    ZLMReport report;
    ASSERT_NO_THROW(report.Run(1, kUnit, kUser, 2020, File(1)));
    const auto cell = [](const std::string& text) {
        return "<td width=\"50%\" align=\"left\">\r\n<font size=\"2\" face=\"Arial\">\r\n<b>" +
               text + "\r\n</b></font>\r\n</td>\r\n";
    };
    const std::string heading = "<tr>\r\n" + cell("From") + cell("To") + "</tr>\r\n<tr>\r\n" +
                                cell("Deck &amp; planing &lt;phase 1&gt;") +
                                cell("&lt;img src=x onerror=alert(1)&gt; A&lt;B &amp; Sons") +
                                "</tr>\r\n";
    const std::string page = test::ReadFile(File(1));
    EXPECT_NE(page.find(heading), std::string::npos) << page;
    EXPECT_EQ(page.find("<img"), std::string::npos);
}

TEST_F(DeliveredReportsTest, EveryChartDrawsTheDocumentsAndShowsIt) {
    for (int graph = 1; graph <= 5; ++graph) {
        SCOPED_TRACE("graph " + std::to_string(graph));
        ASSERT_TRUE(dm->actionQuery(dm->repConn, "delete from actual_planned", "test"));
        if (graph <= 4)
            AnswerDates(QDate(2026, 1, 1), QDate(2026, 3, 31));
        bool previewed = false;
        WhenModal<QPrintPreviewDialog>([&](QPrintPreviewDialog& dialog) {
            previewed = true;
            if (graph == 2) {
                dialog.resize(900, 700);
                Picture(dialog, "chart-quotations-against-forecast.png");
            }
            dialog.reject();
        });
        ASSERT_NO_THROW(PrintGraphReport(graph, kUnit, 0, 0););
        EXPECT_TRUE(previewed);
        if (graph <= 4) {
            // The forecast covers every month that has documents: planned and actual bars.
            EXPECT_EQ(
                Stored(folder.MetaDb(),
                       "select count(*) from actual_planned where actual > 0 and planned > 0"),
                "1");
        }
    }

    // The breakdown pie: the ordered items by value, largest first.
    GraphReport pie;
    std::vector<double> values;
    pie.preview = [&](QChartView&, const QPageLayout&) {
        for (QPieSlice* slice : pie.frmPieChart->Series1->slices())
            values.push_back(slice->value());
    };
    pie.Setup(5, kUnit, 0, 0);
    pie.show();
    EXPECT_EQ(values, (std::vector<double>{300, 207, 50}));
    EXPECT_EQ(prompter.Count(), 0u);
    EXPECT_EQ(ErrorLog(), "");
}

}  // namespace
}  // namespace zl::reportserver
