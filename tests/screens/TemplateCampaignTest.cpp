#include <QFileDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/Globals.h"
#include "frames/TBrowseFrame.h"
#include "screens/TfrmCampaign.h"
#include "screens/TfrmDocTemplate.h"
#include "screens/TfrmInquiry.h"
#include "tests/support/TestDialogs.h"

namespace zl {
namespace {

using test::WhenModal;

// Chooses `path` in the next file dialog, then runs `then` on the template dialog.
void ChooseFile(const std::string& path, std::function<void(TfrmDocTemplate&)> then) {
    WhenModal<QFileDialog>([path, then](QFileDialog& files) {
        auto* name = files.findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->setText(QString::fromStdString(path));
        if (then)
            WhenModal<TfrmDocTemplate>(then);
        QMetaObject::invokeMethod(&files, "accept");
    });
}

class TemplateCampaignTest : public test::FrameFixture {
  protected:
    std::string NewFile(const std::string& name) {
        const std::string path = folder.DataFolder() + name;
        std::ofstream(path) << "{\\rtf1 letter}";
        return path;
    }
    void RunTemplate(int mode, int record) {
        RunDialog<TfrmDocTemplate>(26, mode, record, nullptr);
    }
    std::string Template(int id, const char* column) {
        return Main(std::string("select ") + column +
                    " from doc_template where doc_template_id=" + std::to_string(id));
    }
};

TEST_F(TemplateCampaignTest, ANewTemplateTakesTheChosenFileAndItsFileCanBeReplaced) {
    const std::string first = NewFile("welcome.rtf");
    const std::string second = NewFile("reminder.rtf");
    ChooseFile(first, [](TfrmDocTemplate& d) {
        EXPECT_EQ(d.windowTitle(), "Document template");
        EXPECT_EQ(d.DBEdit1->text(), "welcome.rtf");
        d.DBMemo1->setPlainText("Sent to new customers");
        d.btnOk->click();
    });
    RunTemplate(DimensionTable::Add, 0);
    const int id = Dimensions->Find(26)->GetRecordId();
    EXPECT_EQ(
        Template(id,
                 "doc_template_name || '|' || doc_template_file || '|' || "
                 "doc_template_descr"),
        "welcome.rtf|" + std::filesystem::absolute(first).string() + "|Sent to new customers");

    WhenModal<TfrmDocTemplate>([&](TfrmDocTemplate& d) {
        ASSERT_TRUE(QTest::qWaitFor([&d] { return d.qEdit.Active(); }));  // the set-up has run
        EXPECT_EQ(d.DBText1->text().toStdString(), first);
        d.btnEdit->click();  // opened by the desktop, never run
        ChooseFile(second, [](TfrmDocTemplate& d2) { d2.btnOk->click(); });
        d.btnRTF->click();
    });
    RunTemplate(DimensionTable::EditRecord, id);
    EXPECT_EQ(Template(id, "doc_template_name || '|' || doc_template_file"),
              "reminder.rtf|" + second);
    ASSERT_EQ(opener.Targets().size(), 1u);
    EXPECT_EQ(opener.Targets()[0], first);
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(TemplateCampaignTest, DismissingTheFirstPickStoresNothingAndAMissingFileIsNotOpened) {
    const std::string count = Main("select count(*) from doc_template");
    UseDocRepository();
    QString opened;
    WhenModal<QFileDialog>([&opened](QFileDialog& files) {
        opened = files.directory().absolutePath();
        files.reject();
    });
    RunTemplate(DimensionTable::Add, 0);
    EXPECT_EQ(Main("select count(*) from doc_template"), count);
    // Templates are looked for in the document repository, not the program's working folder.
    EXPECT_EQ(opened.toStdString() + "/", folder.DataFolder() + "doc/");

    Exec(
        "insert into doc_template (doc_template_id, doc_template_name, doc_template_file) values "
        "(9100, \"Gone\", \"/nowhere/gone.rtf\")");
    WhenModal<TfrmDocTemplate>([](TfrmDocTemplate& d) {
        ASSERT_TRUE(QTest::qWaitFor([&d] { return d.qEdit.Active(); }));
        d.btnEdit->click();
        d.btnOk->click();
    });
    RunTemplate(DimensionTable::EditRecord, 9100);
    EXPECT_TRUE(opener.Targets().empty());
    ExpectMessages({{"Please select an existing document first.", "Document not found"}});
}

TEST_F(TemplateCampaignTest, ANewCampaignStartsWithItsDefaultsAndAsksBeforeASecondGeneration) {
    Exec(
        "insert into doc_template (doc_template_id, doc_template_name, doc_template_descr) values "
        "(9201, \"Later\", \"zz\"), (9202, \"First\", \"\")");
    RunDialog<TfrmCampaign>(28, DimensionTable::Add, 0, [this](TfrmCampaign& d) {
        EXPECT_EQ(d.windowTitle(), "Campaign");
        EXPECT_EQ(d.DBComboBox1->currentText(), "Generate and send emails");
        EXPECT_EQ(d.DBEdit1->text(), "Unnamed campaign");
        EXPECT_EQ(d.DBEdit2->text(), "A");
        EXPECT_EQ(d.DBEdit3->text(), "ZZZ");
        EXPECT_EQ(d.DBLookupComboBox1->currentText(), "First");
        EXPECT_FALSE(d.DBCheckBox1->isEnabled());
        EXPECT_FALSE(d.DBCheckBox1->isChecked());

        d.btnGenerate->click();
        EXPECT_TRUE(d.DBCheckBox1->isChecked());
        ExpectMessages({{"Campaign created", "Campaign"}});

        prompter.Push(ui::Button::No);
        d.btnGenerate->click();  // asked, and answered No: nothing more
        ASSERT_EQ(prompter.Count(), 2u);
        EXPECT_EQ(prompter.Messages()[1].text,
                  "This campaign has been generated already. Are you sure you want to do so "
                  "again?");
        EXPECT_EQ(prompter.Messages()[1].title, "Already generated");

        prompter.Push(ui::Button::Yes);
        d.btnGenerate->click();
        ASSERT_EQ(prompter.Count(), 4u);
        EXPECT_EQ(prompter.Messages()[3].text, "Campaign created");
        d.btnOK->click();
    });
    EXPECT_EQ(Main("select group_concat(zlm_doc_id || '/' || zlm_doc_campaigngenerated || '/' || "
                   "doc_template_id || '/' || zlm_doc_campaignfrom || '-' || "
                   "zlm_doc_campaignto) from zlm_doc where dimension_id=28"),
              std::to_string(Dimensions->Find(28)->GetRecordId()) + "/1/9202/A-ZZZ");
}

TEST_F(TemplateCampaignTest, GeneratingRefreshesTheInquiryListInsideTheMainWindow) {
    QMainWindow main;
    auto* area = new QMdiArea(&main);
    main.setCentralWidget(area);
    auto* inquiries = new TfrmInquiry;
    area->addSubWindow(inquiries);
    inquiries->setCollection(Dimensions);
    ASSERT_TRUE(InquiryOpen);
    inquiries->inquiryFrame->FinishFill();
    const int listed = inquiries->inquiryFrame->qBrowse.RecordCount();
    // An inquiry stored meanwhile, as the campaign run stores them.
    Exec(
        "insert into zlm_doc (zlm_doc_id, dimension_id, customer_id, bus_unit_id, zlm_doc_ref, "
        "allow_delete) values (9301, 18, 0, " +
        std::to_string(CurBusUnitId) + ", \"Campaign inquiry\", 0)");
    RunDialog<TfrmCampaign>(28, DimensionTable::Add, 0, [](TfrmCampaign& d) {
        d.btnGenerate->click();
        d.btnOK->click();
    });
    inquiries->inquiryFrame->FinishFill();  // the refresh reads on a worker
    EXPECT_EQ(inquiries->inquiryFrame->qBrowse.RecordCount(), listed + 1);
}

}  // namespace
}  // namespace zl
