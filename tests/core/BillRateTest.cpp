// Pricing: rates of the day, assembly roll-ups, line and document totals, tax and exchange rates.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "core/BillRate.h"
#include "core/DataMod.h"
#include "core/Globals.h"
#include "platform/format/Format.h"
#include "tests/support/CoreFixture.h"
#include "tests/support/StatementCounter.h"

namespace zl {
namespace {

// Items, assemblies and documents used below.
constexpr int kA = 5001;
constexpr int kB = 5002;
constexpr int kC = 5003;
constexpr int kD = 5004;
constexpr int kE = 5005;
constexpr int kService = 5006;
constexpr int kCustomer = 5101;
constexpr int kRegion = 5201;
constexpr int kDoc = 5301;
constexpr int kLine = 5401;

class BillRateTest : public test::CoreFixture {
  protected:
    void SetUp() override { ConnectAll(); }

    // The selling rate and cost an assembly's roll-up gives.
    static std::pair<double, double> RolledUp(int assembly) {
        BillRate br;
        br.SetItemID(assembly);
        return {br.getAssemblyRate(), br.getAssemblyCost()};
    }

    // A date literal `days` from today, with an optional time of day.
    static std::string Day(int days, const std::string& time = "00:00:00") {
        const std::string iso = format::DateTimeToIso(format::IncDay(format::Date(), days));
        return "'" + iso.substr(0, 10) + " " + time + "'";
    }

    void AddRate(int id, int item, const std::string& from, const std::string& to, double selling,
                 double cost) {
        Exec(
            "insert into bill_rate (bill_rate_id, billable_id, bill_rate_from, bill_rate_to, "
            "bill_rate_selling, bill_rate_cost) values (" +
            std::to_string(id) + ", " + std::to_string(item) + ", " + from + ", " + to + ", " +
            format::FloatToStr(selling) + ", " + format::FloatToStr(cost) + ")");
    }
    // A rate valid over the whole of the coming year.
    void AddCurrentRate(int id, int item, double selling, double cost) {
        AddRate(id, item, Day(-1), Day(365), selling, cost);
    }

    // A customer in kRegion with tax rate 15, document kDoc for it and its line kLine.
    void AddCustomerDocAndLine() {
        Exec("insert into entity (entity_id, region_id, entity_taxrate) values (" +
             std::to_string(kCustomer) + ", " + std::to_string(kRegion) + ", 15)");
        Exec("insert into zlm_doc (zlm_doc_id, customer_id) values (" + std::to_string(kDoc) +
             ", " + std::to_string(kCustomer) + ")");
        Exec("insert into doc_item (doc_item_id, zlm_doc_id, doc_item_total) values (" +
             std::to_string(kLine) + ", " + std::to_string(kDoc) + ", 5)");
    }

    void AddExchangeRate(int id, int region, const std::string& from, const std::string& to,
                         double rate) {
        Exec(
            "insert into exchange_rate (exchange_rate_id, region_id, exchange_rate_from, "
            "exchange_rate_to, exchange_rate) values (" +
            std::to_string(id) + ", " + std::to_string(region) + ", " + from + ", " + to + ", " +
            format::FloatToStr(rate) + ")");
    }

