#include "platform/db/Connection.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "DbTestFile.h"
#include "platform/db/DbError.h"
#include "platform/db/JetDialect.h"
#include "platform/db/Query.h"
#include "tests/support/TempFolder.h"

namespace zl::db {
namespace {

using test::DbTestFile;

int ItemCount(Connection& c, int id) {
    Query q(&c);
    q.SetSQL("select item_count from item where item_id=" + std::to_string(id));
    q.Open();
    return q.Fields(0).AsInteger();
}

TEST(ConnectionExecute, RunsOneStatementAndIgnoresWhatTrailsIt) {
    const char* accepted[] = {
        "update item set item_count=20 where item_id<3",
        "update item set item_count=20 where item_id<3;",
        "update item set item_count=20 where item_id<3 ; ;\n",
        "update item set item_count=20 where item_id<3; -- both rows",
        "update item set item_count=20 where item_id<3; /* both rows */ ;",
        "-- leading comment\nupdate item set item_count=20 where item_id<3",
    };
    for (const char* sql : accepted) {
        SCOPED_TRACE(sql);
        DbTestFile file;
        EXPECT_EQ(file.conn.Execute(sql), 2);
        EXPECT_EQ(ItemCount(file.conn, 2), 20);
    }

    // A ";" inside a value is data, not the end of a statement.
    DbTestFile file;
    EXPECT_EQ(file.conn.Execute("update item set item_notes=\"a; delete from item\" where "
                                "item_id=1"),
              1);
    EXPECT_EQ(file.conn.Execute("update item set item_notes='b; drop table item' where item_id=2"),
              1);
}

TEST(ConnectionExecute, RefusesASecondStatementBeforeRunningTheFirst) {
    const char* refused[] = {
        "update item set item_count=50 where item_id=1; update item set item_count=60",
        "update item set item_count=50 where item_id=1;; -- next\ndelete from item",
        "update item set item_count=50 where item_id=1; /* ; */ select 1",
    };
    for (const char* sql : refused) {
        SCOPED_TRACE(sql);
        DbTestFile file;
        try {
            file.conn.Execute(sql);
            ADD_FAILURE() << "two statements ran";
        } catch (const DbError& e) {
            EXPECT_STREQ(e.what(), "The SQL text holds more than one statement.");
        }
        EXPECT_EQ(ItemCount(file.conn, 1), 3);
        EXPECT_EQ(ItemCount(file.conn, 2), 10);
    }

    // A query's statement is held to one statement as well.
    DbTestFile file;
    Query q(&file.conn);
    q.SetSQL("update item set item_count=50 where item_id=1; delete from item");
    EXPECT_THROW(q.ExecSQL(), DbError);
    EXPECT_EQ(ItemCount(file.conn, 1), 3);
}

TEST(ConnectionExecute, ScriptsRunEveryStatementInOrder) {
    DbTestFile file;
    EXPECT_EQ(file.conn.ExecuteScript("update item set item_count=50 where item_id=1;\n"
                                      "-- then\n"
                                      "update item set item_count=item_count+1 where item_id<=2;"),
              2);
    EXPECT_EQ(ItemCount(file.conn, 1), 51);
    EXPECT_EQ(ItemCount(file.conn, 2), 11);
    // A failing statement stops the script; those before it have run.
    EXPECT_THROW(file.conn.ExecuteScript("update item set item_count=0 where item_id=3; "
                                         "update missing_table set x=1; "
                                         "update item set item_count=0 where item_id=4"),
                 DbError);
    EXPECT_EQ(ItemCount(file.conn, 3), 0);
    EXPECT_EQ(ItemCount(file.conn, 4), 1);
}

TEST(QuoteName, BracketedNamesWithBlanksAndBracketsRunOnSqlite) {
    EXPECT_EQ(QuoteName("a]b"), "[a]]b]");
    EXPECT_EQ(QuoteName("my table"), "[my table]");
    const std::string table = QuoteName("my table");
    const std::string column = QuoteName("odd]name");
    EXPECT_EQ(TranslateJet("select " + column + " from " + table),
              "select \"odd]name\" from \"my table\"");

    DbTestFile file;
    file.conn.Execute("create table " + table + " (" + column + " integer, " +
                      QuoteName("say \"hi\"") + " varchar(10))");
    file.conn.Execute("insert into " + table + " values (7, \"x\")");
    Query q(&file.conn);
    q.SetSQL("select " + column + ", " + QuoteName("say \"hi\"") + " from " + table + " where " +
             column + "=7");
    q.Open();
    ASSERT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(q.Fields(0).FieldName(), "odd]name");
    EXPECT_EQ(q.Fields(1).FieldName(), "say \"hi\"");
    EXPECT_EQ(q.Fields(0).AsInteger(), 7);
    // The dataset writes back into the same odd names.
    q.Edit();
    q.Fields(0).SetAsInteger(8);
    q.Post();
    q.SetSQL("select count(*) from " + table + " where " + column + "=8");
    q.Open();
    EXPECT_EQ(q.Fields(0).AsInteger(), 1);
}

TEST(QuoteName, ANameThatIsNoColumnIsAnErrorNotAText) {
    DbTestFile file;
    // Left to itself SQLite would read the unknown name as the text 'item_cnt', match no row
    // and delete nothing without a word.
    EXPECT_THROW(file.conn.Execute("delete from item where " + QuoteName("item_cnt") + "=1"),
                 DbError);
    Query q(&file.conn);
    q.SetSQL("select count(*) from item where " + QuoteName("item_idd") + "=1");
    EXPECT_THROW(q.Open(), DbError);
}

// A folder of its own for files that the tests damage or write-protect.
class ScratchFolder {
  public:
    const std::string& Path() const { return folder_.Path(); }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(Path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

  private:
    zl::test::TempFolder folder_{"zelmar-conn"};
};

// A small database in rollback-journal mode, so that nothing but the file itself exists.
std::string CreateDatabase(const std::string& path) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db, "create table t (a integer); insert into t values (1);", nullptr, nullptr,
                 nullptr);
    sqlite3_close(db);
    return path;
}

constexpr const char* kStillWritable = "<still writable>";

// The error that opening the file raises for a user without rights to `protectedPath`. Root may
// write anything, so the attempt runs in a child process that gives up root first.
std::string OpenFailure(const std::string& path, const std::string& protectedPath) {
    int channel[2];
    if (pipe(channel) != 0)
        return "<no pipe>";
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        std::string result;
        constexpr uid_t kNobody = 65534;
        if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) {
            result = kStillWritable;
        } else if (access(protectedPath.c_str(), W_OK) == 0) {
            result = kStillWritable;
        } else {
            Connection c;
            c.SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path + ";");
            try {
                c.Open();
                result = "<opened>";
            } catch (const DbError& e) {
                result = e.what();
                if (c.Connected())
                    result += " <still connected>";
            }
        }
        [[maybe_unused]] const auto written = write(channel[1], result.data(), result.size());
        _exit(0);
    }
    close(channel[1]);
    std::string result;
    char buffer[256];
    ssize_t n;
    while ((n = read(channel[0], buffer, sizeof buffer)) > 0)
        result.append(buffer, static_cast<size_t>(n));
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return result;
}

