// A per-user data folder in a fresh temporary directory, laid out by the installer from the
// delivered scripts. XDG_DATA_HOME points at it for the object's life.
#pragma once

#include <string>

#include "tests/support/TempFolder.h"

namespace zl::test {

class TestDataFolder {
  public:
    // install = false leaves the folder empty (for tests of the installer itself).
    explicit TestDataFolder(bool install = true);
    ~TestDataFolder();
    TestDataFolder(const TestDataFolder&) = delete;
    TestDataFolder& operator=(const TestDataFolder&) = delete;

    // The temporary directory that XDG_DATA_HOME names.
    const std::string& Home() const { return home_.Path(); }
    // The per-user data folder inside it, ending in "/".
    std::string DataFolder() const { return Home() + "/tesmond/zlm/"; }
    std::string MainDb() const { return DataFolder() + "db/zlm.dat"; }
    std::string MetaDb() const { return DataFolder() + "db/zlm_meta.dat"; }
    std::string LocalDb() const { return DataFolder() + "db/zlmlocal.dat"; }

  private:
    TempFolder home_;
    std::string previousXdg_;
    bool hadXdg_ = false;
};

// Reads a whole file; empty when it cannot be read.
std::string ReadFile(const std::string& path);

}  // namespace zl::test
