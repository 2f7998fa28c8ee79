// Entity metadata: loading, defaults, deletion and grid set-up.
#include <gtest/gtest.h>

#include <map>
#include <regex>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/Globals.h"
#include "tests/support/CoreFixture.h"

namespace zl {
namespace {

// A grid that remembers what was done to its columns.
class RecordingGrid : public ui::GridColumns {
  public:
    explicit RecordingGrid(std::vector<int> widths)
        : widths(std::move(widths)),
          visible(this->widths.size(), true),
          titles(this->widths.size()) {}
    int Count() const override { return static_cast<int>(widths.size()); }
    void SetVisible(int c, bool v) override { visible[c] = v; }
    int Width(int c) const override { return widths[c]; }
    void SetWidth(int c, int px) override { widths[c] = px; }
    void SetTitle(int c, const std::string& t) override { titles[c] = t; }
    std::vector<int> widths;
    std::vector<bool> visible;
    std::vector<std::string> titles;
};

class DimensionsTest : public test::CoreFixture {
  protected:
    void SetUp() override { ConnectAll(); }
    std::string Main(const std::string& sql) const { return Stored(folder.MainDb(), sql); }
};

TEST_F(DimensionsTest, TheCollectionHoldsEveryKindInTableOrder) {
    DimCollection dims;
    EXPECT_EQ(dims.Count(), 31);
    ASSERT_NE(dims.Find(6), nullptr);
    EXPECT_EQ(dims.Find(6)->DimString("dimension_table"), "zlm_doc");
    EXPECT_EQ(dims.Find(6)->DimString("dimension_parentfield"), "customer_id");
    EXPECT_EQ(dims.Find(6)->DimInt("dimension_reportid"), 1);
    EXPECT_EQ(dims.Find(2), nullptr);
    EXPECT_EQ(dims.Find(999), nullptr);

    EXPECT_FALSE(dims.AnyInEdit());
    dims.Find(24)->SetEditMode(DimensionTable::Add);
    EXPECT_TRUE(dims.AnyInEdit());
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(DimensionsTest, AKindWithoutItsRowReadsEmptyAndSaysWhy) {
    DimensionTable missing(2);
    EXPECT_EQ(missing.GetDimensionId(), 2);
    EXPECT_EQ(missing.GetEditMode(), 0);
    EXPECT_EQ(missing.DimString("dimension_table"), "");
    EXPECT_EQ(LastBoxFirstLine(), "Exception occurred in: DimensionTable.DimString");
    EXPECT_NE(ErrorLog().find("DimensionTable.DimString;"), std::string::npos);
    EXPECT_EQ(missing.DimInt("dimension_reportid"), 0);
    EXPECT_EQ(LastBoxFirstLine(), "Exception occurred in: DimensionTable.DimInt");
    DimensionTable quotation(6);
    EXPECT_EQ(quotation.DimString("no_such_column"), "");
}

TEST_F(DimensionsTest, KindsTheProgramUsesButTheDatabaseLacksAreReportedOnceTogether) {
    {
        DimCollection dims;
        EXPECT_TRUE(dims.Missing(ProgramDimensionIds()).empty());
        EXPECT_TRUE(ReportMissingDimensions(dims, nullptr));
        EXPECT_EQ(prompter.Count(), 0u);
    }
    ASSERT_TRUE(dm->actionQuery("delete from dimension where dimension_id in (17, 24)", "test"));
    DimCollection dims;
    EXPECT_EQ(dims.Missing({1, 17, 24, 999}), (std::vector<int>{17, 24, 999}));
    EXPECT_FALSE(ReportMissingDimensions(dims, nullptr));
    ASSERT_EQ(prompter.Count(), 1u);
    EXPECT_EQ(prompter.Messages()[0].text,
              "The database has no row in table dimension for the record kind(s) 17, 24. The "
              "windows and dialogs of these kinds will not open until the database is repaired.");
    EXPECT_EQ(prompter.Messages()[0].title, "Missing record kinds");
    // A caller that needs a missing kind gets none; the log says who asked.
    EXPECT_EQ(dims.Require(24, "TfrmBillItem.Timer1Timer"), nullptr);
    EXPECT_EQ(prompter.Count(), 1u);
    EXPECT_NE(
        ErrorLog().find("TfrmBillItem.Timer1Timer;No kind of record has the dimension id 24."),
        std::string::npos);
    EXPECT_EQ(dims.Require(1, "test"), dims.Find(1));
}

TEST_F(DimensionsTest, StartingValuesWriteTheTimeOnlyForTheExactWord) {
    ASSERT_TRUE(
        dm->actionQuery("insert into dim_def (dim_def_id, dimension_id, dim_def_field, "
                        "dim_def_value) values (900, 9, \"zlm_doc_descr\", \"Time\")",
                        "test"));
    DimensionTable contactEvent(9);
    db::Query doc;
    ASSERT_TRUE(dm->OpenById(doc, "zlm_doc", 0, "test"));
    ASSERT_TRUE(dm->Append(doc, "test"));
    contactEvent.appendDefaults(doc);
    EXPECT_TRUE(std::regex_match(doc.FieldByName("zlm_doc_time").AsString(),
                                 std::regex(R"(\d{2}:\d{2}:\d{2})")));
    EXPECT_EQ(doc.FieldByName("zlm_doc_file").AsString(), "[none]");
    EXPECT_EQ(doc.FieldByName("zlm_doc_descr").AsString(), "Time");
    doc.Cancel();
}

TEST_F(DimensionsTest, DeleteChecksAsksErasesAndAudits) {
    DimensionTable components(10);
    db::Query list;
    ASSERT_TRUE(dm->openQuery(list, "select * from lstComponent", "test"));
    EXPECT_FALSE(components.Delete(list, nullptr));
    EXPECT_EQ(prompter.Messages().back().text, "No record to delete.");
    EXPECT_EQ(prompter.Messages().back().title, "Table empty");

    ASSERT_TRUE(dm->actionQuery(
        "insert into billable (billable_id, dimension_id, allow_delete, billable_descr) values "
        "(800, 10, 1, \"Locked\"), (801, 10, 0, \"Bolt\")",
        "test"));
    ASSERT_TRUE(
        dm->actionQuery("insert into bill_rate (bill_rate_id, billable_id, dimension_id, "
                        "allow_delete) values (802, 801, 21, 0)",
                        "test"));
    ASSERT_TRUE(dm->openQuery(list, "select * from lstComponent order by billable_id", "test"));
    EXPECT_FALSE(components.Delete(list, nullptr));
    EXPECT_EQ(prompter.Messages().back().text, "You cannot delete this record.");
    EXPECT_EQ(prompter.Messages().back().title, "Not allowed");

    list.Next();
    prompter.Push(ui::Button::No);
    EXPECT_FALSE(components.Delete(list, nullptr));
    EXPECT_EQ(prompter.Messages().back().text, "You will ERASE this record. Proceed?");
    EXPECT_EQ(prompter.Messages().back().buttons, ui::Buttons::YesNo);
    EXPECT_EQ(Main("select count(*) from billable where billable_id=801"), "1");

    CurUserId = 2;
    prompter.Push(ui::Button::Yes);
    EXPECT_TRUE(components.Delete(list, nullptr));
    EXPECT_EQ(Main("select count(*) from billable where billable_id=801"), "0");
    EXPECT_EQ(Main("select count(*) from bill_rate where billable_id=801"), "1");  // no cascade
    EXPECT_EQ(Stored(folder.LocalDb(),
                     "select audit_descr || '/' || audit_extra || '/' || "
                     "record_id || '/' || dimension_id || '/' || sys_user_id "
                     "from audit"),
              "Record deleted/billable/801/10/2");
}

TEST_F(DimensionsTest, AFailedDeleteIsNeitherReportedNorAuditedAsDone) {
    DimensionTable components(10);
    ASSERT_TRUE(
        dm->actionQuery("insert into billable (billable_id, dimension_id, allow_delete) "
                        "values (810, 10, 0)",
                        "test"));
    db::Query list;
    ASSERT_TRUE(dm->openQuery(list, "select * from lstComponent", "test"));
    ASSERT_TRUE(dm->actionQuery("alter table billable rename to billable_gone", "test"));
    prompter.Push(ui::Button::Yes);
    EXPECT_FALSE(components.Delete(list, nullptr));
    EXPECT_EQ(LastBoxFirstLine(),
              "Exception occurred in: TDataMod.actionQuery > DimensionTable.Delete");
    EXPECT_EQ(Stored(folder.LocalDb(), "select count(*) from audit"), "0");
}

TEST_F(DimensionsTest, GridShowsTheKeyAsIdAndHidesTheOtherIds) {
    DimensionTable customers(1);
    db::Query q;
    ASSERT_TRUE(dm->openQuery(
        q, "select entity_id, entity_name, region_id, allow_delete from entity", "test"));
    RecordingGrid grid({64, 500, 64, 64});
    customers.SetupGrid(q, grid);
    EXPECT_EQ(grid.visible, (std::vector<bool>{true, true, false, false}));
    EXPECT_EQ(grid.titles[0], "ID");
    EXPECT_EQ(grid.titles[1], "");
    EXPECT_EQ(grid.widths[1], 300);

    // Only text columns are narrowed.
    ASSERT_TRUE(
        dm->openQuery(q, "select entity_id, entity_taxrate, entity_name from entity", "test"));
    RecordingGrid wide({400, 400, 120});
    customers.SetupGrid(q, wide);
    EXPECT_EQ(wide.widths, (std::vector<int>{400, 400, 120}));
}

}  // namespace
}  // namespace zl
