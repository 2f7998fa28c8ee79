// The main window's Reports, File and Window commands: the report server's calls with their
// ids and keys, the report right, the menus' layout, the CSV commands, window arrangement and
// the version check.
#include <QFileDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QToolBar>
#include <chrono>
#include <filesystem>
#include <regex>
#include <set>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/Globals.h"
#include "frames/TBrowseFrame.h"
#include "platform/com/ErrorInfo.h"
#include "platform/http/Http.h"
#include "screens/HubWindow.h"
#include "screens/TfrmCustomer.h"
#include "shell/TfrmLogin.h"
#include "shell/TfrmMain.h"
#include "shell/TfrmSplash.h"
#include "tests/support/FakeReportServer.h"
#include "tests/support/QtFixture.h"
#include "widgets/QtPlatform.h"

namespace zl {
namespace {

using test::WhenModal;

constexpr int kBusinessUnit = 1002;

class ReportCommandsTest : public test::QtFixture {
  protected:
    void SetUp() override {
        fake = test::FakeReportServer::Create();
        main = std::make_unique<TfrmMain>();
        main->createReportServer = [server = fake] { return server->NewClient(); };
        main->endProgram = [](int) {};
        WhenModal<TfrmSplash>([](TfrmSplash& splash) { splash.close(); });
        WhenModal<TfrmLogin>([](TfrmLogin& login) { login.btnOK->click(); });
        main->Timer1Timer();
        ASSERT_TRUE(main->Started());
        ASSERT_FALSE(main->Halted());
        calls = fake->calls.size();
        // A unit apart from the user's key, so that the two cannot be mixed up unnoticed.
        CurBusUnitId = kBusinessUnit;
    }
    void TearDown() override {
        prompter.onShow = nullptr;
        if (main && !main->Halted())
            main->Exit1Click();
        main.reset();
        ReportServer.reset();
    }

    QAction* Action(const std::string& name) const {
        auto* a = main->findChild<QAction*>(QString::fromStdString(name));
        EXPECT_NE(a, nullptr) << name;
        return a;
    }
    // The texts of a menu's entries in order, "-" for a separator, "Caption>" for a submenu.
    static std::vector<std::string> Entries(const QMenu* menu) {
        std::vector<std::string> entries;
        for (const QAction* a : menu->actions())
            entries.push_back(a->isSeparator() ? "-"
                                               : a->text().toStdString() + (a->menu() ? ">" : ""));
        return entries;
    }
    // The menu under the entry `caption` of a menu or of the menu bar.
    static QMenu* Submenu(const QWidget* menu, const std::string& caption) {
        for (QAction* a : menu->actions())
            if (a->menu() && a->text().toStdString() == caption)
                return a->menu();
        return nullptr;
    }
    QMenu* TopMenu(const std::string& caption) const { return Submenu(main->menuBar(), caption); }
    std::string NextKey() const { return Main("select next_id from id_control"); }
    std::string DocCounter() const { return Local("select config_doccounter from config"); }
    std::size_t ReportFolders() const {
        const std::filesystem::path reports = folder.DataFolder() + "doc/reports";
        if (!std::filesystem::exists(reports))
            return 0;
        return std::distance(std::filesystem::directory_iterator(reports),
                             std::filesystem::directory_iterator());
    }

