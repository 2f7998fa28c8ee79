// Points XDG_CONFIG_HOME at a fresh temporary folder for the object's life, so that class
// registrations never reach a real home folder.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

namespace zl::test {

class TempConfigHome {
  public:
    TempConfigHome() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "zelmar-config-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("Cannot make a temporary folder.");
        path_ = pattern;
        if (const char* previous = std::getenv("XDG_CONFIG_HOME"))
            previous_ = previous;
        ::setenv("XDG_CONFIG_HOME", path_.c_str(), 1);
    }
    ~TempConfigHome() {
        if (previous_)
            ::setenv("XDG_CONFIG_HOME", previous_->c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempConfigHome(const TempConfigHome&) = delete;
    TempConfigHome& operator=(const TempConfigHome&) = delete;

    const std::string& Path() const { return path_; }
    std::string StoreFile() const { return path_ + "/tesmond/zlm/classes"; }

  private:
    std::string path_;
    std::optional<std::string> previous_;
};

}  // namespace zl::test
