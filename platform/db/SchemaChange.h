// Changing a column's declared type. SQLite cannot do that in place: the table is built anew
// under the changed definition, in one transaction.
#pragma once

#include <string>

namespace zl::db {

class Connection;

// Gives `column` of `table` the declared type `newType` ("VARCHAR(255)"), keeping every row, the
// table's indexes and triggers, and the views over it. The rest of the table's definition
// (constraints, collations) stays as it was written. All or nothing: raises DbError and leaves
// the file as it was when any step fails. The connection must not be inside a transaction.
void ChangeColumnType(Connection& conn, const std::string& table, const std::string& column,
                      const std::string& newType);

// The CREATE TABLE text `createSql` with the declared type of `column` replaced by `newType`.
// Raises DbError when the text has no such column.
std::string WithColumnType(const std::string& createSql, const std::string& column,
                           const std::string& newType);

}  // namespace zl::db
