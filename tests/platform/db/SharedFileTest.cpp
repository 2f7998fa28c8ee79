// Two connections on one file, as two workstations share the main database: saves that meet,
// the journal chosen by where the file lies, and a file that changes under an open connection.
#include <gtest/gtest.h>
#include <sqlite3.h>

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

TEST(JournalMode, FollowsWhereTheFileLiesAndWhetherItIsShared) {
    const struct {
        long type;
        FileSharing sharing;
        const char* mode;
    } cases[] = {{0xEF53 /* ext4 */, FileSharing::Private, "wal"},
                 {0x01021994 /* tmpfs */, FileSharing::Private, "wal"},
                 {kNfs, FileSharing::Private, "delete"},
                 {0xFF534D42 /* CIFS */, FileSharing::Private, "delete"},
                 {0xFE534D42 /* SMB2 */, FileSharing::Private, "delete"},
                 {0x517B /* SMB */, FileSharing::Private, "delete"},
                 // The computer that serves the shared folder sees it on its own disk.
                 {0xEF53 /* ext4 */, FileSharing::Shared, "delete"},
                 {kNfs, FileSharing::Shared, "delete"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        SCOPED_TRACE(c.mode);
        DbTestFile file;
        file.conn.Close();
        Connection c1;
        c1.SetFileSystemProbe([&](const std::string& path) {
            EXPECT_EQ(path, file.Path());
            return c.type;
        });
        c1.SetSharing(c.sharing);
        file.OpenOther(c1);
        EXPECT_EQ(c1.JournalMode(), c.mode);
        // A page cache of 64 MB, and never a memory-mapped file: a file shortened under the
        // mapping would end the program with a signal.
        EXPECT_EQ(Stored(c1, "PRAGMA cache_size"), "-65536");
        EXPECT_EQ(Stored(c1, "PRAGMA mmap_size"), "0");
        c1.Execute("update item set item_count=5 where item_id=1");
        EXPECT_EQ(std::filesystem::exists(file.Path() + "-wal"), std::string(c.mode) == "wal");
    }
}

TEST(JournalMode, NoOrderOfStartsPutsASharedFileIntoWal) {
    for (bool networkFirst : {true, false}) {
        SCOPED_TRACE(networkFirst);
        DbTestFile file;  // left in WAL mode by its own connection, then free
        ASSERT_EQ(file.conn.JournalMode(), "wal");
        file.conn.Close();
        // A workstation that reaches the file over the network, and the one that serves it.
        Connection remote, server;
        remote.SetFileSystemProbe([](const std::string&) { return kNfs; });
        server.SetSharing(FileSharing::Shared);
        Connection& first = networkFirst ? remote : server;
        Connection& second = networkFirst ? server : remote;
        file.OpenOther(first);
        file.OpenOther(second);
        for (Connection* c : {&remote, &server})
            EXPECT_EQ(c->JournalMode(), "delete");
        remote.Execute("update item set item_count=21 where item_id=1");
        server.Execute("update item set item_count=22 where item_id=2");
        EXPECT_EQ(Stored(remote, "select item_count from item where item_id=2"), "22");
        EXPECT_EQ(Stored(server, "select item_count from item where item_id=1"), "21");
        EXPECT_FALSE(std::filesystem::exists(file.Path() + "-wal"));
    }
}

TEST(JournalMode, ASharedFileStillInWalUseElsewhereIsNotOpened) {
    for (bool network : {true, false}) {
        SCOPED_TRACE(network);
        DbTestFile file;  // its own connection keeps the file in WAL mode
        Query q(&file.conn);
        q.SetSQL("select * from item");
        q.Open();
        Connection c;
        if (network)
            c.SetFileSystemProbe([](const std::string&) { return kNfs; });
        else
            c.SetSharing(FileSharing::Shared);
        const std::string error = ErrorOf([&] { file.OpenOther(c); });
        EXPECT_EQ(error, "The database file '" + file.Path() +
                             "' lies on a network folder but is still open in WAL mode on "
                             "another workstation. Please close Zelmar everywhere and start it "
                             "again.");
        EXPECT_FALSE(c.Connected());
    }
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

TEST(FileWatch, ARestoreByRenameUnderOpenConnectionsLeavesBothFilesWhole) {
    DbTestFile file;  // private, in WAL mode
    const std::string path = file.Path();
    Connection reportServer;
    file.OpenOther(reportServer);
    ASSERT_EQ(file.conn.JournalMode(), "wal");
    std::filesystem::copy_file(path, path + ".backup");  // the log is still empty
    // Saves made since the backup, still in the log when the file is swapped.
    for (int id = 100; id < 110; ++id)
        file.conn.Execute("insert into item (item_id, item_name) values (" + std::to_string(id) +
                          ", 'after')");
    reportServer.Execute("update item set item_name='late' where item_id=109");
    ASSERT_GT(std::filesystem::file_size(path + "-wal"), 0u);

    std::filesystem::rename(path, path + ".moved");
    std::filesystem::rename(path + ".backup", path);
    // Each connection notices the swap at its next statement: the write is refused as before.
    EXPECT_NE(ErrorOf([&] {
                  file.conn.Execute("update item set item_count=1");
              }).find("was moved, replaced or deleted"),
              std::string::npos);
    EXPECT_EQ(Stored(reportServer, "select item_name from item where item_id=109"), "late");
    // No log of the old file is left to be replayed into the restored one.
    EXPECT_EQ(std::filesystem::file_size(path + "-wal"), 0u);
    {
        Connection next;  // a workstation starting meanwhile
        file.OpenOther(next);
        EXPECT_EQ(Stored(next, "PRAGMA integrity_check"), "ok");
        EXPECT_EQ(Stored(next, "select count(*) from item where item_id >= 100"), "0");
        next.Execute("update item set item_count=8 where item_id=1");
    }
    // The restart: the old connections close, and neither file takes the other's pages.
    reportServer.Close();
    file.conn.Close();
    EXPECT_EQ(StoredIn(path, "PRAGMA integrity_check"), "ok");
    EXPECT_EQ(StoredIn(path, "select count(*) || '/' || max(item_count) from item"), "4/10");
    EXPECT_EQ(StoredIn(path + ".moved", "PRAGMA integrity_check"), "ok");
    EXPECT_EQ(StoredIn(path + ".moved",
                       "select count(*) || '/' || group_concat(item_name) from item where "
                       "item_id >= 100"),
              "10/after,after,after,after,after,after,after,after,after,late");
}

TEST(FileWatch, AFileCopiedOverTheOpenOneGivesAnErrorNotASignal) {
    for (FileSharing sharing : {FileSharing::Private, FileSharing::Shared}) {
        SCOPED_TRACE(static_cast<int>(sharing));
        DbTestFile file;
        const std::string path = file.Path();
        file.conn.Close();
        file.conn.SetSharing(sharing);
        file.conn.Open();
        std::filesystem::copy_file(path, path + ".small");
        // Grown to some hundred pages, all written into the file itself, and read afresh.
        ASSERT_EQ(sqlite3_exec(file.conn.Handle(),
                               "with recursive n(v) as (select 1 union all select v + 1 from n "
                               "where v < 400) insert into item (item_id, item_notes) select "
                               "v + 100, hex(randomblob(1000)) from n",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        file.conn.Checkpoint();
        file.conn.Close();
        file.conn.Open();
        EXPECT_EQ(Stored(file.conn, "select item_name from item where item_id=1"), "Bolt");
        // The backup is copied over the open file in place: same inode, far shorter.
        std::filesystem::copy_file(path + ".small", path,
                                   std::filesystem::copy_options::overwrite_existing);
        // With the rollback journal each read checks the file afresh and finds the backup; with
        // the write-ahead log the pages it holds no longer match the file.
        if (sharing == FileSharing::Shared)
            EXPECT_EQ(Stored(file.conn, "select count(*) from item"), "4");
        else
            EXPECT_EQ(
                ErrorOf([&] { Stored(file.conn, "select sum(length(item_notes)) from item"); }),
                FileDamagedMessage(path));
    }
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
