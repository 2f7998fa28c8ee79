// The report window: its tool bar, the page it shows, printing, the CSV export and filing the
// report as a contact event of its customer.
#include "reportserver/TfrmReportView.h"

#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrinter>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "core/DataMod.h"
#include "platform/format/Format.h"
#include "reportserver/ZLMReport.h"
#include "tests/reportview/PageText.h"
#include "tests/reportview/EngineFixture.h"
#include "widgets/QtPlatform.h"

namespace zl::reportserver {
namespace {

using test::WhenModal;

// A page as the HTML writer writes it: UTF-8, CR LF, no closing head tag.
constexpr const char* kPage =
    "<html>\r\n<head>\r\n<title>Price list</title>\r\n<body>\r\n"
    "<table width=\"100%\" border=\"1\">\r\n"
    "<tr><td>Caf\xC3\xA9 \xC3\x98rsted</td><td>5 \xE2\x82\xAC</td></tr>\r\n"
    "</table>\r\n</body>\r\n</html>\r\n";

// Report 9500 lists the contact persons of the customer given as report key, one detail
// section with two columns.
constexpr const char* kDefinition = R"(
INSERT INTO zlm_rep (zlm_rep_id, zlm_rep_table, zlm_rep_parentfield, zlm_rep_customerfield,
    zlm_rep_datefield, zlm_rep_htmltitle, zlm_rep_mesgfield)
    VALUES (9500, 'entity', 'parent_id', 'parent_id', '', 'Contacts of Harrow Foods', '');
INSERT INTO rep_section (rep_section_id, zlm_rep_id, rep_section_dispord, section_type_id,
    link_section_id, rep_section_tablewidth, rep_section_tableborder, rep_section_rows,
    rep_section_cols, rep_section_bgcolour, rep_section_table, rep_section_buwhere,
    rep_section_parentfield, rep_section_sqlhead, rep_section_sqlfoot, rep_section_ismetatable,
    rep_Section_line1, rep_Section_line2)
    VALUES (9600, 9500, 1, 5, 0, 100, 1, 0, 0, '', 'entity', 0, 'parent_id', '', '', 0, 0, 0);
INSERT INTO rep_field (rep_field_id, rep_section_id, rep_field_row, rep_field_col,
    rep_field_dispord, rep_field_width, rep_field_align, rep_field_textsize, rep_field_bold,
    rep_field_field, rep_field_format, rep_field_static, rep_field_heading, synonym_id,
    rep_field_omitzero, rep_field_runtotal, rep_field_sum, rep_field_isregto) VALUES
    (9701, 9600, 0, 0, 1, 20, 'left', 2, 0, 'entity_id', '', '', '', 0, 0, 0, 0, 0),
    (9702, 9600, 0, 0, 2, 80, 'left', 2, 0, 'entity_name', '', '', '', 0, 0, 0, 0, 0);
)";

constexpr const char* kPeople = R"(
INSERT INTO entity (entity_id, dimension_id, parent_id, entity_name) VALUES
    (9001, 1, 0, 'Harrow Foods'),
    (9011, 17, 9001, 'Berg, Anna'),
    (9012, 17, 9001, 'Ben Cole');
)";

class ReportViewTest : public test::EngineFixture {
  protected:
    void SetUp() override {
        ConnectAll();
        ASSERT_TRUE(dm->openQuery(dm->repConn, dm->qSynonym, "test", "select * from synonym"));
        page = folder.DataFolder() + "report.html";
        std::ofstream(page, std::ios::binary) << kPage;
    }

    // Runs `step` on the open viewer, then closes it with its Close button.
    void WhileShown(const std::function<void(TfrmReportView&)>& step, bool fileOnly = false) {
        bool ran = false;
        WhenModal<TfrmReportView>([&](TfrmReportView& shown) {
            step(shown);
            ran = true;
            shown.btnClose->click();
        });
        if (fileOnly)
            viewer.showFile(page);
        else
            viewer.show(report, page);
        EXPECT_TRUE(ran);
    }

