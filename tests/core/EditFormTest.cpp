// The add/edit controller of the top-level edit dialogs.
#include "core/EditForm.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/Globals.h"
#include "platform/db/DbError.h"
#include "tests/support/CoreFixture.h"

namespace zl {
namespace {

class FakeDialog : public ui::Dialog {
  public:
    FakeDialog(int width, int height) : width(width), height(height) {}
    int Width() const override { return width; }
    int Height() const override { return height; }
    void Move(int l, int t) override {
        left = l;
        top = t;
    }
    ui::WindowHandle Handle() const override { return const_cast<FakeDialog*>(this); }
    void Close() override { closed = true; }
    int width, height, left = -1, top = -1;
    bool closed = false;
};

class FakeEdit : public ui::TextEdit {
  public:
    std::string Text() const override { return text; }
    void SetFocus() override { focused = true; }
    std::string text;
    bool focused = false;
};

class EditFormTest : public test::CoreFixture {
  protected:
    void SetUp() override {
        ConnectAll();
        dims = std::make_unique<DimCollection>();
        Dimensions = dims.get();
    }
    void TearDown() override { Dimensions = nullptr; }
    std::string Main(const std::string& sql) const { return Stored(folder.MainDb(), sql); }
    // Kind `id` about to be opened in `mode`, on `record` when one is given.
    DimensionTable& Kind(int id, int mode, int record = 0) {
        DimensionTable& kind = *Dimensions->Find(id);
        if (record != 0)
            kind.SetRecordId(record);
        kind.SetEditMode(mode);
        return kind;
    }

