// The audit log, rights, repository paths and the first-run set-up.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "core/DataMod.h"
#include "core/Globals.h"
#include "tests/support/CoreFixture.h"

namespace zl {
namespace {

namespace fs = std::filesystem;

class SettingsTest : public test::CoreFixture {
  protected:
    void SetUp() override { ConnectAll(); }
    std::string Local(const std::string& sql) const { return Stored(folder.LocalDb(), sql); }
    std::string Main(const std::string& sql) const { return Stored(folder.MainDb(), sql); }
    void SetConfig(const std::string& column, const std::string& value) {
        dm->qConfig.Edit();
        dm->qConfig.FieldByName(column).SetAsString(value);
        dm->qConfig.Post();
    }
    // A user of a new group that holds the given operation.
    int UserWithRight(int op) {
        const int group = dm->nextID(), user = dm->nextID();
        EXPECT_TRUE(dm->actionQuery("insert into entity (entity_id, dimension_id) values (" +
                                        std::to_string(group) + ", 3), (" + std::to_string(user) +
                                        ", 4)",
                                    "test"));
        EXPECT_TRUE(dm->actionQuery(
            "insert into group_right (group_right_id, user_group_id, sys_op_id) values (" +
                std::to_string(dm->nextID()) + "," + std::to_string(group) + "," +
                std::to_string(op) + ")",
            "test"));
        EXPECT_TRUE(
            dm->actionQuery("insert into group_user_link (group_user_link_id, sys_user_id, "
                            "user_group_id) values (" +
                                std::to_string(dm->nextID()) + "," + std::to_string(user) + "," +
                                std::to_string(group) + ")",
                            "test"));
        return user;
    }
};

TEST_F(SettingsTest, AuditRowsRecordWhoDidWhatAndWhen) {
    dm->logEvent("Login failed", "Sytem", 0, 0);
    CurUserId = 2;
    dm->logEvent("Record deleted", "billable", 1234, 14);
    EXPECT_EQ(Local("select count(*) from audit"), "2");
    EXPECT_EQ(Local("select audit_extra || '/' || sys_user_id from audit where audit_descr='Login "
                    "failed'"),
              "Sytem/0");
    EXPECT_EQ(Local("select audit_extra || '/' || sys_user_id || '/' || record_id || '/' || "
                    "dimension_id from audit where audit_descr='Record deleted'"),
              "billable/2/1234/14");
    EXPECT_TRUE(std::regex_match(Local("select max(audit_dt) from audit"),
                                 std::regex(R"(\d{4}/\d{2}/\d{2} \d{2}:\d{2}:\d{2})")));
    // The audit key comes from the main counter like every other key.
    EXPECT_EQ(Local("select max(audit_id) from audit"), Main("select next_id from id_control"));
    EXPECT_FALSE(dm->qAudit.Active());

    // Without a main database no key can be issued: no row, and the caller carries on.
    dm->zlmConn.Close();
    dm->logEvent("Application quit", "", 0, 0);
    EXPECT_EQ(Local("select count(*) from audit"), "2");
}

TEST_F(SettingsTest, RightsFollowGroupsAndOperationOneHoldsThemAll) {
    EXPECT_TRUE(dm->checkRight(2, 3));  // System
    const int reporter = UserWithRight(3);
    EXPECT_TRUE(dm->checkRight(reporter, 3));
    EXPECT_FALSE(dm->checkRight(reporter, 2));
    EXPECT_FALSE(dm->checkRight(reporter, 1));
    const int admin = UserWithRight(1);
    for (int op : {1, 2, 3})
        EXPECT_TRUE(dm->checkRight(admin, op)) << op;
    for (int op : {1, 2, 3})
        EXPECT_FALSE(dm->checkRight(5, op)) << op;  // no usr_op row at all
    EXPECT_EQ(prompter.Count(), 0u);

    dm->zlmConn.Close();
    EXPECT_FALSE(dm->checkRight(2, 1));
    EXPECT_EQ(LastBoxFirstLine(),
              "Exception occurred in: TDataMod.openQuery > TDataMod.checkRight");
}

TEST_F(SettingsTest, DocumentPathsFillNumberedFoldersOfAThousand) {
    const std::string repo = folder.DataFolder() + "doc/";
    SetConfig("config_docrepository", repo);
    SetConfig("config_doccounter", "1000");
    SetConfig("config_curdocdir", "7");
    const std::string path = dm->NewDocPath("rep", ".html");
    const std::string key = Main("select next_id from id_control");
    EXPECT_EQ(path, repo + "reports/0000000008/rep" + key + ".html");
    EXPECT_TRUE(fs::is_directory(repo + "reports/0000000008"));
    EXPECT_EQ(Local("select config_doccounter || ' ' || config_curdocdir from config"), "1 8");

    SetConfig("config_doccounter", "999");
    EXPECT_EQ(fs::path(dm->NewDocPath("quote", ".html")).parent_path(),
              fs::path(repo + "reports/0000000008"));
    EXPECT_EQ(Local("select config_doccounter || ' ' || config_curdocdir from config"), "1000 8");
    EXPECT_EQ(dm->qConfig.State(), db::DataSetState::dsBrowse);
}

TEST_F(SettingsTest, APathEndsInItsFolderPrefixKeyAndExtension) {
    // Without a trailing separator in the setting, and with the folder not there yet.
    SetConfig("config_docrepository", folder.Home() + "/repository");
    SetConfig("config_curdocdir", "3");
    ASSERT_TRUE(dm->actionQuery("update id_control set next_id=511", "test"));
    const std::string path = dm->NewDocPath("rep", ".html");
    EXPECT_EQ(path, folder.Home() + "/repository/reports/0000000003/rep512.html");
    EXPECT_TRUE(fs::is_directory(folder.Home() + "/repository/reports/0000000003"));
    // The extension is taken as given.
    EXPECT_EQ(dm->NewDocPath("doc", "rtf"),
              folder.Home() + "/repository/reports/0000000003/doc513rtf");
}

TEST_F(SettingsTest, APathAlreadyTakenIsSkippedAndNothingOfItsIsWritten) {
    const std::string repo = folder.Home() + "/repository/";
    const std::string reports = repo + "reports/0000000003/";
    SetConfig("config_docrepository", repo);
    SetConfig("config_curdocdir", "3");
    ASSERT_TRUE(dm->actionQuery("update id_control set next_id=511", "test"));
    // The reserved path is an empty private file in a private folder.
    EXPECT_EQ(dm->NewDocPath("doc", ".rtf"), reports + "doc512.rtf");
    EXPECT_EQ(fs::file_size(reports + "doc512.rtf"), 0u);
    EXPECT_EQ(fs::status(reports + "doc512.rtf").permissions(), fs::perms(0600));
    EXPECT_EQ(fs::status(reports).permissions(), fs::perms(0700));

    // A main database restored from a backup hands out the same keys again.
    std::ofstream(reports + "doc512.rtf") << "older letter";
    std::ofstream(folder.Home() + "/elsewhere.rtf") << "not the program's";
    fs::create_symlink(folder.Home() + "/elsewhere.rtf", reports + "doc513.rtf");
    ASSERT_TRUE(dm->actionQuery("update id_control set next_id=511", "test"));
    EXPECT_EQ(dm->NewDocPath("doc", ".rtf"), reports + "doc514.rtf");
    EXPECT_EQ(test::ReadFile(reports + "doc512.rtf"), "older letter");
    EXPECT_EQ(test::ReadFile(folder.Home() + "/elsewhere.rtf"), "not the program's");
    EXPECT_EQ(Local("select config_doccounter from config"), "2");

    // A numbered folder that is a link to somewhere else is not used.
    fs::create_directory(folder.Home() + "/outside");
    fs::create_directory_symlink(folder.Home() + "/outside", repo + "reports/0000000004");
    SetConfig("config_curdocdir", "4");
    EXPECT_ANY_THROW(dm->NewDocPath("rep", ".html"));
    EXPECT_TRUE(fs::is_empty(folder.Home() + "/outside"));
    EXPECT_EQ(dm->qConfig.State(), db::DataSetState::dsBrowse);
}

TEST_F(SettingsTest, AFailedPathLeavesTheSettingsRowAsItWas) {
    const std::string blocked = folder.Home() + "/blocked";
    std::ofstream(blocked) << "a file where the repository should be";
    SetConfig("config_docrepository", blocked);
    SetConfig("config_doccounter", "5");
    EXPECT_ANY_THROW(dm->NewDocPath("rep", ".html"));
    EXPECT_EQ(dm->qConfig.State(), db::DataSetState::dsBrowse);

    // No key: no path, since one on key 0 would name a filed report.
    SetConfig("config_docrepository", folder.DataFolder() + "doc/");
    ASSERT_TRUE(dm->actionQuery("drop table id_control", "test"));
    EXPECT_ANY_THROW(dm->NewDocPath("rep", ".html"));
    EXPECT_EQ(dm->qConfig.State(), db::DataSetState::dsBrowse);
}

TEST_F(SettingsTest, TheFirstRunPointsTheSettingsAtTheDataFolderOnce) {
    dm->zlmConn.Close();
    dm->CheckFirst();
    const std::string data = folder.DataFolder();
    EXPECT_EQ(Local("select config_dbpath from config"), data + "db/zlm.dat");
    EXPECT_EQ(Local("select config_docrepository from config"), data + "doc/");
    EXPECT_EQ(Local("select config_firstflag from config"), "1");
    EXPECT_TRUE(dm->zlmConn.Connected());
    EXPECT_EQ(Main("select doc_template_file from doc_template"), data + "doc/sampletemplate.rtf");
    EXPECT_EQ(dm->qConfig.State(), db::DataSetState::dsBrowse);

    // A later start keeps what the user set since.
    SetConfig("config_docrepository", "/srv/documents/");
    dm->CheckFirst();
    EXPECT_EQ(Local("select config_docrepository from config"), "/srv/documents/");
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(SettingsTest, TheFirstRunCompletesWithoutTemplatesButNotWithoutItsDatabase) {
    ASSERT_TRUE(dm->actionQuery("delete from doc_template", "test"));
    dm->CheckFirst();
    EXPECT_EQ(Local("select config_firstflag from config"), "1");

    SetConfig("config_firstflag", "0");
    fs::rename(folder.MainDb(), folder.MainDb() + ".away");
    dm->CheckFirst();
    EXPECT_EQ(Local("select config_firstflag from config"), "0");  // tried again next start
    EXPECT_EQ(dm->qConfig.State(), db::DataSetState::dsBrowse);
}

}  // namespace
}  // namespace zl
