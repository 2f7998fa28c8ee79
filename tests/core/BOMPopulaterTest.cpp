// The bill of materials: document lines exploded into the bom table of the metadata database.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/BOMPopulater.h"
#include "core/DataMod.h"
#include "platform/db/Connection.h"
#include "platform/db/Query.h"
#include "platform/format/Format.h"
#include "tests/support/CoreFixture.h"
#include "tests/support/StatementCounter.h"

namespace zl {
namespace {

// Billables, documents and their lines used below.
constexpr int kA = 9001;
constexpr int kB = 9002;
constexpr int kC = 9003;
constexpr int kD = 9004;
constexpr int kE = 9005;
constexpr int kService = 9006;
constexpr int kComponent = 9007;
constexpr int kDoc = 9301;
constexpr int kOtherDoc = 9302;

class BOMPopulaterTest : public test::CoreFixture {
  protected:
    void SetUp() override {
        ConnectAll();
        AddBillable(kC, "Bolt", "C-1", "box");
        AddBillable(kService, "Fitting", "S-1", "hour");
        AddBillable(kComponent, "Panel", "P-1", "each");
    }

    void AddBillable(int id, const std::string& descr, const std::string& code,
                     const std::string& units) {
        Exec(
            "insert into billable (billable_id, billable_descr, billable_code, billable_units) "
            "values (" +
            std::to_string(id) + ", '" + descr + "', '" + code + "', '" + units + "')");
    }

    void AddLine(int id, int doc, int assembly, int service, int component, double qty) {
        Exec(
            "insert into doc_item (doc_item_id, zlm_doc_id, assembly_id, service_id, "
            "component_id, doc_item_qty) values (" +
            std::to_string(id) + ", " + std::to_string(doc) + ", " + std::to_string(assembly) +
            ", " + std::to_string(service) + ", " + std::to_string(component) + ", " +
            format::FloatToStr(qty) + ")");
    }

    // The stored bom rows in key order, each "descr|code|units|qty", read on a connection of
    // their own so that only committed rows count.
    std::vector<std::string> BomRows() const {
        db::Connection conn;
        conn.SetConnectionString("Data Source=" + folder.MetaDb());
        conn.Open();
        db::Query q(&conn);
        q.SetSQL("select bom_descr, bom_code, bom_units, bom_qty from bom order by bom_id");
        q.Open();
        std::vector<std::string> rows;
        for (q.First(); !q.Eof(); q.Next())
            rows.push_back(q.Fields(0).AsString() + "|" + q.Fields(1).AsString() + "|" +
                           q.Fields(2).AsString() + "|" +
                           format::FloatToStr(q.Fields(3).AsFloat()));
        return rows;
    }

