#include "platform/db/Connection.h"

#include <sqlite3.h>

#include <locale.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cwctype>
#include <filesystem>
#include <string>

#include "platform/db/DbError.h"
#include "platform/db/JetDialect.h"
#include "platform/db/Unicode.h"

namespace zl::db {
namespace {

std::string Trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1])))
        --e;
    return std::string(s.substr(b, e - b));
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

void CaseFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv, bool upper) {
    if (argc != 1 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const std::string folded =
        upper ? ToUpperUtf8(text ? text : "") : ToLowerUtf8(text ? text : "");
    sqlite3_result_text(ctx, folded.c_str(), static_cast<int>(folded.size()), SQLITE_TRANSIENT);
}

void LcaseFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    CaseFunction(ctx, argc, argv, false);
}
void UcaseFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    CaseFunction(ctx, argc, argv, true);
}

void RegisterFunctions(sqlite3* db) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_function(db, "lcase", 1, flags, nullptr, LcaseFunction, nullptr, nullptr);
    sqlite3_create_function(db, "ucase", 1, flags, nullptr, UcaseFunction, nullptr, nullptr);
}

// How long a statement waits in all for another connection's lock.
constexpr int kBusyTimeoutMs = 5000;

// Whether SQLite opened the file read-only (it falls back silently when the file is
// write-protected) or the folder lacks room for the -wal and -shm files.
bool CannotWrite(sqlite3* db, const std::string& path) {
    if (sqlite3_db_readonly(db, "main") == 1)
        return true;
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty())
        folder = ".";
    return access(folder.c_str(), W_OK) != 0;
}

// Whether only blanks, semicolons and comments remain in an SQLite text.
bool OnlyBlanksRemain(std::string_view sql) {
    size_t i = 0;
    while (i < sql.size()) {
        const char c = sql[i];
        if (std::isspace(static_cast<unsigned char>(c)) || c == ';') {
            ++i;
        } else if (sql.substr(i, 2) == "--") {
            const size_t end = sql.find('\n', i);
            i = end == std::string_view::npos ? sql.size() : end + 1;
        } else if (sql.substr(i, 2) == "/*") {
            const size_t end = sql.find("*/", i + 2);
            i = end == std::string_view::npos ? sql.size() : end + 2;
        } else {
            return false;
        }
    }
    return true;
}

// Owns one prepared statement.
struct StatementHandle {
    sqlite3_stmt* stmt = nullptr;
    ~StatementHandle() { sqlite3_finalize(stmt); }
};

// Runs a prepared statement to its end; returns the rows it changed.
int StepToEnd(Connection& connection, sqlite3_stmt* stmt) {
    while (connection.Step(stmt)) {
    }
    return sqlite3_changes(connection.Handle());
}

// Collects the first column of the first row of a pragma's answer.
int FirstText(void* out, int columns, char** values, char**) {
    auto* text = static_cast<std::string*>(out);
    if (columns > 0 && values[0] && text->empty())
        *text = values[0];
    return 0;
}

}  // namespace

long StatfsType(const std::string& path) {
    struct statfs info {};
    if (statfs(path.c_str(), &info) != 0)
        return 0;
    return static_cast<long>(info.f_type);
}

bool IsNetworkFileSystem(long type) {
    // The magic numbers of statfs(2) for file systems served by another machine. FUSE counts
    // too: sshfs and most other FUSE file systems are remote, and the rollback journal is safe
    // on a local one as well.
    static constexpr unsigned long kRemote[] = {
        0x6969,      // NFS
        0xFF534D42,  // CIFS
        0xFE534D42,  // SMB2/3
        0x517B,      // SMB
        0x564C,      // NCP
        0x5346414F,  // AFS
        0x6B414653,  // kAFS
        0x73757245,  // Coda
        0x01021997,  // 9P
        0x00C36400,  // Ceph
        0x0BD00BD0,  // Lustre
        0x01161970,  // GFS2
        0x7461636F,  // OCFS2
        0x47504653,  // GPFS
        0x65735546,  // FUSE
    };
    const auto value = static_cast<unsigned long>(type) & 0xFFFFFFFFUL;
    for (unsigned long remote : kRemote)
        if (value == remote)
            return true;
    return false;
}

