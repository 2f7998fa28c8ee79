#include "core/StartupCheck.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "tests/support/TempFolder.h"

namespace zl {
namespace {

namespace fs = std::filesystem;

class StartupCheckTest : public ::testing::Test {
  protected:
    void SetUp() override {
        data = root + "/zlm/";
        fs::create_directories(data + "db");
        for (const char* name : {"zlm.dat", "zlm_meta.dat", "zlmlocal.dat"})
            std::ofstream(data + "db/" + name) << "x";
    }
    std::string Db(const char* name) const { return data + "db/" + name; }
    // Every path is writable except those named.
    WritableTest AllWritableBut(std::set<std::string> readOnly) const {
        return [readOnly](const std::string& path) { return !readOnly.count(path); };
    }

    const test::TempFolder scratch{"zelmar-check"};
    const std::string root = scratch.Path();
    std::string data;
};

TEST_F(StartupCheckTest, NamesTheFirstThingThatKeepsTheFilesFromBeingUsed) {
    const std::string readOnlyText =
        " cannot be written: it is read-only. Zelmar needs to write to it; nothing has been "
        "changed.";
    struct Case {
        const char* what;
        std::string folder;
        std::vector<std::string> files;
        std::set<std::string> readOnly;
        std::optional<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"all there", data, {Db("zlmlocal.dat"), Db("zlm_meta.dat")}, {}, std::nullopt},
        {"folder missing",
         root + "/none/",
         {Db("zlmlocal.dat")},
         {},
         "The data folder " + root + "/none/ does not exist. Run zelmar-setup to create it."},
        {"no folder at all",
         "",
         {},
         {},
         "The data folder  does not exist. Run zelmar-setup to create it."},
        {"the folder is a file",
         Db("zlm.dat"),
         {},
         {},
         "The data folder " + Db("zlm.dat") + " does not exist. Run zelmar-setup to create it."},
        {"second file missing",
         data,
         {Db("zlmlocal.dat"), Db("nothing.dat")},
         {},
         "The database file " + Db("nothing.dat") +
             " does not exist. Run zelmar-setup to create it."},
        {"a folder where the file should be",
         data,
         {data + "db"},
         {},
         "The database file " + data + "db does not exist. Run zelmar-setup to create it."},
        {"file read-only",
         data,
         {Db("zlmlocal.dat"), Db("zlm.dat")},
         {Db("zlm.dat")},
         "The database file " + Db("zlm.dat") + readOnlyText},
        {"its folder read-only",
         data,
         {Db("zlm.dat")},
         {data + "db"},
         "The database file " + Db("zlm.dat") + readOnlyText},
        {"missing comes before read-only in the order given",
         data,
         {Db("none.dat"), Db("zlm.dat")},
         {Db("zlm.dat")},
         "The database file " + Db("none.dat") + " does not exist. Run zelmar-setup to create it."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CheckDataFiles(c.folder, c.files, AllWritableBut(c.readOnly)), c.expected)
            << c.what;
    }
}

TEST_F(StartupCheckTest, LooksWithoutCreatingAnything) {
    fs::remove_all(data);
    EXPECT_TRUE(CheckDataFiles(data, {Db("zlm.dat")}).has_value());
    EXPECT_FALSE(fs::exists(data));
    EXPECT_TRUE(fs::is_empty(root));
}

TEST_F(StartupCheckTest, WritabilityIsWhatTheSystemAllowsThisProcess) {
    EXPECT_TRUE(IsWritable(Db("zlm.dat")));
    EXPECT_TRUE(IsWritable(data + "db"));
    EXPECT_FALSE(IsWritable(Db("none.dat")));
    EXPECT_EQ(CheckDataFiles(data, {Db("zlm.dat")}), std::nullopt);
    ::chmod(Db("zlm.dat").c_str(), 0444);
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write a read-only file; the cases above inject the check";
    EXPECT_FALSE(IsWritable(Db("zlm.dat")));
    EXPECT_EQ(CheckDataFiles(data, {Db("zlm.dat")}),
              "The database file " + Db("zlm.dat") +
                  " cannot be written: it is read-only. Zelmar needs to write to it; nothing has "
                  "been changed.");
}

}  // namespace
}  // namespace zl
