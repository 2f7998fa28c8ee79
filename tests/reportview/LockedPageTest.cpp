// What the report window's engine shows of real pages, and what it refuses: scripts, remote
// requests, navigation, and files it must not load.
#include <sys/stat.h>

#include <QCursor>
#include <QGuiApplication>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QToolButton>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <QtTest/QTest>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "core/DataMod.h"
#include "reportserver/QuestionnairePrint.h"
#include "reportserver/TfrmRepDates.h"
#include "reportserver/TfrmReportView.h"
#include "reportserver/ZLMReport.h"
#include "tests/reportview/EngineFixture.h"
#include "tests/reportview/PageText.h"
#include "tests/support/HttpTestServer.h"
#include "tests/support/StatementCounter.h"

namespace zl::reportserver {
namespace {

using test::WhenModal;

// Questionnaire 9001 with two sections; completed questionnaire 9501 answers every question
// of the first, the multiple-choice one through its choice.
constexpr const char* kQuestionnaire = R"(
INSERT INTO questionnaire (questionnaire_id, questionnaire_name) VALUES (9001, 'Site survey');
INSERT INTO quest_section (quest_section_id, questionnaire_id, quest_section_caption,
    quest_section_dispord) VALUES (9101, 9001, 'The building', 1), (9102, 9001, 'Access', 2);
INSERT INTO question (question_id, quest_section_id, question_dispord, question_type,
    question_prompt, question_promptrow, question_promptcol, question_answerrow,
    question_answercol, question_promptwidth, question_answerwidth) VALUES
    (9301, 9101, 1, 0, 'Year built', 1, 1, 1, 2, 30, 8),
    (9302, 9101, 2, 3, 'Roof type', 2, 1, 2, 2, 30, 8),
    (9303, 9102, 1, 0, 'Parking spaces', 1, 1, 2, 1, 40, 6);
INSERT INTO choice (choice_id, question_id, choice_value) VALUES (9401, 9302, 'Slate');
INSERT INTO entity (entity_id, dimension_id, entity_fullname) VALUES (9201, 1, 'Harrow Foods');
INSERT INTO comp_quest (comp_quest_id, questionnaire_id, customer_id, comp_quest_date)
    VALUES (9501, 9001, 9201, '2024-03-05 00:00:00');
INSERT INTO answer (answer_id, comp_quest_id, question_id, choice_id, answer_text) VALUES
    (9601, 9501, 9301, 0, '1931'), (9602, 9501, 9302, 9401, ''), (9603, 9501, 9303, 0, '12');
)";

// Quotation 8001 of business unit 2006 for customer 9001, three lines.
constexpr const char* kQuotation = R"(
INSERT INTO entity (entity_id, dimension_id, parent_id, entity_name, entity_first, entity_title)
    VALUES (9001, 1, 0, 'Smith', 'John', 'Mr'), (2006, 5, 0, 'North office', '', '');
INSERT INTO address (address_id, entity_id, address_postal1, address_pcode) VALUES
    (9011, 9001, '12 High Street', '8001'), (2007, 2006, '8 Quay Street', '5520');
INSERT INTO zlm_doc (zlm_doc_id, dimension_id, customer_id, bus_unit_id, doc_status_id,
    zlm_doc_descr, zlm_doc_date, zlm_doc_ref) VALUES
    (8001, 6, 9001, 2006, 2, 'Garden shed, fitted', '2024-03-14 00:00:00', 'Q-8001');
INSERT INTO doc_item (doc_item_id, zlm_doc_id, dimension_id, sys_user_id, doc_item_code,
    doc_item_descr, doc_item_qty, doc_item_rate, doc_item_discount, doc_item_tax,
    doc_item_total) VALUES
    (8101, 8001, 24, 2, 'K-1', 'Shed kit 3 x 2 m', 1, 850, 0, 15, 977.5),
    (8102, 8001, 24, 2, 'B-1', 'Stainless bolt M8', 24, 1.2, 0, 15, 33.12),
    (8103, 8001, 24, 2, 'S-1', 'Fitting', 3, 45, 10, 15, 139.73);
)";

