// Rows that are read again only when the file changed, read on a worker over a connection of its
// own, and handed to a dataset in one step on the row that was current.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "DbTestFile.h"
#include "platform/db/BackgroundRead.h"
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/db/Query.h"
#include "tests/support/StatementCounter.h"

namespace zl::db {
namespace {

using test::DbTestFile;

class RefreshTest : public ::testing::Test {
  protected:
    void SetUp() override {
        file.OpenOther(other);
        q.SetSQL("select * from item order by item_name");
        q.Open();
    }
    ReadResult ReadElsewhere() { return Query::Read(other, q.SQL(), {}); }
    DbTestFile file;
    Connection other;
    Query q{&file.conn};
};

TEST_F(RefreshTest, OnlyACommittedChangeMakesTheRowsStale) {
    {
        zl::test::StatementCounter counter(file.conn);
        EXPECT_FALSE(q.ChangedSinceRead());
        EXPECT_EQ(counter.Count(), 0);  // the check reads no table
    }
    // Reading elsewhere, and a write rolled back elsewhere, change nothing.
    Query elsewhere(&other);
    elsewhere.SetSQL("select * from item");
    elsewhere.Open();
    {
        Transaction t(other);
        other.Execute("update item set item_count=0");
    }
    EXPECT_FALSE(q.ChangedSinceRead());
    other.Execute("update item set item_count=9 where item_id=2");
    EXPECT_TRUE(q.ChangedSinceRead());
    q.Requery();
    EXPECT_FALSE(q.ChangedSinceRead());
    // This connection's own write counts as well.
    file.conn.Execute("update item set item_count=8 where item_id=2");
    EXPECT_TRUE(q.ChangedSinceRead());
    q.Close();
    EXPECT_TRUE(q.ChangedSinceRead());
}

TEST_F(RefreshTest, RowsReadElsewhereReplaceTheDatasetOnTheRowThatWasCurrent) {
    ASSERT_TRUE(q.Locate("item_id", {3LL}));  // Washer, third by name
    other.Execute("insert into item (item_id, item_name) values (5, 'Anchor')");
    int scrolls = 0;
    q.OnAfterScroll([&] { ++scrolls; });
    q.Adopt(ReadElsewhere(), file.conn.Changes());
    EXPECT_EQ(q.RecordCount(), 5);
    EXPECT_EQ(q.FieldByName("item_id").AsInteger(), 3);
    EXPECT_EQ(q.RecNo(), 4);
    EXPECT_EQ(scrolls, 1);  // one step: never through another row
    EXPECT_FALSE(q.ChangedSinceRead());

    // The current row gone: the cursor keeps its number.
    other.Execute("delete from item where item_id=3");
    q.Adopt(ReadElsewhere(), file.conn.Changes());
    EXPECT_EQ(q.RecNo(), 4);
    EXPECT_EQ(q.FieldByName("item_id").AsInteger(), 4);

    // The rows write back as rows read here do; none is replaced while one is edited.
    q.Edit();
    q.FieldByName("item_count").SetAsInteger(42);
    EXPECT_THROW(q.Adopt(ReadElsewhere(), file.conn.Changes()), DbError);
    q.Post();
    Query stored(&other);
    stored.SetSQL("select item_count from item where item_id=4");
    stored.Open();
    EXPECT_EQ(stored.Fields(0).AsInteger(), 42);
}

TEST_F(RefreshTest, ADatasetHoldingItsFirstRowsIsCompletedBeforeAnythingNeedsTheRest) {
    const std::string sql = "select * from item order by item_id";
    const struct {
        const char* what;
        std::function<int(Query&)> act;  // gives the row number or count it ends on
        int result;
        bool completes;
    } cases[] = {
        {"RecordCount", [](Query& d) { return d.RecordCount(); }, 4, true},
        {"Last",
         [](Query& d) {
             d.Last();
             return d.RecNo();
         },
         4, true},
        {"Next past the rows held",
         [](Query& d) {
             d.Next();
             d.Next();
             return d.RecNo();
         },
         3, true},
        {"SetRecNo past them",
         [](Query& d) {
             d.SetRecNo(4);
             return d.RecNo();
         },
         4, true},
        {"Locate beyond them", [](Query& d) { return d.Locate("item_id", {4LL}) ? d.RecNo() : 0; },
         4, true},
        {"Locate among them", [](Query& d) { return d.Locate("item_id", {2LL}) ? d.RecNo() : 0; },
         2, false},
        {"Next among them",
         [](Query& d) {
             d.Next();
             return d.RecNo();
         },
         2, false},
    };
    for (const auto& c : cases) {
        std::optional<ReadResult> first;
        ReadResult all =
            Query::Read(file.conn, sql, {}, 2, [&](ReadResult rows) { first = std::move(rows); });
        Query d;
        d.Adopt(std::move(*first), file.conn.Changes(), file.conn, sql, {});
        ASSERT_EQ(d.RowsHeld(), 2);
        int completions = 0;
        d.SetCompletion([&] {
            ++completions;
            d.Adopt(std::move(all), file.conn.Changes());
        });
        EXPECT_EQ(c.act(d), c.result) << c.what;
        EXPECT_EQ(completions, c.completes ? 1 : 0) << c.what;
        EXPECT_EQ(d.HoldsAll(), c.completes) << c.what;
    }
}

TEST_F(RefreshTest, AWorkerReadsOverItsOwnConnectionHoldsNoLockAndReportsAFailure) {
    BackgroundRead read;
    std::atomic<bool> ready = false;
    ASSERT_TRUE(read.Start(file.conn, "select * from item where item_count > ?", {2LL},
                           [&] { ready = true; }));
    read.Wait();
    EXPECT_TRUE(ready);
    std::optional<BackgroundRead::Outcome> outcome = read.Take();
    ASSERT_TRUE(outcome && outcome->rows);
    EXPECT_EQ(outcome->rows->rows.Rows(), 3);
    EXPECT_EQ(outcome->token, file.conn.Changes());
    EXPECT_FALSE(read.Take());  // taken once
    {
        Transaction t(other);  // the read has let go of the file
        other.Execute("update item set item_count=1");
        t.Commit();
    }

    // A first screen of rows while the rest is read, typed as they stand.
    std::vector<ReadResult> firsts;
    const ReadResult all = Query::Read(
        file.conn, "select item_id, item_name || '' as label from item order by item_id", {}, 2,
        [&](ReadResult first) { firsts.push_back(std::move(first)); });
    ASSERT_EQ(firsts.size(), 1u);
    EXPECT_FALSE(firsts[0].complete);
    EXPECT_EQ(firsts[0].rows.Rows(), 2);
    EXPECT_EQ(firsts[0].fields[1]->Size(), 4);  // "Bolt"; the wider "Washer" is not read yet
    EXPECT_TRUE(all.complete);
    EXPECT_EQ(all.rows.Rows(), 4);
    EXPECT_EQ(all.fields[1]->Size(), 6);

    // A read stopped half-way ends at once, with an error and without its rows.
    std::atomic<int> readies = 0;
    ASSERT_TRUE(read.Start(
        file.conn,
        "with recursive a(i) as (select 1 union all select i + 1 from a where i < 10), "
        "b(i) as (select 1 union all select i + 1 from b where i < 1e9) "
        "select i from a union all select count(*) from b",
        {}, [&] { ++readies; }, 10));
    while (readies == 0)
        std::this_thread::yield();  // the first rows are read: the statement runs
    read.Cancel();
    outcome = read.Take();
    ASSERT_TRUE(outcome);
    EXPECT_FALSE(outcome->rows);
    EXPECT_EQ(outcome->error, "interrupted");

    ASSERT_TRUE(read.Start(file.conn, "select * from nowhere", {}, nullptr));
    read.Wait();
    outcome = read.Take();
    ASSERT_TRUE(outcome);
    EXPECT_FALSE(outcome->rows);
    EXPECT_EQ(outcome->error, "no such table: nowhere");
    EXPECT_EQ(outcome->sql, "select * from nowhere");
}

TEST_F(RefreshTest, AWaitEndsOnlyOnceTheReadsLastCallHasReturned) {
    // Its owner may be destroyed as soon as the wait is over, and the call uses it.
    BackgroundRead read;
    std::atomic<int> returned = 0;
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(read.Start(file.conn, "select * from item", {}, [&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            ++returned;
        }));
        read.Wait();
        EXPECT_EQ(returned, i + 1);
        EXPECT_FALSE(read.Running());
    }
}

TEST_F(RefreshTest, AReaderIsKeptOpenForTheNextWorkerReadUntilItsConnectionCloses) {
    const auto readOnce = [&] {
        auto read = std::make_unique<BackgroundRead>();
        EXPECT_TRUE(read->Start(file.conn, "select * from item", {}, nullptr));
        read->Wait();
        EXPECT_TRUE(read->Take()->rows);
        return read;
    };
    ASSERT_EQ(file.conn.Spares()->Count(), 0u);
    std::vector<std::unique_ptr<BackgroundRead>> reads;
    for (size_t i = 0; i <= SpareReaders::kMostKept; ++i)
        reads.push_back(readOnce());
    EXPECT_EQ(file.conn.Spares()->Count(), 0u);  // each read holds its own
    reads.clear();
    EXPECT_EQ(file.conn.Spares()->Count(), SpareReaders::kMostKept);
    reads.push_back(readOnce());
    EXPECT_EQ(file.conn.Spares()->Count(), SpareReaders::kMostKept - 1);  // one taken again
    reads.clear();

    // A spare holds no lock, and no longer answers to the read it served: a long statement on
    // it runs to its end.
    {
        Transaction t(other);
        other.Execute("update item set item_count=2");
        t.Commit();
    }
    std::unique_ptr<Connection> spare = file.conn.Spares()->Take();
    ASSERT_TRUE(spare);
    const ReadResult counted = Query::Read(
        *spare,
        "with recursive n(i) as (select 1 union all select i + 1 from n where i < 100000) "
        "select count(*) as c from n",
        {});
    EXPECT_EQ(counted.rows.Get(0, 0), Value{100000LL});
    file.conn.Spares()->Give(std::move(spare));

    // A file replaced under the connection: the spares have the old one open and are closed.
    std::shared_ptr<SpareReaders> spares = file.conn.Spares();
    ASSERT_EQ(spares->Count(), SpareReaders::kMostKept);
    std::filesystem::rename(file.Path(), file.Path() + ".moved");
    std::filesystem::copy_file(file.Path() + ".moved", file.Path());
    file.conn.Changes();
    EXPECT_EQ(spares->Count(), 0u);
    EXPECT_NE(file.conn.Spares(), spares);

    // Closing the connection closes its spares; a reader given back later is closed too.
    spares = file.conn.Spares();
    reads.push_back(readOnce());
    file.conn.Close();
    EXPECT_EQ(file.conn.Spares(), nullptr);
    EXPECT_EQ(spares->Count(), 0u);
    reads.clear();
    EXPECT_EQ(spares->Count(), 0u);
}

}  // namespace
}  // namespace zl::db