    ui::ScriptedScreen screen{1025, 768};
    std::unique_ptr<DimCollection> dims;
    FakeDialog dialog{400, 301};
    db::Query q;
};

TEST_F(EditFormTest, AddingAQuotationAppliesDefaultsKindParentAndStartingValuesInOrder) {
    DimensionTable& quotations = *Dimensions->Find(6);
    quotations.SetParentId(5);
    quotations.SetEditMode(DimensionTable::Add);
    CurBusUnitId = 3;
    auto controller = std::make_unique<EditForm>(dialog, quotations, q);
    EXPECT_EQ(dialog.left, 312);  // (1025 - 400) / 2, truncated
    EXPECT_EQ(dialog.top, 233);   // (768 - 301) / 2, truncated
    EXPECT_EQ(q.State(), db::DataSetState::dsInsert);
    EXPECT_EQ(q.SQL(), "select * from [zlm_doc] where 1=0");  // columns only, no rows read
    EXPECT_EQ(q.FieldByName("dimension_id").AsInteger(), 6);
    EXPECT_EQ(q.FieldByName("customer_id").AsInteger(), 5);
    EXPECT_EQ(q.FieldByName("doc_status_id").AsInteger(), 1);  // from the starting values
    EXPECT_TRUE(std::regex_match(q.FieldByName("zlm_doc_time").AsString(),
                                 std::regex(R"(\d{2}:\d{2}:\d{2})")));
    EXPECT_EQ(q.FieldByName("zlm_doc_descr").AsString(), "[no value]");
    EXPECT_EQ(q.FieldByName("bus_unit_id").AsInteger(), 3);
    const int key = q.FieldByName("zlm_doc_id").AsInteger();
    EXPECT_EQ(quotations.GetRecordId(), key);
    EXPECT_EQ(Main("select count(*) from zlm_doc"), "0");  // written only on close

    EXPECT_TRUE(controller->handleClose());
    EXPECT_EQ(Main("select customer_id || '/' || dimension_id from zlm_doc where zlm_doc_id=" +
                   std::to_string(key)),
              "5/6");
    controller.reset();
    EXPECT_FALSE(q.Active());
}

TEST_F(EditFormTest, AKindWithoutParentKeepsTheAppendDefaults) {
    DimensionTable& forecasts = *Dimensions->Find(15);
    forecasts.SetParentId(77);
    forecasts.SetEditMode(DimensionTable::Add);
    EditForm controller(dialog, forecasts, q);
    EXPECT_EQ(q.FieldByName("customer_id").AsInteger(), 0);
    EXPECT_EQ(q.FieldByName("dimension_id").AsInteger(), 15);
}

TEST_F(EditFormTest, EditingOpensOnlyTheRecordAndSavesIt) {
    DimensionTable& customers = Kind(1, DimensionTable::EditRecord, 5);
    {
        EditForm controller(dialog, customers, q);
        EXPECT_EQ(q.SQL(), "select * from [entity] where [entity_id]=5");
        EXPECT_EQ(q.RecordCount(), 1);
        EXPECT_EQ(q.State(), db::DataSetState::dsEdit);
        EXPECT_TRUE(controller.HasRecord());
        q.FieldByName("entity_first").SetAsString("Nobody");
        EXPECT_TRUE(controller.handleClose());
    }
    EXPECT_EQ(Main("select entity_first from entity where entity_id=5"), "Nobody");
    EXPECT_FALSE(dialog.closed);
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(EditFormTest, ARecordDeletedMeanwhileIsReportedAndNothingCanBeWritten) {
    DimensionTable& customers = Kind(1, DimensionTable::EditRecord, 123456);
    const std::string before = Main("select group_concat(entity_name, '|') from entity");
    EditForm controller(dialog, customers, q);
    ASSERT_EQ(prompter.Count(), 1u);
    EXPECT_EQ(prompter.Messages()[0].text, "There is no record to edit");
    EXPECT_EQ(prompter.Messages()[0].title, "No record");
    EXPECT_EQ(prompter.Messages()[0].owner, dialog.Handle());
    EXPECT_TRUE(dialog.closed);
    EXPECT_FALSE(controller.HasRecord());
    // A closed query has no row that anything could be written into.
    EXPECT_FALSE(q.Active());
    EXPECT_THROW(q.Edit(), db::DbError);
    FakeEdit empty;
    EXPECT_TRUE(controller.RequireValue(dialog.Handle(), empty, "entity_name"));
    EXPECT_TRUE(controller.handleClose());
    EXPECT_EQ(Main("select group_concat(entity_name, '|') from entity"), before);
}

TEST_F(EditFormTest, AKindIsInEditOnlyWhileItsControllerLives) {
    DimensionTable& customers = Kind(1, DimensionTable::Add);
    {
        EditForm controller(dialog, customers, q);
        EXPECT_TRUE(Dimensions->AnyInEdit());
        controller.handleClose();
    }
    EXPECT_FALSE(Dimensions->AnyInEdit());
    EXPECT_EQ(customers.GetEditMode(), DimensionTable::None);
}

TEST_F(EditFormTest, CancelAsksAndDropsOnlyOnYes) {
    DimensionTable& services = Kind(14, DimensionTable::Add);
    EditForm controller(dialog, services, q);
    prompter.Push(ui::Button::No);
    EXPECT_FALSE(controller.handleCancel(dialog.Handle()));
    const ui::Message asked = prompter.Messages().back();
    EXPECT_EQ(asked.text, "You will lose any changes you have made. Proceed?");
    EXPECT_EQ(asked.title, "Cancel");
    EXPECT_EQ(asked.icon, ui::Icon::Question);
    EXPECT_EQ(asked.owner, dialog.Handle());
    EXPECT_EQ(q.State(), db::DataSetState::dsInsert);
    EXPECT_FALSE(controller.GetCancelled());

    prompter.Push(ui::Button::Yes);
    EXPECT_TRUE(controller.handleCancel(dialog.Handle()));
    EXPECT_TRUE(controller.GetCancelled());
    EXPECT_TRUE(controller.handleClose());
    EXPECT_EQ(Main("select count(*) from billable"), "0");

    // An empty required field no longer matters once the cancel is confirmed.
    FakeEdit empty;
    EXPECT_TRUE(controller.RequireValue(dialog.Handle(), empty, "billable_descr"));
    EXPECT_FALSE(empty.focused);
}

TEST_F(EditFormTest, CancelOnAnUnchangedRecordClosesWithoutMarkingCancelled) {
    DimensionTable& customers = Kind(1, DimensionTable::EditRecord, 123456);
    EditForm controller(dialog, customers, q);
    prompter.Push(ui::Button::Yes);
    EXPECT_TRUE(controller.handleCancel(nullptr));
    EXPECT_FALSE(controller.GetCancelled());
}

TEST_F(EditFormTest, ARequiredValueStopsTheCloseUntilItIsThere) {
    DimensionTable& customers = Kind(1, DimensionTable::Add);
    EditForm controller(dialog, customers, q);
    FakeEdit name;
    EXPECT_FALSE(controller.RequireValue(dialog.Handle(), name, "entity_name"));
    EXPECT_EQ(prompter.Messages().back().text, "Please enter a value here");
    EXPECT_EQ(prompter.Messages().back().title, "No value");
    EXPECT_EQ(prompter.Messages().back().icon, ui::Icon::Warning);
    EXPECT_TRUE(name.focused);
    name.text = "Acme";
    EXPECT_TRUE(controller.RequireValue(dialog.Handle(), name, "entity_name"));
}

TEST_F(EditFormTest, AFailedPostAsksWhetherToDiscardAndKeepsTheRecordOnNo) {
    DimensionTable& customers = Kind(1, DimensionTable::Add);
    EditForm controller(dialog, customers, q);
    q.FieldByName("entity_title").SetAsString("Professor Doctor");  // wider than its column
    prompter.Push(ui::Button::Ok);                                  // the warning of the log
    prompter.Push(ui::Button::No);
    EXPECT_FALSE(controller.handleClose());
    ASSERT_EQ(prompter.Count(), 2u);
    EXPECT_EQ(LastBoxFirstLine(), "The record could not be saved. Discard your changes and close?");
    EXPECT_EQ(prompter.Messages()[0].text.substr(0, 44),
              "Exception occurred in: EditForm.handleClose\n");
    EXPECT_EQ(prompter.Messages()[1].title, "Not saved");
    EXPECT_EQ(prompter.Messages()[1].buttons, ui::Buttons::YesNo);
    // No: what was typed is still there, in insert state, ready to be corrected.
    EXPECT_EQ(q.State(), db::DataSetState::dsInsert);
    EXPECT_EQ(q.FieldByName("entity_title").AsString(), "Professor Doctor");
    EXPECT_FALSE(controller.GetCancelled());
    q.FieldByName("entity_title").SetAsString("Prof");
    EXPECT_TRUE(controller.handleClose());
    EXPECT_EQ(Main("select count(*) from entity where entity_title='Prof'"), "1");
}

TEST_F(EditFormTest, AFailedPostAnsweredYesStoresNothingAndCloses) {
    DimensionTable& customers = Kind(1, DimensionTable::EditRecord, 5);
    const std::string before = Main("select entity_title from entity where entity_id=5");
    EditForm controller(dialog, customers, q);
    q.FieldByName("entity_title").SetAsString("Professor Doctor");
    prompter.Push(ui::Button::Ok);
    prompter.Push(ui::Button::Yes);
    EXPECT_TRUE(controller.handleClose());
    EXPECT_TRUE(controller.GetCancelled());
    EXPECT_EQ(q.State(), db::DataSetState::dsBrowse);
    EXPECT_EQ(Main("select entity_title from entity where entity_id=5"), before);
}

TEST_F(EditFormTest, AFailedSaveIsToldEvenWhenTheLogCannotBeWritten) {
    // A folder where the log file should be: no line can be appended, so the log shows no box.
    std::filesystem::create_directory(folder.DataFolder() + "zlm.err.log");
    DimensionTable& customers = Kind(1, DimensionTable::Add);
    EditForm controller(dialog, customers, q);
    q.FieldByName("entity_title").SetAsString("Professor Doctor");
    prompter.Push(ui::Button::No);
    EXPECT_FALSE(controller.handleClose());
    ASSERT_EQ(prompter.Count(), 1u);
    EXPECT_EQ(prompter.Messages()[0].text,
              "The record could not be saved. Discard your changes and close?");
}

TEST_F(EditFormTest, WithoutAKeyThereIsNoNewRecordAndTheDialogCloses) {
    DimensionTable& customers = Kind(1, DimensionTable::Add, 5);
    ASSERT_TRUE(dm->actionQuery("drop table id_control", "test"));
    const std::string before = Main("select count(*) from entity");
    EditForm controller(dialog, customers, q);
    EXPECT_FALSE(q.Active());
    EXPECT_FALSE(controller.HasRecord());
    EXPECT_EQ(customers.GetRecordId(), 0);
    EXPECT_TRUE(dialog.closed);
    EXPECT_EQ(LastBoxFirstLine(), "The new record could not be created. Nothing has been stored.");
    EXPECT_TRUE(controller.handleClose());
    EXPECT_EQ(Main("select count(*) from entity"), before);
}

// Each row: what is wrong with the kind's metadata, and a statement that makes it so.
struct BrokenKind {
    const char* what;
    const char* sql;
};

class EditFormBrokenKindTest : public EditFormTest,
                               public ::testing::WithParamInterface<BrokenKind> {};

TEST_P(EditFormBrokenKindTest, AnAddThatCannotBeCompletedIsLoggedCancelledAndClosed) {
    ASSERT_TRUE(dm->actionQuery(GetParam().sql, "test"));
    dims = std::make_unique<DimCollection>();  // the metadata as it now stands
    Dimensions = dims.get();
    DimensionTable& quotations = Kind(6, DimensionTable::Add);
    const std::string before = Main("select count(*) from zlm_doc");
    EditForm controller(dialog, quotations, q);
    EXPECT_NE(ErrorLog().find("EditForm.DoAdd;"), std::string::npos) << ErrorLog();
    EXPECT_EQ(LastBoxFirstLine(), "The new record could not be created. Nothing has been stored.");
    EXPECT_TRUE(dialog.closed);
    EXPECT_FALSE(q.Active());
    EXPECT_EQ(quotations.GetRecordId(), 0);
    EXPECT_TRUE(controller.handleClose());
    EXPECT_EQ(Main("select count(*) from zlm_doc"), before);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, EditFormBrokenKindTest,
    ::testing::Values(BrokenKind{"a parent column the table lacks",
                                 "update dimension set dimension_parentfield='no_such_parent' "
                                 "where dimension_id=6"},
                      BrokenKind{"a default column the table lacks",
                                 "insert into dim_def (dimension_id, dim_def_field, dim_def_value) "
                                 "values (6, 'no_such_column', 'x')"},
                      BrokenKind{"a default that does not convert",
                                 "insert into dim_def (dimension_id, dim_def_field, dim_def_value) "
                                 "values (6, 'doc_status_id', 'not a number')"}));

}  // namespace
}  // namespace zl
