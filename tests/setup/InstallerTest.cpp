#include "setup/Installer.h"

#include <gtest/gtest.h>
#include <sodium.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "data/DeliveredFiles.h"
#include "tests/support/TestDataFolder.h"

namespace zl::setup {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TestDataFolder;

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 0777;
}

// The rows of `sql` on the file at `path`, each row's columns joined by "|".
std::vector<std::string> Rows(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    std::vector<std::string> rows;
    sqlite3_stmt* stmt = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr), SQLITE_OK) << sql;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        std::string row;
        for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
            const auto* text = sqlite3_column_text(stmt, i);
            row += (i ? "|" : "") + std::string(text ? reinterpret_cast<const char*>(text) : "");
        }
        rows.push_back(row);
    }
    EXPECT_EQ(sqlite3_finalize(stmt), SQLITE_OK) << sql << ": " << sqlite3_errmsg(db);
    sqlite3_close(db);
    return rows;
}

// Every view of a database file selects without error, through plain SQLite as the sqlite3
// shell would.
void ExpectViewsSelect(const std::string& path) {
    for (const std::string& view : Rows(path, "select name from sqlite_master where type='view'"))
        Rows(path, "select * from \"" + view + "\"");
}

TEST(Installer, LaysOutTheWholeDataFolderPrivately) {
    TestDataFolder folder(false);
    const std::string data = folder.DataFolder();
    const auto created = Install(data);

    EXPECT_EQ(ModeOf(data), 0700u);
    EXPECT_EQ(ModeOf(data + "db"), 0700u);
    EXPECT_TRUE(fs::is_directory(data + "doc/reports/0000000000"));
    for (const char* name : {"db/zlm.dat", "db/zlm_meta.dat", "db/zlmlocal.dat"}) {
        EXPECT_TRUE(fs::is_regular_file(data + name)) << name;
        EXPECT_EQ(ModeOf(data + name) & 0077, 0u) << name;
        ExpectViewsSelect(data + name);
    }
    EXPECT_EQ(ReadFile(data + "help.html"), *data::DeliveredFile("pages/help.html"));
    EXPECT_EQ(ReadFile(data + "doc/sampletemplate.rtf"),
              *data::DeliveredFile("sampletemplate.rtf"));
    for (const char* page : {"zlmupdate.html", "zlmquit.html", "zlmredir.html"})
        EXPECT_TRUE(fs::is_regular_file(data + page)) << page;
    EXPECT_EQ(ReadFile(data + "doc/sampletemplate.rtf").rfind("{\\rtf", 0), 0u);

    // The report lists what it made, the databases among them; no temporary file is left.
    EXPECT_NE(std::find(created.begin(), created.end(), data + "db/zlm.dat"), created.end());
    for (const auto& entry : fs::directory_iterator(data + "db"))
        EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << entry.path();
}

TEST(Installer, TheDeliveredSystemUserIsStoredWithTheHashOfHisPasswordOnly) {
    TestDataFolder folder(false);
    const std::string mainDb = folder.DataFolder() + "db/zlm.dat";
    Install(folder.DataFolder());
    const auto users =
        Rows(mainDb, "select entity_username, entity_pwd from entity where dimension_id=4");
    ASSERT_EQ(users.size(), 1u);
    const std::string hash = users[0].substr(users[0].find('|') + 1);
    EXPECT_EQ(users[0].substr(0, users[0].find('|')), "System");
    EXPECT_EQ(hash.rfind("$argon2id$", 0), 0u) << hash;
    EXPECT_EQ(crypto_pwhash_str_verify(hash.c_str(), "velkran", 7), 0);
    EXPECT_EQ(Rows(mainDb, "select type from pragma_table_info('entity') where name='entity_pwd'"),
              std::vector<std::string>{"VARCHAR(255)"});
}

