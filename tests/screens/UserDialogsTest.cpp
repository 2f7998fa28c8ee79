#include <sqlite3.h>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/Globals.h"
#include "core/Passwords.h"
#include "screens/TfrmSysUser.h"
#include "screens/TfrmUserGroup.h"
#include "tests/support/TestDialogs.h"

namespace zl {
namespace {

void TypeInto(QWidget* dialog, const char* column, const QString& text) {
    auto* edit = dialog->findChild<QLineEdit*>(column);
    ASSERT_NE(edit, nullptr) << column;
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

// Ticks exactly the items whose text is in `ticked`.
void Tick(QListWidget* list, const std::vector<QString>& ticked) {
    for (int i = 0; i < list->count(); ++i) {
        QListWidgetItem* item = list->item(i);
        const bool on = std::find(ticked.begin(), ticked.end(), item->text()) != ticked.end();
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
}

const QString kDeleteInquiries = "Delete inquiry documents";
const QString kDeleteRecords = "Delete records and view reports";

class UserDialogsTest : public test::FrameFixture {
  protected:
    std::string Rights(int group) {
        return Main(
            "select group_concat(sys_op_id) from (select sys_op_id from group_right where "
            "user_group_id=" +
            std::to_string(group) + " order by sys_op_id)");
    }
    void RawMain(const char* sql) {
        char* error = nullptr;
        ASSERT_EQ(sqlite3_exec(dm->zlmConn.Handle(), sql, nullptr, nullptr, &error), SQLITE_OK)
            << (error ? error : "");
    }
};

TEST_F(UserDialogsTest, GroupRightsAndMembershipDecideTheUsersRights) {
    RunDialog<TfrmUserGroup>(3, DimensionTable::Add, 0, [](TfrmUserGroup& d) {
        EXPECT_EQ(d.windowTitle(), "User Group");
        EXPECT_EQ(d.PageControl1->tabText(1), "Group rights");
        ASSERT_EQ(d.cbSysOp->count(), 3);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(d.cbSysOp->item(i)->checkState(), Qt::Unchecked);
        TypeInto(&d, "entity_name", "Sales");
        Tick(d.cbSysOp, {kDeleteInquiries, kDeleteRecords});
        d.btnOK->click();
    });
    const int group = Dimensions->Find(3)->GetRecordId();
    ASSERT_GT(group, 10);
    EXPECT_EQ(Main("select entity_name from entity where entity_id=" + std::to_string(group)),
              "Sales");
    EXPECT_EQ(Rights(group), "2,3");

    RunDialog<TfrmSysUser>(4, DimensionTable::Add, 0, [](TfrmSysUser& d) {
        EXPECT_EQ(d.windowTitle(), "System user");
        TypeInto(&d, "entity_username", "ann");
        TypeInto(&d, "entity_pwd", "secret");
        TypeInto(&d, "entity_name", "Lee");
        TypeInto(&d, "entity_first", "Ann");
        TypeInto(&d, "entity_title", "Dr");
        Tick(d.cbGroup, {"Sales"});
        d.btnOK->click();
    });
    const int user = Dimensions->Find(4)->GetRecordId();
    EXPECT_EQ(Main("select entity_fullname from entity where entity_id=" + std::to_string(user)),
              "Lee Ann Dr");
    EXPECT_TRUE(dm->checkRight(user, 2));
    EXPECT_TRUE(dm->checkRight(user, 3));
    EXPECT_FALSE(dm->checkRight(user, 1));
    EXPECT_EQ(prompter.Count(), 0u);

    // Reopened, the group shows its rights; taking one away takes it from the user too.
    RunDialog<TfrmUserGroup>(3, DimensionTable::EditRecord, group, [](TfrmUserGroup& d) {
        ASSERT_EQ(d.cbSysOp->count(), 3);
        EXPECT_EQ(d.cbSysOp->item(0)->checkState(), Qt::Unchecked);
        EXPECT_EQ(d.cbSysOp->item(1)->checkState(), Qt::Checked);
        EXPECT_EQ(d.cbSysOp->item(2)->checkState(), Qt::Checked);
        Tick(d.cbSysOp, {kDeleteInquiries});
        d.btnOK->click();
    });
    EXPECT_EQ(Rights(group), "2");
    EXPECT_TRUE(dm->checkRight(user, 2));
    EXPECT_FALSE(dm->checkRight(user, 3));

    // Membership shown and withdrawn.
    RunDialog<TfrmSysUser>(4, DimensionTable::EditRecord, user, [](TfrmSysUser& d) {
        QListWidgetItem* sales = d.cbGroup->findItems("Sales", Qt::MatchExactly).value(0);
        ASSERT_NE(sales, nullptr);
        EXPECT_EQ(sales->checkState(), Qt::Checked);
        Tick(d.cbGroup, {});
        d.btnOK->click();
    });
    EXPECT_EQ(
        Main("select count(*) from group_user_link where sys_user_id=" + std::to_string(user)),
        "0");
    EXPECT_FALSE(dm->checkRight(user, 2));

    // Each saved change is audited by name; a save that changes nothing is not.
    RunDialog<TfrmUserGroup>(3, DimensionTable::EditRecord, group,
                             [](TfrmUserGroup& d) { d.btnOK->click(); });
    const std::string g = "/" + std::to_string(group) + "/3/2",
                      u = "/" + std::to_string(user) + "/4/2";
    EXPECT_EQ(Local("select group_concat(audit_descr || '/' || audit_extra || '/' || record_id || "
                    "'/' || dimension_id || '/' || sys_user_id, '|') from audit"),
              "Group rights changed/Sales" + g + "|Password changed/ann" + u +
                  "|Group membership changed/ann" + u + "|Group rights changed/Sales" + g +
                  "|Group membership changed/ann" + u);
}

TEST_F(UserDialogsTest, ARewriteThatFailsPartWayOrGetsNoKeyKeepsTheOldRights) {
    Exec("insert into entity (entity_id, dimension_id, entity_name) values (9001, 3, \"Sales\")");
    Exec(
        "insert into group_right (group_right_id, user_group_id, sys_op_id) values (9011, 9001, "
        "2)");
    struct Case {
        const char* sabotage;
        const char* told;  // part of the one message
    };
    const Case cases[] = {
        // The second of the new rows cannot be stored.
        {"create trigger refuse_op3 before insert on group_right when new.sys_op_id=3 begin "
         "select raise(abort, 'refused'); end",
         "refused"},
        // The key counter issues nothing.
        {"delete from id_control", "key counter"},
    };
    bool transactionOpenDuringMessage = false;
    prompter.onShow = [&](const ui::Message&) {
        transactionOpenDuringMessage = transactionOpenDuringMessage || dm->zlmConn.InTransaction();
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.told);
        RawMain(c.sabotage);
        const std::size_t before = prompter.Count();
        RunDialog<TfrmUserGroup>(3, DimensionTable::EditRecord, 9001, [&](TfrmUserGroup& d) {
            TypeInto(&d, "entity_name", c.told);
            Tick(d.cbSysOp, {"Change settings (all rights)", kDeleteRecords});
            d.btnOK->click();
        });
        EXPECT_EQ(Rights(9001), "2");
        EXPECT_EQ(Main("select group_right_id from group_right where user_group_id=9001"), "9011");
        // The group itself was stored before its rights were written.
        EXPECT_EQ(Main("select entity_name from entity where entity_id=9001"), c.told);
        ASSERT_EQ(prompter.Count(), before + 1);
        EXPECT_NE(prompter.Messages().back().text.find(c.told), std::string::npos)
            << prompter.Messages().back().text;
    }
    EXPECT_FALSE(transactionOpenDuringMessage);
    EXPECT_FALSE(dm->zlmConn.InTransaction());
}

TEST_F(UserDialogsTest, LoginNameAndPasswordMustHoldARealValue) {
    struct Case {
        QString login;
        QString password;  // "" leaves the new row's text default
        bool typePassword;
    };
    const Case cases[] = {
        {"bob", "", false},    // the placeholder password
        {"bob", "", true},     // an emptied password
        {"", "secret", true},  // no login name
        {"[no value]", "secret", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.login.toStdString() + "/" + c.password.toStdString());
        const std::size_t before = prompter.Count();
        RunDialog<TfrmSysUser>(4, DimensionTable::Add, 0, [&](TfrmSysUser& d) {
            TypeInto(&d, "entity_username", c.login);
            if (c.typePassword)
                TypeInto(&d, "entity_pwd", c.password);
            TypeInto(&d, "entity_name", "Brown");
            d.btnOK->click();
            EXPECT_TRUE(d.isVisible());
            ASSERT_EQ(prompter.Count(), before + 1);
            EXPECT_EQ(prompter.Messages().back().text, "Please enter a value here");
            EXPECT_EQ(prompter.Messages().back().title, "No value");
            TypeInto(&d, "entity_username", "bob");
            TypeInto(&d, "entity_pwd", "secret");
            d.btnOK->click();
        });
        EXPECT_EQ(prompter.Count(), before + 1);
        const int user = Dimensions->Find(4)->GetRecordId();
        EXPECT_EQ(
            Main("select entity_username from entity where entity_id=" + std::to_string(user)),
            "bob");
        EXPECT_TRUE(PasswordMatches(
            "secret",
            Main("select entity_pwd from entity where entity_id=" + std::to_string(user))));
    }
}

TEST_F(UserDialogsTest,
       APasswordShowsAsStarsAndIsStoredAsTheHashOfANewTextOnlyOnceEvenAfterAFailedSave) {
    const std::string delivered = Main("select entity_pwd from entity where entity_id=2");
    // Saved with the password untouched: the stored hash stays as it was, nothing is audited.
    RunDialog<TfrmSysUser>(4, DimensionTable::EditRecord, 2, [](TfrmSysUser& d) {
        EXPECT_EQ(d.edPassword->displayText(), QString(d.edPassword->text().size(), '*'));
        EXPECT_GT(d.edPassword->text().size(), 90);  // the hash, never hashed again below
        TypeInto(&d, "entity_first", "Sys");
        d.btnOK->click();
    });
    EXPECT_EQ(Main("select entity_first || '/' || entity_pwd from entity where entity_id=2"),
              "Sys/" + delivered);
    EXPECT_EQ(Local("select count(*) from audit"), "0");

    // A new password whose first save fails: the retry stores the hash made at the first try,
    // not a hash of it, and audits it once.
    RawMain(
        "create trigger refuse_user before update on entity begin select raise(abort, "
        "'refused'); end");
    prompter.Push(ui::Button::Ok);  // the error box
    prompter.Push(ui::Button::No);  // not discarded: the dialog stays for another try
    RunDialog<TfrmSysUser>(4, DimensionTable::EditRecord, 2, [this](TfrmSysUser& d) {
        TypeInto(&d, "entity_pwd", "N3w Pass");
        d.btnOK->click();
        ASSERT_TRUE(d.isVisible());
        RawMain("drop trigger refuse_user");
        d.btnOK->click();
    });
    const std::string stored = Main("select entity_pwd from entity where entity_id=2");
    EXPECT_TRUE(IsPasswordHash(stored) && PasswordMatches("n3w pass", stored)) << stored;
    EXPECT_FALSE(PasswordMatches("velkran", stored));
    // The only audit row; no password in it, in the log or in a box.
    EXPECT_EQ(Local("select group_concat(audit_descr || '/' || audit_extra || '/' || record_id || "
                    "'/' || dimension_id, '|') from audit"),
              "Password changed/System/2/4");
    EXPECT_EQ(LogCount("refused"), 1);
    for (const char* secret : {"3w pass", "3W PASS", "argon2"}) {
        EXPECT_EQ(LogCount(secret), 0) << secret;
        for (const std::string& text : Texts())
            EXPECT_EQ(text.find(secret), std::string::npos) << text;
    }
}

TEST_F(UserDialogsTest, AStaleDialogSavesOnlyItsOwnTicksOverAnotherAdministratorsChanges) {
    Exec("insert into entity (entity_id, dimension_id, entity_name) values (9001, 3, \"Sales\")");
    Exec("insert into entity (entity_id, dimension_id, entity_name) values (9002, 3, \"Help\")");
    Exec(
        "insert into group_right (group_right_id, user_group_id, sys_op_id) values "
        "(9011, 9001, 2), (9012, 9001, 3)");
    Exec(
        "insert into group_user_link (group_user_link_id, sys_user_id, user_group_id) values "
        "(9021, 2, 9001)");
    const auto lastAudit = [this] {
        return Local("select audit_descr || '/' || audit_extra from audit order by audit_id desc");
    };
    // Open with rights 2 and 3; meanwhile another administrator revokes 3; this one grants 1.
    RunDialog<TfrmUserGroup>(3, DimensionTable::EditRecord, 9001, [this](TfrmUserGroup& d) {
        RawMain("delete from group_right where group_right_id=9012");
        Tick(d.cbSysOp, {"Change settings (all rights)", kDeleteInquiries, kDeleteRecords});
        d.btnOK->click();
    });
    EXPECT_EQ(Rights(9001), "1,2");
    EXPECT_EQ(lastAudit(), "Group rights changed/Sales");

    // The same for a user's memberships: a group withdrawn meanwhile stays withdrawn, a group
    // granted meanwhile stays granted, and the one ticked here is added once.
    RunDialog<TfrmSysUser>(4, DimensionTable::EditRecord, 2, [this](TfrmSysUser& d) {
        RawMain("delete from group_user_link where group_user_link_id=9021");
        RawMain(
            "insert into group_user_link (group_user_link_id, sys_user_id, user_group_id) "
            "values (9022, 2, 9002)");
        Tick(d.cbGroup, {"Administrators", "Sales", "Help"});
        d.btnOK->click();
    });
    EXPECT_EQ(Main("select group_concat(user_group_id) from (select user_group_id from "
                   "group_user_link where sys_user_id=2 order by user_group_id)"),
              "1,9002");
    EXPECT_EQ(lastAudit(), "Group membership changed/System");
}

}  // namespace
}  // namespace zl
