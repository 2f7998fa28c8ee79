// A connection to one database file, opened from a connection string. The layer reads the
// "Data Source" item and accepts and ignores the provider, mode and password items.
#pragma once

#include <string>
#include <string_view>

struct sqlite3;

namespace zl::db {

class Connection {
  public:
    Connection() = default;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void SetConnectionString(std::string text);
    const std::string& ConnectionString() const { return connectionString_; }

    // Opens the file named by "Data Source"; the file must exist and be writable, and so must its
    // folder (the write-ahead log lives next to the file). Raises DbError.
    void Open();
    // Closes the file; an open transaction is rolled back first.
    void Close();
    bool Connected() const { return db_ != nullptr; }
    void SetConnected(bool connected);

    // Nested begins become savepoints. The outermost begin takes the write lock at once, so
    // that read-modify-write sequences (the key counter) cannot interleave with another
    // connection.
    void BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    int TransactionLevel() const { return transactionLevel_; }
    bool InTransaction() const { return transactionLevel_ > 0; }

    // Translates and runs one statement; returns the rows changed. A text holding a second
    // statement is refused before anything runs, so that a value pasted into the SQL can never
    // append a statement of its own.
    int Execute(std::string_view jetSql);
    // Translates and runs several statements in order; returns the rows changed by the last one.
    int ExecuteScript(std::string_view jetSql);

    // The open handle; raises DbError when the connection is closed.
    sqlite3* Handle() const;

    // The value of one item of a connection string (item names compare case-insensitively);
    // empty when the item is missing.
    static std::string ConnectionItem(std::string_view connectionString, std::string_view name);

  private:
    void ExecRaw(const char* sql);

    std::string connectionString_;
    sqlite3* db_ = nullptr;
    int transactionLevel_ = 0;
};

// Rolls back on destruction unless committed: every routine that begins a transaction holds
// one of these, so a failure can never leave the file locked.
class Transaction {
  public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void Commit();

  private:
    Connection& connection_;
    bool open_ = true;
};

}  // namespace zl::db
