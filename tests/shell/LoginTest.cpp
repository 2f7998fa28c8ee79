#include "shell/TfrmLogin.h"

#include <QLineEdit>
#include <QPushButton>
#include <string_view>
#include <utility>

#include "core/DataMod.h"
#include "core/Globals.h"
#include "core/Passwords.h"
#include "platform/db/SchemaChange.h"
#include "tests/support/QtFixture.h"

namespace zl {
namespace {

class LoginTest : public test::QtFixture {
  protected:
    void SetUp() override { ConnectAll(); }

    // Runs the dialog once: types the texts, presses OK, then closes the dialog if it is still
    // open. Returns the dialog's result and whether OK left it open.
    struct Outcome {
        bool loggedIn;
        bool stayedOpen;
        std::string userAfter, passwordAfter;
    };
    Outcome Try(const QString& user, const QString& password) {
        Outcome outcome{};
        TfrmLogin login;
        login.passwordMatches = [this](std::string_view typed, std::string_view stored) {
            hashesChecked += IsPasswordHash(stored) ? 1 : 0;
            return PasswordMatches(typed, stored);
        };
        test::WhenModal<TfrmLogin>([&](TfrmLogin& dialog) {
            dialog.edUser->setText(user);
            dialog.edPwd->setText(password);
            dialog.btnOK->click();
            outcome.stayedOpen = dialog.isVisible();
            outcome.userAfter = dialog.edUser->text().toStdString();
            outcome.passwordAfter = dialog.edPwd->text().toStdString();
            if (dialog.isVisible())
                dialog.close();
        });
        outcome.loggedIn = login.loginDialogExecute();
        return outcome;
    }

