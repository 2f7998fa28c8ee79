// Points XDG_CONFIG_HOME at a fresh temporary folder for the object's life, so that class
// registrations never reach a real home folder.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

#include "tests/support/TempFolder.h"

namespace zl::test {

class TempConfigHome {
  public:
    TempConfigHome() {
        if (const char* previous = std::getenv("XDG_CONFIG_HOME"))
            previous_ = previous;
        ::setenv("XDG_CONFIG_HOME", Path().c_str(), 1);
    }
    ~TempConfigHome() {
        if (previous_)
            ::setenv("XDG_CONFIG_HOME", previous_->c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
    }
    TempConfigHome(const TempConfigHome&) = delete;
    TempConfigHome& operator=(const TempConfigHome&) = delete;

    const std::string& Path() const { return folder_.Path(); }
    std::string StoreFile() const { return Path() + "/tesmond/zlm/classes"; }

  private:
    TempFolder folder_{"zelmar-config"};
    std::optional<std::string> previous_;
};

}  // namespace zl::test
