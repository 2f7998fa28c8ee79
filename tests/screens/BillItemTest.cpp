#include "screens/TfrmBillItem.h"

#include <QButtonGroup>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/Globals.h"
#include "frames/TfrmLookup.h"
#include "platform/format/Format.h"
#include "screens/TfrmSelItemType.h"
#include "tests/support/TestDialogs.h"

namespace zl {
namespace {

using test::WhenModal;

std::string Day(int offset) {
    return "'" + format::DateTimeToIso(format::IncDay(format::Date(), offset)) + "'";
}

class BillItemTest : public test::FrameFixture {
  protected:
    void SetUp() override {
        FrameFixture::SetUp();
        Exec(
            "insert into entity (entity_id, dimension_id, entity_name, entity_taxrate, "
            "region_id) values (9001, 1, \"Acme\", 15, 9050), (9050, 16, \"Abroad\", 0, 0)");
        Exec(
            "insert into exchange_rate (exchange_rate_id, region_id, exchange_rate_from, "
            "exchange_rate_to, exchange_rate) values (9060, 9050, " +
            Day(-10) + ", " + Day(10) + ", 0.5)");
        Exec("insert into zlm_doc (zlm_doc_id, dimension_id, customer_id) values (8001, 6, 9001)");
        Exec(
            "insert into billable (billable_id, dimension_id, allow_delete, billable_descr, "
            "billable_code, billable_defqty) values (9101, 10, 0, \"Bolt\", \"B-1\", 2), "
            "(9201, 14, 0, \"Install\", \"S-1\", 1), (9301, 11, 0, \"Kit\", \"K-1\", 1)");
        Exec(
            "insert into bill_rate (bill_rate_id, billable_id, bill_rate_from, bill_rate_to, "
            "bill_rate_selling, bill_rate_cost) values (9111, 9101, " +
            Day(-1) + ", " + Day(1) + ", 100, 60), (9211, 9201, " + Day(-1) + ", " + Day(1) +
            ", 50, 20)");
        Exec(
            "insert into bill_item (bill_item_id, billable_id, component_id, bill_item_qty) "
            "values (9311, 9301, 9101, 3)");
        // The row the detail list stores before it opens the dialog.
        Exec(
            "insert into doc_item (doc_item_id, zlm_doc_id, dimension_id, allow_delete, "
            "doc_item_descr, doc_item_qty, doc_item_rate, doc_item_tax, doc_item_discount, "
            "doc_item_total) values (8101, 8001, 24, 0, \"[no value]\", 1, 0, 0, 0, 0)");
        Dimensions->Find(24)->SetRecordId(8101);
    }
    // Runs the set-up of a new line choosing the given type (-1: the chooser is closed) and
    // answering the pick with `pick`.
    void AddLine(int type, std::function<void(TfrmLookup&)> pick) {
        Dimensions->Find(24)->SetEditMode(DimensionTable::Add);
        WhenModal<TfrmSelItemType>([type](TfrmSelItemType& chooser) {
            EXPECT_EQ(chooser.windowTitle(), "Select the new item type");
            EXPECT_TRUE(chooser.itemType->button(0)->isChecked());
            if (type < 0) {
                chooser.close();
                return;
            }
            chooser.itemType->button(type)->setChecked(true);
            chooser.btnOK->click();
        });
        WhenModal<TfrmLookup>(pick);
        dialog.Timer1Timer();
        dialog.close();
    }
    std::string Line(const std::string& columns) {
        return Main("select " + columns + " from doc_item where doc_item_id=8101");
    }
    TfrmBillItem dialog;
};

// The user leaves an edit for another control.
void Leave(QWidget* edit) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(edit, &out);
}

const auto kFirstRow = [](TfrmLookup& lookup) { lookup.btnOK->click(); };

TEST_F(BillItemTest, ANewComponentLineIsPricedFromTheCatalogueAndTheCustomer) {
    AddLine(1, kFirstRow);
    EXPECT_EQ(Line("doc_item_billtype || '/' || component_id || '/' || doc_item_descr || '/' || "
                   "doc_item_code"),
              "1/9101/Bolt/B-1");
    EXPECT_EQ(Line("doc_item_qty || '/' || doc_item_rate || '/' || doc_item_costrate"),
              "2.0/100.0/60.0");
    EXPECT_EQ(Line("doc_item_tax || '/' || doc_item_discount || '/' || doc_item_roe"),
              "15.0/0.0/0.5");
    EXPECT_EQ(Line("doc_item_total"), "230");  // 100 x 2 plus 15 % tax
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(BillItemTest, ServiceAndAssemblyLinesTakeTheirOwnRates) {
    AddLine(0, kFirstRow);
    EXPECT_EQ(Line("doc_item_billtype || '/' || service_id || '/' || doc_item_rate || '/' || "
                   "doc_item_total"),
              "0/9201/50.0/57.5");
    Exec("update doc_item set service_id=0 where doc_item_id=8101");
    AddLine(2, kFirstRow);
    // 3 bolts at 100 (cost 60) per kit.
    EXPECT_EQ(Line("doc_item_billtype || '/' || assembly_id || '/' || doc_item_rate || '/' || "
                   "doc_item_costrate"),
              "2/9301/300.0/180.0");
}

TEST_F(BillItemTest, ClosingTheChooserMakesAComponentLine) {
    AddLine(-1, kFirstRow);
    EXPECT_EQ(Line("doc_item_billtype || '/' || component_id"), "1/9101");
}

TEST_F(BillItemTest, AnAbandonedPickDropsTheLineWhenTheUserAgrees) {
    prompter.Push(ui::Button::Yes);
    AddLine(1, [](TfrmLookup& lookup) { lookup.btnCancel->click(); });
    EXPECT_EQ(prompter.Messages().back().text, "You will ERASE this record. Proceed?");
    EXPECT_EQ(Line("count(*)"), "0");

    Exec(
        "insert into doc_item (doc_item_id, zlm_doc_id, dimension_id, allow_delete, "
        "doc_item_descr) values (8101, 8001, 24, 0, \"[no value]\")");
    prompter.Push(ui::Button::No);
    AddLine(1, [](TfrmLookup& lookup) { lookup.btnCancel->click(); });
    EXPECT_EQ(Line("doc_item_descr"), "[no value]");  // the blank line stays
}

TEST_F(BillItemTest, AnExistingLineIsRecomputedWhenAPriceFieldIsLeft) {
    Exec(
        "update doc_item set doc_item_rate=10, doc_item_qty=3, doc_item_total=999 where "
        "doc_item_id=8101");
    Dimensions->Find(24)->SetEditMode(DimensionTable::EditRecord);
    dialog.show();
    dialog.Timer1Timer();
    EXPECT_EQ(dialog.qEdit.FieldByName("doc_item_total").AsFloat(), 999.0);  // nothing yet
    dialog.DBEdit3->selectAll();
    QTest::keyClicks(dialog.DBEdit3, "4");
    Leave(dialog.DBEdit3);
    EXPECT_EQ(dialog.qEdit.FieldByName("doc_item_total").AsFloat(), 40.0);
    dialog.DBEdit7->selectAll();
    QTest::keyClicks(dialog.DBEdit7, "1");
    Leave(dialog.DBEdit7);  // a typed amount gives way to the computed one
    EXPECT_EQ(dialog.qEdit.FieldByName("doc_item_total").AsFloat(), 40.0);
    dialog.close();
    EXPECT_EQ(Line("doc_item_qty || '/' || doc_item_total"), "4.0/40.0");
}

TEST_F(BillItemTest, ALineDeletedMeanwhileClosesTheDialogUntouched) {
    Exec("delete from doc_item where doc_item_id=8101");
    Dimensions->Find(24)->SetEditMode(DimensionTable::Add);
    dialog.show();
    dialog.Timer1Timer();
    ExpectMessages({{"There is no record to edit", "No record"}});
    QApplication::processEvents();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(Line("count(*)"), "0");
}

}  // namespace
}  // namespace zl