std::string FileLostMessage(const std::string& path) {
    return "The database file " + path +
           " was moved, replaced or deleted while Zelmar was running. Nothing more can be "
           "saved. Please restart Zelmar.";
}

std::string FileDamagedMessage(const std::string& path) {
    return "The database file " + path +
           " no longer reads as a database: it was damaged, or another program wrote over it "
           "while Zelmar was running. Nothing more can be read or saved. Please close Zelmar "
           "on every workstation before restoring a backup, then start it again.";
}

std::unique_ptr<Connection> SpareReaders::Take() {
    std::lock_guard lock(mutex_);
    if (spare_.empty())
        return nullptr;
    std::unique_ptr<Connection> reader = std::move(spare_.back());
    spare_.pop_back();
    return reader;
}

void SpareReaders::Give(std::unique_ptr<Connection> reader) {
    std::lock_guard lock(mutex_);
    if (!closed_ && reader && reader->Connected() && spare_.size() < kMostKept)
        spare_.push_back(std::move(reader));
}

void SpareReaders::Close() {
    std::vector<std::unique_ptr<Connection>> closing;
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        closing.swap(spare_);
    }
}

size_t SpareReaders::Count() const {
    std::lock_guard lock(mutex_);
    return spare_.size();
}

Connection::~Connection() {
    try {
        Close();
    } catch (...) {
    }
}

void Connection::SetConnectionString(std::string text) {
    connectionString_ = std::move(text);
}

std::string Connection::ConnectionItem(std::string_view cs, std::string_view name) {
    size_t pos = 0;
    while (pos <= cs.size()) {
        // An item runs to the next ";" outside double quotes.
        size_t end = pos;
        bool quoted = false;
        while (end < cs.size() && (quoted || cs[end] != ';')) {
            if (cs[end] == '"')
                quoted = !quoted;
            ++end;
        }
        const std::string_view item = cs.substr(pos, end - pos);
        const size_t eq = item.find('=');
        if (eq != std::string_view::npos && EqualNoCase(Trim(item.substr(0, eq)), name)) {
            std::string value = Trim(item.substr(eq + 1));
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
                value = value.substr(1, value.size() - 2);
            return value;
        }
        pos = end + 1;
    }
    return {};
}

void Connection::Open() {
    Close();
    const std::string path = ConnectionItem(connectionString_, "Data Source");
    if (path.empty())
        throw DbError("The connection string names no data source.");
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close(db);
        throw DbError("Could not find or open file '" + path + "'.");
    }
    if (CannotWrite(db, path)) {
        sqlite3_close(db);
        throw DbError("The database file '" + path + "' cannot be written: it is read-only.");
    }
    struct stat opened {};
    if (stat(path.c_str(), &opened) != 0) {
        sqlite3_close(db);
        throw DbError("Could not find or open file '" + path + "'.");
    }
    db_ = db;
    path_ = path;
    device_ = opened.st_dev;
    inode_ = opened.st_ino;
    fileLost_ = lostTold_ = lostLogCheckpointed_ = false;
    gaveUpIn_.reset();
    sqlite3_busy_handler(db_, &Connection::OnBusy, this);
    sqlite3_commit_hook(db_, &Connection::OnCommit, this);
    sqlite3_extended_result_codes(db_, 1);
    try {
        ChooseJournal(path);
    } catch (...) {
        sqlite3_close(db_);
        db_ = nullptr;
        throw;
    }
    RegisterFunctions(db_);
    spares_ = std::make_shared<SpareReaders>();
    // A double-quoted name is always a name: without this SQLite would take a mistyped
    // (bracketed) column name for a text value, and a wrong name would fail silently.
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
}

