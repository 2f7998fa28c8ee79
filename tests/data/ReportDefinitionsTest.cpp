// The delivered report and chart definitions against the delivered databases holding a few
// documents: every definition's SQL runs through the dataset layer as the report server builds
// it, names columns its sources have, and gives the sums a user expects.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/DataMod.h"
#include "platform/db/JetDialect.h"
#include "platform/db/Query.h"
#include "platform/format/Format.h"
#include "tests/support/CoreFixture.h"

namespace zl {
namespace {

using db::FieldType;
using db::Query;
using Rows = std::vector<std::vector<std::string>>;

// Business unit 3 (delivered) and 2006; customers 2001 and 2002; user 2005 besides the
// delivered user 2; a component, a service and an assembly. Period used below: 2026-01-10 to
// 2026-02-15. Lines: qty x rate, discount %, tax %, total, cost rate.
constexpr const char* kDocuments = R"(
INSERT INTO entity (entity_id, dimension_id, parent_id, entity_name, entity_first, entity_title,
                    entity_taxref) VALUES
    (2001, 1, 0, 'Harrow Foods', '', '', 'VAT-77'),
    (2002, 1, 0, 'Lintel', 'Ltd', '', ''),
    (2005, 4, 0, 'Clerk', 'Ann', 'Ms', ''),
    (2006, 5, 0, 'Second unit', '', '', '');
INSERT INTO address (address_id, entity_id, address_postal1, address_pcode) VALUES
    (2003, 2001, '1 Mill Lane', '4410');
INSERT INTO billable (billable_id, dimension_id, billable_code, billable_descr) VALUES
    (2010, 10, 'C-1', 'Widget'), (2011, 14, 'S-1', 'Installation'), (2012, 11, 'A-1', 'Kit');
INSERT INTO zlm_doc (zlm_doc_id, dimension_id, customer_id, bus_unit_id, doc_status_id,
                     zlm_doc_date, zlm_doc_ref, zlm_cust_ref, zlm_doc_descr, zlm_doc_from,
                     zlm_doc_to) VALUES
    (2020, 6, 2001, 3, 1, '2026-01-10 00:00:00', 'Q-2020', '[no value]', 'Shop fit', NULL, NULL),
    (2021, 7, 2001, 3, 3, '2026-01-31 00:00:00', 'O-2021', 'PO 8', '', NULL, NULL),
    (2022, 7, 2002, 3, 1, '2026-02-01 00:00:00', 'O-2022', '', '', NULL, NULL),
    (2023, 7, 2002, 2006, 1, '2026-02-15 00:00:00', 'O-2023', '', '', NULL, NULL),
    (2027, 7, 2002, 3, 2, '2026-02-16 00:00:00', 'O-2027', '', '', NULL, NULL),
    (2024, 8, 2001, 3, 5, '2026-02-01 00:00:00', 'I-2024', '', '', NULL, NULL),
    (2025, 8, 2001, 3, 5, '2025-12-31 00:00:00', 'I-2025', '', '', NULL, NULL),
    (2026, 15, 0, 3, 0, '2026-01-01 00:00:00', 'F-2026', '', '', '2026-01-01 00:00:00',
     '2026-03-31 00:00:00'),
    (2028, 18, 2001, 3, 0, '2026-01-20 00:00:00', 'INQ', '', 'Quotation follow-up', NULL, NULL);
INSERT INTO doc_item (doc_item_id, zlm_doc_id, dimension_id, sys_user_id, doc_item_billtype,
                      component_id, service_id, assembly_id, doc_item_code, doc_item_descr,
                      doc_item_qty, doc_item_rate, doc_item_discount, doc_item_tax,
                      doc_item_total, doc_item_costrate) VALUES
    (2030, 2020, 24, 2005, 1, 2010, 0, 0, 'C-1', 'Widget', 2, 100, 10, 15, 207, 60),
    (2031, 2020, 24, 2, 0, 0, 2011, 0, 'S-1', 'Installation', 1, 50, 0, 0, 50, 20),
    (2032, 2021, 24, 2005, 1, 2010, 0, 0, 'C-1', 'Widget', 2, 100, 10, 15, 207, 60),
    (2033, 2021, 24, 2005, 2, 0, 0, 2012, 'A-1', 'Kit', 1, 300, 0, 0, 300, 150),
    (2034, 2022, 24, 2005, 0, 0, 2011, 0, 'S-1', 'Installation', 4, 50, 0, 0, 200, 20),
    (2035, 2023, 24, 2005, 1, 2010, 0, 0, 'C-1', 'Widget', 1, 100, 0, 0, 100, 60),
    (2036, 2027, 24, 2005, 1, 2010, 0, 0, 'C-1', 'Widget', 10, 100, 0, 0, 1000, 50),
    (2037, 2024, 24, 2005, 1, 2010, 0, 0, 'C-1', 'Widget', 2, 100, 10, 15, 207, 60),
    (2038, 2024, 24, 2005, 0, 0, 2011, 0, 'S-1', 'Installation', 1, 50, 0, 0, 50, 20),
    (2039, 2025, 24, 2005, 1, 2010, 0, 0, 'C-1', 'Widget', 1, 100, 0, 0, 100, 10),
    (2040, 2026, 24, 2005, 1, 2010, 0, 0, 'C-1', 'Widget', 9, 100, 0, 0, 900, 0),
    (2041, 2028, 22, 2005, 0, 0, 0, 0, '', 'Call back', 0, 0, 0, 0, 0, 0);
)";

constexpr int kBusUnit = 3;
const std::set<int> kPeriodReports = {11, 12, 13, 15, 17, 22, 25};

class ReportDefinitions : public test::CoreFixture {
  protected:
    void SetUp() override {
        ConnectAll();
        ASSERT_NO_THROW(dm->zlmConn.ExecuteScript(kDocuments));
        ASSERT_NO_THROW(dm->repConn.ExecuteScript(
            "INSERT INTO bom (bom_id, bom_descr, bom_code, bom_units, bom_qty) VALUES "
            "(2050, 'Widget', 'C-1', 'each', 2), (2051, 'Bracket', 'B-7', 'box', 0.5);"));
        from = format::EncodeDate(2026, 1, 10);
        to = format::EncodeDate(2026, 2, 15);
    }

