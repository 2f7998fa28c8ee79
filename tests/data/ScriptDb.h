// Builds SQLite databases from the delivered SQL scripts for the data tests.
#pragma once

#include <sqlite3.h>

#include <string>
#include <vector>

namespace zl::test {

// Text of a delivered script, e.g. ReadScript("zlm.sql").
std::string ReadScript(const std::string& name);

// An open SQLite database, closed on destruction.
class ScriptDb {
  public:
    // Opens (creating) the database at path; ":memory:" for one in memory.
    explicit ScriptDb(const std::string& path = ":memory:");
    ~ScriptDb();
    ScriptDb(const ScriptDb&) = delete;
    ScriptDb& operator=(const ScriptDb&) = delete;

    // Runs a whole script; returns "" on success, else SQLite's error message.
    std::string Exec(const std::string& sql);
    // Runs one query and returns its rows as text (null as ""); throws on an error.
    std::vector<std::vector<std::string>> Rows(const std::string& sql);
    // Names of the result columns of a query; throws when it cannot be prepared.
    std::vector<std::string> Columns(const std::string& sql);
    // Column names of a table, in order (pragma table_info).
    std::vector<std::string> TableColumns(const std::string& table);
    // Declared types of a table's columns, in order.
    std::vector<std::string> TableTypes(const std::string& table);
    // A single integer result.
    long long Int(const std::string& sql);

    sqlite3* handle() const { return db_; }

  private:
    sqlite3* db_ = nullptr;
};

}  // namespace zl::test
