// The contact event dialog: the stored event, the contact person list, and its one document
// attached, made from a template, opened or handed to the mail program.
#include "screens/TfrmContact.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <regex>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/Globals.h"
#include "core/ReportServer.h"
#include "frames/TBrowseFrame.h"
#include "frames/TfrmLookup.h"
#include "platform/desktop/Desktop.h"
#include "screens/TfrmCustEdit.h"
#include "tests/support/FakeReportServer.h"
#include "tests/support/TestDialogs.h"

namespace zl {
namespace {

using test::WhenModal;

constexpr int kEvent = 8001;
constexpr const char* kNoFileText =
    "There is no contact event file yet, or the current document no longer exists. Please use "
    "a template or attach an existing file first.";

class ContactEventTest : public test::FrameFixture {
  protected:
    void SetUp() override {
        FrameFixture::SetUp();
        CurBusUnitId = 3;
        Exec(
            "insert into entity (entity_id, dimension_id, parent_id, entity_name, entity_first, "
            "entity_title, entity_fullname) values "
            "(9001, 1, 0, 'Smith', 'John', 'Mr', 'Smith John Mr'), "
            "(9002, 17, 9001, 'Zulu', 'Zoe', '', 'Zulu Zoe '), "
            "(9003, 17, 9001, 'Major', 'Mary', 'Ms', 'Major Mary Ms'), "
            "(9004, 17, 9005, 'Other', 'Olga', '', 'Other Olga '), "
            "(9005, 1, 0, 'Other Ltd', '', '', 'Other Ltd  '), "
            "(9006, 4, 9001, 'Clerk', '', '', 'Clerk  '), "
            "(9007, 17, 0, 'Orphan', '', '', 'Orphan  ')");
        Exec(
            "insert into zlm_doc (zlm_doc_id, dimension_id, customer_id, contact_person_id, "
            "contact_type_id, zlm_doc_descr, zlm_doc_file, zlm_doc_date, zlm_doc_time) values "
            "(8001, 9, 9001, 9003, 3, 'Visit 3', '[none]', '2024-03-05 00:00:00', '10:30'), "
            "(8002, 9, 0, 0, 3, 'No customer', '[none]', '2024-03-05 00:00:00', '10:30')");
        // The repository and the sample letter where the installer put them.
        UseDocRepository();
        Exec("update doc_template set doc_template_file='" + folder.DataFolder() +
             "doc/sampletemplate.rtf'");
        fake = test::FakeReportServer::Create();
        ReportServer = fake->NewClient();
    }

    DimensionTable& Events() { return *Dimensions->Find(9); }
    // Opens the event as the customers window's list does, with `step` acting while it shows.
    void Run(int mode, int record, std::function<void(TfrmContact&)> step, int parent = 9001) {
        Events().SetParentId(parent);
        RunDialog<TfrmContact>(9, mode, record, std::move(step));
    }
    std::string StoredFile(int event = kEvent) {
        return Main("select zlm_doc_file from zlm_doc where zlm_doc_id=" + std::to_string(event));
    }
    void SetStoredFile(const std::string& path) {
        Exec("update zlm_doc set zlm_doc_file='" + path + "' where zlm_doc_id=8001");
    }