    // The rows a run for `doc` leaves.
    std::vector<std::string> Explode(int doc) {
        BOMPopulater bom;
        bom.Populate(doc);
        return BomRows();
    }
};

using Rows = std::vector<std::string>;

TEST_F(BOMPopulaterTest, ADocumentWithoutLinesLeavesBomEmpty) {
    ASSERT_TRUE(dm->actionQuery(
        dm->repConn, "insert into bom (bom_id, bom_descr, bom_qty) values (9901, 'old', 1)",
        "test"));
    ASSERT_EQ(BomRows().size(), 1u);
    BOMPopulater bom;
    EXPECT_TRUE(bom.Populate(kDoc));
    EXPECT_EQ(BomRows(), Rows{});
    EXPECT_EQ(prompter.Count(), 0u);
    EXPECT_EQ(ErrorLog(), "");
}

TEST_F(BOMPopulaterTest, NestedAssembliesMultiplyTheirQuantities) {
    // 2 of A; A holds 3 of B; B holds 4 of C.
    AddBillItem(9101, kA, 0, 0, kB, 3);
    AddBillItem(9102, kB, kC, 0, 0, 4);
    AddLine(9201, kDoc, kA, 0, 0, 2);
    EXPECT_EQ(Explode(kDoc), Rows{"Bolt|C-1|box|24"});
    // The row's key is the last one the counter issued.
    EXPECT_EQ(Stored(folder.MetaDb(), "select bom_id from bom"),
              Stored(folder.MainDb(), "select next_id from id_control"));
    EXPECT_FALSE(dm->repConn.InTransaction());
    EXPECT_EQ(ErrorLog(), "");
}

TEST_F(BOMPopulaterTest, ALineWithoutABillableAddsNothing) {
    AddLine(9201, kDoc, 0, 0, 0, 5);
    EXPECT_EQ(Explode(kDoc), Rows{});
    EXPECT_EQ(ErrorLog(), "");
}

TEST_F(BOMPopulaterTest, TheSameComponentOnTwoLinesGivesTwoRows) {
    AddLine(9201, kDoc, 0, 0, kComponent, 2);
    AddLine(9202, kDoc, 0, 0, kComponent, 3.5);
    AddLine(9203, kOtherDoc, 0, 0, kComponent, 7);
    EXPECT_EQ(Explode(kDoc), (Rows{"Panel|P-1|each|2", "Panel|P-1|each|3.5"}));
}

TEST_F(BOMPopulaterTest, AnAssemblyLineWithComponentAndServiceAddsTwoRows) {
    AddBillItem(9101, kA, kComponent, kService, 0, 3);
    AddLine(9201, kDoc, kA, 0, 0, 2);
    EXPECT_EQ(Explode(kDoc), (Rows{"Panel|P-1|each|6", "Fitting|S-1|hour|6"}));
}

TEST_F(BOMPopulaterTest, ADocumentLineIsTestedForAssemblyThenServiceThenComponent) {
    AddBillItem(9101, kA, kC, 0, 0, 4);
    AddLine(9201, kDoc, kA, kService, kComponent, 2);
    EXPECT_EQ(Explode(kDoc), (Rows{"Bolt|C-1|box|8", "Fitting|S-1|hour|2", "Panel|P-1|each|2"}));
}

TEST_F(BOMPopulaterTest, ASecondRunEmptiesBomFirst) {
    AddLine(9201, kDoc, 0, 0, kComponent, 2);
    AddLine(9202, kOtherDoc, 0, kService, 0, 5);
    BOMPopulater bom;
    EXPECT_TRUE(bom.Populate(kDoc));
    EXPECT_TRUE(bom.Populate(kDoc));
    EXPECT_EQ(BomRows(), Rows{"Panel|P-1|each|2"});
    EXPECT_TRUE(bom.Populate(kOtherDoc));
    EXPECT_EQ(BomRows(), Rows{"Fitting|S-1|hour|5"});
}

TEST_F(BOMPopulaterTest, ASubAssemblyInTwoBranchesIsExpandedTwice) {
    // A holds 2 of B and 1 of D; B and D each hold 1 of E; E holds 3 of C.
    AddBillItem(9101, kA, 0, 0, kB, 2);
    AddBillItem(9102, kA, 0, 0, kD, 1);
    AddBillItem(9103, kB, 0, 0, kE, 1);
    AddBillItem(9104, kD, 0, 0, kE, 1);
    AddBillItem(9105, kE, kC, 0, 0, 3);
    AddLine(9201, kDoc, kA, 0, 0, 10);
    EXPECT_EQ(Explode(kDoc), (Rows{"Bolt|C-1|box|60", "Bolt|C-1|box|30"}));
    EXPECT_EQ(prompter.Count(), 0u);
    EXPECT_EQ(ErrorLog(), "");
}

TEST_F(BOMPopulaterTest, AnAssemblyInsideItselfStopsAndIsLoggedOncePerRun) {
    // A holds 1 of C and 2 of B; B holds 1 of service and 1 of A. Two lines of A.
    AddBillItem(9101, kA, kC, 0, 0, 1);
    AddBillItem(9102, kA, 0, 0, kB, 2);
    AddBillItem(9103, kB, 0, kService, 0, 1);
    AddBillItem(9104, kB, 0, 0, kA, 1);
    AddLine(9201, kDoc, kA, 0, 0, 1);
    AddLine(9202, kDoc, kA, 0, 0, 3);
    BOMPopulater bom;
    bom.Populate(kDoc);
    EXPECT_EQ(BomRows(), (Rows{"Bolt|C-1|box|1", "Fitting|S-1|hour|2", "Bolt|C-1|box|3",
                               "Fitting|S-1|hour|6"}));
    EXPECT_EQ(prompter.Count(), 1u);
    EXPECT_EQ(LastBoxFirstLine(), "Exception occurred in: BOMPopulater.processAssembly");
    EXPECT_EQ(ErrorLog(),
              "BOMPopulater.processAssembly;Assembly 9001 contains itself; the repeated line "
              "adds nothing;\r\n");

    bom.Populate(kDoc);
    EXPECT_EQ(BomRows().size(), 4u);
    EXPECT_EQ(LogCount("BOMPopulater.processAssembly;Assembly 9001 contains itself"), 2);
}

TEST_F(BOMPopulaterTest, AnAssemblyHoldingItselfAddsNothingForThatRow) {
    AddBillItem(9101, kA, 0, 0, kA, 5);
    AddBillItem(9102, kA, kC, 0, 0, 2);
    AddLine(9201, kDoc, kA, 0, 0, 1);
    EXPECT_EQ(Explode(kDoc), Rows{"Bolt|C-1|box|2"});
    EXPECT_EQ(LogCount("BOMPopulater.processAssembly;Assembly 9001 contains itself"), 1);
}

// Each level holds the one below on two lines: 4096 paths to the bottom's component and service,
// each a row of its own as always, from twelve assemblies read once each and one key counter
// transaction.
TEST_F(BOMPopulaterTest, TwelveLevelsReadEachAssemblyOnceAndTakeAllKeysAtOnce) {
    constexpr int kLevels = 12;
    constexpr int kBottom = 9501;
    AddBillItem(9601, kBottom, kC, 0, 0, 1.5);
    AddBillItem(9602, kBottom, 0, kService, 0, 3);
    for (int level = 1; level < kLevels; ++level) {
        AddBillItem(9700 + 2 * level, kBottom + level, 0, 0, kBottom + level - 1, 1);
        AddBillItem(9701 + 2 * level, kBottom + level, 0, 0, kBottom + level - 1, 2);
    }
    AddLine(9201, kDoc, kBottom + kLevels - 1, 0, 0, 2);
    Rows expected;
    const std::function<void(int, double)> expand = [&](int level, double qty) {
        if (level == 0) {
            expected.push_back("Bolt|C-1|box|" + format::FloatToStr(1.5 * qty));
            expected.push_back("Fitting|S-1|hour|" + format::FloatToStr(qty * 3));
            return;
        }
        expand(level - 1, 1 * qty);
        expand(level - 1, 2 * qty);
    };
    expand(kLevels - 1, 2);
    const int first = std::stoi(Stored(folder.MainDb(), "select next_id from id_control")) + 1;

    BOMPopulater bom;
    test::StatementCounter statements(dm->zlmConn);
    ASSERT_TRUE(bom.Populate(kDoc));
    EXPECT_EQ(statements.Count("from bill_item"), kLevels);
    EXPECT_EQ(statements.Count("from billable"), 2);
    EXPECT_EQ(statements.Count("BEGIN"), 1);
    EXPECT_EQ(BomRows(), expected);
    // Keys one after another from where the counter stood, to where it stands now.
    EXPECT_EQ(
        Stored(folder.MetaDb(), "select min(bom_id) || ' ' || max(bom_id) from bom"),
        std::to_string(first) + " " + Stored(folder.MainDb(), "select next_id from id_control"));
}

// A refill that fails part-way leaves no rows at all: not its own first rows, and not the
// previous document's, which the rollback would have put back. The box comes after all that.
TEST_F(BOMPopulaterTest, ARowThatCannotBeStoredLeavesBomEmptyBeforeTheBoxShows) {
    AddBillable(kE, std::string(151, 'x'), "E-1", "each");
    AddLine(9201, kDoc, 0, 0, kComponent, 1);
    AddLine(9202, kDoc, 0, 0, kE, 1);
    AddLine(9203, kDoc, 0, 0, kComponent, 4);
    AddLine(9204, kOtherDoc, 0, kService, 0, 5);
    BOMPopulater bom;
    ASSERT_TRUE(bom.Populate(kOtherDoc));
    ASSERT_EQ(BomRows(), Rows{"Fitting|S-1|hour|5"});

    std::vector<std::string> whileShown;
    prompter.onShow = [&](const ui::Message&) {
        whileShown.push_back(std::string(dm->repConn.InTransaction() ? "in transaction" : "none") +
                             ", " + std::to_string(BomRows().size()) + " rows");
    };
    EXPECT_FALSE(bom.Populate(kDoc));
    EXPECT_EQ(BomRows(), Rows{});
    EXPECT_EQ(whileShown, std::vector<std::string>{"none, 0 rows"});
    EXPECT_EQ(LastBoxFirstLine(), "Exception occurred in: BOMPopulater.Populate");
    EXPECT_EQ(ErrorLog(),
              "BOMPopulater.Populate;The field 'bom_descr' is too small to accept the amount of "
              "data you attempted to add (at most 150 characters). Try inserting or pasting less "
              "data.;\r\n");
    EXPECT_FALSE(dm->repConn.InTransaction());
    EXPECT_FALSE(bom.qBom.Active());

    // The next good run fills it again.
    EXPECT_TRUE(bom.Populate(kOtherDoc));
    EXPECT_EQ(BomRows(), Rows{"Fitting|S-1|hour|5"});
}

// Each failure shows one box, with no transaction open on the metadata file, and leaves bom
// without the previous document's rows.
TEST_F(BOMPopulaterTest, AFailedRunShowsOneBoxAndLeavesNoOtherDocumentsRows) {
    struct Case {
        const char* table;
        const char* boxFrom;
    };
    const Case cases[] = {
        {"bill_item", "TDataMod.openQuery > BOMPopulater.processAssembly"},
        {"billable", "TDataMod.openQuery > BOMPopulater.processComponent"},
        {"id_control", "TDataMod.openQuery > TDataMod.nextID"},
        {"doc_item", "TDataMod.openQuery > BOMPopulator.Populate"},
    };
    AddBillItem(9101, kA, kC, 0, 0, 4);
    AddLine(9201, kDoc, kA, 0, 0, 1);
    AddLine(9202, kDoc, 0, 0, kComponent, 1);
    AddLine(9203, kOtherDoc, 0, kService, 0, 5);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        BOMPopulater bom;
        ASSERT_TRUE(bom.Populate(kOtherDoc));
        ASSERT_EQ(BomRows().size(), 1u);
        const std::string table = c.table;
        Exec("alter table " + table + " rename to " + table + "_gone");
        const std::size_t before = prompter.Count();
        bool inTransaction = true;
        prompter.onShow = [&](const ui::Message&) {
            inTransaction = dm->repConn.InTransaction() || dm->zlmConn.InTransaction();
        };
        EXPECT_FALSE(bom.Populate(kDoc));
        EXPECT_EQ(prompter.Count(), before + 1);
        EXPECT_EQ(LastBoxFirstLine(), std::string("Exception occurred in: ") + c.boxFrom);
        EXPECT_FALSE(inTransaction);
        EXPECT_EQ(BomRows(), Rows{});
        prompter.onShow = nullptr;
        Exec("alter table " + table + "_gone rename to " + table);
    }
}

}  // namespace
}  // namespace zl
