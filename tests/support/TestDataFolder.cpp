#include "tests/support/TestDataFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "setup/Installer.h"

namespace zl::test {

TestDataFolder::TestDataFolder(bool install) {
    std::string pattern = (std::filesystem::temp_directory_path() / "zelmar-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("Cannot make a temporary folder.");
    home_ = pattern;
    if (const char* previous = std::getenv("XDG_DATA_HOME")) {
        hadXdg_ = true;
        previousXdg_ = previous;
    }
    ::setenv("XDG_DATA_HOME", home_.c_str(), 1);
    if (install)
        setup::Install(DataFolder());
}

TestDataFolder::~TestDataFolder() {
    if (hadXdg_)
        ::setenv("XDG_DATA_HOME", previousXdg_.c_str(), 1);
    else
        ::unsetenv("XDG_DATA_HOME");
    std::error_code ignored;
    std::filesystem::permissions(home_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(home_, ignored);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

}  // namespace zl::test