void Connection::ChooseJournal(const std::string& path) {
    const long type = probe_ ? probe_(path) : StatfsType(path);
    const bool rollback = sharing_ == FileSharing::Shared || IsNetworkFileSystem(type);
    // Reading the schema also proves the file is a database at all.
    std::string mode;
    const int rc =
        sqlite3_exec(db_, rollback ? "PRAGMA journal_mode=DELETE" : "PRAGMA journal_mode=WAL",
                     &FirstText, &mode, nullptr);
    EndWait();
    // Leaving WAL mode needs the file to itself: while another program uses the log the
    // switch fails at once, and the mode stays "wal".
    if ((rc & 0xff) == SQLITE_BUSY && rollback && JournalMode() == "wal")
        mode = "wal";
    else if ((rc & 0xff) == SQLITE_BUSY)
        throw DbError(kDatabaseBusyMessage);
    else if (rc != SQLITE_OK)
        throw DbError("The file '" + path + "' is not a database.");
    // A shared file that still holds a write-ahead log in use elsewhere cannot leave it; writing
    // beside that log would not be safe.
    if (rollback && mode != "delete")
        throw DbError("The database file '" + path +
                      "' lies on a network folder but is still open in WAL mode on another "
                      "workstation. Please close Zelmar everywhere and start it again.");
    // A list of a hundred thousand rows reads tens of megabytes: the default cache of 2 MB would
    // have the kernel copy most pages again on every read. The file is never memory-mapped:
    // another computer or a restore may shorten it under the mapping, which ends the program.
    ExecRaw("PRAGMA cache_size=-65536");
    ExecRaw("PRAGMA mmap_size=0");
}

void Connection::OpenLike(const Connection& other) {
    SetConnectionString(other.connectionString_);
    probe_ = other.probe_;
    sharing_ = other.sharing_;
    Open();
}

ChangeToken Connection::Changes() {
    NoticeLost();
    std::string version;
    const int rc = sqlite3_exec(Handle(), "PRAGMA data_version", &FirstText, &version, nullptr);
    EndWait();
    if (rc != SQLITE_OK)
        Fail(rc, true);
    return {std::atoll(version.c_str()), sqlite3_total_changes64(db_)};
}

void Connection::SetFileSystemProbe(FileSystemProbe probe) {
    probe_ = std::move(probe);
}

std::string Connection::JournalMode() const {
    std::string mode;
    if (db_)
        sqlite3_exec(db_, "PRAGMA journal_mode", &FirstText, &mode, nullptr);
    return mode;
}

void Connection::Checkpoint() {
    if (!db_ || JournalMode() != "wal")
        return;
    NoticeLost();
    if (fileLost_) {
        CheckpointOwnLog();
        return;
    }
    ExecRaw("PRAGMA wal_checkpoint(TRUNCATE)");
}

void Connection::NoticeLost() {
    if (fileLost_ || !db_ || SameFile())
        return;
    fileLost_ = true;
    // Spare readers have the old file open; a reader opened from now on opens the path.
    if (spares_)
        spares_->Close();
    spares_ = std::make_shared<SpareReaders>();
    CheckpointOwnLog();
}

