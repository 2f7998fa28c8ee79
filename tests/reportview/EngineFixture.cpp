#include "tests/reportview/EngineFixture.h"

#include <unistd.h>

#include <QtGlobal>
#include <cstdlib>
#include <filesystem>

namespace zl::test {
namespace {

// A temporary folder, removed when the binary ends.
class TempHome {
  public:
    TempHome() {
        std::string pattern = (std::filesystem::temp_directory_path() / "zlm-home-XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            path_ = pattern;
    }
    ~TempHome() {
        std::error_code ignored;
        if (!path_.empty())
            std::filesystem::remove_all(path_, ignored);
    }
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

}  // namespace

const std::string& EngineFixture::HomeFolder() {
    static const TempHome home;
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
