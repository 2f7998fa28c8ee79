#include "platform/db/SchemaChange.h"

#include <sqlite3.h>

#include <cctype>
#include <string_view>
#include <vector>

#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/JetDialect.h"

namespace zl::db {
namespace {

bool IsNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// Past the quoted text that starts at sql[i] ('...', "...", `...` or [...]).
std::size_t SkipQuoted(const std::string& sql, std::size_t i) {
    const char close = sql[i] == '[' ? ']' : sql[i];
    std::size_t j = i + 1;
    while (j < sql.size()) {
        if (sql[j] == close) {
            if (close != ']' && j + 1 < sql.size() && sql[j + 1] == close) {
                j += 2;  // a doubled quote stands for itself
                continue;
            }
            return j + 1;
        }
        ++j;
    }
    return j;
}

// Past the comment that starts at sql[i] ("-- ..." to the line's end, "/* ... */"); i when none
// starts there.
std::size_t CommentEnd(const std::string& sql, std::size_t i) {
    const std::string_view rest = std::string_view(sql).substr(i);
    if (rest.starts_with("--")) {
        const std::size_t end = sql.find('\n', i);
        return end == std::string::npos ? sql.size() : end;
    }
    if (rest.starts_with("/*")) {
        const std::size_t end = sql.find("*/", i + 2);
        return end == std::string::npos ? sql.size() : end + 2;
    }
    return i;
}

bool IsQuote(char c) {
    return c == '\'' || c == '"' || c == '`' || c == '[';
}

std::size_t SkipBlanks(const std::string& sql, std::size_t i) {
    while (i < sql.size() && std::isspace(static_cast<unsigned char>(sql[i])))
        ++i;
    return i;
}

// The name at sql[i], unquoted, and the position after it.
std::string ReadName(const std::string& sql, std::size_t& i) {
    if (i < sql.size() && IsQuote(sql[i])) {
        const std::size_t end = SkipQuoted(sql, i);
        std::string name = sql.substr(i + 1, end - i - 2);
        i = end;
        return name;
    }
    const std::size_t start = i;
    while (i < sql.size() && IsNameChar(sql[i]))
        ++i;
    return sql.substr(start, i - start);
}

// Words that end a column's type and start its constraints.
bool StartsConstraint(std::string_view word) {
    for (std::string_view keyword : {"CONSTRAINT", "PRIMARY", "NOT", "NULL", "UNIQUE", "CHECK",
                                     "DEFAULT", "COLLATE", "REFERENCES", "GENERATED", "AS"})
        if (EqualNoCase(word, keyword))
            return true;
    return false;
}

// The end of the type that starts at sql[i]: type words, then an optional "(...)".
std::size_t TypeEnd(const std::string& sql, std::size_t i) {
    std::size_t end = i;
    while (true) {
        std::size_t j = SkipBlanks(sql, end);
        if (j < sql.size() && sql[j] == '(') {
            const std::size_t close = sql.find(')', j);
            return close == std::string::npos ? sql.size() : close + 1;
        }
        const std::size_t wordStart = j;
        while (j < sql.size() && IsNameChar(sql[j]))
            ++j;
        const std::string_view word(sql.data() + wordStart, j - wordStart);
        if (word.empty() || StartsConstraint(word))
            return end;
        end = j;
    }
}

struct Statement {
    sqlite3_stmt* stmt = nullptr;
    Statement(sqlite3* db, const std::string& sql) {
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
            throw DbError(sqlite3_errmsg(db));
    }
    ~Statement() { sqlite3_finalize(stmt); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
};

void Run(sqlite3* db, const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = error ? error : sqlite3_errmsg(db);
        sqlite3_free(error);
        throw DbError(message);
    }
}

std::string Text(sqlite3_stmt* stmt, int column) {
    const auto* text = sqlite3_column_text(stmt, column);
    return text ? reinterpret_cast<const char*>(text) : "";
}

}  // namespace

std::string WithColumnType(const std::string& createSql, const std::string& column,
                           const std::string& newType) {
    int depth = 0;
    bool atColumnStart = false;
    for (std::size_t i = 0; i < createSql.size();) {
        const char c = createSql[i];
        if (const std::size_t end = CommentEnd(createSql, i); end != i) {
            i = end;
            continue;
        }
        if (IsQuote(c) && !(depth == 1 && atColumnStart)) {
            i = SkipQuoted(createSql, i);
            continue;
        }
        if (c == '(' || c == ')' || c == ',') {
            depth += c == '(' ? 1 : c == ')' ? -1 : 0;
            atColumnStart = depth == 1 && c != ')';
            ++i;
            continue;
        }
        if (depth == 1 && atColumnStart && !std::isspace(static_cast<unsigned char>(c))) {
            atColumnStart = false;
            std::size_t j = i;
            const std::string name = ReadName(createSql, j);
            if (EqualNoCase(name, column)) {
                const std::size_t typeStart = SkipBlanks(createSql, j);
                const std::size_t typeEnd = TypeEnd(createSql, j);
                if (typeEnd <= typeStart)  // a column declared without a type
                    return createSql.substr(0, j) + " " + newType + createSql.substr(j);
                return createSql.substr(0, typeStart) + newType + createSql.substr(typeEnd);
            }
            i = j;
            continue;
        }
        ++i;
    }
    throw DbError("The table definition has no column '" + column + "'.");
}

void ChangeColumnType(Connection& conn, const std::string& table, const std::string& column,
                      const std::string& newType) {
    sqlite3* db = conn.Handle();
    Transaction transaction(conn);

    std::string createSql;
    // The table's indexes and triggers go with it; they are made again afterwards, in the order
    // they were first made. Indexes SQLite makes itself (no text) come back with the table.
    std::vector<std::string> dependents;
    {
        Statement schema(db,
                         "SELECT type, sql FROM sqlite_schema WHERE tbl_name = ?1 COLLATE NOCASE "
                         "AND type IN ('table', 'index', 'trigger') AND sql IS NOT NULL "
                         "ORDER BY rowid");
        sqlite3_bind_text(schema.stmt, 1, table.c_str(), -1, SQLITE_TRANSIENT);
        int rc;
        while ((rc = sqlite3_step(schema.stmt)) == SQLITE_ROW) {
            if (Text(schema.stmt, 0) == "table")
                createSql = Text(schema.stmt, 1);
            else
                dependents.push_back(Text(schema.stmt, 1));
        }
        if (rc != SQLITE_DONE)
            throw DbError(sqlite3_errmsg(db));
    }
    if (createSql.empty())
        throw DbError("There is no table '" + table + "'.");
    const std::string rebuilt = WithColumnType(createSql, column, newType);

    // The rows wait in a temporary table while the table is made again under its own name, so
    // the views over it, which name it, stay exactly as they are.
    const std::string name = QuoteName(table);
    Run(db, "CREATE TEMP TABLE zl_rebuild_rows AS SELECT * FROM main." + name);
    Run(db, "DROP TABLE main." + name);
    Run(db, rebuilt);
    Run(db, "INSERT INTO main." + name + " SELECT * FROM temp.zl_rebuild_rows");
    Run(db, "DROP TABLE temp.zl_rebuild_rows");
    for (const std::string& sql : dependents)
        Run(db, sql);
    transaction.Commit();
}

}  // namespace zl::db