class LockedPageTest : public test::EngineFixture {
  protected:
    void SetUp() override {
        ConnectAll();
        ASSERT_TRUE(dm->openQuery(dm->repConn, dm->qSynonym, "test", "select * from synonym"));
    }

    // A page of the data folder.
    std::string Page(const std::string& name, const std::string& html) const {
        const std::string path = folder.DataFolder() + name;
        std::ofstream(path, std::ios::binary) << html;
        return path;
    }

    // Shows the file, runs `step` on the window once its page has loaded, then closes it;
    // `prepare` first changes the window before it loads the file.
    void Shown(const std::string& path, const std::function<void(TfrmReportView&)>& step,
               const std::function<void(TfrmReportView&)>& prepare = nullptr) {
        bool ran = false;
        WhenModal<TfrmReportView>([&](TfrmReportView& v) {
            EXPECT_TRUE(WaitForPage(v));
            step(v);
            ran = true;
            v.btnClose->click();
        });
        TfrmReportView view;
        if (prepare)
            prepare(view);
        view.showFile(path);
        EXPECT_TRUE(ran);
    }

    // The text of the page that `produce` shows in the window, pictured as `picture` if named.
    static QString TextShown(const std::function<void()>& produce, const char* picture = nullptr) {
        QString text;
        WhenModal<TfrmReportView>([&](TfrmReportView& v) {
            text = PageText(v);
            if (picture)
                Picture(v, picture);
            v.btnClose->click();
        });
        produce();
        return text;
    }

    // The window as a person sees it, once the page is drawn, when ZELMAR_SCREENSHOT_DIR names
    // a folder for the documentation's pictures.
    static void Picture(TfrmReportView& v, const char* name) {
        const char* dir = std::getenv("ZELMAR_SCREENSHOT_DIR");
        if (!dir)
            return;
        QTest::qWait(500);  // the engine draws after it has loaded
        const QPoint at = v.mapToGlobal(QPoint(0, 0));
        QGuiApplication::primaryScreen()
            ->grabWindow(0, at.x(), at.y(), v.width(), v.height())
            .save(QString(dir) + "/" + name);
    }
};

// The lines of a text that hold `part`.
std::vector<std::string> LinesWith(const QString& text, const std::string& part) {
    std::vector<std::string> found;
    for (const QString& line : text.split('\n'))
        if (line.contains(QString::fromStdString(part)))
            found.push_back(line.toStdString());
    return found;
}

TEST_F(LockedPageTest, QuestionnairePrintoutsShowEveryPromptAndAnswer) {
    dm->zlmConn.ExecuteScript(kQuestionnaire);
    const std::string page = folder.DataFolder() + "questionnaire.html";
    struct Case {
        const char* picture;
        std::function<void()> print;
        std::vector<std::string> lines;  // cells of one row are separated by a tab
    };
    const Case cases[] = {
        {"questionnaire-blank.png",
         [&] { PrintBlankQuestionnaire(9001, page); },
         {"Site survey", "The building", "Year built\t________", "Roof type\t________", "Access",
          "Parking spaces", "______"}},
        {nullptr,
         [&] { PrintCompletedQuestionnaire(9501, page); },
         {"Site survey", "Customer name: Harrow Foods", "Questionnaire date: 2024/03/05",
          "The building", "Year built\t1931", "Roof type\tSlate", "Access", "Parking spaces",
          "12"}},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(page);  // each printout is a new file
        const QString text = TextShown(c.print, c.picture);
        std::vector<std::string> lines;
        for (const QString& line : text.split('\n'))
            if (!line.trimmed().isEmpty())
                lines.push_back(line.trimmed().toStdString());
        EXPECT_EQ(lines, c.lines) << text.toStdString();
    }
    EXPECT_EQ(ErrorLog(), "");
}

// Whether the pointer shows that the program is busy.
bool Busy() {
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor && cursor->shape() == Qt::WaitCursor;
}

