// What start-up checks before it opens or creates anything: the per-user data folder and the
// database files must be there and writable, or the program says so once and ends.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zl {

// Whether this process may write to the file or folder (access with W_OK).
bool IsWritable(const std::string& path);

using WritableTest = std::function<bool(const std::string& path)>;

// The message for the first thing that keeps start-up from using the database files: the data
// folder missing, a file missing, or a file or its folder that cannot be written. Nothing when
// all is well. Looks only; it creates and changes nothing.
std::optional<std::string> CheckDataFiles(const std::string& dataFolder,
                                          const std::vector<std::string>& databaseFiles,
                                          const WritableTest& writable = IsWritable);

}  // namespace zl
