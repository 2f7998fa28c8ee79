#include "tests/reportview/EngineFixture.h"

#include <unistd.h>

#include <QtGlobal>
#include <cstdlib>
#include <filesystem>

#include "tests/support/TempFolder.h"

namespace zl::test {

const std::string& EngineFixture::HomeFolder() {
    static const TempFolder home("zlm-home");
    return home.Path();
}

EngineFixture::Contents EngineFixture::atStart_;

void EngineFixture::SetUpTestSuite() {
    if (app)
        return;
    ::setenv("HOME", HomeFolder().c_str(), 1);
    ::setenv("XDG_CACHE_HOME", (HomeFolder() + "/.cache").c_str(), 1);
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QtFixture::SetUpTestSuite();
    atStart_ = HomeContents();
}

EngineFixture::Contents EngineFixture::HomeContents() {
    Contents contents;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(HomeFolder()))
        contents[entry.path().string()] = {entry.is_regular_file() ? entry.file_size() : 0,
                                           entry.last_write_time()};
    return contents;
}

const EngineFixture::Contents& EngineFixture::HomeAtStart() {
    return atStart_;
}

}  // namespace zl::test