TEST_F(LockedPageTest, ThePointerIsBusyWhileAPrintoutIsReadAndWrittenAndNoLonger) {
    dm->zlmConn.ExecuteScript(kQuotation);
    dm->zlmConn.ExecuteScript(kQuestionnaire);
    const std::string page = folder.DataFolder() + "printout.html";
    struct Case {
        const char* name;
        bool asksDates;
        std::function<void()> print;
    };
    const Case cases[] = {
        {"quotation", false, [&] { ZLMReport().Run(1, 2006, 2, 8001, page); }},
        {"quotations by period", true, [&] { ZLMReport().Run(17, 2006, 2, 2006, page); }},
        {"blank questionnaire", false, [&] { PrintBlankQuestionnaire(9001, page); }},
        {"completed questionnaire", false, [&] { PrintCompletedQuestionnaire(9501, page); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(page);
        // Whether the pointer was busy over the date dialog and the window.
        std::vector<bool> busyOverDialogs;
        if (c.asksDates)
            WhenModal<TfrmRepDates>([&](TfrmRepDates& dates) {
                busyOverDialogs.push_back(Busy());
                dates.btnOK->click();
            });
        WhenModal<TfrmReportView>([&](TfrmReportView& v) {
            busyOverDialogs.push_back(Busy());
            v.btnClose->click();
        });
        std::vector<bool> busyAt;  // at each statement of the main connection
        {
            test::StatementCounter statements(dm->zlmConn, [&] { busyAt.push_back(Busy()); });
            c.print();
        }
        EXPECT_FALSE(busyAt.empty());
        EXPECT_EQ(std::count(busyAt.begin(), busyAt.end(), false), 0);
        EXPECT_EQ(busyOverDialogs, std::vector<bool>(c.asksDates ? 2 : 1, false));
        EXPECT_FALSE(Busy());
    }
    // Runs that end early give the pointer back as well.
    EXPECT_THROW(ZLMReport().Run(907, 2006, 2, 0, page), NoSuchReport);
    EXPECT_FALSE(Busy());
    EXPECT_THROW(PrintBlankQuestionnaire(9001, folder.Home() + "/no/such/folder/q.html"),
                 std::exception);
    EXPECT_FALSE(Busy());
}

// Neither the engine nor the drawing of its window writes in the home folder, caches included:
// nothing has changed there since the application started, in this test or any before it.
TEST_F(LockedPageTest, ShowingAReportWritesNothingInTheHomeFolder) {
    dm->zlmConn.ExecuteScript(kQuotation);
    TextShown([&] { ZLMReport().Run(1, 2006, 2, 8001, folder.DataFolder() + "quotation.html"); });
    QTest::qWait(500);  // what the engine's processes write after the window has gone
    std::vector<std::string> written;
    for (const auto& [path, state] : HomeContents())
        if (!HomeAtStart().count(path) || HomeAtStart().at(path) != state)
            written.push_back(path);
    EXPECT_EQ(written, std::vector<std::string>{});
}

TEST_F(LockedPageTest, AQuotationShowsItsLines) {
    dm->zlmConn.ExecuteScript(kQuotation);
    const QString text = TextShown(
        [&] { ZLMReport().Run(1, 2006, 2, 8001, folder.DataFolder() + "quotation.html"); },
        "report-quotation.png");
    for (const auto& [code, line] : std::vector<std::pair<std::string, std::string>>{
             {"K-1", "K-1\tShed kit 3 x 2 m\t1.00\t850.00\t0.00\t15.00\t977.50"},
             {"B-1", "B-1\tStainless bolt M8\t24.00\t1.20\t0.00\t15.00\t33.12"},
             {"S-1", "S-1\tFitting\t3.00\t45.00\t10.00\t15.00\t139.73"}})
        EXPECT_EQ(LinesWith(text, code), std::vector<std::string>{line}) << text.toStdString();
    EXPECT_EQ(
        LinesWith(text, "Total"),
        (std::vector<std::string>{"Code\tDescription\tQuantity\tRate\tDiscount %\tTax %\tTotal",
                                  "Total\t\t\t\t\t\t1,150.35"}));
    EXPECT_EQ(ErrorLog(), "");
}

TEST_F(LockedPageTest, NamesHoldingMarkupShowAsTyped) {
    dm->zlmConn.ExecuteScript(kQuotation);
    dm->zlmConn.Execute(
        "update entity set entity_name='<img src=x onerror=alert(1)> A<B & Sons', "
        "entity_first='', entity_title='' where entity_id=9001");
    dm->zlmConn.Execute(
        "update entity set entity_name='Deck & planing <phase 1>' where entity_id=2006");
    const QString text = TextShown(
        [&] { ZLMReport().Run(1, 2006, 2, 8001, folder.DataFolder() + "quotation.html"); });
    EXPECT_EQ(LinesWith(text, "Sons"),
              (std::vector<std::string>{"Deck & planing <phase 1>\t<img src=x onerror=alert(1)> "
                                        "A<B & Sons"}))
        << text.toStdString();
}

TEST_F(LockedPageTest, AScriptHasNoEffectAndNothingRemoteIsRequested) {
    test::HttpTestServer server;
    const std::string remote = "http://" + server.HostAndPort();
    const std::string script = "document.getElementById('p').textContent='Script ran'";
    std::string html = "<html><head><link rel=\"stylesheet\" href=\"" + remote + "/style.css\">";
    html += "</head><body><p id=\"p\">As written</p><img src=\"" + remote + "/logo.png\">";
    html += "<img src=\"x\" onerror=\"" + script + "\"><script>" + script + ";";
    html += "new Image().src='" + remote + "/beacon';</script>";
    html += "<iframe src=\"" + remote + "/frame\"></iframe></body></html>";
    const std::string page = Page("script.html", html);
    Shown(page, [](TfrmReportView& v) {
        const QString text = PageText(v);
        EXPECT_TRUE(text.contains("As written")) << text.toStdString();
        EXPECT_FALSE(text.contains("Script ran")) << text.toStdString();
    });
    EXPECT_FALSE(server.WaitForRequests(1, std::chrono::milliseconds(300)));
    EXPECT_TRUE(server.Paths().empty());
}

// With the engine's own block of remote content from a local page lifted, the window's request
// filter still lets no remote picture through.
TEST_F(LockedPageTest, TheRequestFilterAloneRefusesARemoteImage) {
    test::HttpTestServer server;
    const std::string page =
        Page("remote.html", "<html><body><p>Logo</p><img src=\"http://" + server.HostAndPort() +
                                "/logo.png\"></body></html>");
    const auto allowRemote = [](QWebEnginePage& p) {
        p.settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    };
    // Without the filter, such a page asks for the picture.
    {
        QWebEngineProfile profile;  // off the record
        QWebEnginePage plain(&profile);
        allowRemote(plain);
        plain.load(QUrl::fromLocalFile(QString::fromStdString(page)));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !server.Paths().empty(); }, 10000));
    }
    const std::size_t before = server.Paths().size();
    Shown(
        page, [](TfrmReportView& v) { EXPECT_EQ(PageText(v).trimmed(), "Logo"); },
        [&](TfrmReportView& v) { allowRemote(*v.WebBrowser1->page()); });
    QTest::qWait(300);
    EXPECT_EQ(server.Paths().size(), before);
}