    // The report run that precedes the viewer: definition, records, page.
    void RunReport() {
        dm->repConn.ExecuteScript(kDefinition);
        dm->zlmConn.ExecuteScript(kPeople);
        report.reportKey = 9001;
        // A run writes a new page: the report server never writes over one with content.
        std::filesystem::remove(page);
        ASSERT_TRUE(report.createHTML(page));
        report.Populate(9500);
        report.Generate();
        report.closeHTML();
    }

    // Files the report while the viewer shows it; the new event's id.
    std::string FileReport() {
        WhileShown([](TfrmReportView& v) { v.btnSendEmail->click(); });
        return Main("select max(zlm_doc_id) from zlm_doc");
    }
    std::string Doc(const std::string& id, const std::string& column) const {
        return Main("select " + column + " from zlm_doc where zlm_doc_id=" + id);
    }
    std::string Item(const std::string& doc, const std::string& column) const {
        return Main("select " + column + " from doc_item where zlm_doc_id=" + doc);
    }

    std::string page;
    ZLMReport report;
    TfrmReportView viewer;
};

TEST_F(ReportViewTest, WindowAndToolBarAreTheReportViewers) {
    EXPECT_EQ(viewer.windowTitle(), "Report viewer");
    EXPECT_EQ(viewer.size(), QSize(870, 640));
    EXPECT_EQ(viewer.pos(), QPoint((1024 - 870) / 2, (768 - 640) / 2));
    EXPECT_EQ(viewer.ToolBar1->objectName(), "ToolBar1");
    EXPECT_EQ(viewer.WebBrowser1->objectName(), "WebBrowser1");

    struct Button {
        QToolButton* button;
        const char* name;
        const char* hint;
    };
    const Button buttons[] = {
        {viewer.btnPrint, "btnPrint", "Print the report"},
        {viewer.btnCSV, "btnCSV", "Save as CSV file"},
        {viewer.btnSendEmail, "btnSendEmail", "Send report as an email"},
        {viewer.btnClose, "btnClose", "Close this window"},
    };
    const QList<QAction*> actions = viewer.ToolBar1->actions();
    ASSERT_EQ(actions.size(), 4);
    for (int i = 0; i < 4; ++i) {
        const auto& [button, name, hint] = buttons[i];
        ASSERT_NE(button, nullptr) << name;
        EXPECT_EQ(button->objectName(), name);
        EXPECT_EQ(button->toolTip(), hint) << name;
        EXPECT_FALSE(button->icon().isNull()) << name;
        // Left to right in this order.
        EXPECT_EQ(viewer.ToolBar1->widgetForAction(actions[i]), button) << name;
    }
    // No menu to navigate with; nothing of the page kept in the home folder; no script or
    // plugin runs.
    EXPECT_EQ(viewer.WebBrowser1->contextMenuPolicy(), Qt::NoContextMenu);
    QWebEnginePage* page = viewer.WebBrowser1->page();
    EXPECT_TRUE(page->profile()->isOffTheRecord());
    EXPECT_FALSE(page->settings()->testAttribute(QWebEngineSettings::JavascriptEnabled));
    EXPECT_FALSE(page->settings()->testAttribute(QWebEngineSettings::PluginsEnabled));
    EXPECT_FALSE(
        page->settings()->testAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls));
}

TEST_F(ReportViewTest, TheEmailButtonShowsOnlyForAReportWithACustomer) {
    const std::pair<int, bool> cases[] = {{7, true}, {0, false}, {-1, false}, {9001, true}};
    for (const auto& [customer, visible] : cases) {
        report.customerId = customer;
        WhileShown([&](TfrmReportView& v) {
            EXPECT_EQ(v.btnSendEmail->isVisible(), visible) << customer;
            EXPECT_TRUE(v.btnCSV->isEnabled()) << customer;
            EXPECT_TRUE(v.btnPrint->isVisible() && v.btnPrint->isEnabled());
            EXPECT_TRUE(v.btnClose->isVisible());
        });
    }
}

