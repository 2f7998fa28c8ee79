#include "shell/TfrmMain.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/Globals.h"
#include "core/Passwords.h"
#include "frames/TBrowseFrame.h"
#include "platform/com/Registry.h"
#include "platform/db/SchemaChange.h"
#include "screens/HubWindow.h"
#include "screens/TfrmCustomer.h"
#include "shell/TfrmLogin.h"
#include "shell/TfrmSplash.h"
#include "tests/support/FakeReportServer.h"
#include "tests/support/QtFixture.h"
#include "tests/support/ScriptedOpener.h"

namespace zl {
namespace {

using test::WhenModal;

class MainWindowTest : public test::QtFixture {
  protected:
    void TearDown() override { ReportServer.reset(); }

    // Start-up with the splash closed at once and the login answered as given. The order of the
    // connections is noted while the splash shows.
    void StartUp(TfrmMain& main, bool logIn = true) {
        main.endProgram = [this](int status) { exitStatuses.push_back(status); };
        WhenModal<TfrmSplash>([this](TfrmSplash& splash) {
            splashVersion = splash.labVersion->text().toStdString();
            connectedAtSplash = {dm->localConn.Connected(), dm->repConn.Connected(),
                                 dm->zlmConn.Connected()};
            splash.close();
        });
        WhenModal<TfrmLogin>([logIn](TfrmLogin& login) {
            if (logIn)
                login.btnOK->click();
            else
                login.btnCancel->click();
        });
        main.Timer1Timer();
    }
    // Replaces creation by class id with a recording server.
    void UseFakeServer(TfrmMain& main) {
        fake = test::FakeReportServer::Create();
        main.createReportServer = [server = fake] { return server->NewClient(); };
    }
    // The settings of a second start: the first-run set-up does not run again.
    void SetUpAsAfterTheFirstRun() {
        db::Connection local;
        local.SetConnectionString("Data Source=" + folder.LocalDb());
        local.Open();
        local.Execute("update config set config_firstflag=1, config_dbpath='" + folder.MainDb() +
                      "', config_docrepository='" + folder.DataFolder() + "doc/'");
    }
    int AuditCount(const std::string& descr) const {
        return std::stoi(Local("select count(*) from audit where audit_descr='" + descr + "'"));
    }

