// The data module's audit log, rights lookup, document-repository paths and first-run set-up.
#include <cerrno>
#include <cstring>
#include <exception>
#include <stdexcept>

#include "core/DataMod.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "platform/db/Unicode.h"
#include "platform/desktop/Files.h"
#include "platform/format/Format.h"

namespace zl {
namespace {

// The most paths issued into one numbered folder of the repository.
constexpr int kPathsPerFolder = 1000;

// Cancels a pending edit of the settings row when a routine fails half-way, so the row is never
// left in edit state for the next user of the shared query.
class SettingsEditGuard {
  public:
    explicit SettingsEditGuard(db::Query& q) : q_(q) {}
    ~SettingsEditGuard() {
        if (q_.Editing())
            q_.Cancel();
    }
    SettingsEditGuard(const SettingsEditGuard&) = delete;
    SettingsEditGuard& operator=(const SettingsEditGuard&) = delete;

  private:
    db::Query& q_;
};

std::string WithSeparator(std::string folder) {
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

}  // namespace

void TDataMod::logEvent(const std::string& descr, const std::string& extra, int recordId,
                        int dimId) noexcept {
    try {
        if (!openQuery(localConn, qAudit, "TDataMod.logEvent",
                       "select * from audit where audit_id=0"))
            return;
        if (!Append(qAudit, "TDataMod.logEvent")) {
            qAudit.Close();
            return;
        }
        const format::TDateTime now = format::Now();
        qAudit.FieldByName("audit_dt")
            .SetAsString(format::FormatDateTime("yyyy/MM/dd", now) + " " +
                         format::FormatDateTime("hh:mm:ss", now));
        // A text longer than its column (a user name typed at length) is cut to fit, so the
        // event is still recorded.
        const auto setCut = [this](const char* column, const std::string& text) {
            db::Field& field = qAudit.FieldByName(column);
            field.SetAsString(field.Size() > 0 ? db::Utf8Left(text, field.Size()) : text);
        };
        setCut("audit_descr", descr);
        setCut("audit_extra", extra);
        qAudit.FieldByName("sys_user_id").SetAsInteger(CurUserId);
        qAudit.FieldByName("dimension_id").SetAsInteger(dimId);
        qAudit.FieldByName("record_id").SetAsInteger(recordId);
        qAudit.Post();
        qAudit.Close();
    } catch (...) {
        // The audit log never disturbs the action it records.
        qAudit.Close();
    }
}

bool TDataMod::checkRight(int user, int op) {
    try {
        if (!openQuery(qSysOp,
                       "select * from usr_op where sys_op_id=" + std::to_string(op) +
                           " and sys_usr_id=" + std::to_string(user),
                       "TDataMod.checkRight"))
            return false;
        if (!qSysOp.IsEmpty())
            return true;
        // Operation 1 stands for every operation.
        if (!openQuery(
                qSysOp,
                "select * from usr_op where sys_op_id=1 and sys_usr_id=" + std::to_string(user),
                "TDataMod.checkRight"))
            return false;
        const bool allowed = !qSysOp.IsEmpty();
        qSysOp.Close();
        return allowed;
    } catch (const std::exception& e) {
        LogError("TDataMod.checkRight", e.what(), "");
        return false;
    }
}

std::string TDataMod::NewDocPath(const std::string& prefix, const std::string& ext) {
    // The counters are shared with the report server's connection: count on from what is stored.
    qConfig.Requery();
    SettingsEditGuard guard(qConfig);
    const std::string repository =
        WithSeparator(qConfig.FieldByName("config_docrepository").AsString());
    int count = qConfig.FieldByName("config_doccounter").AsInteger() + 1;
    if (count > kPathsPerFolder) {
        qConfig.Edit();
        qConfig.FieldByName("config_curdocdir")
            .SetAsInteger(qConfig.FieldByName("config_curdocdir").AsInteger() + 1);
        qConfig.Post();
        count = 1;
    }
    const std::string relative =
        "reports/" + format::Format("%.10d", qConfig.FieldByName("config_curdocdir").AsInteger());
    // The folder may be new, or the repository may have lost it: make sure it is there, private,
    // and no link to somewhere else.
    const desktop::FileDescriptor folder = desktop::OpenPrivateFolder(repository, relative);
    if (!folder.valid())
        throw std::runtime_error("The folder " + repository + relative + " cannot be used. " +
                                 std::strerror(errno));
    qConfig.Edit();
    qConfig.FieldByName("config_doccounter").SetAsInteger(count);
    qConfig.Post();
    // The name is reserved by creating the file. A name already there (a main database restored
    // from a backup, or another one chosen in the options) is an older document that a contact
    // event may still open: the next key is taken instead.
    int previous = 0;
    for (;;) {
        const int key = nextID();
        // A path on key 0 would name a report that is already filed; a key that does not grow
        // would never find a free name.
        if (key <= previous)
            throw std::runtime_error("No new document number could be issued.");
        previous = key;
        const std::string name = prefix + std::to_string(key) + ext;
        if (desktop::CreateEmptyFileAt(folder.get(), name))
            return repository + relative + "/" + name;
        if (errno != EEXIST)
            throw std::runtime_error("The document " + repository + relative + "/" + name +
                                     " cannot be created. " + std::strerror(errno));
    }
}

bool TDataMod::OpenDocFile(desktop::FileWriter& out, const std::string& path,
                           desktop::WriteMode mode, std::size_t bufferSize) {
    std::string repository;
    if (qConfig.Active() && !qConfig.IsEmpty())
        repository = WithSeparator(qConfig.FieldByName("config_docrepository").AsString());
    const std::size_t slash = path.rfind('/');
    if (repository.empty() || !path.starts_with(repository) || slash < repository.size())
        return out.Open(path, mode, bufferSize);
    // The repository itself may be a link (where the user keeps it); the folders below it are
    // the program's own and are never followed elsewhere, whatever happened since the name was
    // reserved.
    const desktop::FileDescriptor folder = desktop::OpenFolderBelow(
        repository, path.substr(repository.size(), slash - repository.size()));
    if (!folder.valid()) {
        out.close();
        out.setstate(std::ios::badbit);
        return false;
    }
    return out.OpenAt(folder.get(), path.substr(slash + 1), mode, bufferSize);
}

void TDataMod::CheckFirst() noexcept {
    try {
        SettingsEditGuard guard(qConfig);
        if (qConfig.FieldByName("config_firstflag").AsInteger() > 0)
            return;
        qConfig.Edit();
        qConfig.FieldByName("config_dbpath").SetAsString(GetAppDataDir() + "db/zlm.dat");
        qConfig.FieldByName("config_docrepository").SetAsString(GetAppDataDir() + "doc/");
        qConfig.Post();
        if (!Connect(zlmConn, MainDbConnectionString()))
            return;
        if (!openQuery(zlmConn, qAction, "TDataMod.CheckFirst", "select * from doc_template"))
            return;
        if (!qAction.IsEmpty()) {
            qAction.First();
            qAction.Edit();
            qAction.FieldByName("doc_template_file")
                .SetAsString(GetAppDataDir() + "doc/sampletemplate.rtf");
            qAction.Post();
        }
        qAction.Close();
        // Done once: later starts keep the settings the user may have changed since.
        qConfig.Edit();
        qConfig.FieldByName("config_firstflag").SetAsInteger(1);
        qConfig.Post();
    } catch (...) {
        qAction.Close();
    }
}

}  // namespace zl
