#include "frames/TfrmLookup.h"

#include <QPushButton>
#include <QTest>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/Globals.h"
#include "screens/TfrmCustEdit.h"
#include "tests/support/TestDialogs.h"
#include "widgets/DBGrid.h"

namespace zl {
namespace {

using test::WhenModal;

class LookupTest : public test::FrameFixture {
  protected:
    void SetUp() override {
        FrameFixture::SetUp();
        Exec(
            "insert into billable (billable_id, dimension_id, allow_delete, billable_descr, "
            "billable_code, billable_defqty) values (9101, 10, 0, \"Bolt\", \"B-1\", 2.5), "
            "(9102, 10, 0, \"Nut\", \"N-1\", 1)");
    }
};

TEST_F(LookupTest, OkPicksTheCurrentRowAndCancelNothing) {
    TfrmLookup lookup;
    WhenModal<TfrmLookup>([](TfrmLookup& d) {
        EXPECT_EQ(d.windowTitle(), "Look up component");
        EXPECT_FALSE(d.btnNewCust->isEnabled());
        d.btnOK->click();
    });
    EXPECT_EQ(lookup.lookupExecute(10, false), 9101);  // the first row, unmoved
    EXPECT_EQ(lookup.strValue("billable_descr"), "Bolt");
    EXPECT_EQ(lookup.numValue("billable_defqty"), 2.5);

    WhenModal<TfrmLookup>([](TfrmLookup& d) {
        d.qLookup.SetRecNo(2);
        d.close();  // the close box: the pick stands
    });
    EXPECT_EQ(lookup.lookupExecute(10, false), 9102);

    WhenModal<TfrmLookup>([](TfrmLookup& d) {
        d.qLookup.SetRecNo(2);
        d.btnCancel->click();
    });
    EXPECT_EQ(lookup.lookupExecute(10, false), 0);
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(LookupTest, NothingToPickMeansMinusOneWithoutTheDialog) {
    TfrmLookup lookup;
    EXPECT_EQ(lookup.lookupExecute(11, false), -1);  // no assemblies
    ExpectMessages({{"There are no records in the lookup table", "No record"}});
    EXPECT_FALSE(lookup.isVisible());
    // A kind that does not exist is no crash either.
    EXPECT_EQ(lookup.lookupExecute(999, false), -1);
    EXPECT_EQ(ShowLookup(11, nullptr, false), -1);
}

TEST_F(LookupTest, TextThatIsNoNumberCountsAsZero) {
    TfrmLookup lookup;
    WhenModal<TfrmLookup>([](TfrmLookup& d) { d.btnOK->click(); });
    ASSERT_EQ(lookup.lookupExecute(10, false), 9101);
    EXPECT_EQ(lookup.numValue("billable_descr"), 0.0);
    EXPECT_NE(ErrorLog().find("TfrmLookup.numValue;'Bolt' is not a valid floating point value;"
                              "billable_descr\r\n"),
              std::string::npos);
}

TEST_F(LookupTest, ANewCustomerIsPickedUnlessItWasCancelled) {
    TfrmCustEdit::InstallAsNewCustomerDialog();
    WhenModal<TfrmLookup>([](TfrmLookup& d) {
        EXPECT_TRUE(d.btnNewCust->isEnabled());
        WhenModal<TfrmCustEdit>([](TfrmCustEdit& customer) {
            auto* name = customer.findChild<QLineEdit*>("entity_name");
            name->selectAll();
            QTest::keyClick(name, Qt::Key_Backspace);
            QTest::keyClicks(name, "Brand New");
            customer.btnOK->click();
        });
        d.btnNewCust->click();
    });
    const int picked = ShowLookup(1, nullptr, true);
    EXPECT_GT(picked, 1000);
    EXPECT_EQ(Main("select entity_name from entity where entity_id=" + std::to_string(picked)),
              "Brand New");

    WhenModal<TfrmLookup>([](TfrmLookup& d) {
        WhenModal<TfrmCustEdit>([](TfrmCustEdit& customer) { customer.btnCancel->click(); });
        d.btnNewCust->click();
    });
    EXPECT_EQ(ShowLookup(1, nullptr, true), 0);
    EXPECT_FALSE(Dimensions->AnyInEdit());
}

// A double-click below the last row picks as one on a row does.
TEST_F(LookupTest, ADoubleClickOnTheEmptyPartOfTheGridClosesWithThePick) {
    TfrmLookup lookup;
    bool closedByDoubleClick = false;
    WhenModal<TfrmLookup>([&](TfrmLookup& d) {
        d.qLookup.SetRecNo(2);
        QWidget* area = d.DBGrid1->viewport();
        const QPoint below(area->width() / 2, area->height() - 4);
        ASSERT_FALSE(d.DBGrid1->indexAt(below).isValid());
        QTest::mouseDClick(area, Qt::LeftButton, {}, below);
        closedByDoubleClick = !d.isVisible();
        if (!closedByDoubleClick)
            d.btnCancel->click();
    });
    EXPECT_EQ(lookup.lookupExecute(10, false), 9102);
    EXPECT_TRUE(closedByDoubleClick);
}

TEST_F(LookupTest, AListThatCannotBeReadSaysThereIsNothingToPick) {
    Exec("drop view lstComponent");
    TfrmLookup lookup;
    EXPECT_EQ(lookup.lookupExecute(10, false), -1);
    EXPECT_FALSE(lookup.isVisible());
    ASSERT_GE(prompter.Count(), 1u);
    EXPECT_EQ(prompter.Messages().back().text, "There are no records in the lookup table");
    EXPECT_EQ(prompter.Messages().back().title, "No record");
    EXPECT_NE(ErrorLog().find("TfrmLookup.openLookup"), std::string::npos);
}

}  // namespace
}  // namespace zl