TEST_F(LockedPageTest, ALinkClickStaysOnThePage) {
    Page("second.html", "<html><body>Second page</body></html>");
    // One link that covers the whole page.
    const std::string first =
        Page("first.html",
             "<html><body style=\"margin:0\"><a href=\"second.html\" style=\"display:block;"
             "width:100%;height:2000px;font-size:40px\">First page</a></body></html>");
    const auto click = [](QWebEngineView& view) {
        QWidget* surface = view.focusProxy();
        ASSERT_NE(surface, nullptr);
        QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(100, 100));
    };
    // The same click in an engine view that is not locked down goes to the other page.
    {
        QWebEngineProfile profile;  // off the record
        QWebEnginePage plain(&profile);
        QWebEngineView open;
        open.setPage(&plain);
        open.resize(400, 300);
        open.show();
        open.load(QUrl::fromLocalFile(QString::fromStdString(first)));
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return open.focusProxy() && !open.title().isEmpty(); }, 10000));
        QTest::qWait(300);
        click(open);
        EXPECT_TRUE(QTest::qWaitFor([&] { return open.url().fileName() == "second.html"; }, 5000));
    }
    Shown(first, [&](TfrmReportView& v) {
        QTest::qWait(300);
        click(*v.WebBrowser1);
        QTest::qWait(1000);
        EXPECT_EQ(v.WebBrowser1->url().fileName(), "first.html");
        EXPECT_EQ(PageText(v).trimmed(), "First page");
    });
}

