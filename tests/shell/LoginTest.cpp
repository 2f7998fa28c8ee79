#include "shell/TfrmLogin.h"

#include <QLineEdit>
#include <QPushButton>

#include "core/DataMod.h"
#include "core/Globals.h"
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
};

TEST_F(LoginTest, StartsFilledWithTheSystemUserAndLogsInWhateverTheCase) {
    TfrmLogin login;
    EXPECT_EQ(login.windowTitle(), "Log in");
    EXPECT_EQ(login.edUser->text(), "System");
    EXPECT_EQ(login.edPwd->text(), "velkran");
    EXPECT_EQ(login.edPwd->echoMode(), QLineEdit::Password);
    EXPECT_EQ(login.btnOK->text(), "&OK");
    EXPECT_EQ(login.btnCancel->text(), "&Cancel");

    const Outcome outcome = Try("SYSTEM", "VELKRAN");
    EXPECT_TRUE(outcome.loggedIn);
    EXPECT_EQ(CurUserId, 2);
    EXPECT_EQ(CurUserName, "System");  // as stored
    EXPECT_EQ(Local("select audit_descr || '/' || audit_extra || '/' || sys_user_id from audit"),
              "Login/SYSTEM/2");
    EXPECT_EQ(prompter.Count(), 0u);

    ASSERT_TRUE(dm->actionQuery("update entity set entity_pwd='VelKran' where entity_id=2", "t"));
    EXPECT_TRUE(Try("system", "velkran").loggedIn);
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
