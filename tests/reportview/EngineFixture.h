// The ground of the report window's tests: the window fixture, with the browser engine ready to
// start whichever test runs first, and a home folder of the binary's own.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <utility>

#include "tests/support/QtFixture.h"

namespace zl::test {

class EngineFixture : public QtFixture {
  protected:
    // Before the application and the engine start: HOME and XDG_CACHE_HOME name a fresh folder,
    // and, as root, the engine's sandbox is off (Chromium will not start it for root). The
    // report window switches it off itself, but a test may start the engine with a view of its
    // own before any report window is made.
    static void SetUpTestSuite();
    // The home folder that HOME names for the whole binary.
    static const std::string& HomeFolder();

    // Every file and folder below the home folder, with its size and the time it last changed.
    using Contents =
        std::map<std::string, std::pair<std::uintmax_t, std::filesystem::file_time_type>>;
    static Contents HomeContents();
    // The home folder's contents once the application had started.
    static const Contents& HomeAtStart();

  private:
    static Contents atStart_;
};

}  // namespace zl::test