    com::ComPtr<test::FakeReportServer> fake;
    std::unique_ptr<TfrmMain> main;
    std::size_t calls = 0;
};

struct ReportCase {
    const char* action;
    const char* caption;
    std::string call;  // the call's arguments before the file
};
const ReportCase kReports[] = {
    {"OrdersByCustomer", "Summarized &orders by customer", "ShowReport(10|1002|2|1002|"},
    {"CompOrdersPeriod", "Component &orders by time period", "ShowReport(11|1002|2|1002|"},
    {"ServiceOrdersPeriod", "Service &orders by time period", "ShowReport(12|1002|2|1002|"},
    {"AssemblyOrdersPeriod", "Assembly &orders by time period", "ShowReport(13|1002|2|1002|"},
    {"QuotationsByPeriod", "Summarized &quotations by time period", "ShowReport(17|1002|2|1002|"},
    {"QuotationsByStatus", "Summarized quotations by &status", "ShowReport(18|1002|2|1002|"},
    {"QuoteYMGraph", "Quotations vs Forecast by year and month graph", "PrintGraph(2|1002|0|0|"},
    {"OrdersByPeriod", "Summarized &orders by period", "ShowReport(15|1002|2|1002|"},
    {"OrdersByStatus", "Summarized orders by stat&us", "ShowReport(23|1002|2|1002|"},
    {"OrdersYMGraph", "Orders vs Forecast by year and month graph", "PrintGraph(3|1002|0|0|"},
    {"InvoicesbyPeriod", "&Summarized invoices by period", "ShowReport(22|1002|2|1002|"},
    {"InvoicesByStatus", "Summarized invoices by stat&us", "ShowReport(24|1002|2|1002|"},
    {"ProfitLossReport", "&Profit / Loss Report by period", "ShowReport(25|1002|2|1002|"},
    {"InvoiceYMGraph", "Invoices vs Forecast by year and month &graph", "PrintGraph(4|1002|0|0|"},
    {"BillableOrdersPeriod", "Summarized &orders by time period", "ShowReport(15|1002|2|0|"},
    {"QuotationsByUser", "Summarized quotations by &system user", "ShowReport(19|1002|2|1002|"},
    {"OrdersByBusUnit", "Summarized orders by &business unit", "ShowReport(21|1002|2|1002|"},
    {"ForecastVsActualGraph", "Forecast vs Actual &Graph", "PrintGraph(1|1002|0|0|"},
    {"OrderBreakdownPieChart", "Billable item breakdown &pie chart ", "PrintGraph(5|1002|0|0|"},
};

TEST_F(ReportCommandsTest, EveryCommandCallsTheServerWithItsIdAndKeyAndANewRepositoryFile) {
    const int counterBefore = std::stoi(DocCounter());
    const std::regex repositoryFile(folder.DataFolder() + "doc/reports/[0-9]{10}/rep[0-9]+\\.html");
    std::set<std::string> files;
    for (const ReportCase& c : kReports) {
        SCOPED_TRACE(c.action);
        QAction* action = Action(c.action);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->text().toStdString(), c.caption);
        EXPECT_TRUE(action->shortcut().isEmpty());
        action->trigger();
        ASSERT_EQ(fake->calls.size(), ++calls);
        const std::string& call = fake->calls.back();
        ASSERT_EQ(call.rfind(c.call, 0), 0u) << call;
        const std::string file = call.substr(c.call.size(), call.size() - c.call.size() - 1);
        EXPECT_TRUE(std::regex_match(file, repositoryFile)) << file;
        files.insert(file);
    }
    EXPECT_EQ(files.size(), std::size(kReports));  // every command its own file
    EXPECT_EQ(std::stoi(DocCounter()), counterBefore + static_cast<int>(std::size(kReports)));
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(ReportCommandsTest, WithoutTheReportRightEveryCommandIsRefusedAndTakesNoPath) {
    CurUserId = 5;  // holds no right
    const std::string key = NextKey();
    const std::string counter = DocCounter();
    const std::size_t folders = ReportFolders();
    for (const ReportCase& c : kReports)
        Action(c.action)->trigger();
    EXPECT_EQ(fake->calls.size(), calls);
    const auto messages = prompter.Messages();
    ASSERT_EQ(messages.size(), std::size(kReports));
    for (const ui::Message& m : messages) {
        EXPECT_EQ(m.text, "You do not have system permissions to view reports.");
        EXPECT_EQ(m.title, "Access denied");
        EXPECT_EQ(m.icon, ui::Icon::Information);
        EXPECT_EQ(m.owner, widgets::HandleOf(main.get()));
    }
    EXPECT_EQ(NextKey(), key);
    EXPECT_EQ(DocCounter(), counter);
    EXPECT_EQ(ReportFolders(), folders);
}

// A report id the server has no definition for is told by the server alone: the window shows
// no box of its own.
TEST_F(ReportCommandsTest, AReportTheServerCannotFindAddsNoSecondMessage) {
    fake->result = reportserver::kReportNotShown;
    fake->failureText = "There is no report with id 15.";
    EXPECT_NO_THROW(Action("OrdersByPeriod")->trigger());
    EXPECT_EQ(fake->calls.size(), calls + 1);
    EXPECT_EQ(prompter.Count(), 0u);
    EXPECT_FALSE(com::GetErrorInfo());
}

TEST_F(ReportCommandsTest, TheMenusHoldTheCommandsInTheirOrder) {
    std::vector<std::string> bar;
    for (const QAction* a : main->menuBar()->actions())
        bar.push_back(a->text().toStdString());
    EXPECT_EQ(bar, (std::vector<std::string>{"&File", "Window", "&Reports", "&Help"}));
    EXPECT_EQ(Entries(TopMenu("&File")),
              (std::vector<std::string>{"&Options", "Log &in again", "-",
                                        "&Import customers from CSV file",
                                        "&Export customers to CSV file", "-", "E&xit"}));
    EXPECT_EQ(Entries(TopMenu("Window")),
              (std::vector<std::string>{"&Customers", "My &organization", "&Billable items",
                                        "&Inquiries", "-", "C&ascade", "&Tile"}));
    const QMenu* reports = TopMenu("&Reports");
    ASSERT_NE(reports, nullptr);
    EXPECT_EQ(
        Entries(reports),
        (std::vector<std::string>{"C&ustomers>", "-", "&Components>", "&Services>", "&Assemblies>",
                                  "-", "&Quotations>", "&Orders>", "&Invoices>"}));
    const std::vector<std::pair<std::string, std::vector<std::string>>> submenus = {
        {"C&ustomers", {"OrdersByCustomer"}},
        {"&Components", {"CompOrdersPeriod"}},
        {"&Services", {"ServiceOrdersPeriod"}},
        {"&Assemblies", {"AssemblyOrdersPeriod"}},
        {"&Quotations", {"QuotationsByPeriod", "QuotationsByStatus", "QuoteYMGraph"}},
        {"&Orders", {"OrdersByPeriod", "OrdersByStatus", "OrdersYMGraph"}},
        {"&Invoices",
         {"InvoicesbyPeriod", "InvoicesByStatus", "ProfitLossReport", "InvoiceYMGraph"}},
    };
    std::set<const QAction*> inMenus;
    for (const auto& [caption, actions] : submenus) {
        const QMenu* submenu = Submenu(reports, caption);
        ASSERT_NE(submenu, nullptr) << caption;
        std::vector<std::string> names;
        for (const QAction* a : submenu->actions()) {
            names.push_back(a->objectName().toStdString());
            inMenus.insert(a);
        }
        EXPECT_EQ(names, actions) << caption;
    }
    // The five commands without an entry exist and are reachable nowhere else.
    for (const char* name : {"BillableOrdersPeriod", "QuotationsByUser", "OrdersByBusUnit",
                             "ForecastVsActualGraph", "OrderBreakdownPieChart"}) {
        const QAction* a = Action(name);
        ASSERT_NE(a, nullptr);
        EXPECT_FALSE(inMenus.count(a)) << name;
        EXPECT_TRUE(a->associatedObjects().isEmpty()) << name;
    }
}

TEST_F(ReportCommandsTest, ExportWritesTheChosenFileAndThenSaysSo) {
    // A cancelled dialog: no file, no message.
    QString dialogName;
    WhenModal<QFileDialog>([&dialogName](QFileDialog& dialog) {
        dialogName = dialog.objectName();
        EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(dialog.defaultSuffix(), "csv");
        EXPECT_EQ(dialog.nameFilters(), QStringList{"CSV files (*.csv)"});
        dialog.reject();
    });
    main->ExportToCSV->trigger();
    EXPECT_EQ(dialogName, "SaveDialog1");
    EXPECT_EQ(prompter.Count(), 0u);

    // The default extension is added to a name without one.
    const std::string chosen = folder.Home() + "/customers";
    test::WhenChoosingFile(chosen);
    main->ExportToCSV->trigger();
    ASSERT_EQ(prompter.Count(), 1u);
    EXPECT_EQ(prompter.Messages()[0].text, "CSV Export completed.");
    EXPECT_EQ(prompter.Messages()[0].title, "Complete");
    EXPECT_EQ(prompter.Messages()[0].icon, ui::Icon::Information);
    EXPECT_EQ(test::ReadFile(chosen + ".csv").rfind("entity_id,region_id,", 0), 0u);

    // A folder that is gone by the time the file is written.
    const std::string gone = folder.Home() + "/gone";
    std::filesystem::create_directory(gone);
    WhenModal<QFileDialog>([gone](QFileDialog& dialog) {
        dialog.findChild<QLineEdit*>("fileNameEdit")
            ->setText(QString::fromStdString(gone + "/customers.csv"));
        std::filesystem::remove(gone);
        static_cast<QDialog&>(dialog).accept();
    });
    main->ExportToCSV->trigger();
    ASSERT_EQ(prompter.Count(), 2u);
    EXPECT_EQ(prompter.Messages()[1].text, "The customers could not be exported to " + gone +
                                               "/customers.csv: No such file or directory.");
    EXPECT_EQ(prompter.Messages()[1].icon, ui::Icon::Warning);
}

TEST_F(ReportCommandsTest, ImportShowsTheNoticeStoresTheRowsAndRefreshesTheCustomerList) {
    auto* customers = qobject_cast<TfrmCustomer*>(main->frmCustomer.data());
    ASSERT_NE(customers, nullptr);
    TBrowseFrame* list = customers->customerFrame;
    customers->FinishFill();
    const int listed = list->qBrowse.RecordCount();
    prompter.onShow = [this](const ui::Message&) { EXPECT_FALSE(dm->zlmConn.InTransaction()); };

    const std::string csv = MakeFile(
        "in.csv",
        "entity_name;entity_first;Remarks\nNovák;Jan;a\n\"Ølstad; AS\";;b\nLee;\"Ann\nMarie\";c\n");
    test::WhenChoosingFile(csv);
    main->ImportFromCSV->trigger();
    const auto messages = prompter.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text,
              "Please note that the CSV file you select must contain field names on its first "
              "row, and it must be either comma- or semicolon-delimited.");
    EXPECT_EQ(messages[0].title, "CSV File");
    EXPECT_EQ(messages[0].icon, ui::Icon::Information);
    EXPECT_EQ(messages[1].text, "3 customers imported from " + csv +
                                    ".\n\nThese columns are no customer or address fields and "
                                    "were not imported: Remarks.");
    list->FinishFill();
    EXPECT_EQ(list->qBrowse.RecordCount(), listed + 3);
    EXPECT_EQ(Main("select entity_first from entity where entity_name='Lee'"), "Ann\nMarie");

