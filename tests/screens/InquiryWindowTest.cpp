// The inquiry processes hub: every customer's documents ordered and filtered by choice and kept
// on the current one, opened in a dialog made for the one use, deleted under right 2, and the
// periodic refresh that waits while anything is edited or a dialog is open.
#include "screens/TfrmInquiry.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <algorithm>

#include "core/DataMod.h"
#include "core/Globals.h"
#include "frames/TBrowseFrame.h"
#include "screens/TfrmCampaign.h"
#include "screens/TfrmEditInquiry.h"
#include "screens/TfrmInvoice.h"
#include "screens/TfrmOrder.h"
#include "screens/TfrmQuotation.h"
#include "tests/support/TestDialogs.h"
#include "widgets/DBGrid.h"

namespace zl {
namespace {

using test::WhenModal;

class InquiryWindowTest : public test::FrameFixture {
  protected:
    void SetUp() override {
        FrameFixture::SetUp();
        Exec(
            "insert into entity (entity_id, dimension_id, entity_name, entity_first, "
            "entity_title) values (9001, 1, \"Abbot\", \"Ann\", \"Ms\"), (9002, 1, \"Brown\", "
            "\"Bob\", \"Mr\"), (9003, 1, \"Clark\", \"Cy\", \"Dr\")");
        // Statuses: 1 Draft, 2 Sent, 3 Accepted, 5 Paid. 9105 is an inquiry, never listed here.
        Exec(
            "insert into zlm_doc (zlm_doc_id, dimension_id, customer_id, doc_status_id, "
            "zlm_doc_date, zlm_doc_ref, allow_delete) values "
            "(9101, 6, 9002, 2, '2021-03-01 00:00:00', \"Q-1\", 0), "
            "(9102, 7, 9001, 1, '2021-01-15 00:00:00', \"O-1\", 0), "
            "(9103, 8, 9003, 5, '2020-12-01 00:00:00', \"I-1\", 0), "
            "(9104, 6, 9001, 3, '2021-02-01 00:00:00', \"Q-2\", 0), "
            "(9105, 18, 9001, 0, '2021-02-02 00:00:00', \"INQ\", 0)");
        Exec(
            "insert into doc_item (doc_item_id, zlm_doc_id, dimension_id, allow_delete, "
            "doc_item_descr) values (9201, 9101, 24, 0, \"Spade\")");
        window = std::make_unique<TfrmInquiry>();
        window->setCollection(Dimensions);
        ShowDocuments(*window);
    }
    // The documents are read when their tab is first shown, in the background.
    static void ShowDocuments(TfrmInquiry& inquiries) {
        inquiries.PageControl1->setCurrentWidget(inquiries.documentsTab);
        inquiries.FinishFill();
    }
    void TearDown() override {
        window.reset();
        FrameFixture::TearDown();
    }
    // The documents in the grid's order.
    std::vector<int> Listed() const { return Listed(*window); }
    static std::vector<int> Listed(TfrmInquiry& inquiries) { return test::Keys(inquiries.qQOI); }
    int Current() const { return window->qQOI.FieldByName("zlm_doc_id").AsInteger(); }
    void StandOn(int docId) { ASSERT_TRUE(window->qQOI.Locate("zlm_doc_id", {db::Value{docId}})); }
    // As a user picks an item of a select-only combo; the rows are read in the background.
    static void Choose(TfrmInquiry& inquiries, QComboBox* combo, int item) {
        combo->setCurrentIndex(item);
        emit combo->activated(item);
        EXPECT_TRUE(inquiries.Filling());
        inquiries.FinishFill();
    }
    std::unique_ptr<TfrmInquiry> window;
};

TEST_F(InquiryWindowTest, TwoTabsTheInquiryListAndTheDocumentsReadInTheirOrderWhenFirstShown) {
    TfrmInquiry fresh;
    fresh.setCollection(Dimensions);
    EXPECT_EQ(fresh.windowTitle(), "Inquiry processes");
    EXPECT_EQ(fresh.objectName(), "frmInquiry");
    ASSERT_EQ(fresh.PageControl1->count(), 2);
    EXPECT_EQ(fresh.PageControl1->tabText(0), "Inquiries");
    EXPECT_EQ(fresh.PageControl1->tabText(1), "Quotations, Orders and Invoices");
    EXPECT_EQ(fresh.PageControl1->currentIndex(), 0);
    EXPECT_EQ(fresh.Timer1->interval(), 30000);
    EXPECT_TRUE(fresh.Timer1->isActive());
    ASSERT_NE(fresh.frmEditInquiry, nullptr);
    // Back from setCollection before any row has arrived.
    EXPECT_TRUE(fresh.Filling());
    EXPECT_FALSE(fresh.inquiryFrame->qBrowse.Active());
    fresh.FinishFill();
    EXPECT_EQ(fresh.inquiryFrame->qBrowse.RecordCount(), 1);  // 9105
    EXPECT_FALSE(fresh.qQOI.Active());
    // The documents tab, when first shown: in the status and order its combos show.
    ShowDocuments(fresh);
    EXPECT_EQ(fresh.qQOI.SQL(), "select * from brwQOI where true  order by [Customer], zlm_doc_id");
    EXPECT_EQ(Listed(fresh), (std::vector<int>{9102, 9104, 9101, 9103}));
    // The key is "ID"; no other id column shows.
    EXPECT_EQ(fresh.grdQOI->model()->headerData(0, Qt::Horizontal).toString(), "ID");
    for (const char* hidden : {"dimension_id", "doc_status_id", "customer_id", "allow_delete"})
        EXPECT_TRUE(fresh.grdQOI->isColumnHidden(fresh.qQOI.FieldByName(hidden).Index())) << hidden;
}

TEST_F(InquiryWindowTest, EachOrderColumnSortsTheGridAndTheCurrentDocumentStaysCurrent) {
    EXPECT_FALSE(window->cbOrder->isEditable());
    EXPECT_FALSE(window->cbStatus->isEditable());
    const struct {
        int item;
        const char* column;
        std::vector<int> order;
    } cases[] = {
        {1, "Document type", {9103, 9102, 9101, 9104}},
        {2, "Date", {9103, 9102, 9104, 9101}},
        {3, "Status", {9104, 9102, 9103, 9101}},  // Accepted, Draft, Paid, Sent
        {0, "Customer", {9102, 9104, 9101, 9103}},
    };
    ASSERT_EQ(window->cbOrder->count(), 4);
    StandOn(9101);
    for (const auto& c : cases) {
        EXPECT_EQ(window->cbOrder->itemText(c.item), c.column);
        Choose(*window, window->cbOrder, c.item);
        EXPECT_EQ(window->qQOI.SQL(), std::string("select * from brwQOI where true  order by [") +
                                          c.column + "], zlm_doc_id");
        EXPECT_EQ(Listed(), c.order) << c.column;
        EXPECT_EQ(Current(), 9101) << c.column;
    }
}

TEST_F(InquiryWindowTest, TheStatusFilterShowsOnlyThatStatusAndItemZeroShowsAll) {
    const char* items[] = {"[all status flags]", "Draft", "Sent",  "Accepted",
                           "Rejected",           "Paid",  "Closed"};
    ASSERT_EQ(window->cbStatus->count(), 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(window->cbStatus->itemText(i), items[i]);
    StandOn(9104);
    Choose(*window, window->cbStatus, 5);  // Paid
    EXPECT_EQ(window->qQOI.SQL(),
              "select * from brwQOI where true  and doc_status_id=5 order by [Customer], "
              "zlm_doc_id");
    EXPECT_EQ(Listed(), std::vector<int>{9103});
    EXPECT_EQ(Current(), 9103);            // 9104 is filtered out
    Choose(*window, window->cbStatus, 4);  // Rejected: nobody
    EXPECT_TRUE(Listed().empty());
    Choose(*window, window->cbStatus, 0);
    EXPECT_EQ(Listed(), (std::vector<int>{9102, 9104, 9101, 9103}));
}

TEST_F(InquiryWindowTest, EveryStoredStatusIsOfferedAndFiltersByItsKeyNotItsText) {
    // Far more than forty, one of them named like an SQL fragment.
    std::string values;
    for (int id = 100; id < 150; ++id)
        values += (values.empty() ? "" : ", ") +
                  ("(" + std::to_string(id) + ", \"S" + std::to_string(id) + "\")");
    Exec("insert into doc_status (doc_status_id, doc_status_descr) values " + values +
         ", (150, \"x' or 1=1 --]\")");
    Exec("update zlm_doc set doc_status_id=149 where zlm_doc_id=9102");
    Exec("update zlm_doc set doc_status_id=150 where zlm_doc_id=9103");
    TfrmInquiry fresh;
    fresh.setCollection(Dimensions);
    ShowDocuments(fresh);
    ASSERT_EQ(fresh.cbStatus->count(), 1 + 6 + 51);
    EXPECT_EQ(fresh.cbStatus->itemText(56), "S149");
    Choose(fresh, fresh.cbStatus, 56);
    ASSERT_EQ(fresh.qQOI.RecordCount(), 1);
    EXPECT_EQ(fresh.qQOI.FieldByName("zlm_doc_id").AsInteger(), 9102);
    EXPECT_EQ(fresh.cbStatus->itemText(57), "x' or 1=1 --]");
    Choose(fresh, fresh.cbStatus, 57);
    ASSERT_EQ(fresh.qQOI.RecordCount(), 1);
    EXPECT_EQ(fresh.qQOI.FieldByName("zlm_doc_id").AsInteger(), 9103);
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(InquiryWindowTest, DeleteNeedsRightTwoThenDeletesAsTheListsDo) {
    Exec("delete from group_right where sys_op_id in (1, 2)");
    StandOn(9101);
    window->btnDelete->trigger();
    EXPECT_EQ(Main("select count(*) from zlm_doc where zlm_doc_id=9101"), "1");

    Exec("insert into group_right (group_right_id, user_group_id, sys_op_id) values (9301, 1, 2)");
    // A protected invoice stays, whoever asks.
    Exec("update zlm_doc set allow_delete=1 where zlm_doc_id=9103");
    window->openQOI();
    window->FinishFill();
    StandOn(9103);
    window->btnDeleteClick();
    EXPECT_EQ(Main("select count(*) from zlm_doc where zlm_doc_id=9103"), "1");

    StandOn(9101);
    prompter.Push(ui::Button::No);
    window->btnDeleteClick();
    EXPECT_EQ(Main("select count(*) from zlm_doc where zlm_doc_id=9101"), "1");
    prompter.Push(ui::Button::Yes);
    window->btnDeleteClick();
    // The grid is read again on a worker; it shows what it showed until the rows arrive.
    EXPECT_TRUE(window->Filling());
    EXPECT_EQ(Current(), 9101);
    window->FinishFill();
    const char* erase = "You will ERASE this record. Proceed?";
    ExpectMessages({{"You do not have system rights to delete this record. Please contact your "
                     "administrator.",
                     "Access denied"},
                    {"You cannot delete this record.", "Not allowed"},
                    {erase, "Delete"},
                    {erase, "Delete"}});
    EXPECT_EQ(prompter.Messages().back().buttons, ui::Buttons::YesNo);
    EXPECT_EQ(Main("select count(*) from zlm_doc where zlm_doc_id=9101"), "0");
    EXPECT_EQ(Local("select audit_descr || '/' || audit_extra || '/' || record_id || '/' || "
                    "dimension_id || '/' || sys_user_id from audit"),
              "Record deleted/zlm_doc/9101/6/2");
    // Its line stays; the other documents are untouched and listed without it.
    EXPECT_EQ(Main("select count(*) from doc_item where zlm_doc_id=9101"), "1");
    EXPECT_EQ(Listed(), (std::vector<int>{9102, 9104, 9103}));
    EXPECT_EQ(Current(), 9102);  // the deleted one gone: the first
}

TEST_F(InquiryWindowTest, EditAndDeleteOnAnEmptyGridSayThereIsNoRecord) {
    Exec("delete from zlm_doc where dimension_id in (6, 7, 8)");
    window->openQOI();
    window->FinishFill();
    window->btnEditClick();
    window->btnDeleteClick();
    // A double-click in the empty grid edits, as the edit button does.
    window->resize(700, 400);
    window->PageControl1->setCurrentWidget(window->grdQOI->parentWidget());
    window->show();
    QTest::mouseDClick(window->grdQOI->viewport(), Qt::LeftButton, {}, QPoint(30, 60));
    ExpectMessages({{"There is no record to edit", "No record"},
                    {"There is no record to delete", "No record"},
                    {"There is no record to edit", "No record"}});
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(InquiryWindowTest, EachKindOpensInItsOwnDialogInEditModeAndTheModeIsBackAfterwards) {
    Dimensions->Find(7)->SetRecordId(4242);  // the customers window's current order
    const struct {
        int doc;
        int kind;
        const char* objectName;
    } cases[] = {{9101, 6, "frmQuotation"}, {9102, 7, "frmOrder"}, {9103, 8, "frmInvoice"}};
    for (const auto& c : cases) {
        StandOn(c.doc);
        std::string seen;
        int modeSeen = -1;
        int docSeen = 0;
        WhenModal<DocumentDialog>([&](DocumentDialog& d) {
            seen = d.objectName().toStdString();
            modeSeen = Dimensions->Find(c.kind)->GetEditMode();
            docSeen = d.DocumentId();
            EXPECT_EQ(d.parent(), window.get());
            d.btnOK->click();
        });
        window->btnEditClick();
        EXPECT_EQ(seen, c.objectName);
        EXPECT_EQ(modeSeen, DimensionTable::EditRecord);
        EXPECT_EQ(docSeen, c.doc);
        EXPECT_FALSE(Dimensions->AnyInEdit());
        EXPECT_EQ(Current(), c.doc);
    }
    EXPECT_EQ(Dimensions->Find(7)->GetRecordId(), 4242);
    // Made for the one use: none is left behind.
    EXPECT_TRUE(window->findChildren<DocumentDialog*>().empty());
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(InquiryWindowTest, ADocumentDeletedMeanwhileIsReportedOnceAndNothingElseHappens) {
    StandOn(9104);
    Exec("delete from zlm_doc where zlm_doc_id=9104");
    window->btnEditClick();  // the dialog reports it and closes itself
    window->FinishFill();
    ExpectMessages({{"There is no record to edit", "No record"}});
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_FALSE(Dimensions->AnyInEdit());
    EXPECT_EQ(Listed(), (std::vector<int>{9102, 9101, 9103}));
    EXPECT_EQ(Main("select count(*) from zlm_doc where zlm_doc_id=9104"), "0");
}

TEST_F(InquiryWindowTest, TheRefreshWaitsWhileAnythingIsEditedOrADialogIsOpen) {
    StandOn(9101);
    Exec(
        "insert into zlm_doc (zlm_doc_id, dimension_id, customer_id, doc_status_id, "
        "allow_delete) values (9106, 7, 9001, 1, 0), (9107, 18, 9002, 0, 0)");
    // Another kind's dialog in add mode.
    Dimensions->Find(9)->SetEditMode(DimensionTable::Add);
    window->Timer1Timer();
    EXPECT_EQ(window->qQOI.RecordCount(), 4);
    EXPECT_EQ(window->inquiryFrame->qBrowse.RecordCount(), 1);
    Dimensions->Find(9)->SetEditMode(DimensionTable::None);

    // A modal dialog with nothing in edit mode.
    QDialog box(window.get());
    int countWhileOpen = -1;
    WhenModal<QDialog>([&](QDialog& d) {
        window->Timer1Timer();
        countWhileOpen = window->qQOI.RecordCount();
        d.accept();
    });
    box.exec();
    EXPECT_EQ(countWhileOpen, 4);

    // A document opened from the grid: its own edit holds the refresh off too.
    WhenModal<TfrmQuotation>([&](TfrmQuotation& d) {
        window->Timer1Timer();
        countWhileOpen = window->qQOI.RecordCount();
        d.btnOK->click();
    });
    window->btnEditClick();
    EXPECT_EQ(countWhileOpen, 4);

    // Once everything is closed the timer runs again, on the same document. (The grid was
    // re-read when the quotation closed; only the timer re-reads the inquiry list.)
    EXPECT_EQ(window->inquiryFrame->qBrowse.RecordCount(), 1);
    Exec(
        "insert into zlm_doc (zlm_doc_id, dimension_id, customer_id, doc_status_id, "
        "allow_delete) values (9108, 8, 9003, 1, 0)");
    StandOn(9101);
    window->Timer1->start(5);
    EXPECT_TRUE(QTest::qWaitFor([this] {
        return window->inquiryFrame->qBrowse.RecordCount() == 2 && Listed().size() == 6;
    }));
    EXPECT_EQ(Listed(), (std::vector<int>{9102, 9104, 9106, 9101, 9103, 9108}));
    EXPECT_EQ(Current(), 9101);
}

TEST_F(InquiryWindowTest, ADeleteQuestionOpenWhileTheTimersRowsArriveDeletesTheHighlightedOne) {
    StandOn(9104);  // row 2
    // Listed first from the next read on: a document of a customer named before the others.
    Exec("insert into entity (entity_id, dimension_id, entity_name) values (9004, 1, \"Aaron\")");
    Exec(
        "insert into zlm_doc (zlm_doc_id, dimension_id, customer_id, doc_status_id, "
        "allow_delete) values (9106, 7, 9004, 1, 0)");
    window->Timer1Timer();
    std::vector<int> whileAsked;
    prompter.onShow = [&](const ui::Message&) {
        window->FinishFill();
        whileAsked = {Current(), window->qQOI.RecNo()};
    };
    prompter.Push(ui::Button::Yes);
    window->btnDeleteClick();
    prompter.onShow = nullptr;
    window->FinishFill();
    EXPECT_EQ(whileAsked, (std::vector<int>{9104, 2}));
    EXPECT_EQ(Main("select count(*) from zlm_doc where zlm_doc_id in (9104, 9106)"), "1");
    EXPECT_EQ(Listed(), (std::vector<int>{9106, 9102, 9101, 9103}));
}

TEST_F(InquiryWindowTest, ARefreshWithoutTheCurrentLastDocumentStandsOnTheFirstAsTheListsDo) {
    StandOn(9103);  // the last row
    Exec("delete from zlm_doc where zlm_doc_id=9103");
    window->Timer1Timer();
    window->FinishFill();
    ASSERT_EQ(Listed(), (std::vector<int>{9102, 9104, 9101}));
    EXPECT_EQ(Current(), 9102);
    EXPECT_EQ(window->grdQOI->currentIndex().row(), 0);
}

TEST_F(InquiryWindowTest, ACampaignsRefreshIsShownWhenItsMessageClosesWithItsDialogStillOpen) {
    InquiryOpen = true;  // as the main window's opener sets it
    const int listed = window->inquiryFrame->qBrowse.RecordCount();
    Exec(
        "insert into zlm_doc (zlm_doc_id, dimension_id, customer_id, zlm_doc_ref, allow_delete) "
        "values (9301, 18, 0, \"Campaign inquiry\", 0)");
    int underTheMessage = -1;
    bool shownAfterIt = false;
    // The message as a real modal box, the refresh's rows arriving while it is open.
    prompter.onShow = [&](const ui::Message& message) {
        if (message.text != "Campaign created")
            return;
        QDialog box(QApplication::activeModalWidget());
        WhenModal<QDialog>([&](QDialog& b) {
            window->inquiryFrame->FinishFill();
            underTheMessage = window->inquiryFrame->qBrowse.RecordCount();
            b.accept();
        });
        box.exec();
    };
    RunDialog<TfrmCampaign>(28, DimensionTable::Add, 0, [&](TfrmCampaign& d) {
        d.btnGenerate->click();
        shownAfterIt = QTest::qWaitFor(
            [&] { return window->inquiryFrame->qBrowse.RecordCount() == listed + 1; });
        d.btnOK->click();
    });
    prompter.onShow = nullptr;
    EXPECT_EQ(underTheMessage, listed);
    EXPECT_TRUE(shownAfterIt);
}

TEST_F(InquiryWindowTest, AFailingQueryIsLoggedAndLeavesTheGridEmpty) {
    Exec("drop view brwQOI");
    window->openQOI();
    window->FinishFill();
    EXPECT_FALSE(window->qQOI.Active());
    EXPECT_NE(ErrorLog().find("TfrmInquiry.openQOI;no such table"), std::string::npos)
        << ErrorLog();
    EXPECT_FALSE(window->Filling());
    EXPECT_EQ(window->grdQOI->cursor().shape(), Qt::ArrowCursor);
    window->Timer1Timer();  // logged again, nothing raised
    window->FinishFill();
    window->btnEditClick();
    EXPECT_EQ(prompter.Messages().back().text, "There is no record to edit");
}

}  // namespace
}  // namespace zl
