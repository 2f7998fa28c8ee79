#include "core/Rights.h"

#include <cctype>
#include <exception>
#include <optional>

#include "core/DataMod.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "platform/db/Connection.h"
#include "platform/db/Query.h"

namespace zl {
namespace {

constexpr int kUserGroups = 3;
constexpr int kSysUsers = 4;

// Runs of blanks, tabs and line ends read as one blank; none at either end.
std::string CollapseBlanks(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            if (!out.empty() && out.back() != ' ')
                out += ' ';
        } else {
            out += c;
        }
    }
    if (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

}  // namespace

bool MayViewReports(ui::WindowHandle owner) {
    if (DataMod->checkRight(CurUserId, kReportsRight))
        return true;
    ui::ShowMessage(owner, "You do not have system permissions to view reports.", "Access denied",
                    ui::Icon::Information);
    return false;
}

bool MayChangeUsers(ui::WindowHandle owner) {
    if (DataMod->checkRight(CurUserId, kChangeSettingsRight))
        return true;
    ui::ShowMessage(owner,
                    "You do not have system rights to change users or user groups. Please contact "
                    "your system administrator.",
                    "Access denied", ui::Icon::Warning);
    return false;
}

std::vector<std::string> LinkRowDeletes(int dimensionId, int key) {
    const std::string id = std::to_string(key);
    if (dimensionId == kUserGroups)
        return {"delete from group_right where user_group_id=" + id,
                "delete from group_user_link where user_group_id=" + id};
    if (dimensionId == kSysUsers)
        return {"delete from group_user_link where sys_user_id=" + id};
    return {};
}

const char* RightsViewSql() {
    return "CREATE VIEW usr_op AS\n"
           "SELECT gr.group_right_id, gr.sys_op_id, gul.sys_user_id AS sys_usr_id, "
           "gr.user_group_id\n"
           "FROM group_right gr\n"
           "JOIN group_user_link gul ON gul.user_group_id = gr.user_group_id\n"
           "JOIN entity grp ON grp.entity_id = gr.user_group_id AND grp.dimension_id = 3\n"
           "JOIN entity usr ON usr.entity_id = gul.sys_user_id AND usr.dimension_id = 4";
}

ViewUpdate UpdateRightsView(db::Connection& conn) {
    const std::string tag = "TDataMod.UpdateRightsView";
    std::optional<std::string> error;
    try {
        db::Query stored(&conn);
        stored.SetSQL("select type, sql from sqlite_master where name='usr_op'");
        stored.Open();
        // Rights kept in a table are the site's own and are not touched.
        if (!stored.IsEmpty() &&
            (stored.Fields(0).AsString() != "view" ||
             CollapseBlanks(stored.Fields(1).AsString()) == CollapseBlanks(RightsViewSql())))
            return ViewUpdate::Current;
        stored.Close();
        db::Transaction transaction(conn);
        conn.Execute("drop view if exists usr_op");
        conn.Execute(RightsViewSql());
        transaction.Commit();
        return ViewUpdate::Replaced;
    } catch (const std::exception& e) {
        error = e.what();
    }
    // Told only once the transaction has rolled back and released the file.
    LogError(tag, *error, "");
    return ViewUpdate::Failed;
}

}  // namespace zl