TEST_F(LockedPageTest, FilesOutsideTheFoldersDevicesAndHugeFilesAreRefused) {
    namespace fs = std::filesystem;
    const std::string outside = folder.Home() + "/outside.html";
    std::ofstream(outside) << "<html>outside</html>";
    const std::string link = folder.DataFolder() + "link.html";
    fs::create_symlink(outside, link);
    const std::string huge = folder.DataFolder() + "huge.html";
    std::ofstream(huge).close();
    fs::resize_file(huge, kLargestPage + 1);
    const std::string fifo = folder.DataFolder() + "pipe.html";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string fits = folder.DataFolder() + "fits.html";
    std::ofstream(fits).close();
    fs::resize_file(fits, kLargestPage);

    const std::pair<std::string, std::string> cases[] = {
        {outside, "it lies outside the data folder and the document repository"},
        {link, "it lies outside the data folder and the document repository"},
        {"/dev/zero", "it is not a regular file"},
        {fifo, "it is not a regular file"},
        {folder.DataFolder() + "doc", "it is not a regular file"},
        {folder.DataFolder() + "missing.html", "it cannot be read"},
        {huge, "it is larger than 32 MB"},
    };
    const std::vector<std::string> folders = PageFolders();
    for (const auto& [path, reason] : cases) {
        EXPECT_EQ(PageRefusal(path, folders), reason) << path;
    }
    EXPECT_EQ(PageRefusal(fits, folders), "");
    EXPECT_EQ(PageRefusal(folder.DataFolder() + "help.html", folders), "");

    // The window says why and does not open.
    ZLMReport report;
    TfrmReportView view;
    bool opened = false;
    WhenModal<TfrmReportView>([&](TfrmReportView& v) {
        opened = true;
        v.close();
    });
    view.show(report, "/dev/zero");
    view.showFile(outside);
    view.showFile(huge);  // no row to cut it at: the engine would have to take it whole
    EXPECT_FALSE(opened);
    ExpectMessages(
        {{"The report /dev/zero cannot be shown: it is not a regular file.", "Report viewer"},
         {"The report " + outside +
              " cannot be shown: it lies outside the data folder and the document "
              "repository.",
          "Report viewer"},
         {"The report " + huge + " cannot be shown: it is larger than 32 MB.", "Report viewer"}});
}

TEST_F(LockedPageTest, APageLoadsNothingThatTheWindowWouldRefuse) {
    // Each style sheet hides one paragraph when it loads: the one of the data folder does, the
    // one outside the folders does not. A device as a picture would be read without end, and
    // the page would never finish.
    Page("inside.css", ".inside { display: none }");
    const std::string outside = folder.Home() + "/outside.css";
    std::ofstream(outside) << ".outside { display: none }";
    const std::string page = Page("devices.html",
                                  "<html><head><link rel=\"stylesheet\" href=\"inside.css\">"
                                  "<link rel=\"stylesheet\" href=\"file://" +
                                      outside +
                                      "\"></head><body><p class=\"inside\">Inside</p>"
                                      "<p class=\"outside\">Outside</p><img src=\"/dev/zero\">"
                                      "<img src=\"file:///dev/urandom\"></body></html>");
    Shown(page, [](TfrmReportView& v) {
        EXPECT_TRUE(v.PageLoadedOk());
        EXPECT_EQ(PageText(v).trimmed(), "Outside");
    });
}

