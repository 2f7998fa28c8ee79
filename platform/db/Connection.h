// A connection to one database file, opened from a connection string. The layer reads the
// "Data Source" item and accepts and ignores the provider, mode and password items.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace zl::db {

// The file system type that statfs reports for a path (its f_type); 0 when it cannot be read.
using FileSystemProbe = std::function<long(const std::string& path)>;
long StatfsType(const std::string& path);
// Whether files of that type lie on another machine (NFS, SMB/CIFS, AFS and the like). SQLite's
// write-ahead log needs memory shared on one host, so such files keep the rollback journal.
bool IsNetworkFileSystem(long type);

// What a write that waited for another connection's lock in vain reports.
inline constexpr const char* kDatabaseBusyMessage =
    "Another workstation is using the database and kept it locked for too long. "
    "Nothing was stored; please try again.";
// The same for a read: it changed nothing.
inline constexpr const char* kDatabaseBusyReadMessage =
    "Another workstation is using the database and kept it locked for too long. "
    "Nothing was lost; please try again.";
// What a statement reports when the file no longer reads as a database: another program wrote
// over it while it was open (a backup copied over it, say).
std::string FileDamagedMessage(const std::string& path);

// Whether computers other than this one may open the file. A shared file always keeps the
// rollback journal: the write-ahead log needs memory shared on one computer, and the computer
// that serves a shared folder sees it on a local disk like any other.
enum class FileSharing { Private, Shared };
// What a write to a file that is no longer the one opened reports.
std::string FileLostMessage(const std::string& path);

// Where a connection's file stands: another connection's commit moves the data version, this
// connection's own writes its change count. Equal tokens mean the file holds what it held.
struct ChangeToken {
    long long dataVersion = -1;
    long long totalChanges = -1;
    bool operator==(const ChangeToken&) const = default;
};

class Connection;

// Reading connections opened like one connection and no longer in use, kept open so that the
// next worker read finds the schema read and, while the file is unchanged, its pages cached.
// The connection empties and closes it when it closes or finds its file replaced; a reader given
// back after that is closed.
class SpareReaders {
  public:
    // At most this many wait; a reader given beyond them is closed.
    static constexpr size_t kMostKept = 4;
    // The reader given back last, or null when none waits.
    std::unique_ptr<Connection> Take();
    void Give(std::unique_ptr<Connection> reader);
    void Close();
    size_t Count() const;

  private:
    mutable std::mutex mutex_;
    bool closed_ = false;
    std::vector<std::unique_ptr<Connection>> spare_;
};

class Connection {
  public:
    Connection() = default;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void SetConnectionString(std::string text);
    const std::string& ConnectionString() const { return connectionString_; }

    // Opens the file named by "Data Source"; the file must exist and be writable, and so must its
    // folder (the journal lives next to the file). The journal is the write-ahead log for a
    // private file on a local disk, else the rollback journal; a file found in WAL mode is
    // switched back when no one else has it open, and refused while someone does. The file is
    // never memory-mapped. Raises DbError.
    void Open();
    // How Open treats the file; Private unless set.
    void SetSharing(FileSharing sharing) { sharing_ = sharing; }
    // Stands in for statfs when Open decides the journal (tests); an empty probe restores it.
    void SetFileSystemProbe(FileSystemProbe probe);
    // Opens the file of another connection the way that one was opened (for a worker thread's
    // own connection). Raises DbError.
    void OpenLike(const Connection& other);
    // Where worker reads of this file take a reader from and give it back; null while closed.
    const std::shared_ptr<SpareReaders>& Spares() const { return spares_; }
    // The file's change state now; runs one pragma and reads no table. Notices a file moved,
    // replaced or deleted (see RequireSameFile). Raises DbError.
    ChangeToken Changes();
    // The journal mode in force, as SQLite names it ("wal", "delete"); empty when closed.
    std::string JournalMode() const;
    // Copies the write-ahead log into the file and truncates it, so that the file alone holds
    // everything; nothing to do for a rollback journal. A file moved away meanwhile receives its
    // own log through the open handle, and no log is left for the file now at the path.
    // Raises DbError.
    void Checkpoint();

    // Called with true when a statement starts waiting for another connection's lock and with
    // false when the wait is over; the wait lasts at most the busy time-out.
    void SetBusyCallback(std::function<void(bool waiting)> callback);
    // Numbers the user's actions (0: none counted). Once a statement has waited the busy
    // time-out in vain, the others of the same action fail at once instead of waiting again.
    // Without a clock, or while it says 0, every statement waits.
    void SetActionClock(std::function<long long()> clock);
    // Called once, with FileLostMessage, when a write is refused because the file was moved,
    // replaced or deleted since it was opened.
    void SetFileLostCallback(std::function<void(const std::string& message)> callback);
    // Raises DbError (FileLostMessage) unless the path still names the file that was opened:
    // the same device and inode. Every write transaction checks this first. The first time it
    // finds the file gone it checkpoints the log into the file it has open (see Checkpoint).
    void RequireSameFile();
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
    // One step of a statement prepared on Handle(): true for a row, false when done. A failure
    // raises DbError with what the user should read (lock held elsewhere, file lost).
    bool Step(sqlite3_stmt* statement);
    // Raises DbError for the last failure `rc` of this connection; `reading` words a lock
    // held too long for a statement that writes nothing.
    [[noreturn]] void Fail(int rc, bool reading = false);

    // The value of one item of a connection string (item names compare case-insensitively);
    // empty when the item is missing.
    static std::string ConnectionItem(std::string_view connectionString, std::string_view name);

  private:
    void ExecRaw(const char* sql);
    void ChooseJournal(const std::string& path);
    bool SameFile() const;
    void NoticeLost();
    void CheckpointOwnLog();
    void EndWait();
    static int OnBusy(void* self, int attempt);
    static int OnCommit(void* self);

    std::string connectionString_;
    std::string path_;
    sqlite3* db_ = nullptr;
    int transactionLevel_ = 0;
    FileSystemProbe probe_;
    FileSharing sharing_ = FileSharing::Private;
    // The file as opened, and whether it was found replaced (told once).
    dev_t device_ = 0;
    ino_t inode_ = 0;
    bool fileLost_ = false;
    bool lostTold_ = false;
    bool lostLogCheckpointed_ = false;
    std::function<void(const std::string&)> fileLostCallback_;
    std::function<void(bool)> busyCallback_;
    bool waiting_ = false;
    int waitedMs_ = 0;
    std::function<long long()> actionClock_;
    // The action in which a wait last ran out.
    std::optional<long long> gaveUpIn_;
    std::shared_ptr<SpareReaders> spares_;
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