void Connection::CheckpointOwnLog() {
    // The log lies at the old path, beside whatever file is there now, and whoever opens that
    // file next would replay it into it. The checkpoint writes the log through the open handle
    // into the file it belongs to, wherever that lies now, and empties it. Once it is empty this
    // connection must not touch the path again: its close would checkpoint and delete the log
    // of the file at the path, which may be another program's by then.
    if (lostLogCheckpointed_ || JournalMode() != "wal")
        return;
    int logFrames = 0, copied = 0;
    const int rc =
        sqlite3_wal_checkpoint_v2(db_, nullptr, SQLITE_CHECKPOINT_TRUNCATE, &logFrames, &copied);
    EndWait();
    if (rc != SQLITE_OK)
        return;  // a reader holds the log; tried again at the next check and at exit
    sqlite3_db_config(db_, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    lostLogCheckpointed_ = true;
}

void Connection::SetBusyCallback(std::function<void(bool)> callback) {
    busyCallback_ = std::move(callback);
}

void Connection::SetActionClock(std::function<long long()> clock) {
    actionClock_ = std::move(clock);
}

void Connection::SetFileLostCallback(std::function<void(const std::string&)> callback) {
    fileLostCallback_ = std::move(callback);
}

bool Connection::SameFile() const {
    struct stat now {};
    return stat(path_.c_str(), &now) == 0 && now.st_dev == device_ && now.st_ino == inode_;
}

void Connection::RequireSameFile() {
    NoticeLost();
    if (!fileLost_)
        return;
    CheckpointOwnLog();
    const std::string message = FileLostMessage(path_);
    if (!lostTold_) {
        lostTold_ = true;
        if (fileLostCallback_)
            fileLostCallback_(message);
    }
    throw DbError(message);
}

int Connection::OnBusy(void* self, int attempt) {
    auto& c = *static_cast<Connection*>(self);
    // One wait in vain per action: the action's other statements would only wait as long again.
    if (c.actionClock_ && c.gaveUpIn_ == c.actionClock_())
        return 0;
    if (attempt == 0) {
        c.waitedMs_ = 0;
        if (!c.waiting_ && c.busyCallback_) {
            c.waiting_ = true;
            c.busyCallback_(true);
        }
    }
    if (c.waitedMs_ >= kBusyTimeoutMs) {
        // Action 0 is no action counted: every statement then waits.
        if (c.actionClock_ && c.actionClock_() != 0)
            c.gaveUpIn_ = c.actionClock_();
        return 0;
    }
    // Short sleeps first, as SQLite's own busy time-out does, then longer ones.
    static constexpr int kDelays[] = {1, 2, 5, 10, 15, 20, 25, 25, 25, 50, 50, 100};
    constexpr int kSteps = static_cast<int>(sizeof kDelays / sizeof kDelays[0]);
    const int delay =
        std::min(kDelays[std::min(attempt, kSteps - 1)], kBusyTimeoutMs - c.waitedMs_);
    sqlite3_sleep(delay);
    c.waitedMs_ += delay;
    return 1;
}

int Connection::OnCommit(void* self) {
    // Whatever path a write took, it never lands in a file other than the one opened.
    auto& c = *static_cast<Connection*>(self);
    if (!c.SameFile())
        c.fileLost_ = true;
    return c.fileLost_ ? 1 : 0;
}

void Connection::EndWait() {
    if (!waiting_)
        return;
    waiting_ = false;
    if (busyCallback_)
        busyCallback_(false);
}

bool Connection::Step(sqlite3_stmt* statement) {
    const int rc = sqlite3_step(statement);
    EndWait();
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    Fail(rc, !InTransaction() && sqlite3_stmt_readonly(statement));
}

void Connection::Fail(int rc, bool reading) {
    EndWait();
    if ((rc & 0xff) == SQLITE_BUSY)
        throw DbError(reading ? kDatabaseBusyReadMessage : kDatabaseBusyMessage);
    if (fileLost_ || rc == SQLITE_CONSTRAINT_COMMITHOOK)
        RequireSameFile();
    const int primary = rc & 0xff;
    if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB || rc == SQLITE_IOERR_SHORT_READ)
        throw DbError(FileDamagedMessage(path_));
    throw DbError(db_ ? sqlite3_errmsg(db_) : "unknown error");
}

void Connection::Close() {
    if (!db_)
        return;
    if (transactionLevel_ > 0) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        transactionLevel_ = 0;
    }
    if (spares_)
        spares_->Close();
    spares_.reset();
    sqlite3_close_v2(db_);
    db_ = nullptr;
}

