#include "ScriptDb.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace zl::test {

std::string ReadScript(const std::string& name) {
    std::ifstream in(std::string(ZELMAR_SOURCE_DIR) + "/data/" + name, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read script " + name);
    }
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

ScriptDb::ScriptDb(const std::string& path) {
    if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) {
        std::string msg = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        db_ = nullptr;
        throw std::runtime_error("cannot open " + path + ": " + msg);
    }
}

ScriptDb::~ScriptDb() {
    sqlite3_close(db_);
}

std::string ScriptDb::Exec(const std::string& sql) {
    char* err = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err) == SQLITE_OK) {
        return "";
    }
    std::string msg = err ? err : "unknown error";
    sqlite3_free(err);
    return msg.empty() ? "unknown error" : msg;
}

namespace {

struct Statement {
    sqlite3_stmt* stmt = nullptr;
    ~Statement() { sqlite3_finalize(stmt); }
};

void Prepare(sqlite3* db, const std::string& sql, Statement& st) {
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st.stmt, nullptr) != SQLITE_OK) {
        throw std::runtime_error(sql + ": " + sqlite3_errmsg(db));
    }
}

}  // namespace

std::vector<std::vector<std::string>> ScriptDb::Rows(const std::string& sql) {
    Statement st;
    Prepare(db_, sql, st);
    std::vector<std::vector<std::string>> rows;
    int rc;
    while ((rc = sqlite3_step(st.stmt)) == SQLITE_ROW) {
        std::vector<std::string> row;
        for (int i = 0; i < sqlite3_column_count(st.stmt); ++i) {
            const unsigned char* text = sqlite3_column_text(st.stmt, i);
            row.emplace_back(text ? reinterpret_cast<const char*>(text) : "");
        }
        rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) {
        throw std::runtime_error(sql + ": " + sqlite3_errmsg(db_));
    }
    return rows;
}

std::vector<std::string> ScriptDb::Columns(const std::string& sql) {
    Statement st;
    Prepare(db_, sql, st);
    std::vector<std::string> names;
    for (int i = 0; i < sqlite3_column_count(st.stmt); ++i) {
        names.emplace_back(sqlite3_column_name(st.stmt, i));
    }
    return names;
}

std::vector<std::string> ScriptDb::TableColumns(const std::string& table) {
    std::vector<std::string> names;
    for (const auto& row : Rows("pragma table_info(\"" + table + "\")")) {
        names.push_back(row[1]);
    }
    return names;
}

std::vector<std::string> ScriptDb::TableTypes(const std::string& table) {
    std::vector<std::string> types;
    for (const auto& row : Rows("pragma table_info(\"" + table + "\")")) {
        types.push_back(row[2]);
    }
    return types;
}

long long ScriptDb::Int(const std::string& sql) {
    auto rows = Rows(sql);
    if (rows.empty() || rows[0].empty()) {
        throw std::runtime_error(sql + ": no result");
    }
    return std::stoll(rows[0][0]);
}

}  // namespace zl::test
