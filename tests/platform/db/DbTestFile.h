// A scratch database file with a small schema of its own, for the dataset layer's tests.
#pragma once

#include <filesystem>
#include <string>

#include "platform/db/Connection.h"
#include "tests/support/TempFolder.h"

namespace zl::db::test {

class DbTestFile {
  public:
    DbTestFile();
    ~DbTestFile();
    const std::string& Path() const { return path_; }
    std::string ConnectionString() const;
    // A second, independent connection to the same file.
    void OpenOther(Connection& other) const;
    Connection conn;

  private:
    zl::test::TempFolder folder_{"zelmar-db"};
    std::string path_;
};

}  // namespace zl::db::test