void Connection::SetConnected(bool connected) {
    if (connected)
        Open();
    else
        Close();
}

sqlite3* Connection::Handle() const {
    if (!db_)
        throw DbError("Operation is not allowed when the connection is closed.");
    return db_;
}

void Connection::ExecRaw(const char* sql) {
    const int rc = sqlite3_exec(Handle(), sql, nullptr, nullptr, nullptr);
    EndWait();
    if (rc != SQLITE_OK)
        Fail(rc);
}

void Connection::BeginTrans() {
    if (transactionLevel_ == 0) {
        RequireSameFile();
        ExecRaw("BEGIN IMMEDIATE");
    } else {
        ExecRaw(("SAVEPOINT zl_level" + std::to_string(transactionLevel_)).c_str());
    }
    ++transactionLevel_;
}

void Connection::CommitTrans() {
    if (transactionLevel_ == 0)
        throw DbError("No transaction is active.");
    if (transactionLevel_ == 1) {
        try {
            ExecRaw("COMMIT");
        } catch (...) {
            // A commit the file check vetoed has been rolled back by SQLite already.
            if (sqlite3_get_autocommit(db_))
                transactionLevel_ = 0;
            throw;
        }
    } else
        ExecRaw(("RELEASE zl_level" + std::to_string(transactionLevel_ - 1)).c_str());
    --transactionLevel_;
}

void Connection::RollbackTrans() {
    if (transactionLevel_ == 0)
        throw DbError("No transaction is active.");
    --transactionLevel_;
    if (transactionLevel_ == 0) {
        // SQLite ends a transaction itself on some failures (a full disk, a vetoed commit).
        if (!sqlite3_get_autocommit(Handle()))
            ExecRaw("ROLLBACK");
    } else {
        const std::string name = "zl_level" + std::to_string(transactionLevel_);
        ExecRaw(("ROLLBACK TO " + name).c_str());
        ExecRaw(("RELEASE " + name).c_str());
    }
}

int Connection::Execute(std::string_view jetSql) {
    const std::string sql = TranslateJet(jetSql);
    sqlite3* db = Handle();
    const char* tail = sql.c_str();
    StatementHandle handle;
    // Leading blanks and empty statements prepare to no statement at all.
    while (!handle.stmt && tail && *tail) {
        if (sqlite3_prepare_v2(db, tail, -1, &handle.stmt, &tail) != SQLITE_OK)
            throw DbError(sqlite3_errmsg(db));
    }
    if (!handle.stmt)
        return 0;
    if (tail && !OnlyBlanksRemain(tail))
        throw DbError("The SQL text holds more than one statement.");
    if (!InTransaction() && !sqlite3_stmt_readonly(handle.stmt))
        RequireSameFile();
    return StepToEnd(*this, handle.stmt);
}

int Connection::ExecuteScript(std::string_view jetSql) {
    const std::string sql = TranslateJet(jetSql);
    sqlite3* db = Handle();
    const char* tail = sql.c_str();
    int changes = 0;
    while (tail && *tail) {
        StatementHandle handle;
        if (sqlite3_prepare_v2(db, tail, -1, &handle.stmt, &tail) != SQLITE_OK)
            throw DbError(sqlite3_errmsg(db));
        if (!handle.stmt)  // none for a blank or a comment
            continue;
        if (!InTransaction() && !sqlite3_stmt_readonly(handle.stmt))
            RequireSameFile();
        changes = StepToEnd(*this, handle.stmt);
    }
    return changes;
}

Transaction::Transaction(Connection& connection) : connection_(connection) {
    connection_.BeginTrans();
}

Transaction::~Transaction() {
    if (!open_)
        return;
    try {
        connection_.RollbackTrans();
    } catch (...) {
    }
}

void Transaction::Commit() {
    connection_.CommitTrans();
    open_ = false;
}

}  // namespace zl::db
