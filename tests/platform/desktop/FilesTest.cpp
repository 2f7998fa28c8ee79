// Files and folders the program writes: private, never through a link, never over content it
// was not told to replace.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/desktop/Files.h"
#include "tests/support/TestDataFolder.h"

namespace zl::desktop {
namespace {

namespace fs = std::filesystem;

class FilesTest : public testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/zl-files-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    void Put(const std::string& name, const std::string& text) const {
        std::ofstream(Path(name), std::ios::binary) << text;
    }
    std::string Read(const std::string& name) const { return test::ReadFile(Path(name)); }
    static unsigned Mode(const std::string& path) {
        struct stat st {};
        EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
        return st.st_mode & 07777;
    }

    fs::path dir_;
};

TEST_F(FilesTest, EachModeWritesOnlyWhereItMay) {
    const struct {
        WriteMode mode;
        const char* before;  // nullptr: no file yet
        bool opens;
        int error;
        const char* after;
    } cases[] = {
        {WriteMode::CreateNew, nullptr, true, 0, "new"},
        {WriteMode::CreateNew, "", false, EEXIST, ""},
        {WriteMode::FillEmpty, nullptr, true, 0, "new"},
        {WriteMode::FillEmpty, "", true, 0, "new"},
        {WriteMode::FillEmpty, "older letter", false, EEXIST, "older letter"},
        {WriteMode::Replace, "older letter", true, 0, "new"},
        {WriteMode::Append, "line 1;", true, 0, "line 1;new"},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string name = "f" + std::to_string(n++);
        SCOPED_TRACE(name);
        if (c.before)
            Put(name, c.before);
        FileWriter out;
        errno = 0;
        EXPECT_EQ(out.Open(Path(name), c.mode), c.opens);
        if (c.opens) {
            out << "new";
            out.close();
            EXPECT_TRUE(out);
            // Made private, whether new or written before the program kept its files so.
            EXPECT_EQ(Mode(Path(name)), 0600u);
        } else {
            EXPECT_EQ(errno, c.error);
        }
        EXPECT_EQ(Read(name), c.after);
    }
}

TEST_F(FilesTest, ALinkInTheWayIsNeverFollowed) {
    Put("target", "someone's file");
    fs::create_symlink(dir_ / "target", dir_ / "link");
    for (WriteMode mode :
         {WriteMode::CreateNew, WriteMode::FillEmpty, WriteMode::Replace, WriteMode::Append}) {
        FileWriter out;
        EXPECT_FALSE(out.Open(Path("link"), mode));
        EXPECT_EQ(OpenForWriting(Path("link"), mode), -1);
    }
    EXPECT_EQ(Read("target"), "someone's file");
    // A folder or a device is no file to write either.
    EXPECT_EQ(OpenForWriting(dir_.string(), WriteMode::Append), -1);
    EXPECT_EQ(OpenForWriting("/dev/null", WriteMode::Replace), -1);
    EXPECT_EQ(errno, ENXIO);
}

}  // namespace
}  // namespace zl::desktop
