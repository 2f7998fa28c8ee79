#include "core/DataMod.h"

#include <exception>
#include <filesystem>

#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "core/WebRequests.h"
#include "platform/db/JetDialect.h"
#include "platform/desktop/Files.h"
#include "platform/ui/Prompter.h"

namespace zl {
namespace {

// The one database password of the three files.
constexpr const char* kDatabasePassword = "qurnel";

}  // namespace

db::FileSharing SharingOf(const std::string& path, const std::string& dataFolder) {
    // Only this user's own data folder is out of other computers' reach; a file anywhere else
    // may be (or become) a shared one, whatever the file system looks like from here.
    std::error_code error;
    const std::filesystem::path file = std::filesystem::weakly_canonical(path, error);
    if (error || dataFolder.empty())
        return db::FileSharing::Shared;
    const std::filesystem::path folder = std::filesystem::weakly_canonical(dataFolder, error);
    if (error)
        return db::FileSharing::Shared;
    return desktop::IsInside(file, folder) ? db::FileSharing::Private : db::FileSharing::Shared;
}

TDataMod::TDataMod(Deliverable deliverable) : deliverable_(deliverable) {
    qConfig.SetSQL("select * from config");
    qDims.SetSQL("select * from dimension");
    qSynonym.SetSQL("select * from synonym");
    for (db::Connection* conn : {&localConn, &zlmConn, &repConn}) {
        // A statement that waits for another workstation's lock shows the busy cursor meanwhile,
        // and waits in vain at most once in a user's action.
        conn->SetActionClock(&ui::UserAction);
        conn->SetBusyCallback([](bool waiting) {
            ui::CurrentCursor().Set(waiting ? ui::CursorShape::HourGlass
                                            : ui::CursorShape::Default);
        });
        conn->SetFileLostCallback([](const std::string& message) {
            ui::ShowMessage(nullptr, message, "Database file", ui::Icon::Error);
        });
    }
    DataModuleCreate();
}

void TDataMod::DataModuleCreate() {
    for (db::Connection* conn : {&localConn, &zlmConn, &repConn}) {
        conn->SetConnected(false);
        conn->SetConnectionString("");
    }
    CustomersOpen = true;
    InquiryOpen = true;
    BillableOpen = false;
    OrganizationOpen = false;
    AppVersion = deliverable_ == Deliverable::Program ? ProgramVersion : ReportServerVersion;
}

std::string TDataMod::BuildConnectionString(const std::string& path) const {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path +
           ";Mode=Share Deny None;Jet OLEDB:System database=\"\";Jet OLEDB:Database Password=" +
           kDatabasePassword + ";";
}

std::string TDataMod::LocalDbConnectionString() const {
    return BuildConnectionString(GetAppDataDir() + "db/zlmlocal.dat");
}

std::string TDataMod::MetaDbConnectionString() const {
    return BuildConnectionString(GetAppDataDir() + "db/zlm_meta.dat");
}

std::string TDataMod::MainDbConnectionString() {
    return BuildConnectionString(qConfig.FieldByName("config_dbpath").AsString());
}

bool TDataMod::Connect(db::Connection& conn, const std::string& connectionString) {
    try {
        conn.SetConnected(false);
        conn.SetConnectionString(connectionString);
        conn.SetSharing(SharingOf(db::Connection::ConnectionItem(connectionString, "Data Source"),
                                  GetAppDataDir()));
        conn.SetConnected(true);
        return true;
    } catch (const std::exception& e) {
        LogError("TDataMod.Connect", e.what(), connectionString);
        return false;
    }
}

void TDataMod::CloseConnections() noexcept {
    for (db::Connection* conn : {&zlmConn, &localConn, &repConn}) {
        try {
            conn->Checkpoint();
        } catch (const std::exception&) {
            // The file stays complete with its log beside it; closing must go on.
        }
        conn->Close();
    }
}

bool TDataMod::openQuery(db::Connection& conn, db::Query& q, const std::string& tag,
                         const std::string& sql) {
    return openQuery(conn, q, tag, sql, {});
}

bool TDataMod::openQuery(db::Connection& conn, db::Query& q, const std::string& tag,
                         const std::string& sql, std::vector<db::Value> parameters) {
    if (const std::optional<std::string> error = TryOpen(conn, q, sql, std::move(parameters))) {
        LogError("TDataMod.openQuery > " + tag, *error, sql);
        return false;
    }
    return true;
}

std::optional<std::string> TDataMod::TryOpen(db::Connection& conn, db::Query& q,
                                             const std::string& sql,
                                             std::vector<db::Value> parameters) {
    try {
        q.Close();
        q.SetConnection(&conn);
        q.SetSQL(sql);
        q.SetParameters(std::move(parameters));
        q.Open();
        return std::nullopt;
    } catch (const std::exception& e) {
        q.Close();
        return std::string(e.what());
    }
}

bool TDataMod::openQuery(db::Query& q, const std::string& sql, const std::string& tag) {
    return openQuery(zlmConn, q, tag, sql);
}

bool TDataMod::actionQuery(db::Connection& conn, const std::string& sql, const std::string& tag) {
    return actionQueries(conn, {sql}, tag);
}

bool TDataMod::actionQueries(db::Connection& conn, const std::vector<std::string>& statements,
                             const std::string& tag) {
    std::string failed;
    std::string error;
    try {
        // The transaction rolls back when a statement fails, before the warning box shows:
        // an open transaction would lock the file for the report server's connections.
        db::Transaction transaction(conn);
        for (const std::string& sql : statements) {
            failed = sql;
            qAction.Close();
            qAction.SetConnection(&conn);
            qAction.SetSQL(sql);
            qAction.ExecSQL();
        }
        transaction.Commit();
        return true;
    } catch (const std::exception& e) {
        error = e.what();
    }
    LogError("TDataMod.actionQuery > " + tag, error, failed);
    return false;
}

bool TDataMod::actionQuery(const std::string& sql, const std::string& tag) {
    return actionQuery(zlmConn, sql, tag);
}

bool TDataMod::OpenById(db::Query& q, const std::string& table, int id, const std::string& tag) {
    return openQuery(zlmConn, q, tag,
                     "select * from " + db::QuoteName(table) + " where " +
                         db::QuoteName(table + "_id") + "=" + std::to_string(id));
}

bool TDataMod::OpenByField(db::Query& q, const std::string& table, int id, const std::string& tag,
                           const std::string& field) {
    return openQuery(zlmConn, q, tag,
                     "select * from " + db::QuoteName(table) + " where " + db::QuoteName(field) +
                         "=" + std::to_string(id));
}

int TDataMod::getParentCount(const std::string& table, const std::string& field, int id) {
    if (!openQuery(zlmConn, qAction, "TDataMod.getParentCount",
                   "select count(*) as cnt from " + db::QuoteName(table) + " where " +
                       db::QuoteName(field) + "=" + std::to_string(id)))
        return 0;  // already logged by openQuery
    try {
        const int count = qAction.FieldByName("cnt").AsInteger();
        qAction.Close();
        return count;
    } catch (const std::exception& e) {
        qAction.Close();
        LogError("TDataMod.getParentCount", e.what(), "");
        return 0;
    }
}

void TDataMod::UsageReport() noexcept {
    SendUsageNotice();
}

bool TDataMod::IsCurrentVersion() {
    return CheckCurrentVersion(AppVersion);
}

}  // namespace zl
