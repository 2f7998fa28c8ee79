#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "core/ErrorLog.h"
#include "core/WebRequests.h"
#include "platform/desktop/Desktop.h"
#include "platform/http/Http.h"
#include "tests/support/HttpTestServer.h"
#include "tests/support/ScriptedOpener.h"
#include "tests/support/ScriptedPrompter.h"

namespace zl {
namespace {

namespace fs = std::filesystem;

const std::string kConnection =
    "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/x/zlm.dat;Mode=Share Deny None;"
    "Jet OLEDB:System database=\"\";Jet OLEDB:Database Password=qurnel;";
const std::string kMaskedConnection =
    "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/x/zlm.dat;Mode=Share Deny None;"
    "Jet OLEDB:System database=\"\";Jet OLEDB:Database Password=***;";

// A fresh per-user data folder under a temporary XDG_DATA_HOME, the web host pointed at a test
// server and a scripted prompter.
class ErrorLogTest : public testing::Test {
  protected:
    void SetUp() override {
        if (const char* old = std::getenv("XDG_DATA_HOME")) {
            savedXdg_ = old;
        }
        char pattern[] = "/tmp/zl-errorlog-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
        setenv("XDG_DATA_HOME", root_.c_str(), 1);
        dataDir_ = root_.string() + "/tesmond/zlm/";
        fs::create_directories(dataDir_);
        savedHosts_ = http::Hosts();
        http::Hosts().webHost = server_.HostAndPort();
    }

    void TearDown() override {
        http::Hosts() = savedHosts_;
        if (savedXdg_) {
            setenv("XDG_DATA_HOME", savedXdg_->c_str(), 1);
        } else {
            unsetenv("XDG_DATA_HOME");
        }
        fs::remove_all(root_);
    }