    com::ComPtr<test::FakeReportServer> fake;
    std::vector<int> exitStatuses;
    std::string splashVersion;
    std::vector<bool> connectedAtSplash;
};

TEST_F(MainWindowTest, StartUpConnectsInOrderCreatesTheServerByClassIdAndLogsIn) {
    ASSERT_TRUE(com::Succeeded(com::RegisterServerLibrary(ZELMAR_REPORTSERVER_PATH)));
    SetUpAsAfterTheFirstRun();
    TfrmMain main;
    StartUp(main);
    EXPECT_EQ(splashVersion, "Version: 3.01.15");
    EXPECT_EQ(connectedAtSplash, (std::vector<bool>{true, true, false}));
    ASSERT_FALSE(main.Halted());
    EXPECT_TRUE(main.Started());
    ASSERT_TRUE(ReportServer);
    EXPECT_TRUE(dm->zlmConn.Connected());
    ASSERT_NE(Dimensions, nullptr);
    EXPECT_EQ(Dimensions->Count(), 31);
    EXPECT_EQ(CurUserId, 2);
    EXPECT_EQ(main.statusPanel1->text(), "Currently logged in: System");
    EXPECT_EQ(main.cbBusUnit->count(), 1);
    EXPECT_EQ(main.cbBusUnit->currentText(), "My business");
    EXPECT_EQ(CurBusUnitId, 3);
    ASSERT_TRUE(main.frmInquiry && main.frmCustomer);
    EXPECT_EQ(main.frmCustomer->windowTitle(), "Customers");
    EXPECT_EQ(main.mdiArea->activeSubWindow()->widget(), main.frmCustomer.data());
    // Usable before the hubs' rows have arrived; each list fills as they do.
    auto* customers = qobject_cast<TfrmCustomer*>(main.frmCustomer.data());
    ASSERT_NE(customers, nullptr);
    EXPECT_TRUE(main.frmCustomer->Filling());
    EXPECT_TRUE(main.frmInquiry->Filling());
    EXPECT_FALSE(customers->customerFrame->qBrowse.Active());
    main.frmCustomer->FinishFill();
    main.frmInquiry->FinishFill();
    EXPECT_TRUE(customers->customerFrame->qBrowse.Active());
    EXPECT_TRUE(main.Customers->isChecked());
    EXPECT_FALSE(main.Inquiry->isChecked());
    EXPECT_TRUE(main.versionTimer->isActive());
    EXPECT_EQ(prompter.Count(), 0u);
    main.Exit1Click();
    EXPECT_EQ(exitStatuses, std::vector<int>{0});
}

TEST_F(MainWindowTest, ExitRecordsTheQuitClosesEverythingAndDisconnectsTheServer) {
    TfrmMain main;
    UseFakeServer(main);
    StartUp(main);
    ASSERT_EQ(fake->calls.size(), 2u);
    EXPECT_EQ(fake->calls[0], "Connect(" + dm->BuildConnectionString(folder.MainDb()) + "|" +
                                  dm->MetaDbConnectionString() + "|" +
                                  dm->LocalDbConnectionString() + ")");
    EXPECT_EQ(fake->calls[1], "RegisteredToCompany(My business)");

    main.Exit1Click();
    EXPECT_EQ(fake->calls.back(), "Disconnect()");
    EXPECT_FALSE(dm->zlmConn.Connected());
    EXPECT_FALSE(dm->localConn.Connected());
    EXPECT_FALSE(dm->repConn.Connected());
    EXPECT_EQ(AuditCount("Application quit"), 1);
    const auto targets = opener.Targets();
    ASSERT_FALSE(targets.empty());
    EXPECT_EQ(targets.back(), folder.DataFolder() + "zlmquit.html");
    ASSERT_TRUE(web.WaitForRequests(2));
    const auto paths = web.Paths();
    EXPECT_NE(std::find(paths.begin(), paths.end(), "/usage.asp?vsn=3_01_15"), paths.end());
    EXPECT_NE(std::find(paths.begin(), paths.end(), "/zlmversion.asp?version=3.01.15"),
              paths.end());
}

TEST_F(MainWindowTest, ANewerVersionIsAnnouncedAtExit) {
    web.SetReply(200, "3.02.0");
    TfrmMain main;
    UseFakeServer(main);
    StartUp(main);
    main.Exit1Click();
    ASSERT_GE(prompter.Count(), 1u);
    EXPECT_EQ(prompter.Messages().back().text,
              "There is a newer version of Zelmar available on our web site. Please download and "
              "install it as soon as possible.");
    EXPECT_EQ(prompter.Messages().back().title, "Newer version");
    const auto targets = opener.Targets();
    ASSERT_GE(targets.size(), 2u);
    EXPECT_EQ(targets[targets.size() - 2], folder.DataFolder() + "zlmupdate.html");
}

TEST_F(MainWindowTest, ACancelledLoginHaltsWithoutTheShutdownSteps) {
    TfrmMain main;
    UseFakeServer(main);
    StartUp(main, false);
    EXPECT_TRUE(main.Halted());
    EXPECT_EQ(exitStatuses, std::vector<int>{0});  // the user's choice, not a failure
    EXPECT_EQ(AuditCount("Application quit"), 0);
    EXPECT_FALSE(dm->zlmConn.Connected());
    EXPECT_FALSE(dm->localConn.Connected());
    EXPECT_FALSE(main.frmCustomer);
    EXPECT_NE(fake->calls.back(), "Disconnect()");
    main.close();  // closing a halted window runs nothing more
    EXPECT_EQ(AuditCount("Application quit"), 0);
}

TEST_F(MainWindowTest, AnUnregisteredServerEndsStartUpWithOneClearMessage) {
    TfrmMain main;  // nothing registered in this test's class store
    StartUp(main);
    EXPECT_TRUE(main.Halted());
    EXPECT_EQ(exitStatuses, std::vector<int>{1});
    ASSERT_EQ(prompter.Count(), 1u);
    EXPECT_EQ(prompter.Messages()[0].text,
              "Exception occurred in: TfrmMain.Timer1Timer\nException: Class not registered\n");
    EXPECT_EQ(ErrorLog().rfind("TfrmMain.Timer1Timer;Class not registered;\r\n", 0), 0u);
    EXPECT_FALSE(ReportServer);
    // The splash had been passed: the quit is recorded and the connections are closed.
    EXPECT_EQ(AuditCount("Application quit"), 1);
    EXPECT_FALSE(dm->localConn.Connected());
}

TEST_F(MainWindowTest, HubCommandsReuseAnOpenWindowAndReplaceAClosedOne) {
    TfrmMain main;
    UseFakeServer(main);
    StartUp(main);
    QPointer<HubWindow> first = main.frmCustomer;
    main.InquiryExecute();
    EXPECT_TRUE(main.Inquiry->isChecked());
    main.CustomersExecute();
    EXPECT_EQ(main.frmCustomer, first);
    EXPECT_TRUE(main.Customers->isChecked());
    EXPECT_FALSE(main.Inquiry->isChecked());

    first->parentWidget()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(first);
    EXPECT_FALSE(CustomersOpen);
    main.CustomersExecute();
    ASSERT_TRUE(main.frmCustomer);
    EXPECT_TRUE(CustomersOpen);
    EXPECT_EQ(main.frmCustomer->windowTitle(), "Customers");

    EXPECT_FALSE(main.frmOrg);
    main.MyOrganizationExecute();
    ASSERT_TRUE(main.frmOrg);
    EXPECT_EQ(main.frmOrg->windowTitle(), "My organization");
    EXPECT_EQ(main.frmOrg->findChild<QTabWidget*>("PageControl1")->count(), 8);
    main.BillableExecute();
    EXPECT_EQ(main.frmBillable->windowTitle(), "Billable items");
    EXPECT_EQ(main.frmBillable->findChild<QTabWidget*>("PageControl1")->count(), 4);
    EXPECT_EQ(main.mdiArea->subWindowList().size(), 4);
    main.Exit1Click();
}

TEST_F(MainWindowTest, TheChosenBusinessUnitGoesIntoNewRows) {
    TfrmMain main;
    UseFakeServer(main);
    StartUp(main);
    ASSERT_TRUE(
        dm->actionQuery("insert into entity (entity_id, dimension_id, entity_name) values "
                        "(1001, 5, \"North\"), (1002, 5, \"South\")",
                        "t"));
    main.popBU();
    ASSERT_EQ(main.cbBusUnit->count(), 3);
    EXPECT_EQ(main.cbBusUnit->itemText(2), "South");
    main.cbBusUnitClick(2);
    EXPECT_EQ(CurBusUnitId, 1002);
    db::Query doc;
    ASSERT_TRUE(dm->OpenById(doc, "zlm_doc", 0, "t"));
    ASSERT_TRUE(dm->Append(doc, "t"));
    EXPECT_EQ(doc.FieldByName("bus_unit_id").AsInteger(), 1002);
    doc.Cancel();

    // No business unit at all: an empty selector and unit 0.
    ASSERT_TRUE(dm->actionQuery("delete from entity where dimension_id=5", "t"));
    main.popBU();
    EXPECT_EQ(main.cbBusUnit->count(), 0);
    EXPECT_EQ(CurBusUnitId, 0);
    main.cbBusUnitClick(0);
    EXPECT_EQ(CurBusUnitId, 0);
    main.Exit1Click();
}

TEST_F(MainWindowTest, AKindTheDatabaseLacksIsReportedOnceAndStartUpGoesOn) {
    SetUpAsAfterTheFirstRun();
    {
        db::Connection main;
        main.SetConnectionString("Data Source=" + folder.MainDb());
        main.Open();
        main.Execute("delete from dimension where dimension_id=24");
    }
    TfrmMain main;
    UseFakeServer(main);
    StartUp(main);
    ASSERT_EQ(prompter.Count(), 1u);
    EXPECT_EQ(prompter.Messages()[0].title, "Missing record kinds");
    EXPECT_NE(prompter.Messages()[0].text.find("record kind(s) 24."), std::string::npos);
    EXPECT_TRUE(exitStatuses.empty());  // logged in and running
    EXPECT_TRUE(main.frmCustomer);
    main.Exit1Click();
}

TEST_F(MainWindowTest, AMainFileMadeBeforeHashingIsWidenedAndItsClearPasswordStoredHashed) {
    SetUpAsAfterTheFirstRun();
    {
        db::Connection old;
        old.SetConnectionString("Data Source=" + folder.MainDb());
        old.Open();
        db::ChangeColumnType(old, "entity", "entity_pwd", "VARCHAR(20)");
        old.Execute("update entity set entity_pwd='velkran' where entity_id=2");
    }
    TfrmMain main;
    UseFakeServer(main);
    StartUp(main);
    EXPECT_EQ(CurUserId, 2);
    EXPECT_EQ(Main("select type from pragma_table_info('entity') where name='entity_pwd'"),
              "VARCHAR(255)");
    const std::string stored = Main("select entity_pwd from entity where entity_id=2");
    EXPECT_TRUE(IsPasswordHash(stored) && PasswordMatches("velkran", stored)) << stored;
    EXPECT_EQ(prompter.Count(), 0u);
    main.Exit1Click();
}

TEST_F(MainWindowTest, OptionsWithoutTheRightDoNothing) {
    TfrmMain main;
    UseFakeServer(main);
    StartUp(main);
    CurUserId = 5;  // holds no right
    main.OptionsExecute();
    EXPECT_EQ(prompter.Count(), 0u);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    main.Exit1Click();
}

TEST_F(MainWindowTest, AboutShowsTheVersionAndASiteLinkThatNeverBreaks) {
    ConnectAll();
    TfrmSplash splash;
    EXPECT_EQ(splash.windowTitle(), "About Zelmar");
    EXPECT_EQ(splash.Label1->text(), "Zelmar");
    std::remove((folder.DataFolder() + "zlmredir.html").c_str());
    bool stillOpen = false;
    WhenModal<TfrmSplash>([&](TfrmSplash& shown) {
        EXPECT_EQ(shown.labVersion->text(), "Version: 3.01.15");
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(1, 1), QPointF(1, 1),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(shown.labSite, &release);
        stillOpen = shown.isVisible();
        shown.close();
    });
    EXPECT_TRUE(splash.showSplash());
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(opener.Targets().empty());
    EXPECT_EQ(prompter.Count(), 0u);
}

// Help › Contents opens the help page as a stored document is opened, and says so when no
// program takes it.
TEST_F(MainWindowTest, HelpContentsSaysWhenNoProgramCouldBeStarted) {
    const desktop::FixedContentTypes html({"text/html", "text/html", "text/html"});
    const std::string help = folder.DataFolder() + "help.html";
    TfrmMain main;
    {
        desktop::ScriptedOpener noBrowser(false);
        main.HelpContents->trigger();
        EXPECT_EQ(noBrowser.Targets(), std::vector<std::string>{help});
    }
    ExpectMessages({{"No program could be started to open this file.", "Not opened"}});
    desktop::InstallOpener(&opener);
    main.HelpContents->trigger();
    EXPECT_EQ(opener.Targets(), std::vector<std::string>{help});
    EXPECT_EQ(prompter.Count(), 1u);
}

}  // namespace
}  // namespace zl
