// The operations a user may be granted, the checks the screens make before they act (each tells
// the user when it refuses), and the rights view of the main database.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/Prompter.h"

namespace zl {

namespace db {
class Connection;
}

// Rows of sys_op.
constexpr int kChangeSettingsRight = 1;  // also stands for every other operation
constexpr int kDeleteDocumentsRight = 2;
constexpr int kReportsRight = 3;  // deleting through the lists and viewing reports

// Right 3, checked by every command that shows a report before it takes a repository path.
bool MayViewReports(ui::WindowHandle owner);
// Right 1, checked before user groups, system users, rights or memberships change.
bool MayChangeUsers(ui::WindowHandle owner);

// The statements that take a deleted user group's rights and memberships, or a deleted system
// user's memberships, with it; none for any other kind.
std::vector<std::string> LinkRowDeletes(int dimensionId, int key);

// The rights view of the main database as this version defines it (data/zlm.sql holds the
// same text): only groups and users that still exist count.
const char* RightsViewSql();

enum class ViewUpdate { Current, Replaced, Failed };
// Replaces a main database's rights view by RightsViewSql when its text differs (blanks aside),
// all in one transaction; a current view, or rights kept in a table, are left alone. A failure is
// logged under "TDataMod.UpdateRightsView" and the old view stays.
ViewUpdate UpdateRightsView(db::Connection& conn);

}  // namespace zl
