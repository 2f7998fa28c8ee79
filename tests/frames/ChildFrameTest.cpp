#include "frames/TchildFrame.h"

#include <QAction>
#include <QLabel>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/Globals.h"
#include "frames/TdtFrame.h"
#include "tests/support/QtFixture.h"
#include "tests/support/TestDialogs.h"
#include "widgets/DBGrid.h"
#include "widgets/DataControls.h"

namespace zl {
namespace {

class ChildFrameTest : public test::FrameFixture {
  protected:
    void SetUp() override {
        FrameFixture::SetUp();
        Exec("insert into zlm_doc (zlm_doc_id, dimension_id, customer_id) values (8001, 6, 5)");
    }
    // A frame of document lines inside a host whose list query it shows.
    void SetUpLines() {
        frame.Setup(lines, Dimensions->Find(24), &dialog);
        frame.setTotalDocID(8001);
        frame.setParentID(8001);
    }
    db::Query lines;
    test::ChildDialog dialog{24, "doc_item"};
    TchildFrame frame;
};

TEST_F(ChildFrameTest, ADocumentWithoutLinesListsNothingAndTotalsZero) {
    SetUpLines();
    EXPECT_EQ(lines.SQL(), "select * from [lstDocItem] where [zlm_doc_id]=8001");
    EXPECT_EQ(frame.recordCount(), 0);
    EXPECT_FALSE(frame.btnEdit->isEnabled());
    EXPECT_FALSE(frame.btnDelete->isEnabled());
    EXPECT_TRUE(frame.btnAdd->isEnabled());
    EXPECT_EQ(frame.labTotal->text(), "0.00");
    EXPECT_FALSE(frame.totalPanel->isVisibleTo(&frame));
    frame.btnEditClick();  // nothing, no message
    frame.btnDeleteClick();
    EXPECT_EQ(dialog.timesShown, 0);
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(ChildFrameTest, AddStoresTheRowBeforeItsDialogOpens) {
    SetUpLines();
    std::string storedWhileOpen;
    dialog.whileShown = [&](test::ChildDialog& d) {
        storedWhileOpen = Main(
            "select dimension_id || '/' || zlm_doc_id || '/' || doc_item_descr || '/' || "
            "doc_item_qty || '/' || doc_item_rate || '/' || sys_user_id from doc_item where "
            "doc_item_id=" +
            std::to_string(d.recordSeen));
        d.q.FieldByName("doc_item_descr").SetAsString("Consulting");
        d.q.FieldByName("doc_item_total").SetAsFloat(12.5);
    };
    frame.btnAddClick();
    ASSERT_EQ(dialog.timesShown, 1);
    EXPECT_EQ(dialog.modeSeen, 1);
    EXPECT_FALSE(Dimensions->AnyInEdit());  // only while the dialog was open
    EXPECT_EQ(dialog.windowTitle(), "Add new document line");
    // Key, kind, parent, the text and number defaults, the starting values over them.
    EXPECT_EQ(storedWhileOpen, "24/8001/[no value]/1.0/0.0/2");
    ASSERT_EQ(frame.recordCount(), 1);
    EXPECT_EQ(lines.FieldByName("doc_item_id").AsInteger(), dialog.recordSeen);
    EXPECT_EQ(lines.FieldByName("Description").AsString(), "Consulting");
    EXPECT_TRUE(frame.btnEdit->isEnabled());

    dialog.whileShown = [](test::ChildDialog& d) {
        d.q.FieldByName("doc_item_total").SetAsFloat(5);
    };
    frame.btnAddClick();
    EXPECT_EQ(frame.labTotal->text(), "17.50");
    frame.btnEditClick();
    EXPECT_EQ(dialog.modeSeen, 2);
    EXPECT_FALSE(Dimensions->AnyInEdit());
    EXPECT_EQ(dialog.windowTitle(), "Edit existing document line");
    EXPECT_EQ(lines.FieldByName("doc_item_id").AsInteger(), dialog.recordSeen);
}

TEST_F(ChildFrameTest, DeleteNeedsTheRightAndAsks) {
    SetUpLines();
    frame.btnAddClick();
    CurUserId = 5;
    frame.btnDeleteClick();
    EXPECT_EQ(prompter.Count(), 0u);
    EXPECT_EQ(frame.recordCount(), 1);
    CurUserId = 2;
    prompter.Push(ui::Button::Yes);
    frame.btnDeleteClick();
    EXPECT_EQ(prompter.Messages().back().text, "You will ERASE this record. Proceed?");
    EXPECT_EQ(frame.recordCount(), 0);
    EXPECT_FALSE(frame.btnDelete->isEnabled());
}

TEST_F(ChildFrameTest, AnAddThatFailsHalfWayStoresNothingAndOpensNoDialog) {
    // A kind whose parent column is missing from its table.
    Exec("update dimension set dimension_parentfield='no_such_parent' where dimension_id=24");
    DimensionTable broken(24);
    frame.Setup(lines, &broken, &dialog);
    const std::string before = Main("select count(*) from doc_item");
    frame.btnAddClick();
    EXPECT_EQ(dialog.timesShown, 0);
    EXPECT_EQ(Main("select count(*) from doc_item"), before);
    EXPECT_EQ(frame.qEdit.State(), db::DataSetState::dsBrowse);
    // Logged, and told in a message of its own.
    EXPECT_NE(ErrorLog().find("TChildFrame.btnAddClick;"), std::string::npos);
    EXPECT_EQ(LastBoxFirstLine(), "The new record could not be created. Nothing has been stored.");
}

TEST_F(ChildFrameTest, FloatsAreRightAlignedInStripedRows) {
    Exec(
        "insert into doc_item (doc_item_id, zlm_doc_id, dimension_id, allow_delete, "
        "doc_item_descr, doc_item_total) values (8101, 8001, 24, 0, \"a\", 3.14159), "
        "(8102, 8001, 24, 0, \"b\", 2)");
    SetUpLines();
    auto& model = frame.DBGrid1->Model();
    const int total = lines.FieldByName("Total").Index();
    EXPECT_EQ(model.data(model.index(0, total)).toString(), "3.14");
    EXPECT_EQ(model.data(model.index(1, total)).toString(), "2.00");
    EXPECT_TRUE(model.data(model.index(0, total), Qt::TextAlignmentRole).toInt() & Qt::AlignRight);
    const int descr = lines.FieldByName("Description").Index();
    EXPECT_TRUE(model.data(model.index(0, descr), Qt::TextAlignmentRole).toInt() & Qt::AlignLeft);
    EXPECT_EQ(model.data(model.index(1, descr), Qt::BackgroundRole).value<QBrush>().color(),
              QColor(217, 217, 255));
    EXPECT_EQ(frame.labTotal->text(), "5.14");
    frame.closeTables();
    EXPECT_FALSE(lines.Active());
    EXPECT_FALSE(frame.qEdit.Active());
}

TEST_F(ChildFrameTest, TheDateFrameWritesEveryChangeIntoTheRecord) {
    db::Query doc;
    ASSERT_TRUE(dm->OpenById(doc, "zlm_doc", 8001, "test"));
    doc.Edit();
    TdtFrame dates;
    dates.resize(195, 22);
    dates.bindField(doc, "zlm_doc_followup");
    // An empty column shows day 0 of the date scale.
    EXPECT_EQ(dates.dtPicker->date(), QDate(1899, 12, 30));
    EXPECT_EQ(dates.dtPicker->width(), 195);
    dates.dtPicker->setDate(QDate(2027, 3, 15));
    EXPECT_EQ(doc.FieldByName("zlm_doc_followup").AsString(), "2027/03/15");
    doc.Post();
    EXPECT_EQ(Main("select zlm_doc_followup || '' from zlm_doc where zlm_doc_id=8001"),
              "2027-03-15 00:00:00");
}

}  // namespace
}  // namespace zl
