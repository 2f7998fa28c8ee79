// Two connections on one file, as two workstations share the main database: saves that meet,
// the journal chosen by where the file lies, and a file that changes under an open connection.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "DbTestFile.h"
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/Query.h"

namespace zl::db {
namespace {

using test::DbTestFile;

constexpr const char* kRowNotLocated =
    "Row cannot be located for updating. Some values may have been changed since it was last "
    "read.";
constexpr long kNfs = 0x6969;

std::string Stored(Connection& c, const std::string& sql) {
    Query q(&c);
    q.SetSQL(sql);
    q.Open();
    return q.IsEmpty() ? "<none>" : q.Fields(0).IsNull() ? "<null>" : q.Fields(0).AsString();
}

// The same, read through a connection of its own on the file at `path`.
std::string StoredIn(const std::string& path, const std::string& sql) {
    Connection c;
    c.SetConnectionString("Data Source=" + path);
    c.Open();
    return Stored(c, sql);
}

// The message of the DbError that `action` raises, or "<no error>".
template <typename F>
std::string ErrorOf(F action) {
    try {
        action();
    } catch (const DbError& e) {
        return e.what();
    }
    return "<no error>";
}

class SharedFileTest : public ::testing::Test {
  protected:
    SharedFileTest() { file.OpenOther(other); }
    // Opens item 1 on a query of each connection, as two dialogs showing the same row.
    void OpenBoth() {
        for (Query* q : {&mine, &theirs}) {
            q->SetSQL("select * from item where item_id=1");
            q->Open();
        }
    }
    DbTestFile file;
    Connection other;
    Query mine{&file.conn};
    Query theirs{&other};
};

TEST_F(SharedFileTest, AnEditWritesOnlyOverTheValuesItReadOfTheColumnsItChanges) {
    struct Case {
        const char* what;
        const char* theirColumn;
        const char* theirValue;
        const char* myColumn;
        const char* myValue;
        const char* storedAfter;  // my column, as stored afterwards
        bool refused;
    } cases[] = {
        {"the same column", "item_name", "Bolt A", "item_name", "Bolt B", "Bolt A", true},
        {"a null that became a value", "item_notes", "new", "item_notes", "mine", "new", true},
        {"a change of case only", "item_name", "BOLT", "item_name", "Screw", "BOLT", true},
        {"another column", "item_notes", "new", "item_name", "Screw", "Screw", false},
        {"the same value again", "item_name", "Bolt", "item_name", "Screw", "Screw", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        file.conn.Execute("update item set item_name='Bolt', item_notes=null where item_id=1");
        OpenBoth();
        theirs.Edit();
        theirs.FieldByName(c.theirColumn).SetAsString(c.theirValue);
        theirs.Post();
        mine.Edit();
        mine.FieldByName(c.myColumn).SetAsString(c.myValue);
        EXPECT_EQ(ErrorOf([&] { mine.Post(); }), c.refused ? kRowNotLocated : "<no error>");
        EXPECT_EQ(Stored(other, std::string("select ") + c.myColumn + " from item where item_id=1"),
                  c.storedAfter);
        if (c.refused) {
            // Nothing claims to be saved: the record still holds what was typed.
            EXPECT_EQ(mine.State(), DataSetState::dsEdit);
            EXPECT_EQ(mine.FieldByName(c.myColumn).AsString(), c.myValue);
            mine.Cancel();
        } else {
            EXPECT_EQ(Stored(other,
                             std::string("select ") + c.theirColumn + " from item where item_id=1"),
                      std::string(c.myColumn) == c.theirColumn ? c.myValue : c.theirValue);
        }
    }
}

TEST_F(SharedFileTest, DerivedColumnsComeFromTheRowAsStored) {
    const char* label = "item_name || '/' || coalesce(item_count, '')";
    OpenBoth();
    for (Query* q : {&mine, &theirs})
        q->SetDerivedColumn("ITEM_NOTES", label);
    theirs.Edit();
    theirs.FieldByName("item_name").SetAsString("Screw");
    theirs.FieldByName("item_notes").SetAsString("stale guess");
    theirs.Post();
    mine.Edit();
    mine.FieldByName("item_count").SetAsInteger(12);
    mine.FieldByName("item_notes").SetAsString("Bolt/12");  // from what this side read
    mine.Post();
    EXPECT_EQ(Stored(other,
                     "select item_name || '|' || item_count || '|' || item_notes from item "
                     "where item_id=1"),
              "Screw|12|Screw/12");
    EXPECT_EQ(mine.FieldByName("item_notes").AsString(), "Screw/12");  // re-read after the save

    // A new row takes it from what the insert stored.
    mine.Append();
    mine.FieldByName("item_id").SetAsInteger(50);
    mine.FieldByName("item_name").SetAsString("Pin");
    mine.Post();
    EXPECT_EQ(Stored(other, "select item_notes from item where item_id=50"), "Pin/");
}

TEST_F(SharedFileTest, ARowDeletedMeanwhileCannotBeLocated) {
    OpenBoth();
    mine.SetDerivedColumn("item_notes", "item_name");
    other.Execute("delete from item where item_id=1");
    for (const char* column : {"item_name", "item_notes"}) {
        SCOPED_TRACE(column);
        mine.Edit();
        mine.FieldByName(column).SetAsString("x");
        EXPECT_EQ(ErrorOf([&] { mine.Post(); }), kRowNotLocated);
        EXPECT_EQ(mine.State(), DataSetState::dsEdit);
        mine.Cancel();
    }
    EXPECT_EQ(Stored(other, "select count(*) from item where item_id=1"), "0");
}

TEST(JournalMode, FollowsWhereTheFileLies) {
    const struct {
        long type;
        const char* mode;
    } cases[] = {{0xEF53 /* ext4 */, "wal"},
                 {0x01021994 /* tmpfs */, "wal"},
                 {kNfs, "delete"},
                 {0xFF534D42 /* CIFS */, "delete"},
                 {0xFE534D42 /* SMB2 */, "delete"},
                 {0x517B /* SMB */, "delete"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        DbTestFile file;
        file.conn.Close();
        Connection c1;
        c1.SetFileSystemProbe([&](const std::string& path) {
            EXPECT_EQ(path, file.Path());
            return c.type;
        });
        file.OpenOther(c1);
        EXPECT_EQ(c1.JournalMode(), c.mode);
        EXPECT_EQ(IsNetworkFileSystem(c.type), std::string(c.mode) == "delete");
        // A page cache of 64 MB; memory-mapped reads only where the pages are this machine's.
        EXPECT_EQ(Stored(c1, "PRAGMA cache_size"), "-65536");
        EXPECT_EQ(Stored(c1, "PRAGMA mmap_size"), std::string(c.mode) == "wal" ? "268435456" : "0");
        c1.Execute("update item set item_count=5 where item_id=1");
        EXPECT_EQ(std::filesystem::exists(file.Path() + "-wal"), std::string(c.mode) == "wal");
    }
}

TEST(JournalMode, ANetworkFileStillInWalUseElsewhereIsNotOpened) {
    DbTestFile file;  // its own connection keeps the file in WAL mode
    Query q(&file.conn);
    q.SetSQL("select * from item");
    q.Open();
    Connection c;
    c.SetFileSystemProbe([](const std::string&) { return kNfs; });
    const std::string error = ErrorOf([&] { file.OpenOther(c); });
    EXPECT_EQ(error, "The database file '" + file.Path() +
                         "' lies on a network folder but is still open in WAL mode on another "
                         "workstation. Please close Zelmar everywhere and start it again.");
    EXPECT_FALSE(c.Connected());
}

// What happens to the file while the connection is open, and what the path names afterwards.
enum class Change { Deleted, RenamedAway, Replaced };

TEST(FileWatch, AWriteToAFileMovedReplacedOrDeletedIsRefusedAndToldOnce) {
    for (Change change : {Change::Deleted, Change::RenamedAway, Change::Replaced}) {
        SCOPED_TRACE(static_cast<int>(change));
        DbTestFile file;
        const std::string path = file.Path();
        std::vector<std::string> told;
        file.conn.SetFileLostCallback([&](const std::string& m) { told.push_back(m); });
        Query q(&file.conn);
        q.SetSQL("select * from item where item_id=1");
        q.Open();
        // A copy made now stands in for a restore from backup.
        std::filesystem::copy_file(path, path + ".copy");
        if (change == Change::Deleted)
            std::filesystem::remove(path);
        else
            std::filesystem::rename(path, path + ".moved");
        if (change == Change::Replaced)
            std::filesystem::rename(path + ".copy", path);

        const std::string message =
            "The database file " + path +
            " was moved, replaced or deleted while Zelmar was running. Nothing more can be "
            "saved. Please restart Zelmar.";
        q.Edit();
        q.FieldByName("item_count").SetAsInteger(99);
        EXPECT_EQ(ErrorOf([&] { q.Post(); }), message);
        EXPECT_EQ(q.State(), DataSetState::dsEdit);
        EXPECT_EQ(ErrorOf([&] { file.conn.Execute("update item set item_count=98"); }), message);
        EXPECT_EQ(ErrorOf([&] { Transaction t(file.conn); }), message);
        EXPECT_EQ(told, std::vector<std::string>{message});
        // Reading goes on; nothing of the refused writes landed anywhere.
        EXPECT_EQ(Stored(file.conn, "select item_count from item where item_id=1"), "3");
        const std::string left = change == Change::Deleted ? "" : path + ".moved";
        for (const std::string& p : {left, change == Change::Replaced ? path : std::string()})
            EXPECT_TRUE(p.empty() || StoredIn(p, "select max(item_count) from item") == "10") << p;
    }
}

TEST(FileWatch, ACommitOfAFileReplacedInsideTheTransactionIsRolledBack) {
    DbTestFile file;
    const std::string path = file.Path();
    {
        Transaction t(file.conn);
        file.conn.Execute("update item set item_count=77 where item_id=1");
        std::filesystem::rename(path, path + ".moved");
        EXPECT_NE(ErrorOf([&] { t.Commit(); }).find("was moved, replaced or deleted"),
                  std::string::npos);
    }
    EXPECT_EQ(file.conn.TransactionLevel(), 0);
    EXPECT_EQ(StoredIn(path + ".moved", "select item_count from item where item_id=1"), "3");
}

TEST(BusyWait, AWriteWaitsWithTheBusySignAndFailsSayingWhy) {
    DbTestFile file;
    Connection holder;
    file.OpenOther(holder);
    std::vector<bool> signs;
    file.conn.SetBusyCallback([&](bool waiting) { signs.push_back(waiting); });

    // Released while the write waits: the write lands.
    holder.BeginTrans();
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        holder.CommitTrans();
    });
    EXPECT_EQ(file.conn.Execute("update item set item_count=41 where item_id=1"), 1);
    release.join();
    EXPECT_EQ(signs, (std::vector<bool>{true, false}));

    // Held past the time-out: the write gives up after about five seconds and says why.
    signs.clear();
    holder.BeginTrans();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ErrorOf([&] { file.conn.Execute("update item set item_count=42 where item_id=1"); }),
              "Another workstation is using the database and kept it locked for too long. "
              "Nothing was stored; please try again.");
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(4900));
    EXPECT_LT(waited, std::chrono::milliseconds(8000));
    EXPECT_EQ(signs, (std::vector<bool>{true, false}));
    holder.RollbackTrans();
    EXPECT_EQ(Stored(holder, "select item_count from item where item_id=1"), "41");
}

}  // namespace
}  // namespace zl::db
