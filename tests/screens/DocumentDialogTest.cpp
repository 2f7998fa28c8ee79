// The quotation, order and invoice dialogs: a new document stored at show with its follow-up,
// printing, the bill of materials, conversions all or nothing, and a document gone meanwhile.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <functional>
#include <memory>
#include <regex>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/Globals.h"
#include "core/RecordCopier.h"
#include "frames/TBrowseFrame.h"
#include "platform/format/Format.h"
#include "screens/TfrmInvoice.h"
#include "screens/TfrmOrder.h"
#include "screens/TfrmQuotation.h"
#include "tests/support/FakeReportServer.h"
#include "tests/support/TestDialogs.h"

namespace zl {
namespace {

using test::WhenModal;

constexpr int kQuotation = 8001;
constexpr int kOrder = 8002;
constexpr int kInvoice = 8003;
constexpr int kBusUnit = 3;

std::unique_ptr<DocumentDialog> Make(int dimension) {
    switch (dimension) {
        case 6:
            return std::make_unique<TfrmQuotation>();
        case 7:
            return std::make_unique<TfrmOrder>();
        default:
            return std::make_unique<TfrmInvoice>();
    }
}

std::string Today(int days = 0) {
    return format::DateTimeToIso(format::IncDay(format::Date(), days));
}

class DocumentDialogTest : public test::FrameFixture {
  protected:
    void SetUp() override {
        FrameFixture::SetUp();
        CurBusUnitId = kBusUnit;
        UseDocRepository();
        // New keys lie above every row made here.
        Exec("update id_control set next_id=20000");
        Exec(
            "insert into entity (entity_id, dimension_id, entity_name, entity_fullname) values "
            "(9001, 1, \"Acme\", \"Acme Ltd\")");
        Exec(
            "insert into zlm_doc (zlm_doc_id, dimension_id, customer_id, bus_unit_id, "
            "doc_status_id, zlm_doc_descr, zlm_doc_ref, zlm_cust_ref, zlm_doc_statusdate) "
            "values (8001, 6, 9001, 3, 2, \"Garden tools\", \"Q-77\", \"PO 5\", "
            "'2020-01-01 00:00:00'), (8002, 7, 9001, 3, 1, \"Order\", \"O-5\", \"PO 6\", null), "
            "(8003, 8, 9001, 3, 1, \"Invoice\", \"I-9\", \"PO 7\", null)");
        Exec(
            "insert into doc_item (doc_item_id, zlm_doc_id, dimension_id, allow_delete, "
            "doc_item_descr, doc_item_qty, doc_item_rate, doc_item_total) values "
            "(8101, 8001, 24, 0, \"Spade\", 2, 5, 10), (8102, 8001, 24, 0, \"Rake\", 1, 2.5, "
            "2.5), (8103, 8002, 24, 0, \"Hoe\", 1, 7, 7)");
        // Every box is shown with no transaction open: a waiting box must not hold the lock.
        prompter.onShow = [this](const ui::Message& m) {
            EXPECT_FALSE(dm->zlmConn.InTransaction()) << m.text;
            EXPECT_FALSE(dm->repConn.InTransaction()) << m.text;
        };
    }
    void TearDown() override {
        prompter.onShow = nullptr;
        CurBusUnitId = 0;
        FrameFixture::TearDown();
    }
    // Shows the dialog of the kind on a record as a list frame would, with `step` acting on it.
    void Run(int dimension, int mode, int record, std::function<void(DocumentDialog&)> step) {
        std::unique_ptr<DocumentDialog> dialog = Make(dimension);
        Dimensions->Find(dimension)->SetParentId(9001);
        Target(dimension, mode, record);
        ExecWith(*dialog, std::move(step));
    }
    void Edit(int dimension, int record, std::function<void(DocumentDialog&)> step) {
        Run(dimension, DimensionTable::EditRecord, record, std::move(step));
    }
    // Every document and line: what a failed step must leave as it was.
    std::string AllRows() {
        return Main(
            "select (select group_concat(zlm_doc_id || ':' || dimension_id || ':' || "
            "zlm_doc_descr, '|') from zlm_doc) || '#' || (select group_concat(doc_item_id || "
            "':' || zlm_doc_id, '|') from doc_item)");
    }
    std::string Doc(int id, const std::string& expr) {
        return Main("select " + expr + " from zlm_doc where zlm_doc_id=" + std::to_string(id));
    }
    int NextId() { return std::stoi(Main("select next_id from id_control")); }
    bool Shown(const std::string& text) {
        for (const ui::Message& m : prompter.Messages())
            if (m.text == text)
                return true;
        return false;
    }
    std::vector<std::string> Labels(QWidget& w) {
        std::vector<std::string> texts;
        for (QLabel* label : w.findChildren<QLabel*>())
            texts.push_back(label->text().toStdString());
        return texts;
    }
    void UseFakeReportServer() {
        fake = test::FakeReportServer::Create();
        ReportServer = fake->NewClient();
    }
    com::ComPtr<test::FakeReportServer> fake;
};

struct KindCase {
    int dimension;
    const char* objectName;
    const char* addCaption;
    std::vector<std::string> labels;
    const char* closeCaption;
    const char* followUp;
    const char* linkColumn;
    bool createsOrder;
    bool createsInvoice;
};

TEST_F(DocumentDialogTest, ANewDocumentIsStoredAtShowWithItsFollowUpAndReference) {
    const KindCase cases[] = {
        {6,
         "frmQuotation",
         "Add new quotation",
         {"Quotation date: ", "Quotation time: ", "Quotation items"},
         "&OK",
         "Quotation follow-up",
         "quotation_id",
         true,
         true},
        {7,
         "frmOrder",
         "Add new order",
         {"Order date:", "Order time: ", "Order items"},
         "&Save and Close",
         "Order follow-up",
         "order_id",
         false,
         true},
        {8,
         "frmInvoice",
         "Add new invoice",
         {"Invoice date:", "Invoice time: ", "Invoice items"},
         "&Save and Close",
         "Invoice follow-up",
         "invoice_id",
         false,
         false},
    };
    for (const KindCase& c : cases) {
        SCOPED_TRACE(c.objectName);
        std::unique_ptr<DocumentDialog> dialog = Make(c.dimension);
        // Opened the way the customers window opens it.
        TBrowseFrame frame;
        frame.bindDimension(Dimensions->Find(c.dimension), dialog.get());
        frame.setParentID(9001);
        const int firstKey = NextId() + 1;
        int id = 0;
        std::string storedWhileOpen;
        WhenModal<DocumentDialog>([&](DocumentDialog& d) {
            id = d.DocumentId();
            EXPECT_EQ(d.objectName().toStdString(), c.objectName);
            EXPECT_EQ(d.windowTitle().toStdString(), c.addCaption);
            const std::vector<std::string> labels = Labels(d);
            for (const char* label : {"Customer name: ", "Description: ", "Notes: ", "Status: ",
                                      "Our reference: ", "Customer reference: "})
                EXPECT_NE(std::find(labels.begin(), labels.end(), label), labels.end()) << label;
            for (const std::string& label : c.labels)
                EXPECT_NE(std::find(labels.begin(), labels.end(), label), labels.end()) << label;
            EXPECT_EQ(d.btnOK->text().toStdString(), c.closeCaption);
            EXPECT_EQ(d.btnCancel->text(), "&Cancel");
            EXPECT_EQ(d.btnPrint->text(), "&Print");
            EXPECT_EQ(d.btnBOM->text(), "Print &B.o.M.");
            EXPECT_EQ(d.btnCreateOrder != nullptr, c.createsOrder);
            EXPECT_EQ(d.btnCreateInvoice != nullptr, c.createsInvoice);
            if (d.btnCreateOrder) {
                EXPECT_EQ(d.btnCreateOrder->text(), "Create &order");
            }
            if (d.btnCreateInvoice) {
                EXPECT_EQ(d.btnCreateInvoice->text(), "Create &invoice");
            }
            EXPECT_EQ(d.customerName->text(), "Acme Ltd");
            EXPECT_TRUE(d.itemFrame->totalPanel->isVisibleTo(&d));
            EXPECT_EQ(d.itemFrame->labTotal->text(), "0.00");
            EXPECT_EQ(d.edRef->text().toStdString(), std::to_string(id));
            storedWhileOpen = Doc(id, "dimension_id || '/' || customer_id || '/' || zlm_doc_ref");
            d.btnOK->click();
        });
        frame.AddExecute();
        ASSERT_GE(id, firstKey);
        EXPECT_EQ(storedWhileOpen, std::to_string(c.dimension) + "/9001/[no value]");
        EXPECT_EQ(Doc(id, "zlm_doc_ref || '/' || doc_status_id"), std::to_string(id) + "/1");
        EXPECT_EQ(Main("select count(*) || '/' || inq_status_id || '/' || customer_id || '/' || "
                       "zlm_doc_descr || '/' || zlm_doc_followup || '/' || (zlm_doc_ref = "
                       "zlm_doc_id) from zlm_doc where dimension_id=18 and " +
                       std::string(c.linkColumn) + "=" + std::to_string(id)),
                  "1/1/9001/" + std::string(c.followUp) + "/" + Today(7) + "/1");
        EXPECT_EQ(prompter.Count(), 0u);
    }
}

TEST_F(DocumentDialogTest, CancellingANewDocumentKeepsTheStoredRowAndItsFollowUp) {
    int id = 0;
    Run(6, DimensionTable::Add, 0, [&](DocumentDialog& d) {
        id = d.DocumentId();
        prompter.Push(ui::Button::Yes);
        d.btnCancel->click();
    });
    ASSERT_GT(id, 0);
    EXPECT_EQ(prompter.Messages().back().text, "You will lose any changes you have made. Proceed?");
    // The reference set after the row was stored goes with the other unsaved changes.
    EXPECT_EQ(Doc(id, "zlm_doc_ref"), "[no value]");
    EXPECT_EQ(Main("select count(*) from zlm_doc where dimension_id=18 and quotation_id=" +
                   std::to_string(id)),
              "1");
}

TEST_F(DocumentDialogTest, AnExistingDocumentShowsItsLinesAndTotalAndAStatusChoiceIsDated) {
    Edit(6, kQuotation, [&](DocumentDialog& d) {
        EXPECT_EQ(d.edRef->text(), "Q-77");
        EXPECT_EQ(d.edDescr->text(), "Garden tools");
        EXPECT_EQ(d.itemFrame->recordCount(), 2);
        EXPECT_EQ(d.itemFrame->labTotal->text(), "12.50");
        const int accepted = d.DBLookupComboBox1->findText("Accepted");
        ASSERT_GE(accepted, 0);
        d.DBLookupComboBox1->setCurrentIndex(accepted);
        emit d.DBLookupComboBox1->activated(accepted);
        d.btnOK->click();
    });
    EXPECT_EQ(Doc(kQuotation, "doc_status_id || '/' || zlm_doc_statusdate || '/' || zlm_doc_ref"),
              "3/" + Today() + "/Q-77");
    EXPECT_EQ(Main("select count(*) from zlm_doc where dimension_id=18"), "0");
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(DocumentDialogTest, PrintAsksTheReportServerForTheKindsReportInANewRepositoryFile) {
    UseFakeReportServer();
    const std::pair<int, int> cases[] = {{6, kQuotation}, {7, kOrder}, {8, kInvoice}};
    for (const auto& [dimension, id] : cases) {
        SCOPED_TRACE(dimension);
        fake->calls.clear();
        Edit(dimension, id, [](DocumentDialog& d) {
            d.btnPrint->click();
            d.btnOK->click();
        });
        ASSERT_EQ(fake->calls.size(), 1u);
        std::smatch m;
        const std::regex call(
            R"(ShowReport\((\d+)\|3\|2\|(\d+)\|(.*)/reports/\d{10}/quote\d+\.html\))");
        ASSERT_TRUE(std::regex_match(fake->calls[0], m, call)) << fake->calls[0];
        EXPECT_EQ(m[1], std::to_string(dimension - 5));
        EXPECT_EQ(m[2], std::to_string(id));
        EXPECT_EQ(m[3].str() + "/", folder.DataFolder() + "doc/");
    }
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(DocumentDialogTest, AFailingHandlerIsLoggedWithItsTagAndShown) {
    ReportServer.reset();  // the report server could not be started
    bool stillOpen = false;
    Edit(7, kOrder, [&](DocumentDialog& d) {
        d.btnPrint->click();
        stillOpen = d.isVisible();
        d.btnOK->click();
    });
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(prompter.Count(), 1u);
    EXPECT_EQ(prompter.Messages()[0].text.substr(0, prompter.Messages()[0].text.find('\n')),
              "Exception occurred in: TfrmOrder.btnPrintClick");
    EXPECT_NE(prompter.Messages()[0].text.find("The report server is not running."),
              std::string::npos);
}

struct ConversionCase {
    int dimension;
    int source;
    bool toOrder;
    int target;
    const char* linkColumn;
    const char* followUp;
    const char* prefix;
    const char* success;
    const char* sourceRef;
    const char* lines;
};

TEST_F(DocumentDialogTest, ConversionCopiesTheStoredDocumentAndItsLinesWithAFollowUp) {
    const char* order =
        "Order created. You can view it by going to the Orders tab after closing this window.";
    const char* invoice =
        "Invoice created. You can view it by going to the Invoices tab after closing this window.";
    const ConversionCase cases[] = {
        {6, kQuotation, true, 7, "order_id", "Order follow-up", "Order / Quotation ref: ", order,
         "Q-77", "Spade:2.0:5.0:10.0|Rake:1.0:2.5:2.5"},
        {6, kQuotation, false, 8, "invoice_id", "Invoice follow-up",
         "Invoice / Quotation ref: ", invoice, "Q-77", "Spade:2.0:5.0:10.0|Rake:1.0:2.5:2.5"},
        {7, kOrder, false, 8, "invoice_id", "Invoice follow-up",
         "Invoice / Quotation ref: ", invoice, "O-5", "Hoe:1.0:7.0:7.0"},
    };
    // Typed, not yet saved: a quote, a semicolon and a statement of its own.
    const std::string typed = "O'Neil \"7\"; delete from doc_item; --";
    for (const ConversionCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.dimension) + " to " + std::to_string(c.target));
        const std::string sourceLines =
            Main("select count(*) from doc_item where zlm_doc_id=" + std::to_string(c.source));
        const int before = NextId();
        Edit(c.dimension, c.source, [&](DocumentDialog& d) {
            d.edRef->setFocus();
            d.edRef->selectAll();
            QTest::keyClicks(d.edRef, QString::fromStdString(typed));
            (c.toOrder ? d.btnCreateOrder : d.btnCreateInvoice)->click();
            prompter.Push(ui::Button::Yes);
            d.btnCancel->click();
        });
        const std::string newId =
            Main("select zlm_doc_id from zlm_doc where dimension_id=" + std::to_string(c.target) +
                 " and zlm_doc_id>" + std::to_string(before));
        ASSERT_NE(newId, "<none>");
        const int id = std::stoi(newId);
        EXPECT_EQ(Doc(id, "zlm_doc_descr"), c.prefix + typed);
        // Copied from the stored row: the reference typed in the dialog is not in it.
        EXPECT_EQ(Doc(id,
                      "customer_id || '/' || bus_unit_id || '/' || zlm_doc_ref || '/' || "
                      "zlm_cust_ref"),
                  std::string("9001/3/") + c.sourceRef + "/" + Doc(c.source, "zlm_cust_ref"));
        EXPECT_EQ(Main("select group_concat(doc_item_descr || ':' || doc_item_qty || ':' || "
                       "doc_item_rate || ':' || doc_item_total, '|') from (select * from doc_item "
                       "where dimension_id=24 and zlm_doc_id=" +
                       newId + " order by doc_item_id)"),
                  c.lines);
        EXPECT_EQ(Main("select count(*) || '/' || inq_status_id || '/' || customer_id || '/' || "
                       "zlm_doc_descr || '/' || (quotation_id + order_id + invoice_id) from "
                       "zlm_doc where dimension_id=18 and " +
                       std::string(c.linkColumn) + "=" + newId),
                  "1/1/9001/" + std::string(c.followUp) + "/" + newId);
        // The source and its lines are as they were; the typed text ran nothing.
        EXPECT_EQ(
            Main("select count(*) from doc_item where zlm_doc_id=" + std::to_string(c.source)),
            sourceLines);
        EXPECT_EQ(Doc(c.source, "dimension_id"), std::to_string(c.dimension));
        const ui::Message last = prompter.Messages()[prompter.Count() - 2];
        EXPECT_EQ(last.text, c.success);
        EXPECT_EQ(last.title, "Success");
    }
}

TEST_F(DocumentDialogTest, ConversionTwiceMakesTwoCopiesAndWithoutLinesCopiesTheHeader) {
    Exec("delete from doc_item where zlm_doc_id=8002");
    const int before = NextId();
    Edit(7, kOrder, [](DocumentDialog& d) {
        d.btnCreateInvoice->click();
        d.btnCreateInvoice->click();
        d.btnOK->click();
    });
    EXPECT_EQ(Main("select count(*) || '/' || count(distinct zlm_doc_id) from zlm_doc where "
                   "dimension_id=8 and zlm_doc_descr='Invoice / Quotation ref: O-5' and "
                   "zlm_doc_id>" +
                   std::to_string(before)),
              "2/2");
    EXPECT_EQ(Main("select count(*) from doc_item where doc_item_id>" + std::to_string(before)),
              "0");
    EXPECT_EQ(Main("select count(*) from zlm_doc where dimension_id=18 and invoice_id>" +
                   std::to_string(before)),
              "2");
}

TEST_F(DocumentDialogTest, AFailedConversionLeavesNoRowAndSaysSo) {
    struct Case {
        const char* name;
        const char* sabotage;
        const char* errorBox;  // the first line of the error's box
    };
    const Case cases[] = {
        {"no key", "drop table id_control",
         "Exception occurred in: TDataMod.openQuery > TDataMod.nextID"},
        {"line refused",
         "create trigger refuse before insert on doc_item begin select raise(abort, 'disk "
         "full'); end",
         "Exception occurred in: TfrmQuotation.btnCreateOrderClick"},
        {"description refused",
         "create trigger refuse before update of zlm_doc_descr on zlm_doc begin select "
         "raise(abort, 'disk full'); end",
         "Exception occurred in: TfrmQuotation.btnCreateOrderClick"},
        {"header refused",
         "create trigger refuse before insert on zlm_doc when new.dimension_id=7 begin select "
         "raise(abort, 'disk full'); end",
         "Exception occurred in: TfrmQuotation.btnCreateOrderClick"},
    };
    const std::string rows = AllRows();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t shownBefore = prompter.Count();
        Edit(6, kQuotation, [&](DocumentDialog& d) {
            Exec(c.sabotage);
            d.btnCreateOrder->click();
            prompter.Push(ui::Button::Yes);
            d.btnCancel->click();
        });
        EXPECT_EQ(AllRows(), rows);
        const std::vector<ui::Message> shown = prompter.Messages();
        ASSERT_EQ(shown.size(), shownBefore + 3);  // error, failure, cancel question
        EXPECT_EQ(shown[shownBefore].text.substr(0, shown[shownBefore].text.find('\n')),
                  c.errorBox);
        EXPECT_EQ(shown[shownBefore + 1].text,
                  "The order could not be created. Nothing has been stored.");
        EXPECT_EQ(shown[shownBefore + 1].title, "Not created");
        if (std::string(c.name) == "no key") {
            Exec("create table id_control (next_id INTEGER)");
            Exec("insert into id_control values (30000)");
        } else {
            Exec("drop trigger refuse");
        }
    }
    EXPECT_FALSE(Shown(
        "Order created. You can view it by going to the Orders tab after closing this window."));
}

TEST_F(DocumentDialogTest, TheBillOfMaterialsIsPrintedOnlyWhenItWasRefilled) {
    UseFakeReportServer();
    Exec(
        "insert into billable (billable_id, dimension_id, billable_descr, billable_code, "
        "billable_units) values (9101, 10, \"Bolt\", \"B-1\", \"each\"), (9102, 11, \"Frame\", "
        "\"F-1\", \"\"), (9103, 11, \"Rack\", \"R-1\", \"\"), (9104, 14, \"Fitting\", \"S-1\", "
        "\"hour\")");
    // A rack holds 3 frames, a frame 4 bolts.
    Exec(
        "insert into bill_item (bill_item_id, billable_id, component_id, assembly_id, "
        "bill_item_qty) values (9111, 9103, 0, 9102, 3), (9112, 9102, 9101, 0, 4)");
    Exec("update doc_item set assembly_id=9103, doc_item_qty=2 where doc_item_id=8103");
    Exec(
        "insert into doc_item (doc_item_id, zlm_doc_id, dimension_id, service_id, doc_item_qty) "
        "values "
        "(8104, 8002, 24, 9104, 1.5)");
    const auto bom = [this] {
        return Stored(folder.MetaDb(),
                      "select group_concat(bom_descr || ':' || bom_code || ':' || bom_units || "
                      "':' || bom_qty, '|') from (select * from bom order by bom_id)");
    };
    Edit(7, kOrder, [](DocumentDialog& d) {
        d.btnBOM->click();
        d.btnOK->click();
    });
    EXPECT_EQ(bom(), "Bolt:B-1:each:24.0|Fitting:S-1:hour:1.5");
    ASSERT_EQ(fake->calls.size(), 1u);
    EXPECT_TRUE(std::regex_match(fake->calls[0],
                                 std::regex(R"(ShowReport\(4\|3\|2\|8002\|.*/quote\d+\.html\))")))
        << fake->calls[0];
    EXPECT_EQ(prompter.Count(), 0u);

    // A refill that fails prints nothing, not even the rows of the last one.
    ASSERT_TRUE(dm->actionQuery(dm->repConn,
                                "create trigger refuse before insert on bom begin select "
                                "raise(abort, 'disk full'); end",
                                "test"));
    Edit(7, kOrder, [](DocumentDialog& d) {
        d.btnBOM->click();
        d.btnOK->click();
    });
    EXPECT_EQ(fake->calls.size(), 1u);
    ASSERT_GE(prompter.Count(), 1u);
    EXPECT_EQ(prompter.Messages().back().text, "The bill of materials could not be prepared.");
    EXPECT_EQ(prompter.Messages().back().title, "Bill of materials");
}

TEST_F(DocumentDialogTest, ADocumentDeletedMeanwhileIsReportedAndNothingRuns) {
    UseFakeReportServer();
    const std::string rows = AllRows();
    Target(6, DimensionTable::EditRecord, 123456);
    TfrmQuotation d;
    d.show();  // finds nothing, says so and closes once the event loop runs
    ExpectMessages({{"There is no record to edit", "No record"}});
    EXPECT_FALSE(d.HasDocument());
    EXPECT_FALSE(d.qItem.Active());
    EXPECT_FALSE(d.itemFrame->isEnabled());
    // Whatever is clicked before the close lands reaches no row and no report.
    d.edDescr->setText("Overwritten");
    for (QPushButton* b : {d.btnPrint, d.btnBOM, d.btnCreateOrder, d.btnCreateInvoice, d.btnOK})
        b->click();
    QApplication::processEvents();
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(prompter.Count(), 1u);
    EXPECT_TRUE(fake->calls.empty());
    EXPECT_EQ(AllRows(), rows);
    EXPECT_FALSE(Dimensions->AnyInEdit());
}

TEST_F(DocumentDialogTest, TheKeyedCopyRaisesForAMissingRowAndStoresNothing) {
    RecordCopier copier;
    EXPECT_THROW(copier.CopyRecWithKey("doc_item", "zlm_doc_id", 123456, kOrder, 7001),
                 std::exception);
    copier.CopyRecWithKey("doc_item", "ZLM_DOC_ID", 8101, kOrder, 7002);
    EXPECT_EQ(Main("select group_concat(doc_item_id || ':' || zlm_doc_id || ':' || "
                   "doc_item_descr, '|') from doc_item where doc_item_id in (7001, 7002)"),
              "7002:8002:Spade");
    EXPECT_EQ(prompter.Count(), 0u);
}

}  // namespace
}  // namespace zl
