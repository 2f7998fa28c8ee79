// Start-up over a data folder or database files that are missing, damaged or read-only.
#include <sys/stat.h>
#include <unistd.h>

#include <QPushButton>
#include <filesystem>
#include <fstream>
#include <random>

#include "core/DataMod.h"
#include "core/Globals.h"
#include "core/ReportServer.h"
#include "shell/TfrmLogin.h"
#include "shell/TfrmMain.h"
#include "shell/TfrmSplash.h"
#include "tests/support/FakeReportServer.h"
#include "tests/support/QtFixture.h"

namespace zl {
namespace {

namespace fs = std::filesystem;

// Closes the splash window whenever it shows, and notes and cancels a login dialog, for as long
// as the object lives.
class ModalWatch {
  public:
    ModalWatch() {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* splash = qobject_cast<TfrmSplash*>(modal)) {
                splashShown = true;
                splash->close();
            } else if (auto* login = qobject_cast<TfrmLogin*>(modal)) {
                loginShown = true;
                login->btnCancel->click();
            }
        });
        timer_.start();
    }
    bool splashShown = false;
    bool loginShown = false;

  private:
    QTimer timer_;
};

// Root may write any file whatever its mode: there the owner's write bit stands in for access().
bool OwnerMayWrite(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && (st.st_mode & S_IWUSR) != 0;
}

class StartUpFailureTest : public test::QtFixture {
  protected:
    void TearDown() override { ReportServer.reset(); }

    void Start() {
        fake = test::FakeReportServer::Create();
        main.createReportServer = [server = fake] { return server->NewClient(); };
        main.endProgram = [this](int status) { exitStatuses.push_back(status); };
        if (::geteuid() == 0)
            main.isWritable = OwnerMayWrite;
        ModalWatch watch;
        main.Timer1Timer();
        splashShown = watch.splashShown;
        loginShown = watch.loginShown;
    }
    void SetUpAsAfterTheFirstRun() {
        db::Connection local;
        local.SetConnectionString("Data Source=" + folder.LocalDb());
        local.Open();
        local.Execute("update config set config_firstflag=1, config_dbpath='" + folder.MainDb() +
                      "', config_docrepository='" + folder.DataFolder() + "doc/'");
    }
    // The one box of a file problem: its text, with the title and icon checked.
    std::string OnlyBox() const {
        const auto messages = prompter.Messages();
        if (messages.size() != 1)
            return "<" + std::to_string(messages.size()) + " boxes>";
        EXPECT_EQ(messages[0].title, "Zelmar");
        EXPECT_EQ(messages[0].icon, ui::Icon::Warning);
        return messages[0].text;
    }
    // Start-up ended at once with status 1: no splash, no login, no server, nothing logged.
    void ExpectEndedBeforeAnythingOpened() {
        EXPECT_EQ(exitStatuses, std::vector<int>{1});
        EXPECT_TRUE(main.Halted());
        EXPECT_FALSE(main.Started());
        EXPECT_FALSE(splashShown);
        EXPECT_FALSE(loginShown);
        EXPECT_FALSE(ReportServer);
        EXPECT_TRUE(fake->calls.empty());
        EXPECT_FALSE(dm->localConn.Connected() || dm->repConn.Connected() ||
                     dm->zlmConn.Connected());
        EXPECT_TRUE(opener.Targets().empty());  // not even the goodbye page
        EXPECT_FALSE(fs::exists(folder.DataFolder() + "zlm.err.log"));
    }

    TfrmMain main;
    com::ComPtr<test::FakeReportServer> fake;
    std::vector<int> exitStatuses;
    bool splashShown = false;
    bool loginShown = false;
};

TEST_F(StartUpFailureTest, WithoutTheDataFolderOneMessageAndNothingCreated) {
    fs::remove_all(folder.DataFolder());
    Start();
    EXPECT_EQ(OnlyBox(), "The data folder " + folder.DataFolder() +
                             " does not exist. Run zelmar-setup to create it.");
    ExpectEndedBeforeAnythingOpened();
    EXPECT_FALSE(fs::exists(folder.DataFolder()));
    EXPECT_TRUE(fs::is_empty(folder.Home() + "/tesmond"));
}

TEST_F(StartUpFailureTest, AMissingDatabaseFileIsNamedAndNotCreated) {
    struct Case {
        std::string file;
        bool afterFirstRun;
    };
    for (const Case& c : {Case{folder.LocalDb(), false}, Case{folder.MetaDb(), false},
                          Case{folder.MainDb(), false}, Case{folder.MainDb(), true}}) {
        SCOPED_TRACE(c.file + (c.afterFirstRun ? " after the first run" : " at the first run"));
        test::TestDataFolder fresh;
        if (c.afterFirstRun) {
            // The settings may name any main file: it is that one that is checked.
            db::Connection local;
            local.SetConnectionString("Data Source=" + fresh.LocalDb());
            local.Open();
            local.Execute("update config set config_firstflag=1, config_dbpath='" + fresh.Home() +
                          "/elsewhere.dat'");
        }
        const std::string missing =
            c.afterFirstRun ? fresh.Home() + "/elsewhere.dat"
                            : fresh.DataFolder() + c.file.substr(folder.DataFolder().size());
        fs::remove(missing);
        TfrmMain main;
        main.endProgram = [this](int status) { exitStatuses.push_back(status); };
        ModalWatch watch;
        const std::size_t boxesBefore = prompter.Count();
        main.Timer1Timer();
        ASSERT_EQ(prompter.Count(), boxesBefore + 1);
        EXPECT_EQ(
            prompter.Messages().back().text,
            "The database file " + missing + " does not exist. Run zelmar-setup to create it.");
        EXPECT_EQ(exitStatuses.back(), 1);
        EXPECT_FALSE(watch.splashShown || watch.loginShown);
        EXPECT_FALSE(fs::exists(missing));
        EXPECT_FALSE(fs::exists(fresh.DataFolder() + "zlm.err.log"));
        EXPECT_FALSE(ReportServer);
    }
}

