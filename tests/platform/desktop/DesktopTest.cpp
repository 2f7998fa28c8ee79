#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

#include "platform/desktop/Desktop.h"
#include "tests/support/ScriptedOpener.h"

namespace zl::desktop {
namespace {

namespace fs = std::filesystem;

// Saves environment variables and puts them back afterwards.
class SavedEnv {
  public:
    explicit SavedEnv(std::vector<std::string> names) {
        for (auto& name : names) {
            const char* value = std::getenv(name.c_str());
            saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
    }
    ~SavedEnv() {
        for (auto& [name, value] : saved_) {
            if (value) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
    }

  private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST(UserDataFolder, FollowsXdgDataHomeThenHome) {
    SavedEnv env({"XDG_DATA_HOME", "HOME"});
    setenv("XDG_DATA_HOME", "/tmp/zl-xdg", 1);
    setenv("HOME", "/tmp/zl-home", 1);
    EXPECT_EQ(UserDataFolder(), "/tmp/zl-xdg/tesmond/zlm/");

    setenv("XDG_DATA_HOME", "", 1);
    EXPECT_EQ(UserDataFolder(), "/tmp/zl-home/.local/share/tesmond/zlm/");

    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(UserDataFolder(), "/tmp/zl-home/.local/share/tesmond/zlm/");

    setenv("HOME", "", 1);
    EXPECT_EQ(UserDataFolder(), "");
    unsetenv("HOME");
    EXPECT_EQ(UserDataFolder(), "");
}

TEST(ScriptedOpener, RecordsTargetsAndAnswersItsResult) {
    {
        ScriptedOpener opener;
        EXPECT_EQ(&CurrentOpener(), &opener);
        EXPECT_TRUE(OpenWithDesktop("/tmp/a b.rtf"));
        EXPECT_TRUE(OpenWithDesktop("mailto:someone@example.com"));
        EXPECT_EQ(opener.Targets(),
                  (std::vector<std::string>{"/tmp/a b.rtf", "mailto:someone@example.com"}));
    }
    ScriptedOpener refusing(false);
    EXPECT_FALSE(OpenWithDesktop("x"));
}

// The default opener runs `xdg-open` from PATH; a stand-in script records its argument.
class DefaultOpener : public testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/zl-desktop-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        setenv("PATH", dir_.c_str(), 1);
    }
    void TearDown() override { fs::remove_all(dir_); }

    void WriteStandIn() {
        fs::path script = dir_ / "xdg-open";
        std::ofstream(script) << "#!/bin/sh\nprintf '%s' \"$1\" > \"" << (dir_ / "arg.tmp").string()
                              << "\"\n/bin/mv \"" << (dir_ / "arg.tmp").string() << "\" \""
                              << (dir_ / "arg").string() << "\"\n";
        fs::permissions(script, fs::perms::owner_all);
    }

    SavedEnv env_{{"PATH"}};
    fs::path dir_;
};

TEST_F(DefaultOpener, StartsXdgOpenWithTheTargetAndReapsIt) {
    WriteStandIn();
    EXPECT_TRUE(OpenWithDesktop("mailto:someone@example.com?subject=a b"));

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!fs::exists(dir_ / "arg") && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::ifstream in(dir_ / "arg");
    std::stringstream arg;
    arg << in.rdbuf();
    EXPECT_EQ(arg.str(), "mailto:someone@example.com?subject=a b");

    // No child may stay a zombie: WNOWAIT looks without reaping.
    bool reaped = false;
    while (!reaped && std::chrono::steady_clock::now() < deadline) {
        siginfo_t info{};
        reaped = waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) == -1 && errno == ECHILD;
        if (!reaped) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    EXPECT_TRUE(reaped);
}

TEST_F(DefaultOpener, ReportsFailureWithoutXdgOpen) {
    EXPECT_FALSE(OpenWithDesktop("/tmp/whatever.rtf"));
}

}  // namespace
}  // namespace zl::desktop
