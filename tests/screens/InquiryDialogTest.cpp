// The inquiry and inquiry-step dialogs: a new inquiry filed under its customer, its steps, the
// linked documents opened in turn, the kinds borrowed and given back, and the step's file.
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/Globals.h"
#include "frames/TfrmLookup.h"
#include "screens/TfrmCustEdit.h"
#include "screens/TfrmEditInquiry.h"
#include "screens/TfrmInqItem.h"
#include "screens/TfrmOrder.h"
#include "screens/TfrmQuotation.h"
#include "tests/support/TestDialogs.h"

namespace zl {
namespace {

using test::WhenModal;

constexpr int kInquiry = 8001;
constexpr int kStep = 8101;

void TypeInto(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

void Choose(QComboBox* combo, const QString& text) {
    const int index = combo->findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

class InquiryDialogTest : public test::FrameFixture {
  protected:
    void SetUp() override {
        FrameFixture::SetUp();
        // New keys lie above every row made here.
        Exec("update id_control set next_id=20000");
        Exec(
            "insert into entity (entity_id, dimension_id, parent_id, entity_name, entity_first, "
            "entity_title, entity_fullname) values "
            "(9001, 1, 0, 'Smith', 'John', 'Mr', 'Smith John Mr'), "
            "(9005, 1, 0, 'Other Ltd', '', '', 'Other Ltd  ')");
        Exec(
            "insert into zlm_doc (zlm_doc_id, dimension_id, customer_id, inq_status_id, "
            "inquiry_type_id, quotation_id, order_id, invoice_id, zlm_doc_descr, zlm_doc_ref) "
            "values (8001, 18, 9001, 2, 3, 0, 0, 0, 'Wants a quote', '8001'), "
            "(8002, 18, 0, 1, 1, 0, 0, 0, 'Nobody', '8002'), "
            "(8003, 6, 9001, 0, 0, 0, 0, 0, 'Garden tools', 'Q-1'), "
            "(8004, 7, 9001, 0, 0, 0, 0, 0, 'Garden order', 'O-1')");
        Exec(
            "insert into doc_item (doc_item_id, zlm_doc_id, dimension_id, sys_user_id, "
            "inq_status_id, doc_item_descr, doc_item_file) values "
            "(8101, 8001, 22, 2, 1, 'Call back', '')");
    }
    DimensionTable& Dim(int id) { return *Dimensions->Find(id); }
    // Opens the inquiry as the inquiry list does, with `step` acting while it shows.
    void Run(int mode, int record, std::function<void(TfrmEditInquiry&)> step) {
        RunDialog<TfrmEditInquiry>(18, mode, record, std::move(step));
    }
    // Opens the step as the steps list does.
    void RunStep(int record, std::function<void(TfrmInqItem&)> step) {
        RunDialog<TfrmInqItem>(22, DimensionTable::EditRecord, record, std::move(step));
    }
};

TEST_F(InquiryDialogTest, ANewInquiryIsStoredUnderThePickedOrThePlaceholderCustomer) {
    TfrmCustEdit::InstallAsNewCustomerDialog();
    // What the customers window had in hand while the pick borrowed the customer kind.
    Dim(1).SetRecordId(9005);
    const struct {
        const char* how;
        std::function<void(TfrmLookup&)> pick;
        std::string customerName;  // "" for a customer made in the pick
    } cases[] = {
        {"cancelled", [](TfrmLookup& d) { d.btnCancel->click(); }, "[no customer]  "},
        {"created",
         [](TfrmLookup& d) {
             WhenModal<TfrmCustEdit>([](TfrmCustEdit& customer) {
                 TypeInto(customer.edName, "Brand New");
                 customer.btnOK->click();
             });
             d.btnNewCust->click();
         },
         ""},
    };
    for (const auto& c : cases) {
        WhenModal<TfrmLookup>(c.pick);
        int id = 0;
        std::string shownName, shownRef;
        Run(DimensionTable::Add, 0, [&](TfrmEditInquiry& d) {
            id = d.qEdit.FieldByName("zlm_doc_id").AsInteger();
            shownName = d.txtCustomer->text().toStdString();
            shownRef = d.edRef->text().toStdString();
            EXPECT_FALSE(d.btnGoTo->isEnabled());
            EXPECT_EQ(d.btnGoTo->text(), "&Order");
            d.btnOK->click();
        });
        ASSERT_GT(id, 20000) << c.how;
        const std::string where = " from zlm_doc where zlm_doc_id=" + std::to_string(id);
        const std::string customer = Main("select customer_id" + where);
        if (c.customerName.empty()) {
            EXPECT_GT(std::stoi(customer), 20000);
            EXPECT_EQ(Main("select entity_name from entity where entity_id=" + customer),
                      "Brand New");
            EXPECT_EQ(shownName, Main("select entity_name || ' ' || entity_first || ' ' || "
                                      "entity_title from entity where entity_id=" +
                                      customer));
            EXPECT_EQ(shownName.rfind("Brand New ", 0), 0u) << shownName;
        } else {
            EXPECT_EQ(customer, "5");
            EXPECT_EQ(shownName, c.customerName);
        }
        EXPECT_EQ(shownRef, std::to_string(id)) << c.how;
        EXPECT_EQ(Main("select zlm_doc_ref || '|' || dimension_id || '|' || inq_status_id" + where),
                  std::to_string(id) + "|18|1");
        EXPECT_EQ(Dim(1).GetRecordId(), 9005) << c.how;
        EXPECT_EQ(Dim(1).GetEditMode(), DimensionTable::None) << c.how;
    }
    EXPECT_EQ(prompter.Count(), 0u);
    EXPECT_FALSE(Dimensions->AnyInEdit());
}

TEST_F(InquiryDialogTest, TheStepListAddsAStepUnderThisInquiry) {
    int listed = 0;
    Run(DimensionTable::EditRecord, kInquiry, [&](TfrmEditInquiry& d) {
        EXPECT_EQ(d.txtCustomer->text(), "Smith John Mr");
        EXPECT_EQ(d.cbStatus->currentText(), "In progress");
        EXPECT_EQ(d.cbType->currentText(), "E-mail inquiry");
        EXPECT_EQ(d.itemFrame->recordCount(), 1);
        WhenModal<TfrmInqItem>([](TfrmInqItem& step) {
            EXPECT_EQ(step.windowTitle(), "Add new inquiry step");
            EXPECT_EQ(step.cbStatus->currentText(), "New follow-up");
            EXPECT_FALSE(step.txtTime->text().isEmpty());
            TypeInto(step.edDescr, "Send brochure");
            TypeInto(step.edDueTime, "14:00");
            Choose(step.cbStatus, "Waiting for customer");
            Choose(step.cbUser, "System  ");
            step.btnOK->click();
        });
        d.itemFrame->btnAdd->trigger();
        listed = d.itemFrame->recordCount();
        d.btnOK->click();
    });
    EXPECT_EQ(listed, 2);
    EXPECT_EQ(Main("select zlm_doc_id || '|' || dimension_id || '|' || sys_user_id || '|' || "
                   "inq_status_id || '|' || doc_item_duetime from doc_item where "
                   "doc_item_descr='Send brochure'"),
              "8001|22|2|3|14:00");
    EXPECT_EQ(Dim(22).GetEditMode(), DimensionTable::None);
}

TEST(LinkedDocumentCaption, QuotationThenInvoiceThenOrderTheLaterWins) {
    const struct {
        int quotation, invoice, order;
        std::string caption;
    } cases[] = {
        {0, 0, 0, ""},
        {-1, 0, 0, ""},
        {7, 0, 0, "View quotation"},
        {0, 7, 0, "View invoice"},
        {0, 0, 7, "View order"},
        {7, 8, 0, "View invoice"},
        {7, 0, 8, "View order"},
        {0, 7, 8, "View order"},
        {7, 8, 9, "View order"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LinkedDocumentCaption(c.quotation, c.invoice, c.order), c.caption)
            << c.quotation << " " << c.invoice << " " << c.order;
}

TEST_F(InquiryDialogTest, LinkedDocumentsOpenInTurnAndTheirKindsAreGivenBack) {
    Exec("update zlm_doc set quotation_id=8003, order_id=8004 where zlm_doc_id=8001");
    Dim(6).SetRecordId(777);
    Dim(7).SetRecordId(778);
    Dim(24).SetParentId(779);
    std::vector<std::pair<std::string, int>> opened;
    QString caption;
    Run(DimensionTable::EditRecord, kInquiry, [&](TfrmEditInquiry& d) {
        caption = d.btnGoTo->text();
        EXPECT_TRUE(d.btnGoTo->isEnabled());
        WhenModal<TfrmQuotation>([&](TfrmQuotation& q) {
            opened.emplace_back("quotation", q.DocumentId());
            WhenModal<TfrmOrder>([&](TfrmOrder& o) {
                opened.emplace_back("order", o.DocumentId());
                o.close();
            });
            q.close();
        });
        d.btnGoTo->click();
        d.btnOK->click();
    });
    EXPECT_EQ(caption, "View order");
    EXPECT_EQ(opened,
              (std::vector<std::pair<std::string, int>>{{"quotation", 8003}, {"order", 8004}}));
    EXPECT_EQ(Dim(6).GetRecordId(), 777);
    EXPECT_EQ(Dim(7).GetRecordId(), 778);
    EXPECT_EQ(Dim(24).GetParentId(), 779);
    EXPECT_FALSE(Dimensions->AnyInEdit());
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(InquiryDialogTest, ALinkedDocumentThatIsGoneIsReportedAndNotOpened) {
    // The quotation was deleted; the order link still leads somewhere.
    Exec("update zlm_doc set quotation_id=99999, order_id=8004 where zlm_doc_id=8001");
    std::vector<int> opened;
    Run(DimensionTable::EditRecord, kInquiry, [&](TfrmEditInquiry& d) {
        WhenModal<TfrmOrder>([&](TfrmOrder& o) {
            opened.push_back(o.DocumentId());
            o.close();
        });
        d.btnGoTo->click();
        d.btnOK->click();
    });
    EXPECT_EQ(opened, std::vector<int>{8004});
    EXPECT_EQ(Texts(), std::vector<std::string>{"There is no record to edit"});
    EXPECT_EQ(prompter.Messages()[0].title, "No record");
}

TEST_F(InquiryDialogTest, ShowCustomerOpensTheCustomerAndGivesBackTheKindsItBorrowed) {
    Dim(1).SetRecordId(9005);
    Dim(1).SetEditMode(DimensionTable::None);
    Dim(17).SetParentId(9005);
    Dim(17).SetRecordId(4321);
    std::string shownName;
    QString afterwards;
    Run(DimensionTable::EditRecord, kInquiry, [&](TfrmEditInquiry& d) {
        WhenModal<TfrmCustEdit>([&](TfrmCustEdit& customer) {
            shownName = customer.edName->text().toStdString();
            TypeInto(customer.edName, "Smythe");
            customer.btnOK->click();
        });
        d.btnCustomer->click();
        afterwards = d.txtCustomer->text();
        d.btnOK->click();
    });
    EXPECT_EQ(shownName, "Smith");
    EXPECT_EQ(afterwards, "Smythe John Mr");
    EXPECT_EQ(Dim(1).GetRecordId(), 9005);
    EXPECT_EQ(Dim(1).GetEditMode(), DimensionTable::None);
    EXPECT_EQ(Dim(17).GetParentId(), 9005);
    EXPECT_EQ(Dim(17).GetRecordId(), 4321);

    // An inquiry without a customer opens nothing (a customer dialog would wait for the
    // watchdog).
    Run(DimensionTable::EditRecord, 8002, [](TfrmEditInquiry& d) {
        d.btnCustomer->click();
        d.btnOK->click();
    });
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(InquiryDialogTest, AStepDeletedMeanwhileIsReportedAndNothingIsStored) {
    const std::string before = Main("select group_concat(doc_item_id, '|') from doc_item");
    Dim(22).SetEditMode(DimensionTable::EditRecord);
    Dim(22).SetRecordId(123456);
    TfrmInqItem d;
    d.show();
    ExpectMessages({{"There is no record to edit", "No record"}});
    d.btnViewDoc->click();
    d.btnDoc->click();  // no file dialog: a dialog here would hold the test until the watchdog
    d.btnOK->click();
    QApplication::processEvents();
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(prompter.Count(), 1u);
    EXPECT_TRUE(opener.Targets().empty());
    EXPECT_EQ(Main("select group_concat(doc_item_id, '|') from doc_item"), before);
}

TEST_F(InquiryDialogTest, AFailedStepSaveAsksAndKeepsOrDropsTheChanges) {
    // Stands in for a full disk: every write of a step fails.
    Exec(
        "create trigger refuse_step before update on doc_item begin select raise(abort, "
        "'database or disk is full'); end");
    bool stayedOpen = false;
    RunStep(kStep, [&](TfrmInqItem& d) {
        TypeInto(d.edDescr, "Call back twice");
        prompter.Push(ui::Button::Ok);  // the log's warning
        prompter.Push(ui::Button::No);
        d.btnOK->click();
        stayedOpen = d.isVisible();
        prompter.Push(ui::Button::Ok);
        prompter.Push(ui::Button::Yes);
        d.btnOK->click();
    });
    EXPECT_TRUE(stayedOpen);
    const auto texts = Texts();
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[1], "The record could not be saved. Discard your changes and close?");
    EXPECT_EQ(texts[3], "The record could not be saved. Discard your changes and close?");
    EXPECT_NE(ErrorLog().find("TfrmInqItem.FormClose;"), std::string::npos) << ErrorLog();
    EXPECT_EQ(Main("select doc_item_descr from doc_item where doc_item_id=8101"), "Call back");

    Exec("drop trigger refuse_step");
    RunStep(kStep, [](TfrmInqItem& d) {
        EXPECT_EQ(d.edDescr->text(), "Call back");
        TypeInto(d.edDescr, "Call back twice");
        d.close();  // the title bar's close saves too
    });
    EXPECT_EQ(Main("select doc_item_descr from doc_item where doc_item_id=8101"),
              "Call back twice");
}

TEST_F(InquiryDialogTest, ViewOpensTheStepsDocumentButNeverRunsAProgram) {
    const std::string letter = MakeFile("offer.pdf", "%PDF-1.4");
    const std::string program = MakeFile("offer.txt", "#!/bin/sh\nrm -rf ~\n");
    std::filesystem::permissions(program, std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add);
    const struct {
        std::string stored;
        std::vector<std::string> opened;
        std::string message, title;
    } cases[] = {
        {letter, {letter}, "", ""},
        {program, {}, test::kRefusedScript, "Not opened"},
        {"", {}, "File does not exist", "Not found"},
        {folder.Home() + "/gone.pdf", {}, "File does not exist", "Not found"},
        {folder.Home(), {}, "File does not exist", "Not found"},
    };
    for (const auto& c : cases) {
        const std::size_t told = prompter.Count();
        Exec("update doc_item set doc_item_file='" + c.stored + "' where doc_item_id=8101");
        const auto before = opener.Targets().size();
        RunStep(kStep, [](TfrmInqItem& d) {
            d.btnViewDoc->click();
            d.btnOK->click();
        });
        const auto targets = opener.Targets();
        EXPECT_EQ(std::vector<std::string>(targets.begin() + before, targets.end()), c.opened)
            << c.stored;
        if (c.message.empty()) {
            EXPECT_EQ(prompter.Count(), told) << c.stored;
        } else {
            ASSERT_EQ(prompter.Count(), told + 1) << c.stored;
            EXPECT_EQ(prompter.Messages()[told].text, c.message);
            EXPECT_EQ(prompter.Messages()[told].title, c.title);
            EXPECT_EQ(prompter.Messages()[told].icon, ui::Icon::Warning);
        }
        EXPECT_EQ(Main("select doc_item_file from doc_item where doc_item_id=8101"), c.stored);
    }
}

TEST_F(InquiryDialogTest, ChooseDocumentFileStoresTheChosenFile) {
    const std::string chosen = MakeFile("minutes.rtf", "{\\rtf1}");
    RunStep(kStep, [chosen](TfrmInqItem& d) {
        test::WhenChoosingFile(chosen);
        d.btnDoc->click();
        EXPECT_EQ(d.txtFile->text().toStdString(), chosen);
        test::WhenChoosingFile("");
        d.btnDoc->click();  // a cancelled choice keeps the file
        d.btnOK->click();
    });
    EXPECT_EQ(Main("select doc_item_file from doc_item where doc_item_id=8101"), chosen);
}

}  // namespace
}  // namespace zl