    bool Open(db::Connection& conn, Query& q, const std::string& sql) {
        const bool opened = dm->openQuery(conn, q, "test", sql);
        EXPECT_TRUE(opened) << sql;
        return opened;
    }
    bool Main(Query& q, const std::string& sql) { return Open(dm->zlmConn, q, sql); }
    bool Meta(Query& q, const std::string& sql) { return Open(dm->repConn, q, sql); }
    int MetaCount(const std::string& sql) {
        Query q;
        return Meta(q, sql) ? q.RecordCount() : -1;
    }

    // The report key a print of report `id` passes: the document for 1 to 4, else the unit.
    static int KeyOf(int id) {
        switch (id) {
            case 1:
            case 4:
                return 2020;
            case 2:
                return 2021;
            case 3:
                return 2024;
            default:
                return kBusUnit;
        }
    }

    // The data statement of the rep_section row `section` stands on, built as the report
    // server builds it.
    std::string SectionSql(Query& section, const std::string& dateField, int key) const {
        const std::string table = section.FieldByName("rep_section_table").AsString();
        if (!table.empty()) {
            std::string sql = "select * from " + db::QuoteName(table) + " where true ";
            if (section.FieldByName("rep_section_buwhere").AsInteger() == 1)
                sql += " and bus_unit_id=" + std::to_string(kBusUnit);
            const std::string parent = section.FieldByName("rep_section_parentfield").AsString();
            if (!parent.empty())
                sql += " and " + db::QuoteName(parent) + "=" + std::to_string(key);
            return sql;
        }
        std::string sql = section.FieldByName("rep_section_sqlhead").AsString() + " ";
        if (!dateField.empty())
            sql += " where " + dateField + ">=" + db::SqlDate(from) + " and " + dateField +
                   "<=" + db::SqlDate(to) + " ";
        return sql + section.FieldByName("rep_section_sqlfoot").AsString();
    }