TEST_F(ReportViewTest, AFileIsShownWithoutCsvOrEmail) {
    report.customerId = 7;
    WhileShown([](TfrmReportView&) {});
    int asked = 0;
    viewer.askCsvFile = [&] {
        ++asked;
        return std::string();
    };
    WhileShown(
        [](TfrmReportView& v) {
            EXPECT_FALSE(v.btnSendEmail->isVisible());
            EXPECT_FALSE(v.btnCSV->isEnabled());
            EXPECT_TRUE(v.btnPrint->isEnabled());
            EXPECT_TRUE(PageText(v).contains(QString::fromUtf8("\xC3\x98rsted")));
            // Even when reached directly, no export without a report.
            v.btnCSVClick();
        },
        true);
    EXPECT_EQ(asked, 0);
}

TEST_F(ReportViewTest, ThePageIsTheUtf8FileWithItsTable) {
    WhileShown([&](TfrmReportView& v) {
        // The two cells of one table row, read as UTF-8 though the page names no character set.
        const QString text = PageText(v);
        EXPECT_EQ(v.WebBrowser1->url(), QUrl::fromLocalFile(QString::fromStdString(page)));
        EXPECT_FALSE(v.PageBar->isVisible());  // a small page is in the engine whole
        EXPECT_TRUE(text.contains(QString::fromUtf8("Caf\xC3\xA9 \xC3\x98rsted\t5 \xE2\x82\xAC")))
            << text.toStdString();
    });
}

TEST_F(ReportViewTest, CloseEndsTheModalRun) {
    bool closedByTest = false;
    WhenModal<TfrmReportView>([&](TfrmReportView& v) {
        v.btnClose->click();
        // Should the button fail, the test still ends.
        QTimer::singleShot(2000, &v, [&] {
            if (v.isVisible()) {
                closedByTest = true;
                v.hide();
            }
        });
    });
    viewer.show(report, page);
    EXPECT_FALSE(closedByTest);
    EXPECT_FALSE(viewer.isVisible());
}

TEST_F(ReportViewTest, FilingWritesOneContactEventWithOneLine) {
    dm->repConn.ExecuteScript(kDefinition);
    ASSERT_TRUE(dm->openQuery(dm->repConn, dm->qReport, "test",
                              "select * from zlm_rep where zlm_rep_id=9500"));
    report.customerId = 9001;
    report.busUnitId = 3;
    report.userId = 12;
    const std::string docsBefore = Main("select count(*) from zlm_doc");
    const std::string itemsBefore = Main("select count(*) from doc_item");
    const std::string before = format::FormatDateTime("hh:mm", format::Now());

    const std::string doc = FileReport();

    const std::string after = format::FormatDateTime("hh:mm", format::Now());
    EXPECT_EQ(Main("select count(*) from zlm_doc"), std::to_string(std::stoi(docsBefore) + 1));
    EXPECT_EQ(Main("select count(*) from doc_item"), std::to_string(std::stoi(itemsBefore) + 1));
    // zlm_doc_ref and contact_person_id, not named, keep the values of a new row.
    EXPECT_EQ(StoredRows(folder.MainDb(),
                         "select customer_id, bus_unit_id, dimension_id, contact_type_id, "
                         "zlm_doc_descr, zlm_doc_ref, contact_person_id from zlm_doc where "
                         "zlm_doc_id=" +
                             doc),
              (std::vector<std::vector<std::string>>{
                  {"9001", "3", "9", "1", "Contacts of Harrow Foods", "[no value]", "0"}}));
    const std::string time = Doc(doc, "zlm_doc_time");
    EXPECT_TRUE(time == before || time == after) << time;
    EXPECT_EQ(
        StoredRows(folder.MainDb(),
                   "select sys_user_id, dimension_id, doc_type_id, doc_item_file, "
                   "doc_item_descr, doc_item_qty from doc_item where zlm_doc_id=" +
                       doc),
        (std::vector<std::vector<std::string>>{{"12", "15", "8", page, "Quotation file", "1"}}));
    EXPECT_GT(std::stoi(Item(doc, "doc_item_id")), std::stoi(doc));

    EXPECT_FALSE(viewer.qDoc.Active());
    EXPECT_FALSE(viewer.qItem.Active());
    EXPECT_EQ(prompter.Count(), 0u);
    EXPECT_EQ(ErrorLog(), "");
}