    // How many stored hashes the dialogs run by Try checked a typed password against.
    int hashesChecked = 0;
};

TEST_F(LoginTest, StartsFilledWithTheSystemUserAndLogsInWhateverTheCase) {
    TfrmLogin login;
    EXPECT_EQ(login.windowTitle(), "Log in");
    EXPECT_EQ(login.edUser->text(), "System");
    EXPECT_EQ(login.edPwd->text(), "velkran");
    EXPECT_EQ(login.edPwd->displayText(), "*******");
    EXPECT_EQ(login.btnOK->text(), "&OK");
    EXPECT_EQ(login.btnCancel->text(), "&Cancel");

    ASSERT_TRUE(IsPasswordHash(Main("select entity_pwd from entity where entity_id=2")));
    const Outcome outcome = Try("SYSTEM", "VELKRAN");
    EXPECT_TRUE(outcome.loggedIn);
    EXPECT_EQ(CurUserId, 2);
    EXPECT_EQ(CurUserName, "System");  // as stored
    EXPECT_EQ(Local("select audit_descr || '/' || audit_extra || '/' || sys_user_id from audit"),
              "Login/SYSTEM/2");

    // A password still in clear logs in as before and is stored as its hash from then on.
    ASSERT_TRUE(dm->actionQuery("update entity set entity_pwd='VelKran' where entity_id=2", "t"));
    EXPECT_TRUE(Try("system", "velkran").loggedIn);
    const std::string stored = Main("select entity_pwd from entity where entity_id=2");
    EXPECT_TRUE(IsPasswordHash(stored) && PasswordMatches("velkran", stored)) << stored;
    EXPECT_TRUE(Try("SYSTEM", "VelKran").loggedIn);
    EXPECT_EQ(Main("select entity_pwd from entity where entity_id=2"), stored);
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(LoginTest, AClearPasswordThatCannotBeStoredHashedStillLogsInAndIsNeverLogged) {
    // A column too narrow for a hash, as in a file the start-up could not widen.
    db::ChangeColumnType(dm->zlmConn, "entity", "entity_pwd", "VARCHAR(20)");
    ASSERT_TRUE(dm->actionQuery("update entity set entity_pwd='Tr0ub4dor' where entity_id=2", "t"));
    EXPECT_TRUE(Try("System", "tr0ub4dor").loggedIn);
    EXPECT_EQ(Main("select entity_pwd from entity where entity_id=2"), "Tr0ub4dor");
    EXPECT_EQ(LogCount("TfrmLogin.btnOKClick;"), 1);
    for (const char* secret : {"r0ub4dor", "R0UB4DOR", "argon2"}) {
        EXPECT_EQ(LogCount(secret), 0) << secret;
        for (const std::string& text : Texts())
            EXPECT_EQ(text.find(secret), std::string::npos) << text;
    }
}

TEST_F(LoginTest, AfterThreeFailuresEachTryWaitsLongerWithOkOffBeforeItIsChecked) {
    std::vector<int> waits;
    std::function<void()> pending;
    TfrmLogin login;
    login.waitBeforeCheck = [&](int seconds, std::function<void()> check) {
        waits.push_back(seconds);
        pending = std::move(check);
    };
    test::WhenModal<TfrmLogin>([&](TfrmLogin& dialog) {
        dialog.edPwd->setText("wrong");
        for (int tries = 0; tries < 9; ++tries) {
            dialog.btnOK->click();
            if (!pending)
                continue;
            EXPECT_FALSE(dialog.btnOK->isEnabled());
            EXPECT_EQ(dialog.cursor().shape(), Qt::BusyCursor);
            // Not checked before the wait is over.
            EXPECT_EQ(Local("select count(*) from audit"), std::to_string(tries));
            std::exchange(pending, nullptr)();
            EXPECT_TRUE(dialog.btnOK->isEnabled());
        }
        dialog.edPwd->setText("velkran");
        dialog.btnOK->click();
        if (pending)
            std::exchange(pending, nullptr)();
    });
    EXPECT_TRUE(login.loginDialogExecute());
    EXPECT_EQ(waits, (std::vector<int>{1, 2, 4, 8, 16, 30, 30}));
    EXPECT_EQ(Local("select count(*) from audit where audit_descr='Login failed'"), "9");
    EXPECT_EQ(CurUserId, 2);
}

TEST_F(LoginTest, AFailedLoginWithANameLongerThanTheAuditColumnIsRecordedCutToIt) {
    std::string name(245, 'x');
    for (int i = 0; i < 10; ++i)
        name += "é";  // two bytes, one character
    EXPECT_FALSE(Try(QString::fromStdString(name), "wrong").loggedIn);
    EXPECT_EQ(Local("select audit_descr || '/' || audit_extra from audit"),
              "Login failed/" + name.substr(0, 245 + 5 * 2));
}

TEST_F(LoginTest, AWrongPasswordIsRefusedAndRecordedAndTheDialogStays) {
    const Outcome outcome = Try("System", "wrong");
    EXPECT_FALSE(outcome.loggedIn);
    EXPECT_TRUE(outcome.stayedOpen);
    EXPECT_EQ(outcome.userAfter, "System");
    EXPECT_EQ(outcome.passwordAfter, "wrong");
    ASSERT_EQ(prompter.Count(), 1u);
    EXPECT_EQ(prompter.Messages()[0].text, "Incorrect user name or password. Please try again.");
    EXPECT_EQ(prompter.Messages()[0].title, "Login failed");
    EXPECT_EQ(prompter.Messages()[0].icon, ui::Icon::Information);
    EXPECT_EQ(Local("select audit_descr || '/' || audit_extra || '/' || sys_user_id from audit"),
              "Login failed/System/0");
    EXPECT_EQ(CurUserId, 0);
}

// Every refused try checks one hash, whether the name exists or not: the time taken tells no
// names. Texts and audit rows are those of any wrong password.
TEST_F(LoginTest, AnUnknownNameIsRefusedAfterTheSameHashingWorkAsAWrongPassword) {
    ASSERT_TRUE(
        dm->actionQuery("insert into entity (entity_id, dimension_id, entity_username, "
                        "entity_pwd) values (901, 4, 'clerk', 'kept in clear')",
                        "t"));
    for (const char* user : {"System", "nobody", "clerk"}) {
        SCOPED_TRACE(user);
        hashesChecked = 0;
        EXPECT_FALSE(Try(user, "wrong").loggedIn);
        EXPECT_EQ(hashesChecked, 1);
        EXPECT_EQ(prompter.Messages().back().text,
                  "Incorrect user name or password. Please try again.");
    }
    EXPECT_EQ(Local("select group_concat(audit_descr || '/' || audit_extra || '/' || sys_user_id, "
                    "', ') from audit"),
              "Login failed/System/0, Login failed/nobody/0, Login failed/clerk/0");
    EXPECT_EQ(prompter.Count(), 3u);
}

TEST_F(LoginTest, TypedTextNeverBecomesSqlAndOnlySystemUsersLogIn) {
    for (const char* attack : {"\" or \"\"=\"", "x\" or 1=1 --", "' or '1'='1", "%", "system%"}) {
        EXPECT_FALSE(Try(attack, attack).loggedIn) << attack;
        EXPECT_FALSE(Try("System", attack).loggedIn) << attack;
    }
    // A customer row carries the "[no value]" defaults in both columns: it is no user.
    ASSERT_TRUE(
        dm->actionQuery("insert into entity (entity_id, dimension_id, entity_username, "
                        "entity_pwd) values (900, 1, \"[no value]\", \"[no value]\")",
                        "t"));
    EXPECT_FALSE(Try("[no value]", "[no value]").loggedIn);
    EXPECT_EQ(CurUserId, 0);
    EXPECT_EQ(Local("select count(*) from audit where audit_descr='Login'"), "0");
}

TEST_F(LoginTest, CancelSaysTheProgramWillEnd) {
    TfrmLogin login;
    test::WhenModal<TfrmLogin>([](TfrmLogin& dialog) { dialog.btnCancel->click(); });
    EXPECT_FALSE(login.loginDialogExecute());
    ExpectMessages({{"Login was cancelled. Zelmar will now exit.", "Login failed"}});
    EXPECT_EQ(Local("select count(*) from audit"), "0");
}

}  // namespace
}  // namespace zl
