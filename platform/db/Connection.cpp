#include "platform/db/Connection.h"

#include <sqlite3.h>

#include <locale.h>
#include <unistd.h>

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
int StepToEnd(sqlite3* db, sqlite3_stmt* stmt) {
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE)
        throw DbError(sqlite3_errmsg(db));
    return sqlite3_changes(db);
}

}  // namespace

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
    db_ = db;
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    sqlite3_extended_result_codes(db_, 1);
    try {
        // Reading the schema also proves the file is a database at all.
        ExecRaw("PRAGMA journal_mode=WAL");
    } catch (...) {
        sqlite3_close(db_);
        db_ = nullptr;
        throw DbError("The file '" + path + "' is not a database.");
    }
    RegisterFunctions(db_);
    // A double-quoted name is always a name: without this SQLite would take a mistyped
    // (bracketed) column name for a text value, and a wrong name would fail silently.
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
}

void Connection::Close() {
    if (!db_)
        return;
    if (transactionLevel_ > 0) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        transactionLevel_ = 0;
    }
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
    char* error = nullptr;
    if (sqlite3_exec(Handle(), sql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = error ? error : "unknown error";
        sqlite3_free(error);
        throw DbError(message);
    }
}

void Connection::BeginTrans() {
    if (transactionLevel_ == 0)
        ExecRaw("BEGIN IMMEDIATE");
    else
        ExecRaw(("SAVEPOINT zl_level" + std::to_string(transactionLevel_)).c_str());
    ++transactionLevel_;
}

void Connection::CommitTrans() {
    if (transactionLevel_ == 0)
        throw DbError("No transaction is active.");
    if (transactionLevel_ == 1)
        ExecRaw("COMMIT");
    else
        ExecRaw(("RELEASE zl_level" + std::to_string(transactionLevel_ - 1)).c_str());
    --transactionLevel_;
}

void Connection::RollbackTrans() {
    if (transactionLevel_ == 0)
        throw DbError("No transaction is active.");
    --transactionLevel_;
    if (transactionLevel_ == 0) {
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
    return StepToEnd(db, handle.stmt);
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
        if (handle.stmt)  // none for a blank or a comment
            changes = StepToEnd(db, handle.stmt);
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