// What a script run apart from the page answers about the view (the page's own scripts are off).
QVariant Ask(QWebEngineView& view, const QString& script) {
    QVariant answer;
    bool answered = false;
    view.page()->runJavaScript(script, QWebEngineScript::ApplicationWorld, [&](const QVariant& a) {
        answer = a;
        answered = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return answered; }, 5000));
    return answer;
}

// The first cell of the row at the view's top (the last row that begins at or above it), and how
// far above the top that row begins.
std::pair<QString, int> RowAtTop(QWebEngineView& view) {
    const QVariantList row =
        Ask(view,
            "(function(){let a=['',0];for(const r of document.getElementsByTagName('tr')){"
            "const t=Math.round(r.getBoundingClientRect().top);if(t>0)break;"
            "a=[r.cells[0].textContent,t];}return a;})()")
            .toList();
    return row.size() == 2 ? std::pair(row[0].toString(), row[1].toInt()) : std::pair(QString(), 0);
}

TEST_F(LockedPageTest, ALargePageIsShownAFewPartsAtATimeAndPrintedWhole) {
    // A style sheet beside the page hides one row: the parts resolve links as the page does.
    Page("large.css", ".hidden { display: none }");
    std::string html = "<html><head><link rel=\"stylesheet\" href=\"large.css\"><body><table>";
    html += "<tr class=\"hidden\"><td>Hidden</td></tr>";
    for (int row = 1; row <= 4000; ++row)
        html += "<tr><td>Row " + std::to_string(row) + "</td><td>" + std::string(200, 'x') +
                "</td></tr>\n";
    const std::string page = Page("large.html", html + "</table><p>The end</p></body></html>");
    const std::string before = test::ReadFile(page);
    const std::string cells = "\t" + std::string(200, 'x');
    Shown(page, [&](TfrmReportView& v) {
        // The first parts, styled as the page is; far from all its rows in the engine.
        ASSERT_TRUE(QTest::qWaitFor([&] { return v.LastPartShown() == kPartsShown - 1; }, 5000));
        QStringList lines = PageText(v).trimmed().split('\n');
        EXPECT_EQ(lines.front().toStdString(), "Row 1" + cells);
        EXPECT_GT(lines.size(), 500);
        EXPECT_LT(lines.size(), 1000);
        ASSERT_TRUE(v.PageBar->isVisible());
        ASSERT_TRUE(QTest::qWaitFor([&] { return v.PageBar->isEnabled(); }, 5000));
        EXPECT_EQ(v.PageBar->maximum(), 4000);  // every row of the page, the hidden one too

        // The rows are wider than the window: its own horizontal scroll bar moves across.
        ASSERT_TRUE(v.PageWidthBar->isVisible());
        v.PageWidthBar->setValue(v.PageWidthBar->maximum());
        QWebEnginePage* shown = v.WebBrowser1->page();
        ASSERT_TRUE(QTest::qWaitFor([&] { return shown->scrollPosition().x() > 0; }, 5000));
        const double across = shown->scrollPosition().x();

        // Scrolled down as by the wheel into the last part shown, the parts move on with the row
        // at the top where it was, and as far across.
        const std::size_t last = v.LastPartShown();
        Ask(*v.WebBrowser1, "window.scrollBy(0, document.documentElement.scrollHeight * 0.7)");
        QTest::qWait(100);
        const auto top = RowAtTop(*v.WebBrowser1);
        ASSERT_TRUE(QTest::qWaitFor([&] { return v.LastPartShown() > last; }, 5000));
        EXPECT_EQ(RowAtTop(*v.WebBrowser1), top);
        EXPECT_NEAR(v.WebBrowser1->page()->scrollPosition().x(), across, 1);
        EXPECT_EQ(v.PageBar->value(), top.first.mid(4).toInt());
        Picture(v, "report-large.png");

        // The page's scroll bar at its end shows the last row.
        v.PageBar->setValue(v.PageBar->maximum());
        ASSERT_TRUE(QTest::qWaitFor([&] { return v.LastPartShown() + 1 == v.Parts(); }, 5000));
        lines = TextOf(*v.WebBrowser1->page()).trimmed().split('\n');
        EXPECT_EQ(lines.back().toStdString(), "The end");
        EXPECT_TRUE(lines.contains(QString::fromStdString("Row 4000" + cells)));
        EXPECT_LT(lines.size(), 1000);

        // Of two jumps made at once, the second is where the view ends, with its row at the top.
        v.PageBar->setValue(1000);
        v.PageBar->setValue(3000);
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return RowAtTop(*v.WebBrowser1).first == "Row 3000"; }, 5000));
        QTest::qWait(500);
        EXPECT_EQ(RowAtTop(*v.WebBrowser1).first, "Row 3000");
        EXPECT_EQ(v.PageBar->value(), 3000);

        // Printed whole.
        const std::string pdf = folder.Home() + "/large.pdf";
        v.askPrinter = [&](QPrinter& printer) {
            printer.setOutputFileName(QString::fromStdString(pdf));
            return true;
        };
        v.btnPrint->click();
        const std::string text = PdfText(pdf);
        // Each row's cells fall on lines of their own there.
        for (const char* row : {"Row\n", "\n1\n", "\n2000\n", "\n4000\n", "The end"})
            EXPECT_NE(text.find(row), std::string::npos) << row;
    });
    EXPECT_EQ(test::ReadFile(page), before);
}

