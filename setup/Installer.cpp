#include "setup/Installer.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <memory>
#include <stdexcept>
#include <utility>

#include "core/Passwords.h"
#include "data/DeliveredFiles.h"

namespace zl::setup {
namespace {

std::runtime_error SystemError(const std::string& what, const std::string& path) {
    return std::runtime_error(what + " '" + path + "': " + std::strerror(errno));
}

// Creates one folder level; true when it was made now.
bool MakeFolder(const std::string& path, mode_t mode) {
    if (::mkdir(path.c_str(), mode) == 0)
        return true;
    struct stat st {};
    if (errno == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return false;
    throw SystemError("Cannot create the folder", path);
}

// Creates every missing level of `path`; reports the ones made.
void MakeFolders(const std::string& path, mode_t mode, std::vector<std::string>& created) {
    std::string partial;
    size_t pos = 0;
    while (pos < path.size()) {
        size_t next = path.find('/', pos + 1);
        if (next == std::string::npos)
            next = path.size();
        partial = path.substr(0, next);
        pos = next;
        if (partial.empty() || partial == "/")
            continue;
        if (MakeFolder(partial, mode))
            created.push_back(partial + "/");
    }
}

std::string_view Delivered(std::string_view name) {
    const auto content = data::DeliveredFile(name);
    if (!content)
        throw std::runtime_error("The delivered file '" + std::string(name) + "' is missing.");
    return *content;
}

// Writes a new file; false (and nothing written) when it exists already.
bool WriteNewFile(const std::string& path, std::string_view content) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (errno == EEXIST)
            return false;
        throw SystemError("Cannot create the file", path);
    }
    size_t written = 0;
    while (written < content.size()) {
        const ssize_t n = ::write(fd, content.data() + written, content.size() - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const auto error = SystemError("Cannot write the file", path);
            ::close(fd);
            ::unlink(path.c_str());
            throw error;
        }
        written += static_cast<size_t>(n);
    }
    if (::close(fd) != 0)
        throw SystemError("Cannot write the file", path);
    return true;
}

struct SqliteCloser {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};

// One prepared statement of the installer's own connection.
struct Statement {
    Statement(sqlite3* db, const char* sql) {
        if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
            sqlite3_finalize(stmt);
            throw std::runtime_error(std::string("Cannot prepare '") + sql +
                                     "': " + sqlite3_errmsg(db));
        }
    }
    ~Statement() { sqlite3_finalize(stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    sqlite3_stmt* stmt = nullptr;
};

bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// Replaces every system user's password that is still in clear by its hash.
void HashClearPasswords(sqlite3* mainDb) {
    const auto failure = [mainDb] {
        return std::runtime_error(std::string("Cannot store the password hashes: ") +
                                  sqlite3_errmsg(mainDb));
    };
    std::vector<std::pair<sqlite3_int64, std::string>> clear;
    {
        Statement read(mainDb, "SELECT entity_id, entity_pwd FROM entity WHERE dimension_id = 4");
        int rc;
        while ((rc = sqlite3_step(read.stmt)) == SQLITE_ROW) {
            const auto* stored = sqlite3_column_text(read.stmt, 1);
            const std::string text = stored ? reinterpret_cast<const char*>(stored) : "";
            if (!IsPasswordHash(text))
                clear.emplace_back(sqlite3_column_int64(read.stmt, 0), text);
        }
        if (rc != SQLITE_DONE)
            throw failure();
    }
    Statement write(mainDb, "UPDATE entity SET entity_pwd = ?1 WHERE entity_id = ?2");
    for (const auto& [id, password] : clear) {
        const std::string hash = HashPassword(password);
        sqlite3_reset(write.stmt);
        sqlite3_bind_text(write.stmt, 1, hash.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int64(write.stmt, 2, id);
        if (sqlite3_step(write.stmt) != SQLITE_DONE)
            throw failure();
    }
}

}  // namespace

std::vector<std::string> MoveAsideLeftovers(const std::string& path) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    std::vector<std::string> moved;
    for (const char* suffix : {"-wal", "-shm", "-journal"}) {
        const std::string leftover = path + suffix;
        if (!Exists(leftover))
            continue;
        const std::string dated = leftover + ".orphan-" + stamp;
        // link fails rather than replace: a second leftover of the same second gets a number.
        std::string target = dated;
        for (int n = 2; ::link(leftover.c_str(), target.c_str()) != 0; ++n) {
            if (errno != EEXIST || n > 99)
                throw SystemError("Cannot move aside the leftover", leftover);
            target = dated + "-" + std::to_string(n);
        }
        if (::unlink(leftover.c_str()) != 0)
            throw SystemError("Cannot move aside the leftover", leftover);
        moved.push_back(target);
    }
    return moved;
}

void CreateDatabase(const std::string& path, std::string_view script,
                    const std::function<void(sqlite3*)>& finish) {
    if (Exists(path))
        throw std::runtime_error("The database file '" + path + "' exists already.");
    // Build the file under a temporary name, then link it into place: the final name never
    // shows a half-built database, and an existing file is never replaced.
    const std::string temporary = path + ".part" + std::to_string(::getpid());
    ::unlink(temporary.c_str());
    {
        sqlite3* raw = nullptr;
        const int rc = sqlite3_open_v2(temporary.c_str(), &raw,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        std::unique_ptr<sqlite3, SqliteCloser> db(raw);
        if (rc != SQLITE_OK)
            throw std::runtime_error("Cannot create '" + temporary + "'.");
        ::chmod(temporary.c_str(), 0600);
        char* error = nullptr;
        const std::string sql(script);
        if (sqlite3_exec(db.get(), sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
            const std::string message = error ? error : "unknown error";
            sqlite3_free(error);
            db.reset();
            ::unlink(temporary.c_str());
            throw std::runtime_error("The script of '" + path + "' failed: " + message);
        }
        if (finish) {
            try {
                finish(db.get());
            } catch (...) {
                db.reset();
                ::unlink(temporary.c_str());
                throw;
            }
        }
        // WAL mode is a property of the file: set it once here.
        sqlite3_exec(db.get(), "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    }
    if (::link(temporary.c_str(), path.c_str()) != 0) {
        const auto error = SystemError("Cannot create the database file", path);
        ::unlink(temporary.c_str());
        throw error;
    }
    ::unlink(temporary.c_str());
}

std::vector<std::string> Install(const std::string& dataFolder,
                                 std::vector<std::string>* movedAside) {
    if (dataFolder.empty() || dataFolder.back() != '/')
        throw std::runtime_error("The per-user data folder '" + dataFolder +
                                 "' is not a folder path.");
    std::vector<std::string> created;
    MakeFolders(dataFolder.substr(0, dataFolder.size() - 1), 0700, created);
    ::chmod(dataFolder.c_str(), 0700);  // the databases are readable by their user only
    MakeFolders(dataFolder + "db", 0700, created);
    MakeFolders(dataFolder + "doc/reports/0000000000", 0700, created);

    const struct {
        const char* target;
        const char* source;
    } files[] = {
        {"doc/sampletemplate.rtf", "sampletemplate.rtf"}, {"help.html", "pages/help.html"},
        {"zlmupdate.html", "pages/zlmupdate.html"},       {"zlmquit.html", "pages/zlmquit.html"},
        {"zlmredir.html", "pages/zlmredir.html"},
    };
    for (const auto& f : files) {
        const std::string path = dataFolder + f.target;
        if (WriteNewFile(path, Delivered(f.source)))
            created.push_back(path);
    }

    const struct {
        const char* target;
        const char* script;
        std::function<void(sqlite3*)> finish;
    } databases[] = {
        // The delivered system user's password is stored only as its hash.
        {"db/zlm.dat", "zlm.sql", HashClearPasswords},
        {"db/zlm_meta.dat", "zlm_meta.sql", {}},
        {"db/zlmlocal.dat", "zlmlocal.sql", {}},
    };
    for (const auto& d : databases) {
        const std::string path = dataFolder + d.target;
        if (Exists(path))
            continue;
        for (std::string& leftover : MoveAsideLeftovers(path))
            if (movedAside)
                movedAside->push_back(std::move(leftover));
        CreateDatabase(path, Delivered(d.script), d.finish);
        created.push_back(path);
    }
    return created;
}

}  // namespace zl::setup
