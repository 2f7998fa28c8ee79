// The data module: the three database connections, the shared queries and the routines through
// which all code reaches the databases.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/db/Connection.h"
#include "platform/db/JetDialect.h"  // QuoteName, for SQL built from metadata names
#include "platform/db/Query.h"

namespace zl {

namespace desktop {
class FileWriter;
enum class WriteMode;
}  // namespace desktop

// Which deliverable a data module serves; it decides the version text.
enum class Deliverable { Program, ReportServer };

// How a database file at `path` is opened: Private (the write-ahead log where the disk allows)
// inside the user's own data folder `dataFolder`, Shared (always the rollback journal) anywhere
// else.
db::FileSharing SharingOf(const std::string& path, const std::string& dataFolder);

class TDataMod {
  public:
    // Creates the components and runs DataModuleCreate. Nothing is opened.
    explicit TDataMod(Deliverable deliverable = Deliverable::Program);
    TDataMod(const TDataMod&) = delete;
    TDataMod& operator=(const TDataMod&) = delete;

    void DataModuleCreate();

    // Each deliverable's version text; the build declares none, so this is where it changes.
    static constexpr const char* ProgramVersion = "3.01.15";
    static constexpr const char* ReportServerVersion = "2.05.28";

    // The Jet-style connection string of a database file.
    std::string BuildConnectionString(const std::string& path) const;
    std::string LocalDbConnectionString() const;
    std::string MetaDbConnectionString() const;
    // From config_dbpath of the current settings row (qConfig must be open).
    std::string MainDbConnectionString();

    bool Connect(db::Connection& conn, const std::string& connectionString);
    // Closes main, local and metadata connection in this order, each after copying its
    // write-ahead log into its file, so that once the deliverable has ended each file alone
    // holds everything (a copy of it is a complete backup). Shutdown reports no failure.
    void CloseConnections() noexcept;
    bool openQuery(db::Connection& conn, db::Query& q, const std::string& tag,
                   const std::string& sql);
    bool openQuery(db::Query& q, const std::string& sql, const std::string& tag);
    // The same with values for the "?" placeholders of the SQL text (typed text goes here).
    bool openQuery(db::Connection& conn, db::Query& q, const std::string& tag,
                   const std::string& sql, std::vector<db::Value> parameters);
    bool actionQuery(db::Connection& conn, const std::string& sql, const std::string& tag);
    bool actionQuery(const std::string& sql, const std::string& tag);
    // The statements in order, all or none: one failing undoes the others, then is logged.
    bool actionQueries(db::Connection& conn, const std::vector<std::string>& statements,
                       const std::string& tag);
    // The table and column names go into the SQL as bracketed identifiers; the id in decimal.
    bool OpenById(db::Query& q, const std::string& table, int id, const std::string& tag);
    bool OpenByField(db::Query& q, const std::string& table, int id, const std::string& tag,
                     const std::string& field);
    int getParentCount(const std::string& table, const std::string& field, int id);

    // Record identifiers, new rows and positioning.
    // A new key from the one counter of the main database; 0 when none could be issued.
    int nextID();
    // `count` new keys under one write lock of the counter: the first of them, the others
    // following it one by one; 0 when none could be issued.
    int nextIDs(int count);
    // Appends a row to `ds` with a new key in column 0 and the first values of its columns.
    // False when no key could be issued (the insert is then cancelled) or a value failed.
    bool Append(db::Query& ds, const std::string& tag);
    // The same with a key issued before, for routines that must not show a box inside their
    // transaction. Logs nothing: raises on failure.
    void AppendWithKey(db::Query& ds, int key);
    // Stands `q` on the first row whose column `field` holds `value`.
    bool Seek(db::Query& q, const std::string& field, int value);

    // Audit log, rights, repository paths and the first-run set-up.
    void logEvent(const std::string& descr, const std::string& extra, int recordId,
                  int dimId) noexcept;
    bool checkRight(int user, int op);
    // A new path in the document repository, reserved by creating its file (empty, 0600) in a
    // 0700 numbered folder that is no link; a name already taken is skipped for the next key.
    // The caller writes into that empty file. Raises when none can be made.
    std::string NewDocPath(const std::string& prefix, const std::string& ext);
    // Opens `path` for writing as `out.Open` does. A path in the repository is reached from the
    // repository's folder with no level below it followed through a symbolic link, so that a
    // numbered folder swapped for a link after NewDocPath reserved the path receives nothing.
    // False with errno set when the file cannot be opened.
    bool OpenDocFile(desktop::FileWriter& out, const std::string& path, desktop::WriteMode mode,
                     std::size_t bufferSize = 1 << 13);
    void CheckFirst() noexcept;

    void UsageReport() noexcept;
    bool IsCurrentVersion();

    // Connections: main, local (settings and audit), metadata (reports, tags, scratch tables).
    db::Connection zlmConn;
    db::Connection localConn;
    db::Connection repConn;

    // Shared queries, bound to their usual connection; every routine rebinds them anyway.
    db::Query qID{&zlmConn};
    db::Query qAction{&zlmConn};
    db::Query qDims{&zlmConn};
    db::Query qSysOp{&zlmConn};
    db::Query qConfig{&localConn};
    db::Query qAudit;
    db::Query qReport{&repConn};
    db::Query qSection{&repConn};
    db::Query qRepField{&repConn};
    db::Query qRepData{&zlmConn};
    db::Query qSynonym;
    db::Query qValue{&zlmConn};

  private:
    // openQuery without the log entry: the error message on failure, the query closed.
    static std::optional<std::string> TryOpen(db::Connection& conn, db::Query& q,
                                              const std::string& sql,
                                              std::vector<db::Value> parameters);

    Deliverable deliverable_;
};

}  // namespace zl