TEST_F(ReportViewTest, FilingTwiceFilesTwoEventsForTheSameFile) {
    report.customerId = 9001;
    const std::string first = FileReport();
    const std::string second = FileReport();
    EXPECT_NE(first, second);
    for (const std::string& doc : {first, second}) {
        EXPECT_EQ(Doc(doc, "dimension_id"), "9") << doc;
        EXPECT_EQ(Item(doc, "count(*)"), "1") << doc;
        EXPECT_EQ(Item(doc, "doc_item_file"), page) << doc;
    }
    EXPECT_EQ(Main("select count(*) from doc_item where doc_item_file='" + page + "'"), "2");
}

TEST_F(ReportViewTest, AFilingThatFailsIsReportedAndLeavesNoQueryOpen) {
    // A path longer than the line's file column.
    page = folder.DataFolder() + std::string(240, 'r') + ".html";
    std::ofstream(page, std::ios::binary) << kPage;
    report.customerId = 9001;
    const std::string items = Main("select count(*) from doc_item");

    FileReport();

    EXPECT_EQ(Main("select count(*) from doc_item"), items);
    EXPECT_NE(ErrorLog().find("TfrmReportView.btnSendEmailClick;"), std::string::npos)
        << ErrorLog();
    EXPECT_EQ(prompter.Count(), 1u);
    EXPECT_FALSE(viewer.qDoc.Active());
    EXPECT_FALSE(viewer.qItem.Active());
}

TEST_F(ReportViewTest, CsvCancelDoesNothing) {
    int asked = 0;
    viewer.askCsvFile = [&] {
        ++asked;
        return std::string();
    };
    WhileShown([](TfrmReportView& v) { v.btnCSV->click(); });
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(prompter.Count(), 0u);
    EXPECT_EQ(ErrorLog(), "");
}

TEST_F(ReportViewTest, CsvExportWritesTheDetailSectionAndSaysSo) {
    RunReport();
    const std::string csv = folder.Home() + "/contacts.csv";
    viewer.askCsvFile = [&] { return csv; };
    WhileShown([](TfrmReportView& v) { v.btnCSV->click(); });
    EXPECT_EQ(test::ReadFile(csv),
              "entity_id,entity_name\r\n9011,\"Berg, Anna\"\r\n9012,\"Ben Cole\"\r\n");
    ASSERT_EQ(prompter.Count(), 1u);
    const ui::Message box = prompter.Messages()[0];
    EXPECT_EQ(box.text, "CSV export completed");
    EXPECT_EQ(box.title, "CSV Export");
    EXPECT_EQ(box.icon, ui::Icon::Information);
    EXPECT_EQ(box.buttons, ui::Buttons::Ok);
    EXPECT_EQ(box.owner, widgets::HandleOf(&viewer));
}

TEST_F(ReportViewTest, CsvShowsAFormulaAsTextInAPrivateFile) {
    ASSERT_TRUE(
        dm->actionQuery("insert into entity (entity_id, dimension_id, parent_id, "
                        "entity_name) values (9013, 17, 9001, "
                        "'=HYPERLINK(\"http://x.test\",\"Cole\")')",
                        "test"));
    RunReport();
    const std::string csv = folder.Home() + "/contacts.csv";
    viewer.askCsvFile = [&] { return csv; };
    WhileShown([](TfrmReportView& v) { v.btnCSV->click(); });
    EXPECT_EQ(test::ReadFile(csv),
              "entity_id,entity_name\r\n9011,\"Berg, Anna\"\r\n9012,\"Ben Cole\"\r\n"
              "9013,\"'=HYPERLINK(\"\"http://x.test\"\",\"\"Cole\"\")\"\r\n");
    EXPECT_EQ(std::filesystem::status(csv).permissions(), std::filesystem::perms(0600));
}