TEST_F(StartUpFailureTest, AReadOnlyDatabaseIsNamedAndLeftAsItWas) {
    struct Case {
        const char* what;
        std::string changed;
        fs::perms mode;
        std::string named;
    };
    const std::string db = folder.DataFolder() + "db";
    for (const Case& c : {Case{"main file", folder.MainDb(), fs::perms(0444), folder.MainDb()},
                          Case{"local file", folder.LocalDb(), fs::perms(0444), folder.LocalDb()},
                          Case{"their folder", db, fs::perms(0555), folder.LocalDb()}}) {
        SCOPED_TRACE(c.what);
        const std::string namedBefore = test::ReadFile(c.named);
        fs::permissions(c.changed, c.mode);
        TfrmMain main;
        main.endProgram = [this](int status) { exitStatuses.push_back(status); };
        if (::geteuid() == 0)
            main.isWritable = OwnerMayWrite;
        ModalWatch watch;
        const std::size_t boxesBefore = prompter.Count();
        main.Timer1Timer();
        fs::permissions(c.changed, fs::perms::owner_write, fs::perm_options::add);
        ASSERT_EQ(prompter.Count(), boxesBefore + 1);
        EXPECT_EQ(prompter.Messages().back().text,
                  "The database file " + c.named +
                      " cannot be written: it is read-only. Zelmar needs to write to it; nothing "
                      "has been changed.");
        EXPECT_EQ(exitStatuses.back(), 1);
        EXPECT_FALSE(watch.splashShown || watch.loginShown);
        EXPECT_EQ(test::ReadFile(c.named), namedBefore);
        EXPECT_FALSE(fs::exists(c.named + "-wal") || fs::exists(c.named + "-shm"));
        EXPECT_FALSE(fs::exists(folder.DataFolder() + "zlm.err.log"));
        EXPECT_FALSE(dm->localConn.Connected() || dm->repConn.Connected());
    }
}

class DamagedMainDatabaseTest : public StartUpFailureTest,
                                public ::testing::WithParamInterface<bool> {};

TEST_P(DamagedMainDatabaseTest, TheConnectionsWarningThenStartUpEnds) {
    const bool afterFirstRun = GetParam();
    if (afterFirstRun)
        SetUpAsAfterTheFirstRun();
    std::string noise(8192, '\0');
    std::mt19937 bytes(20240601);
    for (char& b : noise)
        b = static_cast<char>(bytes() & 0xFF);
    std::ofstream(folder.MainDb(), std::ios::binary | std::ios::trunc) << noise;

    Start();
    const auto messages = prompter.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text.rfind("Exception occurred in: TDataMod.Connect\n", 0), 0u);
    EXPECT_EQ(messages[1].text,
              "Exception occurred in: TfrmMain.Timer1Timer\nException: The "
              "database file " +
                  folder.MainDb() + " could not be opened.\n");
    EXPECT_EQ(exitStatuses, std::vector<int>{1});
    EXPECT_TRUE(main.Halted());
    EXPECT_FALSE(loginShown);
    EXPECT_EQ(CurUserId, 0);
    // The splash shows only once the first run has set up the main file.
    EXPECT_EQ(splashShown, afterFirstRun);
    EXPECT_EQ(main.Started(), afterFirstRun);
    // The server was never asked to connect to the damaged file.
    for (const std::string& call : fake->calls)
        EXPECT_EQ(call.rfind("Connect(", 0), std::string::npos) << call;
    EXPECT_EQ(test::ReadFile(folder.MainDb()), noise);
    EXPECT_FALSE(fs::exists(folder.MainDb() + "-wal"));
    EXPECT_FALSE(fs::exists(folder.MainDb() + "-shm"));
    EXPECT_NE(ErrorLog().find("TfrmMain.Timer1Timer;The database file " + folder.MainDb() +
                              " could not be opened.;\r\n"),
              std::string::npos);
    // The shutdown steps ran as far as start-up got; with no main database there is no audit
    // row to write.
    EXPECT_FALSE(dm->localConn.Connected());
    EXPECT_EQ(!fake->calls.empty() && fake->calls.back() == "Disconnect()", afterFirstRun);
    EXPECT_EQ(Local("select count(*) from audit where audit_descr='Application quit'"), "0");
}

INSTANTIATE_TEST_SUITE_P(FirstRunAndLater, DamagedMainDatabaseTest, ::testing::Bool());

}  // namespace
}  // namespace zl