    std::string LogBytes() const {
        std::ifstream in(dataDir_ + "zlm.err.log", std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    test::HttpTestServer server_;
    ui::ScriptedPrompter prompter_;
    fs::path root_;
    std::string dataDir_;
    std::optional<std::string> savedXdg_;
    http::HostSettings savedHosts_;
};

TEST_F(ErrorLogTest, DataFolderIsBelowXdgDataHome) {
    EXPECT_EQ(GetAppDataDir(), root_.string() + "/tesmond/zlm/");
}

TEST_F(ErrorLogTest, LogsShowsAndReportsAFailure) {
    LogError("TDataMod.Seek", "Record not found", "");

    EXPECT_EQ(LogBytes(), "TDataMod.Seek;Record not found;\r\n");

    std::vector<ui::Message> shown = prompter_.Messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Exception occurred in: TDataMod.Seek\nException: Record not found\n");
    EXPECT_EQ(shown[0].title, "Exception");
    EXPECT_EQ(shown[0].icon, ui::Icon::Warning);
    EXPECT_EQ(shown[0].buttons, ui::Buttons::Ok);
    EXPECT_EQ(shown[0].owner, nullptr);

    ASSERT_TRUE(server_.WaitForRequests(1));
    EXPECT_EQ(server_.Paths(),
              std::vector<std::string>{"/error.asp?err=Exception%20occurred%20in%20TDataMod.Seek"
                                       "%0AException%20Record%20not%20found%0A"});
}

TEST_F(ErrorLogTest, AppendsToAnExistingLog) {
    std::ofstream(dataDir_ + "zlm.err.log", std::ios::binary) << "old;line;\r\n";
    LogError("TDataMod.openQuery > TfrmMain.popBU", "no such table: bu",
             "select * from bu where a;b");
    LogError("TDataMod.nextID", "locked", "id_control");
    EXPECT_EQ(LogBytes(),
              "old;line;\r\n"
              "TDataMod.openQuery > TfrmMain.popBU;no such table: bu;select * from bu where a;b\r\n"
              "TDataMod.nextID;locked;id_control\r\n");
    EXPECT_EQ(prompter_.Count(), 2u);
    // An older log becomes private; a link in its place is never written through.
    EXPECT_EQ(fs::status(dataDir_ + "zlm.err.log").permissions(), fs::perms(0600));
    std::ofstream(dataDir_ + "other.txt") << "kept";
    fs::remove(dataDir_ + "zlm.err.log");
    fs::create_symlink(dataDir_ + "other.txt", dataDir_ + "zlm.err.log");
    LogError("TDataMod.nextID", "locked", "id_control");
    std::stringstream kept;
    kept << std::ifstream(dataDir_ + "other.txt").rdbuf();
    EXPECT_EQ(kept.str(), "kept");
    EXPECT_EQ(prompter_.Count(), 2u);
}

// A reply longer than 64 KB is cut: one line in the log for each, and no box or report about it,
// which could be cut again.
TEST_F(ErrorLogTest, ALongReplyIsCutAndLoggedOnceWithoutABox) {
    server_.SetReply(200, "2.06.01" + std::string(1 << 20, '\n'));
    EXPECT_FALSE(CheckCurrentVersion("3.01.15"));
    const std::string cut =
        "WebGet;The reply was longer than 65536 bytes and was cut to them;http://" +
        server_.HostAndPort();
    EXPECT_EQ(LogBytes(), cut + "/zlmversion.asp\r\n");
    EXPECT_EQ(prompter_.Count(), 0u);

    LogError("TDataMod.Seek", "Record not found", "");
    EXPECT_EQ(LogBytes(), cut + "/zlmversion.asp\r\nTDataMod.Seek;Record not found;\r\n" + cut +
                              "/error.asp\r\n");
    EXPECT_EQ(prompter_.Count(), 1u);
    EXPECT_EQ(server_.Paths().size(), 2u);
}

TEST_F(ErrorLogTest, UnwritableLogShowsNothingAndSendsNothing) {
    fs::create_directory(dataDir_ + "zlm.err.log");
    LogError("TDataMod.Seek", "Record not found", "");
    EXPECT_EQ(prompter_.Count(), 0u);
    EXPECT_TRUE(server_.Paths().empty());

    // A data folder that does not exist either.
    fs::remove_all(root_ / "tesmond");
    LogError("TDataMod.Seek", "Record not found", "");
    EXPECT_EQ(prompter_.Count(), 0u);
    EXPECT_TRUE(server_.Paths().empty());
}

TEST_F(ErrorLogTest, PasswordNeverReachesLogBoxOrReport) {
    LogError("TDataMod.Connect", "Cannot open " + kConnection, kConnection);

    EXPECT_EQ(LogBytes(), "TDataMod.Connect;Cannot open " + kMaskedConnection + ";" +
                              kMaskedConnection + "\r\n");
    ASSERT_EQ(prompter_.Count(), 1u);
    EXPECT_EQ(prompter_.Messages()[0].text,
              "Exception occurred in: TDataMod.Connect\n"
              "Exception: Cannot open " +
                  kMaskedConnection + "\n" + kMaskedConnection);
    ASSERT_TRUE(server_.WaitForRequests(1));
    const std::string path = server_.Paths()[0];
    EXPECT_EQ(path.find("qurnel"), std::string::npos);
    EXPECT_EQ(
        path.substr(path.rfind("%0A")),
        "%0AProvider%3DMicrosoft.Jet.OLEDB.4.0;Data%20Source%3Dxzlm.dat;Mode%3DShare%20Deny"
        "%20None;Jet%20OLEDBSystem%20database%3D%22%22;Jet%20OLEDBDatabase%20Password%3D***;");
}

TEST_F(ErrorLogTest, FailedReportIsIgnored) {
    http::Hosts().webHost = "127.0.0.1:" + std::to_string(test::ClosedPort());
    LogError("TDataMod.Seek", "Record not found", "x");
    EXPECT_EQ(LogBytes(), "TDataMod.Seek;Record not found;x\r\n");
    EXPECT_EQ(prompter_.Count(), 1u);
}

TEST_F(ErrorLogTest, FailingBoxEndsTheRoutineBeforeTheReport) {
    struct Throwing : ui::Prompter {
        ui::Button Show(const ui::Message&) override { throw std::runtime_error("no screen"); }
    } throwing;
    ui::InstallPrompter(&throwing);
    EXPECT_NO_THROW(LogError("TDataMod.Seek", "Record not found", ""));
    ui::InstallPrompter(&prompter_);
    EXPECT_EQ(LogBytes(), "TDataMod.Seek;Record not found;\r\n");
    EXPECT_TRUE(server_.Paths().empty());
}

TEST_F(ErrorLogTest, AppendOnlyWritesTheMaskedLine) {
    EXPECT_TRUE(AppendErrorLog("Application", "Cannot open " + kConnection, "x;y"));
    EXPECT_EQ(LogBytes(), "Application;Cannot open " + kMaskedConnection + ";x;y\r\n");
    EXPECT_EQ(prompter_.Count(), 0u);
    EXPECT_TRUE(server_.Paths().empty());

    fs::remove(dataDir_ + "zlm.err.log");
    fs::create_directory(dataDir_ + "zlm.err.log");
    EXPECT_FALSE(AppendErrorLog("Application", "lost", ""));
}

TEST(EncodeErrorText, SpacesColonsAndSlashes) {
    EXPECT_EQ(EncodeErrorText("Exception occurred in: TDataMod.Seek\nException: x"),
              "Exception%20occurred%20in%20TDataMod.Seek%0AException%20x");
    // A Windows path loses its colon and forward slashes; its backslash is encoded.
    EXPECT_EQ(EncodeErrorText("C:\\dir/x"), "C%5Cdirx");
    EXPECT_EQ(EncodeErrorText(""), "");
}

TEST(EncodeErrorText, EncodesEveryByteThatWouldBreakTheRequest) {
    EXPECT_EQ(EncodeErrorText("&=?#%+\"<>\\^`{|}"),
              "%26%3D%3F%23%25%2B%22%3C%3E%5C%5E%60%7B%7C%7D");
    EXPECT_EQ(EncodeErrorText(std::string("\r\t\x01\x7F\x80\xE9\xFF", 7)), "%0D%09%01%7F%80%E9%FF");
    EXPECT_EQ(EncodeErrorText(std::string(1, '\0')), "%00");
    const std::string kept = "ABCXYZabcxyz0189-._~!$'()*,;@[]";
    EXPECT_EQ(EncodeErrorText(kept), kept);
}

TEST(MaskConnectionPassword, MasksItemsWhoseNameEndsInPassword) {
    EXPECT_EQ(MaskConnectionPassword(kConnection), kMaskedConnection);
    EXPECT_EQ(MaskConnectionPassword("password=x;User=y"), "password=***;User=y");
    EXPECT_EQ(MaskConnectionPassword("User ID=admin;PASSWORD=secret"),
              "User ID=admin;PASSWORD=***");
    EXPECT_EQ(MaskConnectionPassword("a;Password=;b=1"), "a;Password=***;b=1");
    EXPECT_EQ(MaskConnectionPassword("x Password=1;Database Password=2;"),
              "x Password=***;Database Password=***;");
    // Other names stay, even when a value mentions passwords.
    EXPECT_EQ(MaskConnectionPassword("PWD=x;Data Source=/x/password.dat;Passwords=3"),
              "PWD=x;Data Source=/x/password.dat;Passwords=3");
}

TEST(OpenFileByShell, OpensAnExistingFileOrSaysItDoesNotExist) {
    char pattern[] = "/tmp/zl-open-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = pattern;
    const std::string file = dir + "/doc 1.rtf";
    std::ofstream(file) << "{\\rtf1}";

    ui::ScriptedPrompter prompter;
    desktop::ScriptedOpener opener;
    desktop::FixedContentTypes rtf({"application/rtf", "application/rtf", "application/rtf"});
    int owner = 0;
    OpenFileByShell(&owner, file);
    EXPECT_EQ(opener.Targets(), std::vector<std::string>{file});
    EXPECT_EQ(prompter.Count(), 0u);

    OpenFileByShell(&owner, dir + "/missing.rtf");
    OpenFileByShell(&owner, dir);
    EXPECT_EQ(opener.Targets().size(), 1u);
    std::vector<ui::Message> shown = prompter.Messages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].owner, &owner);
    EXPECT_EQ(shown[0].text, "File does not exist");
    EXPECT_EQ(shown[0].title, "Not found");
    EXPECT_EQ(shown[0].icon, ui::Icon::Warning);
    EXPECT_EQ(shown[0].buttons, ui::Buttons::Ok);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace zl