TEST_F(ReportViewTest, AFailedCsvExportNamesTheFileAndNeverClaimsSuccess) {
    RunReport();
    const std::string csv = folder.Home() + "/no such folder/contacts.csv";
    viewer.askCsvFile = [&] { return csv; };
    WhileShown([](TfrmReportView& v) { v.btnCSV->click(); });
    EXPECT_FALSE(std::filesystem::exists(csv));
    ASSERT_EQ(prompter.Count(), 1u);
    const ui::Message box = prompter.Messages()[0];
    EXPECT_NE(box.text.find(csv), std::string::npos) << box.text;
    EXPECT_NE(box.text, "CSV export completed");
    EXPECT_EQ(box.icon, ui::Icon::Warning);
    EXPECT_NE(ErrorLog().find("TfrmReportView.btnCSVClick;"), std::string::npos) << ErrorLog();
}

// Types a file name into the dialog's name field, as the user does.
void Type(QFileDialog& d, const char* name) {
    auto* edit = d.findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(edit, nullptr);
    edit->setText(name);
}

TEST_F(ReportViewTest, TheSaveDialogAsksForACsvFileAndBeforeReplacingOne) {
    const QString dir = QString::fromStdString(folder.Home());
    std::ofstream(folder.Home() + "/old.csv") << "x";
    WhenModal<QFileDialog>([&](QFileDialog& d) {
        EXPECT_EQ(d.acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(d.defaultSuffix(), "csv");
        EXPECT_EQ(d.nameFilters(), QStringList{"CSV files (*.csv)"});
        d.setDirectory(dir);
        Type(d, "prices");
        static_cast<QDialog&>(d).accept();  // the file dialog's own, as its Save button
    });
    EXPECT_EQ(viewer.askCsvFile(), folder.Home() + "/prices.csv");

    // An existing file: the dialog asks, and No keeps it open; then Cancel.
    // Shared with the box's step, which may outlive the test when no box comes.
    auto question = std::make_shared<QString>();
    bool stayedOpen = false;
    WhenModal<QFileDialog>([&](QFileDialog& d) {
        WhenModal<QMessageBox>([question](QMessageBox& box) {
            *question = box.text();
            box.button(QMessageBox::No)->click();
        });
        d.setDirectory(dir);
        Type(d, "old.csv");
        static_cast<QDialog&>(d).accept();  // the file dialog's own, as its Save button
        stayedOpen = d.isVisible();
        d.reject();
    });
    EXPECT_EQ(viewer.askCsvFile(), "");
    EXPECT_TRUE(question->contains("old.csv")) << question->toStdString();
    EXPECT_TRUE(stayedOpen);
}

TEST_F(ReportViewTest, PrintWritesThePageAsShownAndCancelPrintsNothing) {
    RunReport();
    const std::string pdf = folder.Home() + "/printed.pdf";
    bool print = false;
    viewer.askPrinter = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        return print;
    };
    WhileShown([](TfrmReportView& v) { v.btnPrint->click(); });
    EXPECT_FALSE(std::filesystem::exists(pdf));

    print = true;
    WhileShown([](TfrmReportView& v) { v.btnPrint->click(); });
    EXPECT_EQ(test::ReadFile(pdf).substr(0, 5), "%PDF-");
    // The report's lines, as text the PDF keeps.
    const std::string text = PdfText(pdf);
    for (const char* line : {"9011", "Berg, Anna", "9012", "Ben Cole"})
        EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
    EXPECT_EQ(prompter.Count(), 0u);
    EXPECT_EQ(ErrorLog(), "");
}

TEST_F(ReportViewTest, APrintThatFailsIsLoggedAndTheWindowStaysOpen) {
    viewer.askPrinter = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(folder.Home() + "/no such folder/x.pdf"));
        return true;
    };
    bool stayedOpen = false;
    WhileShown([&](TfrmReportView& v) {
        v.btnPrint->click();
        stayedOpen = v.isVisible();
    });
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(ErrorLog().rfind("TfrmReportView.btnPrintClick;", 0), 0u) << ErrorLog();
    EXPECT_EQ(prompter.Count(), 1u);
}

}  // namespace
}  // namespace zl::reportserver