TEST_F(LockedPageTest, APageWithRowsTooLongForPartsIsGivenToTheEngineWhole) {
    // A cell of 1.2 MB: no part that holds it fits the engine's content. Found at once, or by
    // the scan of the whole page while its first parts are shown.
    const std::string longRow = "<tr><td>" + std::string(1200 * 1024, 'z') + "</td></tr>";
    std::string shortRows;
    while (shortRows.size() < 400 * 1024)
        shortRows += "<tr><td>Row</td></tr>\n";
    for (const std::string& rows : {longRow + longRow, shortRows + longRow}) {
        const std::string page = Page(
            "long.html", "<html><body><table>" + rows + "</table><p>The end</p></body></html>");
        Shown(page, [&](TfrmReportView& v) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return !v.PageBar->isVisible(); }, 5000));
            EXPECT_TRUE(QTest::qWaitFor(
                [&] { return TextOf(*v.WebBrowser1->page()).trimmed().endsWith("The end"); },
                5000));
            EXPECT_EQ(v.findChild<QWebEngineView*>("SpareView"), nullptr);
        });
    }
    EXPECT_EQ(ErrorLog(), "");
}

TEST_F(LockedPageTest, APageTooLargeForTheEngineIsShownInPartsButNotPrinted) {
    std::string html = "<html><body><table>";
    const std::string cells = "</td><td>" + std::string(300, 'y') + "</td></tr>\n";
    for (int row = 1; html.size() <= kLargestPage; ++row)
        html += "<tr><td>Row " + std::to_string(row) + cells;
    const std::string page = Page("huge.html", html + "</table></body></html>");
    const std::string pdf = folder.Home() + "/huge.pdf";
    Shown(page, [&](TfrmReportView& v) {
        EXPECT_TRUE(PageText(v).startsWith("Row 1\t"));
        v.askPrinter = [&](QPrinter& printer) {
            printer.setOutputFileName(QString::fromStdString(pdf));
            return true;
        };
        v.btnPrint->click();
        EXPECT_TRUE(v.isVisible());
    });
    EXPECT_FALSE(std::filesystem::exists(pdf));
    EXPECT_NE(ErrorLog().find("TfrmReportView.btnPrintClick;The report cannot be printed: it is "
                              "larger than 32 MB."),
              std::string::npos)
        << ErrorLog();
}

}  // namespace
}  // namespace zl::reportserver