    double RateOf(int item) {
        BillRate br;
        br.SetItemID(item);
        return br.getRate();
    }
    double CostOf(int item) {
        BillRate br;
        br.SetItemID(item);
        return br.getCost();
    }
};

TEST_F(BillRateTest, AnItemWithoutRatesHasRateAndCostZero) {
    Exec("insert into billable (billable_id, billable_code) values (5001, 'X1')");
    BillRate br;
    EXPECT_EQ(br.ItemId, 0);
    br.SetItemID(kA);
    EXPECT_EQ(br.ItemId, kA);
    EXPECT_EQ(br.qItem.FieldByName("billable_code").AsString(), "X1");
    EXPECT_EQ(br.getRate(), 0.0);
    EXPECT_EQ(br.getCost(), 0.0);
    EXPECT_EQ(prompter.Count(), 0u);
}

// Two rate rows of one item, the first with the lower key, and the rate and cost that apply
// today.
TEST_F(BillRateTest, TheRateOfTheDay) {
    struct Row {
        std::string from, to;
        double selling, cost;
    };
    struct Case {
        const char* why;
        Row first, second;
        double rate, cost;
    };
    const Case cases[] = {
        // Without a valid period the latest end date applies.
        {"all past, the latest end first",
         {Day(-20), Day(-5), 2, 20},
         {Day(-40), Day(-21), 1, 10},
         2,
         20},
        {"all future", {Day(30), Day(60), 4, 40}, {Day(5), Day(29), 3, 30}, 4, 40},
        {"a gap today", {Day(1), Day(9), 6, 60}, {Day(-9), Day(-1), 5, 50}, 6, 60},
        // On the day one period ends and the next begins the earlier applies.
        {"ends and begins today", {Day(0), Day(30), 20, 2}, {Day(-30), Day(0), 10, 1}, 10, 1},
        // Both bounds are inclusive and compared as dates; the other row ends later and would
        // win if today were outside.
        {"starts today", {Day(0), Day(10), 3, 30}, {Day(20), Day(30), 4, 40}, 3, 30},
        {"ends today", {Day(-10), Day(0), 5, 50}, {Day(5), Day(10), 8, 80}, 5, 50},
        {"ends today at 13:45",
         {Day(-10), Day(0, "13:45:00"), 6, 60},
         {Day(5), Day(10), 9, 90},
         6,
         60},
        {"starts today at 23:00",
         {Day(0, "23:00:00"), Day(10), 7, 70},
         {Day(20), Day(30), 1, 10},
         7,
         70},
        // The first valid row in order of end date wins.
        {"both valid", {Day(-5), Day(20), 22, 2.2}, {Day(-5), Day(10), 11, 1.1}, 11, 1.1},
        // A null bound reads as the first day of the calendar: a null from-date lies before
        // today; with a null to-date the row is never valid and sorts first.
        {"null from", {"null", Day(5), 4, 40}, {Day(10), Day(20), 9, 90}, 4, 40},
        {"null to", {Day(-5), "null", 3, 30}, {Day(-20), Day(-10), 2, 20}, 2, 20},
    };
    int item = kA;
    int row = 5011;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        for (const Row& r : {c.first, c.second})
            AddRate(row++, item, r.from, r.to, r.selling, r.cost);
        EXPECT_EQ(RateOf(item), c.rate);
        EXPECT_EQ(CostOf(item), c.cost);
        ++item;
    }
}

TEST_F(BillRateTest, ARowWithComponentAndServiceCountsOnceAsAComponent) {
    AddCurrentRate(5011, kC, 10, 4);
    AddCurrentRate(5012, kService, 1000, 400);
    AddBillItem(5021, kA, kC, kService, 0, 2);
    BillRate br;
    br.SetItemID(kA);
    EXPECT_EQ(br.getAssemblyRate(), 20.0);
    EXPECT_EQ(br.getAssemblyCost(), 8.0);
}

TEST_F(BillRateTest, QuantitiesMultiplyDownTheLevels) {
    AddCurrentRate(5011, kC, 10, 4);
    AddCurrentRate(5012, kService, 7, 3);
    AddBillItem(5021, kA, 0, 0, kB, 2);
    AddBillItem(5022, kB, kC, 0, 0, 3);
    BillRate br;
    br.SetItemID(kA);
    EXPECT_EQ(br.getAssemblyRate(), 60.0);
    EXPECT_EQ(br.getAssemblyCost(), 24.0);

    // A service counts; a row without an item adds nothing.
    AddBillItem(5023, kA, 0, kService, 0, 1);
    AddBillItem(5024, kA, 0, 0, 0, 5);
    EXPECT_EQ(br.getAssemblyRate(), 67.0);
    EXPECT_EQ(br.getAssemblyCost(), 27.0);
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(BillRateTest, ASubAssemblyReachedTwiceCountsTwice) {
    // A holds 2 of B and 1 of D; B and D each hold 1 of E; E holds 1 of C.
    AddCurrentRate(5011, kC, 10, 4);
    AddBillItem(5021, kA, 0, 0, kB, 2);
    AddBillItem(5022, kA, 0, 0, kD, 1);
    AddBillItem(5023, kB, 0, 0, kE, 1);
    AddBillItem(5024, kD, 0, 0, kE, 1);
    AddBillItem(5025, kE, kC, 0, 0, 1);
    BillRate br;
    br.SetItemID(kA);
    EXPECT_EQ(br.getAssemblyRate(), 30.0);
    EXPECT_EQ(br.getAssemblyCost(), 12.0);
    EXPECT_EQ(prompter.Count(), 0u);
    EXPECT_EQ(ErrorLog(), "");
}

TEST_F(BillRateTest, AnAssemblyInsideItselfThroughAnotherAddsNothingAndIsLoggedOnce) {
    // A holds 1 of C and 1 of B; B holds 2 of C and 1 of A.
    AddCurrentRate(5011, kC, 10, 4);
    AddBillItem(5021, kA, kC, 0, 0, 1);
    AddBillItem(5022, kA, 0, 0, kB, 1);
    AddBillItem(5023, kB, kC, 0, 0, 2);
    AddBillItem(5024, kB, 0, 0, kA, 1);
    BillRate br;
    br.SetItemID(kA);
    EXPECT_EQ(br.getAssemblyRate(), 30.0);
    EXPECT_EQ(prompter.Count(), 1u);
    EXPECT_EQ(LastBoxFirstLine(), "Exception occurred in: BillRate.getAssemblyRate");
    EXPECT_EQ(ErrorLog(),
              "BillRate.getAssemblyRate;Assembly 5001 contains itself; the repeated line adds "
              "nothing;\r\n");

    EXPECT_EQ(br.getAssemblyCost(), 12.0);
    EXPECT_EQ(prompter.Count(), 2u);
    EXPECT_EQ(LogCount("BillRate.getAssemblyCost;Assembly 5001 contains itself"), 1);
}

TEST_F(BillRateTest, AnAssemblyHoldingItselfAddsNothingForThatRow) {
    AddCurrentRate(5011, kC, 10, 4);
    AddBillItem(5021, kA, kC, 0, 0, 3);
    AddBillItem(5022, kA, 0, 0, kA, 5);
    BillRate br;
    br.SetItemID(kA);
    EXPECT_EQ(br.getAssemblyRate(), 30.0);
    EXPECT_EQ(prompter.Count(), 1u);
    EXPECT_EQ(LogCount("BillRate.getAssemblyRate;Assembly 5001 contains itself"), 1);
}

TEST_F(BillRateTest, ACycleMetTwiceInOneRollUpIsLoggedOnce) {
    // A holds B on two rows; B holds 1 of C and 1 of A.
    AddCurrentRate(5011, kC, 10, 4);
    AddBillItem(5021, kA, 0, 0, kB, 1);
    AddBillItem(5022, kA, 0, 0, kB, 2);
    AddBillItem(5023, kB, kC, 0, 0, 1);
    AddBillItem(5024, kB, 0, 0, kA, 1);
    BillRate br;
    br.SetItemID(kA);
    EXPECT_EQ(br.getAssemblyRate(), 30.0);
    EXPECT_EQ(prompter.Count(), 1u);
    EXPECT_EQ(LogCount("contains itself"), 1);
}

// Each level holds the one below on two lines, so the paths double with every level; the
// bottom one also holds itself, a cycle below every other level.
TEST_F(BillRateTest, TwentyFourLevelsOfTwoLinesReadEachAssemblyOnce) {
    constexpr int kLevels = 24;
    constexpr int kBottom = 6001;
    AddCurrentRate(5011, kC, 10, 4);
    AddBillItem(6101, kBottom, kC, 0, 0, 1.5);
    AddBillItem(6102, kBottom, 0, 0, kBottom, 1);
    double rate = 10 * 1.5 + 0;
    double cost = 4 * 1.5 + 0;
    for (int level = 1; level < kLevels; ++level) {
        AddBillItem(6200 + 2 * level, kBottom + level, 0, 0, kBottom + level - 1, 1);
        AddBillItem(6201 + 2 * level, kBottom + level, 0, 0, kBottom + level - 1, 2);
        rate = rate * 2 + (rate * 1 + 0);
        cost = cost * 2 + (cost * 1 + 0);
    }
    test::StatementCounter statements(dm->zlmConn);
    EXPECT_EQ(RolledUp(kBottom + kLevels - 1), std::make_pair(rate, cost));
    // Each assembly's lines read once for the rate and once for the cost, the bottom's once more
    // where it meets itself: never once for each of the 2^23 paths.
    EXPECT_EQ(statements.Count("from bill_item"), 2 * (kLevels + 1));
    EXPECT_EQ(LogCount("Assembly 6001 contains itself"), 2);
}

// B and E hold each other: reached through B, E leaves out its line of B, and the other way
// round, so neither has one sum for every path.
TEST_F(BillRateTest, AnAssemblyOnACycleIsPricedAfreshOnEachPath) {
    AddCurrentRate(5011, kC, 10, 4);
    AddCurrentRate(5012, kD, 100, 40);
    AddBillItem(5021, kA, 0, 0, kB, 1);
    AddBillItem(5022, kA, 0, 0, kE, 1);
    AddBillItem(5023, kB, 0, 0, kE, 1);
    AddBillItem(5024, kB, kC, 0, 0, 1);
    AddBillItem(5025, kE, 0, 0, kB, 1);
    AddBillItem(5026, kE, kD, 0, 0, 1);
    // Through B: E = 100, B = 110; through E: B = 10, E = 110.
    EXPECT_EQ(RolledUp(kA), std::make_pair(220.0, 88.0));
}

TEST_F(BillRateTest, TheLineTotalChargesTaxOnTheDiscountedAmountAndIsNotPosted) {
    Exec(
        "insert into doc_item (doc_item_id, zlm_doc_id, doc_item_rate, doc_item_qty, "
        "doc_item_discount, doc_item_tax, doc_item_roe, doc_item_total) values (5401, 5301, "
        "100, 2, 10, 15, 3, 1)");
    db::Query line;
    ASSERT_TRUE(dm->OpenById(line, "doc_item", kLine, "test"));
    line.Edit();
    BillRate br;
    br.CalcItemTotal(line);
    EXPECT_EQ(line.FieldByName("doc_item_total").AsFloat(), 207.0);
    EXPECT_EQ(line.State(), db::DataSetState::dsEdit);
    EXPECT_EQ(Stored(folder.MainDb(), "select doc_item_total from doc_item where doc_item_id=5401"),
              "1");
}

TEST_F(BillRateTest, TheDocumentTotalSumsItsLines) {
    AddCustomerDocAndLine();
    Exec(
        "insert into doc_item (doc_item_id, zlm_doc_id, doc_item_total) values (5402, 5301, "
        "7.5)");
    Exec(
        "insert into doc_item (doc_item_id, zlm_doc_id, doc_item_total) values (5403, 5302, "
        "100)");
    BillRate br;
    EXPECT_EQ(br.calcDocTotal(kDoc), 12.5);
    EXPECT_FALSE(br.qTotal.Active());
    EXPECT_EQ(br.calcDocTotal(5399), 0.0);
    EXPECT_FALSE(br.qTotal.Active());
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(BillRateTest, TheCustomerTaxRateComesFromTheLinesCustomer) {
    AddCustomerDocAndLine();
    BillRate br;
    EXPECT_EQ(br.getCustomerTaxRate(kLine), 15.0);
    EXPECT_FALSE(br.qCust.Active());
    EXPECT_EQ(br.getCustomerTaxRate(5499), 0.0);
    EXPECT_FALSE(br.qCust.Active());
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(BillRateTest, TheExchangeRateIsOneWithoutAValidRow) {
    AddCustomerDocAndLine();
    BillRate br;
    EXPECT_EQ(br.getROE(kLine), 1.0);
    AddExchangeRate(5501, kRegion, Day(-20), Day(-15), 8.8);
    AddExchangeRate(5502, kRegion, Day(5), Day(10), 9.9);
    AddExchangeRate(5503, kRegion + 1, Day(-1), Day(1), 7.7);
    EXPECT_EQ(br.getROE(kLine), 1.0);
    EXPECT_FALSE(br.qCust.Active());
}

TEST_F(BillRateTest, TheLastValidExchangeRateInTheViewsOrderWins) {
    AddCustomerDocAndLine();
    // The view orders by from-date: the row from two days ago comes after the one from ten.
    AddExchangeRate(5501, kRegion, Day(-2), Day(0), 1.7);
    AddExchangeRate(5502, kRegion, Day(-10), Day(10), 1.5);
    AddExchangeRate(5503, kRegion, Day(-20), Day(-15), 8.8);
    AddExchangeRate(5504, kRegion, Day(5), Day(10), 9.9);
    BillRate br;
    EXPECT_EQ(br.getROE(kLine), 1.7);
    EXPECT_FALSE(br.qCust.Active());
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(BillRateTest, AQueryThatFailsIsLoggedWithItsTagAndReadsAsNoRows) {
    Exec("drop table bill_rate");
    BillRate br;
    EXPECT_FALSE(br.SetItemID(kA));
    EXPECT_EQ(LogCount("TDataMod.openQuery > BillRate.setItemID;"), 1);
    EXPECT_EQ(br.getRate(), 0.0);
    EXPECT_EQ(LogCount("TDataMod.openQuery > BillRate.getRate;"), 1);
    EXPECT_EQ(br.getCost(), 0.0);
    EXPECT_EQ(LogCount("TDataMod.openQuery > BillRate.getCost;"), 1);
    EXPECT_EQ(prompter.Count(), 3u);
}

// A roll-up stops at the first query that cannot be opened: one box, and the neutral 0, where
// it used to go on line by line with a box for each.
TEST_F(BillRateTest, ARollUpThatCannotReadItsItemsShowsOneBoxAndGivesZero) {
    struct Case {
        const char* table;
        const char* boxFrom;
    };
    const Case cases[] = {
        {"bill_rate", "TDataMod.openQuery > BillRate.setItemID"},
        {"billable", "TDataMod.openQuery > BillRate.SetItemID"},
    };
    // A holds 2 of C, 1 of service and 1 of B; B holds 3 of C.
    AddCurrentRate(5011, kC, 10, 4);
    AddCurrentRate(5012, kService, 7, 3);
    AddBillItem(5021, kA, kC, 0, 0, 2);
    AddBillItem(5022, kA, 0, kService, 0, 1);
    AddBillItem(5023, kA, 0, 0, kB, 1);
    AddBillItem(5024, kB, kC, 0, 0, 3);
    BillRate br;
    ASSERT_TRUE(br.SetItemID(kA));
    ASSERT_EQ(br.getAssemblyRate(), 57.0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        const std::string table = c.table;
        Exec("alter table " + table + " rename to " + table + "_gone");
        const std::size_t before = prompter.Count();
        EXPECT_EQ(br.getAssemblyRate(), 0.0);
        EXPECT_EQ(prompter.Count(), before + 1);
        EXPECT_EQ(LastBoxFirstLine(), std::string("Exception occurred in: ") + c.boxFrom);
        EXPECT_EQ(br.getAssemblyCost(), 0.0);
        EXPECT_EQ(prompter.Count(), before + 2);
        Exec("alter table " + table + "_gone rename to " + table);
    }
    EXPECT_EQ(br.getAssemblyCost(), 23.0);
}

}  // namespace
}  // namespace zl