    // A row that does not fit: nothing stored, the line named, the list as it was.
    MakeFile("in.csv", "entity_name,address_pcode\nA,1\nB,123456789012345678901\n");
    test::WhenChoosingFile(csv);
    main->ImportFromCSV->trigger();
    ASSERT_EQ(prompter.Count(), 4u);
    EXPECT_EQ(prompter.Messages()[3].text,
              "Nothing was imported from " + csv +
                  ".\n\nLine 3: the value of address_pcode has 21 characters; at most 20 fit.");
    EXPECT_EQ(prompter.Messages()[3].icon, ui::Icon::Warning);
    EXPECT_EQ(Main("select count(*) from entity where entity_name='A'"), "0");

    // Twenty unknown columns are named, and the number of the rest.
    std::string header = "entity_name";
    std::string named;
    for (int i = 1; i <= 23; ++i) {
        header += ",x" + std::to_string(i);
        if (i <= 20)
            named += (i > 1 ? ", x" : "x") + std::to_string(i);
    }
    MakeFile("in.csv", header + "\nWide\n");
    test::WhenChoosingFile(csv);
    main->ImportFromCSV->trigger();
    ASSERT_EQ(prompter.Count(), 6u);
    EXPECT_EQ(prompter.Messages()[5].text, "1 customer imported from " + csv +
                                               ".\n\nThese columns are no customer or address "
                                               "fields and were not imported: " +
                                               named + " and 3 more.");