    // Opens the data of the detail section (type 5) of report `id` into `data`, its cells
    // into `cells`.
    void Detail(int id, Query& data, Query& cells) {
        Query report, section;
        ASSERT_TRUE(Meta(report, "select * from zlm_rep where zlm_rep_id=" + std::to_string(id)));
        ASSERT_TRUE(Meta(section,
                         "select * from rep_section where section_type_id=5 and "
                         "zlm_rep_id=" +
                             std::to_string(id)));
        ASSERT_EQ(section.RecordCount(), 1) << id;
        ASSERT_TRUE(Meta(cells, "select * from rep_field where rep_section_id=" +
                                    section.FieldByName("rep_section_id").AsString() +
                                    " order by rep_field_row, rep_field_col, rep_field_dispord"));
        db::Connection& conn =
            section.FieldByName("rep_section_ismetatable").AsInteger() ? dm->repConn : dm->zlmConn;
        ASSERT_TRUE(Open(
            conn, data,
            SectionSql(section, report.FieldByName("zlm_rep_datefield").AsString(), KeyOf(id))));
    }

    // The detail records as the cells show them, running totals left out: floats with two
    // decimals, everything else as its text.
    Rows DetailRows(int id) {
        Query cells, data;
        Detail(id, data, cells);
        Rows rows;
        if (!data.Active())
            return {{"<not opened>"}};
        for (data.First(); !data.Eof(); data.Next()) {
            std::vector<std::string> row;
            for (cells.First(); !cells.Eof(); cells.Next()) {
                if (cells.FieldByName("rep_field_runtotal").AsInteger() >= 1)
                    continue;
                const db::Field& f =
                    data.FieldByName(cells.FieldByName("rep_field_field").AsString());
                row.push_back(f.DataType() == FieldType::ftFloat
                                  ? format::Format("%.2f", f.AsFloat())
                                  : f.AsString());
            }
            rows.push_back(row);
        }
        return rows;
    }

