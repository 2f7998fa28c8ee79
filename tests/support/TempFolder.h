// A fresh folder in the system's temporary directory, removed with everything in it when the
// object goes.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace zl::test {

class TempFolder {
  public:
    // The folder's name starts with `prefix`.
    explicit TempFolder(const std::string& prefix = "zelmar-test") {
        std::string pattern =
            (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("Cannot make a temporary folder.");
        path_ = pattern;
    }
    ~TempFolder() {
        // A test may have taken its own rights away to make it unwritable.
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

}  // namespace zl::test
