// The customers hub: six tabs bound to their kinds and dialogs, the children of the customer
// under the cursor, and new records that belong to that customer.
#include "screens/TfrmCustomer.h"

#include <QAction>
#include <QDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <algorithm>

#include "core/DataMod.h"
#include "core/Globals.h"
#include "frames/TBrowseFrame.h"
#include "screens/TfrmQuotation.h"
#include "tests/support/FakeReportServer.h"
#include "tests/support/TestDialogs.h"

namespace zl {
namespace {

using test::WhenModal;

class CustomerWindowTest : public test::FrameFixture {
  protected:
    void SetUp() override {
        FrameFixture::SetUp();
        // Two customers, each with a quotation and an order; "Abbot" lists first by name.
        Exec(
            "insert into entity (entity_id, dimension_id, entity_name, entity_first, "
            "entity_title) values (9001, 1, \"Abbot\", \"Ann\", \"Ms\"), (9002, 1, \"Brown\", "
            "\"Bob\", \"Mr\")");
        Exec(
            "insert into zlm_doc (zlm_doc_id, dimension_id, customer_id, zlm_doc_ref, "
            "allow_delete) values (9101, 6, 9001, \"Q-A\", 0), (9102, 6, 9002, \"Q-B\", 0), "
            "(9103, 7, 9002, \"O-B\", 0)");
    }
    // Puts the customer list's cursor on the customer, as a click in the list does.
    static void PickCustomer(TfrmCustomer& window, int id) {
        ASSERT_TRUE(window.customerFrame->qBrowse.Locate("entity_id", {db::Value{id}}));
    }
    static std::vector<int> Listed(TBrowseFrame& frame) { return test::Keys(frame.qBrowse); }
};

TEST_F(CustomerWindowTest, SixTabsBoundToTheirKindsAndDialogs) {
    TfrmCustomer window;
    window.setCollection(Dimensions);
    window.FinishFill();
    EXPECT_EQ(window.windowTitle(), "Customers");
    const char* tabs[] = {"Customers",  "Contact events", "Completed questionnaires",
                          "Quotations", "Orders",         "Invoices"};
    ASSERT_EQ(window.PageControl1->count(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(window.PageControl1->tabText(i), tabs[i]);
    EXPECT_EQ(window.PageControl1->currentIndex(), 0);
    // The current customer is the list's first row, named above the tabs.
    EXPECT_EQ(window.currentCustomer(), window.customerFrame->qBrowse.Fields(0).AsInteger());
    PickCustomer(window, 9002);
    EXPECT_EQ(window.currentCustomer(), 9002);
    EXPECT_EQ(window.customerName->text(), "Brown Bob Mr");
}

TEST_F(CustomerWindowTest, TheChildListsFollowTheCurrentCustomerWhenATabIsChosen) {
    TfrmCustomer window;
    window.setCollection(Dimensions);
    window.FinishFill();
    PickCustomer(window, 9001);
    window.PageControl1->setCurrentIndex(3);
    window.FinishFill();
    EXPECT_EQ(Listed(*window.QuoteFrame), std::vector<int>{9101});
    EXPECT_TRUE(Listed(*window.OrderFrame).empty());
    PickCustomer(window, 9002);
    window.PageControl1->setCurrentIndex(4);
    window.FinishFill();
    EXPECT_EQ(Listed(*window.QuoteFrame), std::vector<int>{9102});
    EXPECT_EQ(Listed(*window.OrderFrame), std::vector<int>{9103});
}

TEST_F(CustomerWindowTest, ANewQuotationFromItsTabBelongsToTheCurrentCustomer) {
    TfrmCustomer window;
    window.setCollection(Dimensions);
    window.FinishFill();
    PickCustomer(window, 9002);
    window.PageControl1->setCurrentIndex(3);
    window.FinishFill();
    WhenModal<TfrmQuotation>([](TfrmQuotation& dialog) { dialog.btnOK->click(); });
    window.QuoteFrame->AddExecute();
    window.FinishFill();
    const int added = Dimensions->Find(6)->GetRecordId();
    ASSERT_GT(added, 0);
    ASSERT_NE(added, 9101);
    EXPECT_EQ(Main("select customer_id || '/' || dimension_id from zlm_doc where zlm_doc_id=" +
                   std::to_string(added)),
              "9002/6");
    std::vector<int> listed = Listed(*window.QuoteFrame);
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<int>{added, 9102}));
}

TEST_F(CustomerWindowTest, QuotationsPrintReportOneAndWithoutCustomersNothingCanBeAdded) {
    // Quotations name no report: the kinds are read again once that is so.
    Exec("update dimension set dimension_reportid=0 where dimension_id=6");
    dims = std::make_unique<DimCollection>();
    Dimensions = dims.get();
    ASSERT_EQ(Dimensions->Find(6)->DimInt("dimension_reportid"), 0);
    UseDocRepository();
    auto fake = test::FakeReportServer::Create();
    ReportServer = fake->NewClient();
    {
        TfrmCustomer window;
        window.setCollection(Dimensions);
        window.FinishFill();
        EXPECT_TRUE(window.QuoteFrame->printButton->isVisible());  // whatever the kind says
        PickCustomer(window, 9001);
        window.PageControl1->setCurrentIndex(3);
        window.FinishFill();
        window.QuoteFrame->Print->trigger();
        ASSERT_EQ(fake->calls.size(), 1u);
        EXPECT_EQ(fake->calls[0].rfind("ShowReport(1|", 0), 0u) << fake->calls[0];
        for (TBrowseFrame* frame : {window.contactFrame, window.questFrame, window.QuoteFrame,
                                    window.OrderFrame, window.InvoiceFrame})
            EXPECT_TRUE(frame->Add->isEnabled());
    }
    Exec("delete from entity where dimension_id=1");
    TfrmCustomer empty;
    empty.setCollection(Dimensions);
    empty.FinishFill();
    EXPECT_EQ(empty.currentCustomer(), 0);
    for (TBrowseFrame* frame : {empty.contactFrame, empty.questFrame, empty.QuoteFrame,
                                empty.OrderFrame, empty.InvoiceFrame}) {
        EXPECT_FALSE(frame->Add->isEnabled());
        frame->AddExecute();  // refused: no dialog opens
    }
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(CustomerWindowTest, CustomersImportedAreListedWhenTheMessageAfterTheImportCloses) {
    TfrmCustomer window;
    window.setCollection(Dimensions);
    window.FinishFill();
    PickCustomer(window, 9002);
    // Stored by the import, which then refreshes the list and says how many it took.
    Exec(
        "insert into entity (entity_id, dimension_id, entity_name, entity_first, entity_title) "
        "values (9003, 1, \"Aames\", \"Al\", \"Mr\")");
    window.customerFrame->RefreshExecute();
    QDialog message;
    std::vector<int> underTheMessage;
    WhenModal<QDialog>([&](QDialog& box) {
        window.FinishFill();
        underTheMessage = Listed(*window.customerFrame);
        box.accept();
    });
    message.exec();
    EXPECT_EQ(underTheMessage, (std::vector<int>{9001, 9002, 5}));  // 5: "[no customer]"
    EXPECT_TRUE(QTest::qWaitFor([&] { return Listed(*window.customerFrame).size() == 4; }));
    EXPECT_EQ(Listed(*window.customerFrame), (std::vector<int>{9003, 9001, 9002, 5}));
    // The same customer current, named above the tabs.
    EXPECT_EQ(window.currentCustomer(), 9002);
    EXPECT_EQ(window.customerName->text(), "Brown Bob Mr");
}

}  // namespace
}  // namespace zl
