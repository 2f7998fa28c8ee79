// Rights that hold: a deleted group or user takes its rights and memberships with it, the rights
// view counts only groups and users that exist, and an older view is replaced at start-up.
#include <gtest/gtest.h>

#include "core/DataMod.h"
#include "core/DimensionTable.h"
#include "core/Globals.h"
#include "core/Rights.h"
#include "tests/support/CoreFixture.h"

namespace zl {
namespace {

// The view as main databases made before this version hold it.
constexpr const char* kOldRightsView =
    "CREATE VIEW usr_op AS SELECT gr.group_right_id, gr.sys_op_id, gul.sys_user_id AS "
    "sys_usr_id, gr.user_group_id FROM group_right gr JOIN group_user_link gul ON "
    "gul.user_group_id = gr.user_group_id";

class RightsTest : public test::CoreFixture {
  protected:
    void SetUp() override {
        ConnectAll();
        CurUserId = 2;
        // Clerks (group 9001, right 3) with clerk 9002 in it; Reviewers (9003, right 2) with
        // the same clerk.
        Exec(
            "insert into entity (entity_id, dimension_id, allow_delete, entity_name, "
            "entity_username) values (9001, 3, 0, 'Clerks', ''), (9002, 4, 0, 'Clerk', 'clerk'), "
            "(9003, 3, 0, 'Reviewers', '')");
        Exec(
            "insert into group_right (group_right_id, user_group_id, sys_op_id) values "
            "(9011, 9001, 3), (9012, 9003, 2)");
        Exec(
            "insert into group_user_link (group_user_link_id, sys_user_id, user_group_id) "
            "values (9021, 9002, 9001), (9022, 9002, 9003)");
    }
    std::string Main(const std::string& sql) const { return Stored(folder.MainDb(), sql); }
    // Deletes the row `key` through its kind's list, the user agreeing.
    bool DeleteThroughList(int kind, const std::string& listQuery, int key) {
        DimensionTable dimension(kind);
        db::Query list;
        EXPECT_TRUE(dm->openQuery(list, "select * from " + listQuery, "test"));
        EXPECT_TRUE(dm->Seek(list, "entity_id", key));
        prompter.Push(ui::Button::Yes);
        return dimension.Delete(list, nullptr);
    }
    std::string LinkRows() const {
        return Main(
            "select (select count(*) from group_right where user_group_id in (9001, "
            "9003)) || '/' || coalesce((select group_concat(group_user_link_id) from "
            "group_user_link where sys_user_id=9002 or user_group_id in (9001, 9003)), "
            "'')");
    }
};

TEST_F(RightsTest, DeletingAGroupOrAUserTakesItsRightsAndMembershipsWithIt) {
    ASSERT_TRUE(dm->checkRight(9002, 3));
    ASSERT_TRUE(DeleteThroughList(3, "brwUserGroup", 9001));
    EXPECT_FALSE(dm->checkRight(9002, 3));
    EXPECT_TRUE(dm->checkRight(9002, 2));  // his other group still holds its right
    EXPECT_EQ(LinkRows(), "1/9022");
    EXPECT_EQ(Stored(folder.LocalDb(),
                     "select audit_descr || '/' || audit_extra || '/' || record_id || '/' || "
                     "dimension_id from audit"),
              "Record deleted/entity/9001/3");

    ASSERT_TRUE(DeleteThroughList(4, "brwSysUser", 9002));
    EXPECT_EQ(LinkRows(), "1/");  // the Reviewers keep their right, nobody is in them
    EXPECT_EQ(Main("select count(*) from group_user_link where sys_user_id=9002"), "0");
}

TEST_F(RightsTest, ALinkRowThatCannotGoKeepsTheGroupAndEveryRow) {
    Exec(
        "create trigger keep_links before delete on group_user_link begin select "
        "raise(abort, 'kept'); end");
    EXPECT_FALSE(DeleteThroughList(3, "brwUserGroup", 9001));
    EXPECT_EQ(Main("select count(*) from entity where entity_id=9001"), "1");
    EXPECT_EQ(LinkRows(), "2/9021,9022");
    EXPECT_TRUE(dm->checkRight(9002, 3));
    EXPECT_EQ(LastBoxFirstLine(),
              "Exception occurred in: TDataMod.actionQuery > DimensionTable.Delete");
    EXPECT_EQ(Stored(folder.LocalDb(), "select count(*) from audit"), "0");
    EXPECT_FALSE(dm->zlmConn.InTransaction());
}

TEST_F(RightsTest, StartUpReplacesAnOlderRightsViewOnceAndKeepsEveryRow) {
    // The delivered database holds this version's view already.
    EXPECT_EQ(UpdateRightsView(dm->zlmConn), ViewUpdate::Current);

    ASSERT_TRUE(dm->actionQuery("drop view usr_op", "test"));
    ASSERT_TRUE(dm->actionQuery(kOldRightsView, "test"));
    // Deleted by an earlier version, which left the group's rows behind.
    ASSERT_TRUE(dm->actionQuery("delete from entity where entity_id=9001", "test"));
    EXPECT_TRUE(dm->checkRight(9002, 3));  // the old view lets the deleted group's right stand
    EXPECT_EQ(UpdateRightsView(dm->zlmConn), ViewUpdate::Replaced);
    EXPECT_FALSE(dm->checkRight(9002, 3));
    EXPECT_TRUE(dm->checkRight(9002, 2));
    // A row of another kind under the group's key is not the group.
    Exec("insert into entity (entity_id, dimension_id) values (9001, 1)");
    EXPECT_FALSE(dm->checkRight(9002, 3));
    EXPECT_TRUE(dm->checkRight(2, 1));
    EXPECT_EQ(UpdateRightsView(dm->zlmConn), ViewUpdate::Current);
    EXPECT_EQ(Main("select count(*) from group_right where group_right_id in (9011, 9012)"), "2");
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(RightsTest, AViewThatCannotBeReplacedStaysAndIsLoggedAndATableIsLeftAlone) {
    ASSERT_TRUE(dm->actionQuery("drop view usr_op", "test"));
    ASSERT_TRUE(dm->actionQuery(kOldRightsView, "test"));
    // A temporary table of the same name stands in the way of the drop.
    Exec("create temp table usr_op (x INTEGER)");
    EXPECT_EQ(UpdateRightsView(dm->zlmConn), ViewUpdate::Failed);
    Exec("drop table temp.usr_op");
    EXPECT_EQ(LastBoxFirstLine(), "Exception occurred in: TDataMod.UpdateRightsView");
    EXPECT_EQ(Main("select count(*) from sqlite_master where name='usr_op' and sql like "
                   "'%gul.user_group_id = gr.user_group_id'"),
              "1");
    EXPECT_FALSE(dm->zlmConn.InTransaction());

    // Rights kept in a table of their own are the site's: nothing to replace.
    ASSERT_TRUE(dm->actionQuery("drop view usr_op", "test"));
    Exec("create table usr_op (sys_op_id INTEGER, sys_usr_id INTEGER)");
    Exec("insert into usr_op values (3, 9002)");
    EXPECT_EQ(UpdateRightsView(dm->zlmConn), ViewUpdate::Current);
    EXPECT_EQ(Main("select count(*) from usr_op"), "1");
}

}  // namespace
}  // namespace zl
