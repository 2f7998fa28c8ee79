// The installer's command line: asking for help or mistyping an argument sets up nothing.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
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

// Runs zelmar-setup with `arguments` in the test's own data and configuration homes.
SetupRun RunSetup(const std::string& arguments, const std::string& errFile) {
    SetupRun run;
    const std::string command = "'" ZELMAR_SETUP_PATH "' " + arguments + " 2>'" + errFile + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[512];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        run.out.append(buffer, n);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = test::ReadFile(errFile);
    return run;
}

TEST(SetupCommand, HelpAndUnknownArgumentsShowTheUsageAndCreateNothing) {
    const test::TempConfigHome config;
    const test::TestDataFolder folder(false);
    const test::TempFolder errFolder("zelmar-setup-err");
    const std::string errFile = errFolder.Path() + "/stderr";
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
        const SetupRun run = RunSetup(c.arguments, errFile);
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
