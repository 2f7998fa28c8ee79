// Keys, new rows and positioning.
#include <gtest/gtest.h>

#include <limits>
#include <regex>
#include <set>
#include <thread>

#include "core/DataMod.h"
#include "core/Globals.h"
#include "platform/db/DbError.h"
#include "platform/format/Format.h"
#include "tests/support/CoreFixture.h"

namespace zl {
namespace {

class RecordsTest : public test::CoreFixture {
  protected:
    void SetUp() override { ConnectAll(); }
    void SetCounter(int value) {
        ASSERT_TRUE(
            dm->actionQuery("update id_control set next_id=" + std::to_string(value), "test"));
    }
    std::string MainValue(const std::string& sql) const { return Stored(folder.MainDb(), sql); }
    // Whether a second connection can take the main file's write lock at once.
    bool OtherConnectionCanWrite() const {
        db::Connection other;
        other.SetConnectionString("Data Source=" + folder.MainDb());
        other.Open();
        try {
            db::Transaction transaction(other);
            return true;
        } catch (const db::DbError&) {
            return false;
        }
    }
};

TEST_F(RecordsTest, KeysComeOneAfterAnotherFromTheCounter) {
    SetCounter(41);
    EXPECT_EQ(dm->nextID(), 42);
    EXPECT_EQ(dm->nextID(), 43);
    EXPECT_EQ(MainValue("select next_id from id_control"), "43");
    EXPECT_FALSE(dm->qID.Active());
    EXPECT_EQ(dm->zlmConn.TransactionLevel(), 0);
    EXPECT_EQ(prompter.Count(), 0u);
}

// A block of keys: the first is returned and the counter moves past the last; a block beyond the
// largest key is refused, the counter left as it was.
TEST_F(RecordsTest, ABlockOfKeysComesFromOneStepOfTheCounter) {
    constexpr int kMax = std::numeric_limits<int>::max();
    SetCounter(41);
    EXPECT_EQ(dm->nextIDs(3), 42);
    EXPECT_EQ(MainValue("select next_id from id_control"), "44");
    SetCounter(kMax - 1);
    EXPECT_EQ(dm->nextIDs(2), 0);
    EXPECT_EQ(MainValue("select next_id from id_control"), std::to_string(kMax - 1));
    EXPECT_EQ(LogCount("TDataMod.nextID;No more record keys can be issued."), 1);
    EXPECT_EQ(dm->zlmConn.TransactionLevel(), 0);
}

TEST_F(RecordsTest, TwoDataModulesNeverShareAKey) {
    // The program and the report server each hold their own connection to the main file.
    TDataMod other(Deliverable::ReportServer);
    ASSERT_TRUE(other.Connect(other.zlmConn, other.BuildConnectionString(folder.MainDb())));
    std::vector<int> mine, theirs;
    std::thread worker([&] {
        for (int i = 0; i < 100; ++i)
            theirs.push_back(other.nextID());
    });
    for (int i = 0; i < 100; ++i)
        mine.push_back(dm->nextID());
    worker.join();
    std::set<int> all(mine.begin(), mine.end());
    all.insert(theirs.begin(), theirs.end());
    EXPECT_EQ(all.count(0), 0u);
    EXPECT_EQ(all.size(), 200u);
    EXPECT_EQ(MainValue("select next_id from id_control"), std::to_string(*all.rbegin()));
}

TEST_F(RecordsTest, AnUnreadableCounterGivesZeroWithOneWarning) {
    // While each warning waits for the user, the main file is free for other connections.
    std::vector<std::string> whileShown;
    prompter.onShow = [&](const ui::Message&) {
        whileShown.push_back(std::string(dm->zlmConn.InTransaction() ? "in transaction" : "none") +
                             (OtherConnectionCanWrite() ? ", writable" : ", locked"));
    };
    ASSERT_TRUE(dm->actionQuery("alter table id_control rename to id_control_gone", "test"));
    EXPECT_EQ(dm->nextID(), 0);
    EXPECT_EQ(prompter.Count(), 1u);
    EXPECT_EQ(LastBoxFirstLine(), "Exception occurred in: TDataMod.openQuery > TDataMod.nextID");
    EXPECT_EQ(dm->zlmConn.TransactionLevel(), 0);

    // A counter table without its row issues nothing either, and gains no row.
    ASSERT_TRUE(dm->actionQuery("create table id_control (next_id INTEGER)", "test"));
    EXPECT_EQ(dm->nextID(), 0);
    EXPECT_EQ(prompter.Count(), 2u);
    EXPECT_EQ(LastBoxFirstLine(), "Exception occurred in: TDataMod.nextID");
    EXPECT_EQ(MainValue("select count(*) from id_control"), "0");
    EXPECT_EQ(whileShown, (std::vector<std::string>{"none, writable", "none, writable"}));
}

TEST_F(RecordsTest, AKeyIssuedBeforeTakesTheSameFirstValuesAndLeavesTheCounter) {
    SetCounter(900);
    CurBusUnitId = 3;
    db::Query q;
    ASSERT_TRUE(dm->OpenById(q, "billable", 0, "test"));
    dm->AppendWithKey(q, 4321);
    EXPECT_EQ(q.State(), db::DataSetState::dsInsert);
    EXPECT_EQ(q.FieldByName("billable_id").AsInteger(), 4321);
    EXPECT_EQ(q.FieldByName("billable_code").AsString(), "4321");
    EXPECT_EQ(q.FieldByName("billable_descr").AsString(), "[no value]");
    EXPECT_EQ(q.FieldByName("billable_defqty").AsFloat(), 1.0);
    q.Cancel();
    EXPECT_EQ(MainValue("select next_id from id_control"), "900");

    // It raises where Append would show a box: the caller decides when to tell the user.
    ASSERT_TRUE(dm->openQuery(q, "select * from lstCustomer", "test"));
    EXPECT_THROW(dm->AppendWithKey(q, 4322), db::DbError);
    EXPECT_EQ(q.State(), db::DataSetState::dsBrowse);
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(RecordsTest, ANewRowTakesTypeAndNameDefaultsInOrder) {
    SetCounter(700);
    CurUserId = 2;
    CurBusUnitId = 3;
    ASSERT_TRUE(dm->actionQuery(
        "create table scratch (scratch_id INTEGER PRIMARY KEY, scratch_name VARCHAR(20), "
        "scratch_code INTEGER, scratch_custcode VARCHAR(20), time VARCHAR(10), "
        "scratch_time VARCHAR(10), sys_user_id INTEGER, created_by_id INTEGER, "
        "bus_unit_id INTEGER, scratch_qty DOUBLE, scratch_price CURRENCY, scratch_done BIT, "
        "scratch_notes MEMO, scratch_when DATETIME, scratch_small SMALLINT)",
        "test"));
    db::Query q;
    ASSERT_TRUE(dm->OpenById(q, "scratch", 0, "test"));
    ASSERT_TRUE(dm->Append(q, "test"));
    EXPECT_EQ(q.State(), db::DataSetState::dsInsert);
    EXPECT_EQ(q.FieldByName("scratch_id").AsInteger(), 701);
    EXPECT_EQ(q.FieldByName("scratch_name").AsString(), "[no value]");
    EXPECT_EQ(q.FieldByName("scratch_code").AsInteger(), 701);  // "_code" takes the key
    EXPECT_EQ(q.FieldByName("scratch_custcode").AsString(), "[no value]");
    EXPECT_TRUE(std::regex_match(q.FieldByName("time").AsString(),
                                 std::regex("[0-2][0-9]:[0-5][0-9]:[0-5][0-9]")));
    EXPECT_EQ(q.FieldByName("scratch_time").AsString(), "[no value]");
    EXPECT_EQ(q.FieldByName("sys_user_id").AsInteger(), 2);
    EXPECT_EQ(q.FieldByName("created_by_id").AsInteger(), 2);
    EXPECT_EQ(q.FieldByName("bus_unit_id").AsInteger(), 3);
    EXPECT_EQ(q.FieldByName("scratch_qty").AsFloat(), 1.0);
    EXPECT_EQ(q.FieldByName("scratch_small").AsInteger(), 0);
    EXPECT_TRUE(q.FieldByName("scratch_price").IsNull());
    EXPECT_TRUE(q.FieldByName("scratch_done").IsNull());
    EXPECT_TRUE(q.FieldByName("scratch_notes").IsNull());
    EXPECT_EQ(q.FieldByName("scratch_when").AsDateTime(), format::Date());
    q.Post();
    EXPECT_EQ(MainValue("select scratch_when || '' from scratch where scratch_id=701"),
              format::DateTimeToIso(format::Date()));
}

TEST_F(RecordsTest, NewCatalogueAndDocumentRowsAsTheScreensExpect) {
    CurBusUnitId = 3;
    db::Query billable;
    ASSERT_TRUE(dm->OpenById(billable, "billable", 0, "test"));
    ASSERT_TRUE(dm->Append(billable, "test"));
    const std::string key = billable.FieldByName("billable_id").AsString();
    EXPECT_EQ(billable.FieldByName("billable_code").AsString(), key);
    EXPECT_EQ(billable.FieldByName("billable_custcode").AsString(), "[no value]");
    EXPECT_EQ(billable.FieldByName("billable_descr").AsString(), "[no value]");
    EXPECT_EQ(billable.FieldByName("billable_defqty").AsFloat(), 1.0);
    EXPECT_EQ(billable.FieldByName("billable_expand").AsInteger(), 0);
    billable.Cancel();

    db::Query doc;
    ASSERT_TRUE(dm->OpenById(doc, "zlm_doc", 0, "test"));
    ASSERT_TRUE(dm->Append(doc, "test"));
    EXPECT_EQ(doc.FieldByName("zlm_doc_date").AsDateTime(), format::Date());
    EXPECT_EQ(doc.FieldByName("bus_unit_id").AsInteger(), 3);
    EXPECT_EQ(doc.FieldByName("zlm_doc_time").AsString(), "[no value]");
    EXPECT_TRUE(doc.FieldByName("zlm_doc_notes").IsNull());
    doc.Post();
    EXPECT_EQ(MainValue("select count(*) from zlm_doc where zlm_doc_id=" +
                        doc.FieldByName("zlm_doc_id").AsString()),
              "1");

    // In the report server the user and business unit are never set.
    CurUserId = 0;
    CurBusUnitId = 0;
    db::Query line;
    ASSERT_TRUE(dm->OpenById(line, "doc_item", 0, "test"));
    ASSERT_TRUE(dm->Append(line, "test"));
    EXPECT_EQ(line.FieldByName("sys_user_id").AsInteger(), 0);
    line.Cancel();
}

TEST_F(RecordsTest, WithoutAKeyNoRowIsInserted) {
    ASSERT_TRUE(dm->actionQuery("drop table id_control", "test"));
    db::Query q;
    ASSERT_TRUE(dm->OpenById(q, "billable", 0, "test"));
    EXPECT_FALSE(dm->Append(q, "test"));
    EXPECT_EQ(q.State(), db::DataSetState::dsBrowse);
    q.Post();  // nothing to post
    EXPECT_EQ(MainValue("select count(*) from billable where billable_id=0"), "0");
}

TEST_F(RecordsTest, SeekFindsAKeyOrTellsWhetherTheCurrentRowHoldsIt) {
    db::Query q;
    ASSERT_TRUE(dm->openQuery(q, "select * from entity order by entity_id", "test"));
    EXPECT_TRUE(dm->Seek(q, "entity_id", 3));
    EXPECT_EQ(q.FieldByName("entity_name").AsString(), "My business");
    EXPECT_FALSE(dm->Seek(q, "entity_id", 999));
    EXPECT_EQ(q.FieldByName("entity_id").AsInteger(), 3);  // stays where it stood
    EXPECT_TRUE(dm->Seek(q, "entity_id", 3));
    EXPECT_FALSE(dm->Seek(q, "no_column", 3));
    EXPECT_EQ(LastBoxFirstLine(), "Exception occurred in: TDataMod.Seek");
}

}  // namespace
}  // namespace zl