    format::TDateTime from = 0;
    format::TDateTime to = 0;
};

TEST_F(ReportDefinitions, EveryReportTheProgramAsksForIsDefined) {
    struct Expected {
        int id;
        const char* title;
        const char* customerField;
        const char* dateField;
        const char* message;
    };
    const Expected expected[] = {
        {1, "Quotation", "customer_id", "", "config_quotemesg"},
        {2, "Order", "customer_id", "", "config_ordermesg"},
        {3, "Invoice", "customer_id", "", "config_invoicemesg"},
        {4, "Bill of materials", "customer_id", "", ""},
        {10, "Summarized orders by customer", "", "", ""},
        {11, "Component orders by time period", "", "zlm_doc_date", ""},
        {12, "Service orders by time period", "", "zlm_doc_date", ""},
        {13, "Assembly orders by time period", "", "zlm_doc_date", ""},
        {15, "Summarized orders by period", "", "zlm_doc_date", ""},
        {17, "Summarized quotations by time period", "", "zlm_doc_date", ""},
        {18, "Summarized quotations by status", "", "", ""},
        {19, "Summarized quotations by system user", "", "", ""},
        {21, "Summarized orders by business unit", "", "", ""},
        {22, "Summarized invoices by period", "", "zlm_doc_date", ""},
        {23, "Summarized orders by status", "", "", ""},
        {24, "Summarized invoices by status", "", "", ""},
        {25, "Profit / Loss Report by period", "", "zlm_doc_date", ""},
    };
    Query reports;
    ASSERT_TRUE(Meta(reports, "select * from zlm_rep order by zlm_rep_id"));
    ASSERT_EQ(reports.RecordCount(), static_cast<int>(std::size(expected)));
    for (const Expected& e : expected) {
        SCOPED_TRACE("report " + std::to_string(e.id));
        ASSERT_TRUE(reports.Locate("zlm_rep_id", {db::Value(static_cast<long long>(e.id))}));
        EXPECT_EQ(reports.FieldByName("zlm_rep_htmltitle").AsString(), e.title);
        EXPECT_EQ(reports.FieldByName("zlm_rep_customerfield").AsString(), e.customerField);
        EXPECT_EQ(reports.FieldByName("zlm_rep_datefield").AsString(), e.dateField);
        EXPECT_EQ(reports.FieldByName("zlm_rep_mesgfield").AsString(), e.message);
        if (*e.message) {
            EXPECT_FALSE(dm->qConfig.FieldByName(e.message).AsString().empty());
        }
    }

    // Quotations, orders and invoices print reports 1, 2 and 3 from their lists; every report
    // id a list can print is defined.
    Query dims;
    ASSERT_TRUE(Main(dims,
                     "select dimension_id, dimension_reportid from dimension "
                     "where dimension_reportid > 0 order by dimension_id"));
    std::map<int, int> printed;
    for (dims.First(); !dims.Eof(); dims.Next())
        printed[dims.Fields(0).AsInteger()] = dims.Fields(1).AsInteger();
    EXPECT_EQ(printed, (std::map<int, int>{{6, 1}, {7, 2}, {8, 3}}));
}

TEST_F(ReportDefinitions, SectionsAreWellFormed) {
    Query sections;
    ASSERT_TRUE(
        Meta(sections, "select * from rep_section order by zlm_rep_id, rep_section_dispord"));
    ASSERT_GT(sections.RecordCount(), 0);
    std::map<int, std::vector<int>> typesOf;
    for (sections.First(); !sections.Eof(); sections.Next()) {
        const int report = sections.FieldByName("zlm_rep_id").AsInteger();
        const int type = sections.FieldByName("section_type_id").AsInteger();
        const int link = sections.FieldByName("link_section_id").AsInteger();
        const bool hasTable = !sections.FieldByName("rep_section_table").AsString().empty();
        const bool hasHead = !sections.FieldByName("rep_section_sqlhead").AsString().empty();
        SCOPED_TRACE("section " + sections.FieldByName("rep_section_id").AsString());
        typesOf[report].push_back(type);
        EXPECT_TRUE(type == 1 || type == 3 || type == 5 || type == 6);
        EXPECT_NE(hasTable, hasHead) << "a section reads a table or an SQL head";
        EXPECT_EQ(MetaCount("select * from zlm_rep where zlm_rep_id=" + std::to_string(report)), 1);
        if (type == 1) {
            EXPECT_GT(sections.FieldByName("rep_section_rows").AsInteger(), 0);
            EXPECT_GT(sections.FieldByName("rep_section_cols").AsInteger(), 0);
            EXPECT_EQ(link, 0);
        }
        if (type == 3 || type == 6) {
            // Heading and totals rows share the cells of their report's detail section.
            Query target;
            ASSERT_TRUE(Meta(
                target, "select * from rep_section where rep_section_id=" + std::to_string(link)));
            ASSERT_EQ(target.RecordCount(), 1);
            EXPECT_EQ(target.FieldByName("zlm_rep_id").AsInteger(), report);
            EXPECT_EQ(target.FieldByName("section_type_id").AsInteger(), 5);
        }
        // A period clause follows the SQL head, so the head holds no where of its own and the
        // detail of a period report comes through a head.
        if (hasHead) {
            EXPECT_TRUE(kPeriodReports.count(report));
            EXPECT_FALSE(sections.FieldByName("rep_section_sqlfoot").AsString().empty());
        }
        if (kPeriodReports.count(report) && type != 1) {
            EXPECT_TRUE(hasHead);
        }
        const int cells = MetaCount("select * from rep_field where rep_section_id=" +
                                    sections.FieldByName("rep_section_id").AsString());
        EXPECT_EQ(cells > 0, link == 0);
    }
    // Every report: a grid first, then a heading row before its one detail section; every
    // report but the bill of materials ends with a totals row.
    for (const auto& [report, types] : typesOf) {
        SCOPED_TRACE("report " + std::to_string(report));
        EXPECT_EQ(types.front(), 1);
        EXPECT_EQ(std::count(types.begin(), types.end(), 5), 1);
        const auto detail = std::find(types.begin(), types.end(), 5);
        ASSERT_NE(detail, types.begin());
        EXPECT_EQ(*(detail - 1), 3);
        if (report != 4) {
            EXPECT_EQ(types.back(), 6);
        }
    }
}

// Each report's records and each section's data open on the delivered databases, every cell
// names a column the data has (or the period), numbers are numbers, and every detail section
// has rows to show.
TEST_F(ReportDefinitions, EverySectionOpensAndItsCellsNameItsColumns) {
    Query reports;
    ASSERT_TRUE(Meta(reports, "select * from zlm_rep order by zlm_rep_id"));
    for (reports.First(); !reports.Eof(); reports.Next()) {
        const int id = reports.FieldByName("zlm_rep_id").AsInteger();
        const int key = KeyOf(id);
        const std::string dateField = reports.FieldByName("zlm_rep_datefield").AsString();
        SCOPED_TRACE("report " + std::to_string(id));

        std::string sql = "select * from " + reports.FieldByName("zlm_rep_table").AsString();
        const std::string parent = reports.FieldByName("zlm_rep_parentfield").AsString();
        if (!parent.empty())
            sql += " where " + parent + "=" + std::to_string(key);
        Query records;
        ASSERT_TRUE(Main(records, sql));
        EXPECT_FALSE(records.IsEmpty());
        const std::string customerField = reports.FieldByName("zlm_rep_customerfield").AsString();
        if (!customerField.empty()) {
            EXPECT_EQ(records.FieldByName(customerField).AsInteger(), 2001);
        }

        Query sections;
        ASSERT_TRUE(Meta(sections, "select * from rep_section where zlm_rep_id=" +
                                       std::to_string(id) + " order by rep_section_dispord"));
        for (sections.First(); !sections.Eof(); sections.Next()) {
            const int type = sections.FieldByName("section_type_id").AsInteger();
            const int link = sections.FieldByName("link_section_id").AsInteger();
            SCOPED_TRACE("section " + sections.FieldByName("rep_section_id").AsString());
            db::Connection& conn = sections.FieldByName("rep_section_ismetatable").AsInteger()
                                       ? dm->repConn
                                       : dm->zlmConn;
            Query data;
            ASSERT_TRUE(Open(conn, data, SectionSql(sections, dateField, key)));
            if (type == 5 || type == 1) {
                EXPECT_FALSE(data.IsEmpty());
            }

            // A heading row writes only its cells' headings; no column of its data is read.
            if (type == 3)
                continue;
            const int source = link > 0 ? link : sections.FieldByName("rep_section_id").AsInteger();
            Query cells;
            ASSERT_TRUE(Meta(
                cells, "select * from rep_field where rep_section_id=" + std::to_string(source)));
            for (cells.First(); !cells.Eof(); cells.Next()) {
                const std::string column = cells.FieldByName("rep_field_field").AsString();
                SCOPED_TRACE("cell " + cells.FieldByName("rep_field_id").AsString() + " " + column);
                if (column.empty()) {
                    EXPECT_TRUE(type == 1 || type == 6);
                    continue;
                }
                if (column == "_start_date" || column == "_end_date") {
                    EXPECT_EQ(type, 1);
                    EXPECT_FALSE(dateField.empty());
                    continue;
                }
                const db::Field* field = data.FindField(column);
                ASSERT_NE(field, nullptr);
                const bool numeric = !cells.FieldByName("rep_field_format").AsString().empty() ||
                                     cells.FieldByName("rep_field_sum").AsInteger() != 0 ||
                                     cells.FieldByName("rep_field_runtotal").AsInteger() != 0;
                if (numeric && !data.IsEmpty()) {
                    EXPECT_TRUE(field->DataType() == FieldType::ftFloat ||
                                field->DataType() == FieldType::ftInteger)
                        << static_cast<int>(field->DataType());
                }
                if (!numeric && !data.IsEmpty()) {
                    EXPECT_NO_THROW(field->AsString());
                }
            }
        }
    }
    EXPECT_EQ(prompter.Count(), 0u);
    EXPECT_EQ(ErrorLog(), "");
}

TEST_F(ReportDefinitions, DocumentPrintsShowTheDocumentItsPartiesAndItsLines) {
    Query header;
    ASSERT_TRUE(Main(header,
                     "select doc_ref, cust_ref, doc_descr, status, cust_name, cust_postal1, "
                     "cust_pcode, cust_taxref, bu_name, bu_postal1, zlm_doc_date from repDocHeader "
                     "where zlm_doc_id=2020"));
    ASSERT_EQ(header.RecordCount(), 1);
    std::vector<std::string> shown;
    for (int i = 0; i < header.FieldCount(); ++i)
        shown.push_back(header.Fields(i).AsString());
    // The customer's reference "[no value]" was never entered and shows as nothing.
    EXPECT_EQ(shown, (std::vector<std::string>{
                         "Q-2020", "", "Shop fit", "Draft", "Harrow Foods", "1 Mill Lane", "4410",
                         "VAT-77", "My business", "Postal address",
                         format::DateTimeToStr(format::EncodeDate(2026, 1, 10))}));
    EXPECT_EQ(header.FieldByName("zlm_doc_date").DataType(), FieldType::ftDateTime);
    // A name in three parts reads as one.
    ASSERT_TRUE(Main(header, "select cust_name from repDocHeader where zlm_doc_id=2022"));
    EXPECT_EQ(header.Fields(0).AsString(), "Lintel Ltd");
    // Only quotations, orders and invoices print as documents.
    ASSERT_TRUE(Main(header, "select * from repDocHeader where zlm_doc_id in (2026, 2028)"));
    EXPECT_TRUE(header.IsEmpty());

    const Rows quotation = {{"C-1", "Widget", "2.00", "100.00", "10.00", "15.00", "207.00"},
                            {"S-1", "Installation", "1.00", "50.00", "0.00", "0.00", "50.00"}};
    EXPECT_EQ(DetailRows(1), quotation);
    EXPECT_EQ(DetailRows(3), quotation);  // the invoice has the same lines
    EXPECT_EQ(DetailRows(2),
              (Rows{quotation[0], {"A-1", "Kit", "1.00", "300.00", "0.00", "0.00", "300.00"}}));
    EXPECT_EQ(DetailRows(4),
              (Rows{{"C-1", "Widget", "each", "2.00"}, {"B-7", "Bracket", "box", "0.50"}}));
    // The document total is the sum of the lines' totals, the one summed column.
    Query sums;
    ASSERT_TRUE(
        Meta(sums,
             "select f.rep_field_id, f.rep_field_field from rep_field f join rep_section s on "
             "s.rep_section_id=f.rep_section_id where s.zlm_rep_id=1 and "
             "f.rep_field_sum<>0"));
    ASSERT_EQ(sums.RecordCount(), 1);
    EXPECT_EQ(sums.Fields(1).AsString(), "doc_item_total");
}

// The summary reports of the main window for business unit 3 and the period 2026-01-10 to
// 2026-02-15: both ends of the period count, documents outside it and other kinds do not.
TEST_F(ReportDefinitions, SummaryReportsSumTheRightDocuments) {
    const std::map<int, Rows> expected = {
        // orders of unit 3 by customer: 2021; 2022 and 2027
        {10, {{"Harrow Foods", "1", "507.00"}, {"Lintel Ltd", "2", "1200.00"}}},
        // ordered items of the period: 2021 (31 Jan), 2022 (1 Feb), 2023 (15 Feb, unit 2006)
        {11, {{"C-1", "Widget", "2", "3.00", "307.00"}}},
        {12, {{"S-1", "Installation", "1", "4.00", "200.00"}}},
        {13, {{"A-1", "Kit", "1", "1.00", "300.00"}}},
        {15, {{"2026/01", "1", "507.00"}, {"2026/02", "2", "300.00"}}},
        {17, {{"2026/01", "1", "257.00"}}},
        {18, {{"Draft", "1", "257.00"}}},
        {19, {{"Clerk Ann Ms", "1", "207.00"}, {"System", "1", "50.00"}}},
        {21, {{"My business", "3", "1707.00"}, {"Second unit", "1", "100.00"}}},
        {22, {{"2026/02", "1", "257.00"}}},
        {23, {{"Draft", "1", "200.00"}, {"Sent", "1", "1000.00"}, {"Accepted", "1", "507.00"}}},
        {24, {{"Paid", "2", "357.00"}}},
        // invoice 2024: revenue 180 + 50 before tax, cost 120 + 20
        {25, {{"2026/02", "230.00", "140.00", "90.00"}}},
    };
    for (const auto& [id, rows] : expected) {
        EXPECT_EQ(DetailRows(id), rows) << "report " << id;
    }
    // With no document in the period the period reports are empty, not broken.
    from = format::EncodeDate(2030, 1, 1);
    to = format::EncodeDate(2030, 12, 31);
    for (int id : kPeriodReports) {
        EXPECT_TRUE(DetailRows(id).empty()) << "report " << id;
    }
    EXPECT_EQ(ErrorLog(), "");
}

TEST_F(ReportDefinitions, DatesKeepTheirTypeThroughTheReportSources) {
    for (const char* sql :
         {"select zlm_doc_date from repDocHeader", "select zlm_doc_date from repDocSummary",
          "select zlm_doc_date from repDocLineItems",
          "select t.zlm_doc_date from (select * from repDocLineItems where dimension_id=7) as t "
          "where zlm_doc_date>=#2026-01-31 00:00:00# order by t.zlm_doc_date"}) {
        Query q;
        ASSERT_TRUE(Main(q, sql));
        ASSERT_FALSE(q.IsEmpty()) << sql;
        EXPECT_EQ(q.Fields(0).DataType(), FieldType::ftDateTime) << sql;
    }
    // Dates compare as dates: the period in the user's short date format finds the same rows.
    Query q;
    ASSERT_TRUE(Main(q,
                     "select zlm_doc_id from repDocSummary where zlm_doc_date>=#2026/02/01# "
                     "and zlm_doc_date<=#2026/02/15# order by zlm_doc_date, zlm_doc_id"));
    std::vector<int> ids;
    for (q.First(); !q.Eof(); q.Next())
        ids.push_back(q.Fields(0).AsInteger());
    EXPECT_EQ(ids, (std::vector<int>{2022, 2024, 2023}));
}

// The charts: 1 to 4 compare a month view with the forecast, 5 is the pie of ordered items.
TEST_F(ReportDefinitions, EveryChartSourceRunsAndGivesItsMonthsOrSlices) {
    Query graphs;
    ASSERT_TRUE(Meta(graphs, "select * from graph_rep order by graph_rep_id"));
    ASSERT_EQ(graphs.RecordCount(), 5);
    const std::map<int, std::pair<int, Rows>> expected = {
        {1, {1, {{"202602", "202602", "257.00"}}}},
        {2, {1, {{"202601", "202601", "257.00"}}}},
        {3, {1, {{"202601", "202601", "507.00"}, {"202602", "202602", "1300.00"}}}},
        {4, {1, {{"202602", "202602", "257.00"}}}},
        {5, {3, {{"Widget", "1307.00"}, {"Kit", "300.00"}, {"Installation", "200.00"}}}},
    };
    for (graphs.First(); !graphs.Eof(); graphs.Next()) {
        const int id = graphs.FieldByName("graph_rep_id").AsInteger();
        SCOPED_TRACE("graph " + std::to_string(id));
        ASSERT_TRUE(expected.count(id));
        const auto& [type, rows] = expected.at(id);
        EXPECT_EQ(graphs.FieldByName("graph_rep_type").AsInteger(), type);
        EXPECT_FALSE(graphs.FieldByName("graph_rep_title").AsString().empty());
        Rows actual;
        if (type == 1) {
            // The month column compares as a number yyyyMM, the months written bare.
            const std::string ym = graphs.FieldByName("graph_rep_ymfield").AsString();
            const std::string source = graphs.FieldByName("graph_rep_table").AsString();
            Query q;
            ASSERT_TRUE(Main(
                q, "select * from " + source + " where " + ym + ">=202512 and " + ym + "<=202602"));
            for (q.First(); !q.Eof(); q.Next()) {
                EXPECT_EQ(q.FieldByName("total").DataType(), FieldType::ftFloat);
                actual.push_back({q.FieldByName("YrMnth").AsString(), q.FieldByName(ym).AsString(),
                                  format::Format("%.2f", q.FieldByName("total").AsFloat())});
            }
            // December's invoice lies outside 202601..202602 and is left out there.
            Query narrow;
            ASSERT_TRUE(Main(narrow, "select * from " + source + " where " + ym + ">=202601 and " +
                                         ym + "<=202602"));
            EXPECT_EQ(narrow.RecordCount(), static_cast<int>(rows.size()));
        } else {
            Query q;
            ASSERT_TRUE(Main(q, graphs.FieldByName("graph_rep_table").AsString() + " " +
                                    graphs.FieldByName("graph_rep_table2").AsString()));
            ASSERT_EQ(q.FieldCount(), 2);
            for (q.First(); !q.Eof(); q.Next())
                actual.push_back(
                    {q.Fields(0).AsString(), format::Format("%.2f", q.Fields(1).AsFloat())});
        }
        if (id == 1 || id == 4) {
            // The invoices of 2025-12 stand in the wider range.
            ASSERT_FALSE(actual.empty());
            EXPECT_EQ(actual.front(), (std::vector<std::string>{"202512", "202512", "100.00"}));
            actual.erase(actual.begin());
        }
        EXPECT_EQ(actual, rows);
    }
    // The plan the bars stand against: the forecast lines of the business unit.
    Query plan;
    ASSERT_TRUE(Main(plan, "select * from repForecastItems where bus_unit_id=3"));
    ASSERT_EQ(plan.RecordCount(), 1);
    EXPECT_DOUBLE_EQ(plan.FieldByName("total").AsFloat(), 900.0);
    EXPECT_EQ(ErrorLog(), "");
}

TEST_F(ReportDefinitions, EveryHeadingAndLabelIsATranslatableSynonym) {
    Query synonyms;
    ASSERT_TRUE(Meta(synonyms, "select * from synonym order by synonym_id"));
    std::map<int, std::string> terms;
    std::set<std::string> seen;
    for (synonyms.First(); !synonyms.Eof(); synonyms.Next()) {
        const std::string term = synonyms.FieldByName("synonym_term").AsString();
        terms[synonyms.FieldByName("synonym_id").AsInteger()] = term;
        EXPECT_TRUE(seen.insert(term).second) << "twice: " << term;
        EXPECT_EQ(synonyms.FieldByName("synonym_local").AsString(), term);
    }
    ASSERT_TRUE(terms.count(29));
    EXPECT_EQ(terms[29], "Total");

    Query cells;
    ASSERT_TRUE(Meta(cells, "select * from rep_field"));
    std::set<int> used = {29};
    for (cells.First(); !cells.Eof(); cells.Next()) {
        SCOPED_TRACE("cell " + cells.FieldByName("rep_field_id").AsString());
        const int synonym = cells.FieldByName("synonym_id").AsInteger();
        const std::string heading = cells.FieldByName("rep_field_heading").AsString();
        const std::string label = cells.FieldByName("rep_field_static").AsString();
        if (synonym > 0) {
            ASSERT_TRUE(terms.count(synonym)) << synonym;
            used.insert(synonym);
        }
        if (!heading.empty()) {
            EXPECT_EQ(terms[synonym], heading);
        }
        if (!label.empty()) {
            EXPECT_EQ(terms[synonym], label);
        }
        if (heading.empty() && label.empty()) {
            EXPECT_EQ(synonym, 0);
        }
    }
    // Every cell of a heading row has its heading.
    Query headings;
    ASSERT_TRUE(Meta(headings,
                     "select f.* from rep_field f join rep_section s on "
                     "f.rep_section_id=s.link_section_id where s.section_type_id=3"));
    ASSERT_GT(headings.RecordCount(), 0);
    for (headings.First(); !headings.Eof(); headings.Next()) {
        EXPECT_GT(headings.FieldByName("synonym_id").AsInteger(), 0)
            << headings.FieldByName("rep_field_id").AsString();
    }
    // No synonym that no definition uses.
    for (const auto& [id, term] : terms) {
        EXPECT_TRUE(used.count(id)) << id << " " << term;
    }
}

}  // namespace
}  // namespace zl
