#include "DbTestFile.h"

#include <sqlite3.h>
#include <stdlib.h>

#include <stdexcept>

namespace zl::db::test {
namespace {

const char* kSchema = R"sql(
create table item (
    item_id INTEGER PRIMARY KEY,
    item_name VARCHAR(10) COLLATE NOCASE,
    item_notes MEMO COLLATE NOCASE,
    item_qty DOUBLE,
    item_price CURRENCY,
    item_count INTEGER,
    item_small SMALLINT,
    item_done BIT,
    item_date DATETIME
);
create table settings (settings_path VARCHAR(250), settings_counter INTEGER);
insert into settings values ('/tmp/a', 7);
insert into item (item_id, item_name, item_qty, item_count, item_date) values
    (1, 'Bolt', 2.5, 3, '2026-01-15 00:00:00'),
    (2, 'nut', 1, 10, '2025-12-31 00:00:00'),
    (3, 'Washer', 0.25, 7, '2026-02-01 00:00:00'),
    (4, 'ÄRGER', 4, 1, '2026-01-01 00:00:00');
create view item_list as
    select item_id, item_name as "Name", item_qty, item_qty * 2 as doubled,
           item_count * 1 as counted, 'x' || item_name as label
    from item;
)sql";

}  // namespace

DbTestFile::DbTestFile() {
    path_ = folder_.Path() + "/test.dat";
    sqlite3* db = nullptr;
    sqlite3_open(path_.c_str(), &db);
    char* error = nullptr;
    if (sqlite3_exec(db, kSchema, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : "";
        sqlite3_free(error);
        sqlite3_close(db);
        throw std::runtime_error(message);
    }
    sqlite3_close(db);
    conn.SetConnectionString(ConnectionString());
    conn.Open();
}

DbTestFile::~DbTestFile() {
    conn.Close();
}

std::string DbTestFile::ConnectionString() const {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path_ +
           ";Mode=Share Deny None;Jet OLEDB:Database Password=qurnel;";
}

void DbTestFile::OpenOther(Connection& other) const {
    other.SetConnectionString(ConnectionString());
    other.Open();
}

}  // namespace zl::db::test