TEST(ConnectionOpen, RefusesAWriteProtectedFile) {
    ScratchFolder folder;
    const std::string path = CreateDatabase(folder.Path() + "/zlm.dat");
    chmod(folder.Path().c_str(), 0777);  // the folder itself is open to everyone
    chmod(path.c_str(), 0444);
    const std::string failure = OpenFailure(path, path);
    if (failure == kStillWritable)
        GTEST_SKIP() << "the file stays writable for this user";
    EXPECT_EQ(failure, "The database file '" + path + "' cannot be written: it is read-only.");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"zlm.dat"});  // no -wal, no -shm
}

TEST(ConnectionOpen, RefusesAFileInAWriteProtectedFolder) {
    ScratchFolder folder;
    const std::string path = CreateDatabase(folder.Path() + "/zlm.dat");
    chmod(path.c_str(), 0666);
    chmod(folder.Path().c_str(), 0555);
    const std::string failure = OpenFailure(path, folder.Path());
    if (failure == kStillWritable)
        GTEST_SKIP() << "the folder stays writable for this user";
    EXPECT_EQ(failure, "The database file '" + path + "' cannot be written: it is read-only.");
}

TEST(ConnectionOpen, RefusesADamagedFileAndLeavesItAsItWas) {
    ScratchFolder folder;
    const std::string path = folder.Path() + "/zlm.dat";
    std::string bytes(8192, '\0');
    std::mt19937 random(20260115);
    for (char& b : bytes)
        b = static_cast<char>(random() & 0xff);
    std::ofstream(path, std::ios::binary) << bytes;

    Connection c;
    c.SetConnectionString("Data Source=" + path);
    try {
        c.Open();
        ADD_FAILURE() << "a damaged file was opened";
    } catch (const DbError& e) {
        EXPECT_EQ(std::string(e.what()), "The file '" + path + "' is not a database.");
    }
    EXPECT_FALSE(c.Connected());
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), bytes);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"zlm.dat"});  // no -wal, -shm, -journal
}

}  // namespace
}  // namespace zl::db
