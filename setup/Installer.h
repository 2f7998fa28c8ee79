// The installer step: lays out the per-user data folder with the delivered databases, pages,
// sample template and first repository folder. It only ever adds what is missing.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace zl::setup {

// Creates, below `dataFolder` (the per-user data folder, ending in "/"), whatever of the
// delivered layout is missing, and returns the paths it created, in order. An existing file is
// never overwritten or altered. Raises std::runtime_error when something cannot be created.
// A leftover journal of a missing database (see MoveAsideLeftovers) is moved aside first and
// its new name added to `movedAside`, when given.
std::vector<std::string> Install(const std::string& dataFolder,
                                 std::vector<std::string>* movedAside = nullptr);

// Renames the "-wal", "-shm" and "-journal" files beside the database path `path` to a dated
// name ("zlm.dat-wal.orphan-20261209-141500"), never over an existing file, and returns the new
// names. SQLite would replay such a leftover into a new file of the same name and damage it.
// Raises std::runtime_error when one cannot be moved.
std::vector<std::string> MoveAsideLeftovers(const std::string& path);

// Creates the database file `path` from an SQL script, then lets `finish` (when given) complete
// it. The file must not exist; it appears complete or not at all. Raises std::runtime_error.
void CreateDatabase(const std::string& path, std::string_view script,
                    const std::function<void(sqlite3*)>& finish = {});

}  // namespace zl::setup
