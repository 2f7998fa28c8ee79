#include "tests/support/TestDataFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "setup/Installer.h"

namespace zl::test {

TestDataFolder::TestDataFolder(bool install) {
    if (const char* previous = std::getenv("XDG_DATA_HOME")) {
        hadXdg_ = true;
        previousXdg_ = previous;
    }
    ::setenv("XDG_DATA_HOME", Home().c_str(), 1);
    if (install)
        setup::Install(DataFolder());
}

TestDataFolder::~TestDataFolder() {
    if (hadXdg_)
        ::setenv("XDG_DATA_HOME", previousXdg_.c_str(), 1);
    else
        ::unsetenv("XDG_DATA_HOME");
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

}  // namespace zl::test