    com::ComPtr<test::FakeReportServer> fake;
};

TEST_F(ContactEventTest, ANewEventFromTheListIsStoredUnderTheCurrentCustomer) {
    TBrowseFrame list;
    TfrmContact dialog;
    list.bindDimension(&Events(), &dialog);
    list.setParentID(9001);
    list.FinishFill();
    WhenModal<TfrmContact>([](TfrmContact& d) {
        EXPECT_EQ(d.windowTitle(), "Add new contact event");
        EXPECT_EQ(d.txtFile->text(), "[none]");
        d.edDescr->selectAll();
        QTest::keyClicks(d.edDescr, "Phoned about the offer");
        const int meeting = d.cbType->findText("Meeting");
        ASSERT_GE(meeting, 0);
        d.cbType->setCurrentIndex(meeting);
        emit d.cbType->activated(meeting);
        d.btnOK->click();
    });
    list.AddExecute();
    list.FinishFill();
    const int id = Events().GetRecordId();
    ASSERT_GT(id, 1000);
    const std::string where = " from zlm_doc where zlm_doc_id=" + std::to_string(id);
    EXPECT_EQ(Main("select customer_id" + where), "9001");
    EXPECT_EQ(Main("select dimension_id" + where), "9");
    EXPECT_EQ(Main("select contact_type_id" + where), "3");
    EXPECT_EQ(Main("select zlm_doc_descr" + where), "Phoned about the offer");
    EXPECT_EQ(Main("select zlm_doc_file" + where), "[none]");
    EXPECT_EQ(list.qBrowse.RecordCount(), 2);  // the list shows it beside the older one
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(ContactEventTest, TheContactListHoldsOnlyThisCustomersContactPersons) {
    const auto listed = [](TfrmContact& d) {
        std::vector<std::pair<std::string, std::string>> items;
        for (int i = 0; i < d.cbPerson->count(); ++i)
            items.emplace_back(d.cbPerson->itemText(i).toStdString(),
                               d.cbPerson->itemData(i).toString().toStdString());
        return items;
    };
    Run(DimensionTable::EditRecord, kEvent, [&](TfrmContact& d) {
        EXPECT_EQ(listed(d), (std::vector<std::pair<std::string, std::string>>{
                                 {"Major Mary Ms", "9003"}, {"Zulu Zoe ", "9002"}}));
        EXPECT_EQ(d.cbPerson->currentText(), "Major Mary Ms");
        d.close();
    });
    // An event without a customer lists nobody, not the persons that have no customer.
    Run(DimensionTable::EditRecord, 8002, [&](TfrmContact& d) {
        EXPECT_TRUE(listed(d).empty());
        d.close();
    });
}

TEST_F(ContactEventTest, TheMailRequestEncodesEveryValueInItsPlace) {
    ASSERT_TRUE(std::regex_match(folder.Home(), std::regex("[A-Za-z0-9/_.-]+")));
    const std::string file = MakeFile("my docs/visit notes 1.rtf");
    SetStoredFile(file);
    Exec("update zlm_doc set zlm_doc_descr='Visit 3 & more? yes' where zlm_doc_id=8001");
    fake->contactEMail = "mary@example.com";
    Run(DimensionTable::EditRecord, kEvent, [](TfrmContact& d) {
        d.btnEmail->click();
        d.close();
    });
    const std::string home = std::regex_replace(folder.Home(), std::regex("/"), "%2F");
    EXPECT_EQ(opener.Targets(),
              std::vector<std::string>{
                  "mailto:mary@example.com?subject=Visit%203%20%26%20more%3F%20yes"
                  "&body=Please%20refer%20to%20the%20attached%20document&attachments=" +
                  home + "%2Fmy%20docs%2Fvisit%20notes%201.rtf"});
    EXPECT_EQ(fake->calls, std::vector<std::string>{"GetContactEMail(9001|9003)"});
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST(ContactMailRequest, KeepsOnlyUnreservedCharactersAndTheAddressSign) {
    const struct {
        std::string address, subject, file, request;
    } cases[] = {
        {"", "Visit 3", "/x/doc1.rtf",
         "mailto:?subject=Visit%203&body=Please%20refer%20to%20the%20attached%20document"
         "&attachments=%2Fx%2Fdoc1.rtf"},
        {"a+b@x.org", "50% off #1 = a+b/c", "/t/Caf\xC3\xA9 \"q\".rtf",
         "mailto:a%2Bb@x.org?subject=50%25%20off%20%231%20%3D%20a%2Bb%2Fc"
         "&body=Please%20refer%20to%20the%20attached%20document"
         "&attachments=%2Ft%2FCaf%C3%A9%20%22q%22.rtf"},
        {"x@y.z?cc=evil@z.z", "", "f",
         "mailto:x@y.z%3Fcc%3Devil@z.z?subject="
         "&body=Please%20refer%20to%20the%20attached%20document"
         "&attachments=f"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ContactMailRequest(c.address, c.subject, c.file), c.request) << c.subject;
}

TEST_F(ContactEventTest, MailWithoutAFileOrWithAFailingServerRequestsNothing) {
    SetStoredFile(folder.Home() + "/deleted.rtf");
    Run(DimensionTable::EditRecord, kEvent, [](TfrmContact& d) {
        d.btnEmail->click();
        EXPECT_EQ(d.txtFile->text(), "[none]");
        d.close();
    });
    EXPECT_EQ(Texts(), std::vector<std::string>{kNoFileText});
    EXPECT_EQ(prompter.Messages()[0].title, "No file");
    EXPECT_EQ(StoredFile(), "[none]");
    EXPECT_TRUE(fake->calls.empty());

    SetStoredFile(MakeFile("doc2.rtf"));
    fake->result = com::E_FAIL;
    fake->failureText = "Mail lookup failed";
    Run(DimensionTable::EditRecord, kEvent, [](TfrmContact& d) {
        d.btnEmail->click();
        d.close();
    });
    EXPECT_TRUE(opener.Targets().empty());
    EXPECT_NE(ErrorLog().find("TfrmContact.btnEmailClick;Mail lookup failed"), std::string::npos)
        << ErrorLog();
}

TEST_F(ContactEventTest, ViewOpensADocumentButNeverRunsAProgram) {
    const std::string letter = MakeFile("letter.rtf");
    SetStoredFile(letter);
    Run(DimensionTable::EditRecord, kEvent, [](TfrmContact& d) {
        d.btnView->click();
        d.close();
    });
    EXPECT_EQ(opener.Targets(), std::vector<std::string>{letter});
    EXPECT_EQ(prompter.Count(), 0u);

    const std::string program = MakeFile("report.rtf", "#!/bin/sh\nrm -rf ~\n");
    std::filesystem::permissions(program, std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add);
    SetStoredFile(program);
    Run(DimensionTable::EditRecord, kEvent, [](TfrmContact& d) {
        d.btnView->click();
        d.close();
    });
    EXPECT_EQ(opener.Targets().size(), 1u);
    EXPECT_EQ(Texts(), std::vector<std::string>{test::kRefusedScript});
    EXPECT_EQ(StoredFile(), program);
}

TEST_F(ContactEventTest, ViewOnNoneOrAMissingFileSaysSoAndStoresNone) {
    for (const std::string& stored : {std::string("[none]"), folder.Home() + "/gone.rtf"}) {
        SetStoredFile(stored);
        Run(DimensionTable::EditRecord, kEvent, [](TfrmContact& d) {
            d.btnView->click();
            d.btnOK->click();
        });
        EXPECT_EQ(StoredFile(), "[none]") << stored;
    }
    EXPECT_EQ(Texts(), (std::vector<std::string>{kNoFileText, kNoFileText}));
    EXPECT_EQ(prompter.Messages()[0].icon, ui::Icon::Information);
    EXPECT_TRUE(opener.Targets().empty());
}

TEST_F(ContactEventTest, AttachStoresTheChosenFileAndACancelledChoiceStoresNone) {
    const std::string chosen = MakeFile("scans/offer.pdf");
    Run(DimensionTable::EditRecord, kEvent, [chosen](TfrmContact& d) {
        test::WhenChoosingFile(chosen);
        d.btnAttach->click();
        EXPECT_EQ(d.txtFile->text().toStdString(), chosen);
        d.btnOK->click();
    });
    EXPECT_EQ(StoredFile(), chosen);
    Run(DimensionTable::EditRecord, kEvent, [](TfrmContact& d) {
        test::WhenChoosingFile("");
        d.btnAttach->click();
        d.btnOK->click();
    });
    EXPECT_EQ(StoredFile(), "[none]");
}

TEST_F(ContactEventTest, CreateFromTemplateStoresAndOpensTheMergedLetter) {
    Run(DimensionTable::EditRecord, kEvent, [](TfrmContact& d) {
        WhenModal<TfrmLookup>([](TfrmLookup& pick) { pick.btnOK->click(); });
        d.btnTemplate->click();
        d.btnOK->click();
    });
    const std::string path = StoredFile();
    EXPECT_TRUE(std::regex_match(
        path, std::regex(folder.DataFolder() + "doc/reports/0000000000/doc[0-9]+\\.rtf")))
        << path;
    const std::string letter = test::ReadFile(path);
    EXPECT_NE(letter.find("Smith John Mr\\par"), std::string::npos);
    EXPECT_NE(letter.find("My business"), std::string::npos);
    EXPECT_EQ(letter.find("<_"), std::string::npos);
    EXPECT_EQ(opener.Targets(), std::vector<std::string>{path});
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(ContactEventTest, AMissingTemplateOrACancelledPickChangesNothing) {
    const std::string earlier = MakeFile("earlier.rtf");
    SetStoredFile(earlier);
    Exec("update doc_template set doc_template_file='" + folder.Home() + "/gone.rtf'");
    Run(DimensionTable::EditRecord, kEvent, [](TfrmContact& d) {
        WhenModal<TfrmLookup>([](TfrmLookup& pick) { pick.btnOK->click(); });
        d.btnTemplate->click();
        WhenModal<TfrmLookup>([](TfrmLookup& pick) { pick.btnCancel->click(); });
        d.btnTemplate->click();
        d.btnOK->click();
    });
    EXPECT_EQ(Texts(), std::vector<std::string>{"Template file not found"});
    EXPECT_EQ(StoredFile(), earlier);
    EXPECT_TRUE(opener.Targets().empty());
    EXPECT_TRUE(std::filesystem::is_empty(folder.DataFolder() + "doc/reports/0000000000"));
}

TEST_F(ContactEventTest, ViewCustomerShowsTheCustomerAndGivesBackTheKindsItBorrowed) {
    DimensionTable& customers = *Dimensions->Find(1);
    DimensionTable& persons = *Dimensions->Find(17);
    customers.SetRecordId(9005);
    persons.SetParentId(9005);
    persons.SetRecordId(9004);
    std::string shownName;
    Run(DimensionTable::EditRecord, kEvent, [&](TfrmContact& d) {
        WhenModal<TfrmCustEdit>([&](TfrmCustEdit& customer) {
            shownName = customer.edName->text().toStdString();
            customer.close();
        });
        d.btnCustomer->click();
        d.close();
    });
    EXPECT_EQ(shownName, "Smith");
    EXPECT_EQ(customers.GetRecordId(), 9005);
    EXPECT_EQ(customers.GetEditMode(), DimensionTable::None);
    EXPECT_EQ(persons.GetParentId(), 9005);
    EXPECT_EQ(persons.GetRecordId(), 9004);

    // Without a customer nothing opens (a customer dialog would hold the test until the watchdog).
    Run(DimensionTable::EditRecord, 8002, [](TfrmContact& d) {
        d.btnCustomer->click();
        d.close();
    });
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(ContactEventTest, AnEventDeletedMeanwhileIsReportedAndNothingIsStored) {
    const std::string before =
        Main("select group_concat(zlm_doc_id || zlm_doc_file, '|') from zlm_doc");
    Target(9, DimensionTable::EditRecord, 123456);
    TfrmContact d;
    d.show();
    ASSERT_EQ(prompter.Count(), 1u);
    EXPECT_EQ(prompter.Messages()[0].text, "There is no record to edit");
    d.btnView->click();
    d.btnAttach->click();
    d.btnOK->click();
    QApplication::processEvents();
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(prompter.Count(), 1u);
    EXPECT_EQ(Main("select group_concat(zlm_doc_id || zlm_doc_file, '|') from zlm_doc"), before);
}

}  // namespace
}  // namespace zl
