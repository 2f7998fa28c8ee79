// The installer's command line: asking for help or mistyping an argument sets up nothing.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/TempConfigHome.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestDataFolder.h"

namespace zl::setup {
namespace {

struct SetupRun {
    int status = -1;
    std::string out, err;
};

// Runs zelmar-setup with `arguments` in the test's own data and configuration homes, its output
// kept in `folder`.
SetupRun RunSetup(const std::string& arguments, const std::string& folder) {
    const std::string out = folder + "/stdout", err = folder + "/stderr";
    const int status = std::system(
        ("'" ZELMAR_SETUP_PATH "' " + arguments + " >'" + out + "' 2>'" + err + "'").c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, test::ReadFile(out), test::ReadFile(err)};
}

TEST(SetupCommand, HelpAndUnknownArgumentsShowTheUsageAndCreateNothing) {
    const test::TempConfigHome config;
    const test::TestDataFolder folder(false);
    const test::TempFolder output("zelmar-setup-output");
    const struct {
        std::string arguments;
        int status;
        bool usageOnStdout;
        std::string firstError;
    } cases[] = {
        {"--help", 0, true, ""},
        {"--hlep", 2, false, "zelmar-setup: unknown argument \"--hlep\"\n"},
        {"--help extra", 2, false, "zelmar-setup: unknown argument \"extra\"\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const SetupRun run = RunSetup(c.arguments, output.Path());
        EXPECT_EQ(run.status, c.status);
        const std::string& usage = c.usageOnStdout ? run.out : run.err;
        EXPECT_EQ(usage.find("Usage: zelmar-setup [--help]\n"), c.firstError.size()) << usage;
        EXPECT_EQ(usage.substr(0, c.firstError.size()), c.firstError);
        EXPECT_EQ((c.usageOnStdout ? run.err : run.out), "");
        EXPECT_TRUE(std::filesystem::is_empty(folder.Home()));
        EXPECT_TRUE(std::filesystem::is_empty(config.Path()));
    }
}

}  // namespace
}  // namespace zl::setup