TEST(Installer, ASecondRunChangesNothingAndExistingFilesAreKept) {
    TestDataFolder folder(false);
    const std::string data = folder.DataFolder();
    Install(data);

    // A user's own work in the files must survive a later run.
    {
        sqlite3* db = nullptr;
        sqlite3_open((data + "db/zlm.dat").c_str(), &db);
        ASSERT_EQ(sqlite3_exec(db, "update id_control set next_id=5555", nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(db);
    }
    std::ofstream(data + "help.html") << "my own help";
    fs::remove(data + "zlmquit.html");
    const auto before = fs::last_write_time(data + "db/zlm_meta.dat");

    const auto created = Install(data);
    EXPECT_EQ(created, std::vector<std::string>{data + "zlmquit.html"});
    EXPECT_EQ(ReadFile(data + "help.html"), "my own help");
    EXPECT_EQ(fs::last_write_time(data + "db/zlm_meta.dat"), before);
    sqlite3* db = nullptr;
    sqlite3_open((data + "db/zlm.dat").c_str(), &db);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "select next_id from id_control", -1, &stmt, nullptr);
    ASSERT_EQ(sqlite3_step(stmt), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(stmt, 0), 5555);
    sqlite3_finalize(stmt);
    sqlite3_close(db);

    EXPECT_TRUE(Install(data).empty());
}

TEST(Installer, AFailingScriptLeavesNoDatabaseBehind) {
    TestDataFolder folder(false);
    fs::create_directories(folder.Home() + "/db");
    const std::string path = folder.Home() + "/db/broken.dat";
    EXPECT_THROW(
        CreateDatabase(path, "create table a (x INTEGER); insert into nowhere values (1);"),
        std::runtime_error);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_TRUE(fs::is_empty(folder.Home() + "/db"));
    // Nor does a file whose finishing step (the password hashes) fails.
    EXPECT_THROW(CreateDatabase(path, "create table a (x INTEGER);",
                                [](sqlite3*) { throw std::runtime_error("no hash"); }),
                 std::runtime_error);
    EXPECT_TRUE(fs::is_empty(folder.Home() + "/db"));

    CreateDatabase(path, "create table a (x INTEGER);");
    EXPECT_THROW(CreateDatabase(path, "create table b (x INTEGER);"), std::runtime_error);
    EXPECT_THROW(Install("relative/without/slash"), std::runtime_error);
}

// The first column of the first row of `sql`, through plain SQLite.
std::string FirstValue(const std::string& path, const char* sql) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    std::string value = "<none>";
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
    if (stmt && sqlite3_step(stmt) == SQLITE_ROW)
        value = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return value;
}

TEST(Installer, ANewDatabaseNeverMeetsTheLeftoverLogOfTheOldOne) {
    TestDataFolder folder(false);
    const std::string data = folder.DataFolder();
    Install(data);
    const std::string path = data + "db/zlm.dat";
    // The log of writes that never reached the file, left behind when the file was deleted.
    std::string log;
    {
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        ASSERT_EQ(sqlite3_exec(db,
                               "pragma wal_autocheckpoint=0; insert into address (address_id, "
                               "entity_id) select entity_id + 5000, entity_id from entity; "
                               "update address set entity_id = entity_id + 7",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        log = ReadFile(path + "-wal");
        sqlite3_close(db);
    }
    ASSERT_GT(log.size(), 4096u);
    fs::remove(path);
    std::ofstream(path + "-wal", std::ios::binary) << log;
    std::ofstream(path + "-shm", std::ios::binary) << std::string(32768, '\0');

    std::vector<std::string> moved;
    const auto created = Install(data, &moved);
    EXPECT_EQ(created, std::vector<std::string>{path});
    ASSERT_EQ(moved.size(), 2u);
    for (size_t i = 0; i < moved.size(); ++i) {
        const std::string prefix = path + (i == 0 ? "-wal" : "-shm") + ".orphan-";
        EXPECT_EQ(moved[i].rfind(prefix, 0), 0u) << moved[i];
        EXPECT_EQ(moved[i].size(), prefix.size() + 15) << moved[i];  // yyyymmdd-hhmmss
    }
    EXPECT_EQ(ReadFile(moved[0]), log);
    EXPECT_FALSE(fs::exists(path + "-shm"));
    EXPECT_EQ(FirstValue(path, "pragma integrity_check"), "ok");
    EXPECT_EQ(FirstValue(path, "select count(*) from address where address_id > 5000"), "0");
}

}  // namespace
}  // namespace zl::setup