    // A cancelled dialog after the notice: nothing more.
    QString dialogName;
    QString opened;
    WhenModal<QFileDialog>([&dialogName, &opened](QFileDialog& dialog) {
        dialogName = dialog.objectName();
        opened = dialog.directory().absolutePath();
        dialog.reject();
    });
    main->ImportFromCSV->trigger();
    // The folder last used, never the program's working folder.
    EXPECT_EQ(opened.toStdString(), std::filesystem::path(csv).parent_path().string());
    EXPECT_EQ(prompter.Count(), 7u);
    EXPECT_EQ(dialogName, "OpenDialog1");

    // With the customers window closed the import still runs.
    main->frmCustomer->parentWidget()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(main->frmCustomer);
    MakeFile("in.csv", "Entity_Name\nSolo\n");
    test::WhenChoosingFile(csv);
    main->ImportFromCSV->trigger();
    EXPECT_EQ(prompter.Messages().back().text, "1 customer imported from " + csv + ".");
}

TEST_F(ReportCommandsTest, TileStacksFullWidthWindowsAndCascadeStaggersThem) {
    main->show();
    main->MyOrganizationExecute();  // with the customers and inquiry windows: three
    const QList<QMdiSubWindow*> windows = main->mdiArea->subWindowList();
    ASSERT_EQ(windows.size(), 3);
    windows[0]->showMaximized();
    main->TileAction->trigger();
    const QRect area = main->mdiArea->viewport()->rect();
    std::set<int> tops;
    for (const QMdiSubWindow* w : windows) {
        EXPECT_FALSE(w->isMaximized());
        EXPECT_EQ(w->geometry().left(), 0);
        EXPECT_EQ(w->geometry().width(), area.width());
        EXPECT_GE(w->geometry().height(), area.height() / 3);
        tops.insert(w->geometry().top());
    }
    EXPECT_EQ(tops, (std::set<int>{0, area.height() / 3, 2 * (area.height() / 3)}));

    main->CascadeAction->trigger();
    std::set<int> lefts;
    for (const QMdiSubWindow* w : windows)
        lefts.insert(w->geometry().left());
    EXPECT_EQ(lefts.size(), 3u);
    EXPECT_LT(windows[0]->geometry().width(), area.width());
}

TEST_F(ReportCommandsTest, TheVersionTimerAnnouncesANewerVersionOnce) {
    EXPECT_TRUE(main->versionTimer->isActive());
    EXPECT_EQ(main->versionTimer->interval(), 5000);
    web.SetReply(200, "3.02.0");
    main->versionTimer->start(10);
    ASSERT_TRUE(QTest::qWaitFor([this] { return prompter.Count() > 0; }, 5000));
    QTest::qWait(100);
    ASSERT_EQ(prompter.Count(), 1u);
    EXPECT_EQ(prompter.Messages()[0].text,
              "There is a newer version of Zelmar available on our web site. Please download and "
              "install it as soon as possible.");
    EXPECT_EQ(prompter.Messages()[0].title, "Newer version");
    EXPECT_EQ(prompter.Messages()[0].icon, ui::Icon::Information);
    ASSERT_FALSE(opener.Targets().empty());
    EXPECT_EQ(opener.Targets().back(), folder.DataFolder() + "zlmupdate.html");
    EXPECT_FALSE(main->versionTimer->isActive());
}

TEST_F(ReportCommandsTest, AHostThatCannotBeReachedOrIsSlowCountsAsCurrent) {
    const auto opened = opener.Targets().size();
    const std::string closedHost = "127.0.0.1:" + std::to_string(test::ClosedPort());
    http::Hosts().webHost = closedHost;
    main->versionTimerTimer();
    EXPECT_EQ(prompter.Count(), 0u);

    // A host that never answers in time: the check gives up after its short time-out.
    http::Hosts().webHost = web.HostAndPort();
    web.SetReply(200, "3.02.0");
    web.SetDelay(std::chrono::seconds(20));
    const auto start = std::chrono::steady_clock::now();
    main->versionTimerTimer();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(8));
    EXPECT_EQ(prompter.Count(), 0u);
    EXPECT_EQ(opener.Targets().size(), opened);
    // The check at exit need not wait for the busy server.
    http::Hosts().webHost = closedHost;
}

}  // namespace
}  // namespace zl
