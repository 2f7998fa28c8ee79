#include "core/StartupCheck.h"

#include <unistd.h>

#include <filesystem>

namespace zl {

bool IsWritable(const std::string& path) {
    return ::access(path.c_str(), W_OK) == 0;
}

std::optional<std::string> CheckDataFiles(const std::string& dataFolder,
                                          const std::vector<std::string>& databaseFiles,
                                          const WritableTest& writable) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (dataFolder.empty() || !fs::is_directory(dataFolder, error))
        return "The data folder " + dataFolder + " does not exist. Run zelmar-setup to create it.";
    for (const std::string& path : databaseFiles) {
        if (!fs::is_regular_file(path, error))
            return "The database file " + path + " does not exist. Run zelmar-setup to create it.";
        // SQLite writes its journal files next to the database: the folder must take them.
        const std::string folder = fs::path(path).parent_path().string();
        if (!writable(path) || !writable(folder.empty() ? "." : folder))
            return "The database file " + path +
                   " cannot be written: it is read-only. Zelmar needs to write to it; nothing "
                   "has been changed.";
    }
    return std::nullopt;
}

}  // namespace zl
