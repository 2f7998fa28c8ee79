#include "core/DataMod.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "core/Globals.h"
#include "platform/db/DbError.h"
#include "tests/support/CoreFixture.h"

namespace zl {
namespace {

using test::CoreFixture;

class DataModTest : public CoreFixture {};

TEST_F(DataModTest, CreationSetsTheGlobalsOfEachDeliverable) {
    CustomersOpen = false;
    BillableOpen = true;
    TDataMod program(Deliverable::Program);
    EXPECT_EQ(AppVersion, "3.01.15");
    EXPECT_TRUE(CustomersOpen);
    EXPECT_TRUE(InquiryOpen);
    EXPECT_FALSE(BillableOpen);
    EXPECT_FALSE(OrganizationOpen);
    EXPECT_FALSE(program.zlmConn.Connected());
    EXPECT_EQ(program.localConn.ConnectionString(), "");

    TDataMod library(Deliverable::ReportServer);
    EXPECT_EQ(AppVersion, "2.05.28");
}

TEST_F(DataModTest, ConnectionStringsNameTheFilesOfTheDataFolder) {
    EXPECT_EQ(dm->BuildConnectionString("/d/zlm.dat"),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/d/zlm.dat;Mode=Share Deny None;"
              "Jet OLEDB:System database=\"\";Jet OLEDB:Database Password=qurnel;");
    EXPECT_EQ(dm->LocalDbConnectionString(), dm->BuildConnectionString(folder.LocalDb()));
    EXPECT_EQ(dm->MetaDbConnectionString(), dm->BuildConnectionString(folder.MetaDb()));

    ConnectAll();
    dm->qConfig.Edit();
    dm->qConfig.FieldByName("config_dbpath").SetAsString("/elsewhere/zlm.dat");
    dm->qConfig.Post();
    EXPECT_EQ(dm->MainDbConnectionString(), dm->BuildConnectionString("/elsewhere/zlm.dat"));
}

TEST_F(DataModTest, ConnectReopensAndAFailureLogsWithoutThePassword) {
    ConnectAll();
    ASSERT_TRUE(dm->Connect(dm->zlmConn, dm->BuildConnectionString(folder.MainDb())));
    EXPECT_TRUE(dm->zlmConn.Connected());
    EXPECT_EQ(prompter.Count(), 0u);

    const std::string missing = dm->BuildConnectionString(folder.DataFolder() + "db/none.dat");
    EXPECT_FALSE(dm->Connect(dm->zlmConn, missing));
    EXPECT_FALSE(dm->zlmConn.Connected());
    EXPECT_EQ(dm->zlmConn.ConnectionString(), missing);  // the new string stays set
    ASSERT_EQ(prompter.Count(), 1u);
    EXPECT_EQ(LastBoxFirstLine(), "Exception occurred in: TDataMod.Connect");

    const std::string log = ErrorLog();
    EXPECT_EQ(log.rfind("TDataMod.Connect;", 0), 0u);
    EXPECT_NE(log.find("Jet OLEDB:Database Password=***;"), std::string::npos);
    EXPECT_EQ(log.find("qurnel"), std::string::npos);
    EXPECT_EQ(prompter.Messages().back().text.find("qurnel"), std::string::npos);
    ASSERT_TRUE(web.WaitForRequests(1));
    EXPECT_EQ(web.Paths()[0].find("qurnel"), std::string::npos);
}

TEST_F(DataModTest, OpenQueryFailureShowsTheTaggedBoxAndLeavesTheQueryClosed) {
    ConnectAll();
    db::Query q;
    ASSERT_TRUE(dm->openQuery(q, "select * from entity where dimension_id=5", "TfrmMain.popBU"));
    EXPECT_TRUE(q.Active());
    EXPECT_EQ(q.GetConnection(), &dm->zlmConn);

    EXPECT_FALSE(dm->openQuery(q, "select * from no_such_table", "TfrmMain.popBU"));
    EXPECT_FALSE(q.Active());
    EXPECT_EQ(LastBoxFirstLine(), "Exception occurred in: TDataMod.openQuery > TfrmMain.popBU");
    EXPECT_EQ(prompter.Messages().back().title, "Exception");
    EXPECT_NE(ErrorLog().find(";select * from no_such_table\r\n"), std::string::npos);

    // The connection given is the one used, whatever the query was bound to before.
    ASSERT_TRUE(dm->openQuery(dm->repConn, q, "test", "select * from synonym"));
    EXPECT_EQ(q.GetConnection(), &dm->repConn);
}

TEST_F(DataModTest, OpenByIdAndByFieldBuildTheirSelect) {
    ConnectAll();
    db::Query q;
    ASSERT_TRUE(dm->OpenById(q, "entity", 5, "test"));
    EXPECT_EQ(q.SQL(), "select * from [entity] where [entity_id]=5");
    EXPECT_EQ(q.RecordCount(), 1);
    ASSERT_TRUE(dm->OpenById(q, "entity", -3, "test"));
    EXPECT_EQ(q.SQL(), "select * from [entity] where [entity_id]=-3");
    EXPECT_TRUE(q.IsEmpty());
    ASSERT_TRUE(dm->OpenByField(q, "dim_def", 6, "test", "dimension_id"));
    EXPECT_EQ(q.SQL(), "select * from [dim_def] where [dimension_id]=6");
    EXPECT_GT(q.RecordCount(), 0);
}

// Names read from the metadata are identifiers, whatever they hold: one with a space or a "]"
// finds its table, and one that reads like SQL is only a name that no table has.
TEST_F(DataModTest, TableAndColumnNamesAreQuotedAsIdentifiers) {
    ConnectAll();
    ASSERT_TRUE(dm->actionQuery(
        "create table [odd]] name] ([odd]] name_id] INTEGER PRIMARY KEY, [parent id] INTEGER)",
        "test"));
    ASSERT_TRUE(dm->actionQuery("insert into [odd]] name] values (7, 70)", "test"));
    ASSERT_TRUE(dm->actionQuery("insert into [odd]] name] values (8, 70)", "test"));

    db::Query q;
    ASSERT_TRUE(dm->OpenById(q, "odd] name", 7, "test"));
    EXPECT_EQ(q.SQL(), "select * from [odd]] name] where [odd]] name_id]=7");
    EXPECT_EQ(q.FieldByName("parent id").AsInteger(), 70);
    ASSERT_TRUE(dm->OpenByField(q, "odd] name", 70, "test", "parent id"));
    EXPECT_EQ(q.RecordCount(), 2);
    EXPECT_EQ(dm->getParentCount("odd] name", "parent id", 70), 2);
    EXPECT_EQ(prompter.Count(), 0u);

    const std::string hostile = "entity where 1=1; drop table entity; --";
    EXPECT_FALSE(dm->OpenById(q, hostile, 5, "test"));
    EXPECT_EQ(prompter.Count(), 1u);
    EXPECT_EQ(dm->getParentCount("address", hostile, 5), 0);
    EXPECT_EQ(Stored(folder.MainDb(), "select count(*) from entity where entity_id=5"), "1");
}

TEST_F(DataModTest, ActionQueryCommitsOrRollsBackAndNeverLeavesTheFileLocked) {
    ConnectAll();
    ASSERT_TRUE(
        dm->actionQuery("update entity set entity_f1=\"checked\" where entity_id=5", "test"));
    EXPECT_EQ(Stored(folder.MainDb(), "select entity_f1 from entity where entity_id=5"), "checked");

    EXPECT_FALSE(dm->actionQuery("update entity set no_column=1", "TfrmTest.go"));
    EXPECT_EQ(LastBoxFirstLine(), "Exception occurred in: TDataMod.actionQuery > TfrmTest.go");
    EXPECT_EQ(dm->zlmConn.TransactionLevel(), 0);
    // Another connection (the report server's) can write at once.
    db::Connection other;
    other.SetConnectionString(dm->BuildConnectionString(folder.MainDb()));
    other.Open();
    EXPECT_EQ(other.Execute("update entity set entity_f2='x' where entity_id=5"), 1);

    // Two statements where the second fails: the first is undone with it.
    EXPECT_FALSE(dm->actionQuery(
        "update entity set entity_f1='gone' where entity_id=5; insert into nowhere values (1)",
        "test"));
    EXPECT_EQ(Stored(folder.MainDb(), "select entity_f1 from entity where entity_id=5"), "checked");
}

TEST_F(DataModTest, GetParentCountCountsAndNeverRaises) {
    ConnectAll();
    EXPECT_EQ(dm->getParentCount("quest_section", "questionnaire_id", 123456), 0);
    EXPECT_EQ(
        dm->getParentCount("dim_def", "dimension_id", 6),
        std::stoi(Stored(folder.MainDb(), "select count(*) from dim_def where dimension_id=6")));
    EXPECT_EQ(prompter.Count(), 0u);
    EXPECT_FALSE(dm->qAction.Active());

    EXPECT_EQ(dm->getParentCount("no_table", "x", 1), 0);
    EXPECT_EQ(LastBoxFirstLine(),
              "Exception occurred in: TDataMod.openQuery > TDataMod.getParentCount");
}

TEST_F(DataModTest, ClosingLeavesEachFileCompleteWithoutLogContent) {
    ConnectAll();
    // The report server's connections stay open, so closing alone would leave the logs behind.
    db::Connection others[3];
    const std::string files[] = {folder.MainDb(), folder.LocalDb(), folder.MetaDb()};
    for (int i = 0; i < 3; ++i) {
        others[i].SetConnectionString(dm->BuildConnectionString(files[i]));
        others[i].Open();
    }
    dm->logEvent("Application quit", "", 0, 0);
    ASSERT_GT(std::filesystem::file_size(folder.LocalDb() + "-wal"), 0u);
    dm->CloseConnections();
    EXPECT_FALSE(dm->zlmConn.Connected() || dm->localConn.Connected() || dm->repConn.Connected());
    for (const std::string& file : files)
        EXPECT_EQ(std::filesystem::file_size(file + "-wal"), 0u) << file;
    const std::string copy = folder.Home() + "/backup.dat";
    std::filesystem::copy_file(folder.LocalDb(), copy);
    EXPECT_EQ(Stored(copy, "select audit_descr from audit order by audit_id desc"),
              "Application quit");
}

TEST_F(DataModTest, AWriteToALostMainFileIsToldOnceAndAWaitShowsTheBusyCursor) {
    ConnectAll();
    ui::ScriptedCursor cursor;
    db::Connection other;
    other.SetConnectionString(dm->BuildConnectionString(folder.MainDb()));
    other.Open();
    other.BeginTrans();
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        other.CommitTrans();
    });
    EXPECT_TRUE(dm->actionQuery("update entity set entity_f1='after' where entity_id=5", "test"));
    release.join();
    EXPECT_EQ(cursor.Shapes(),
              (std::vector<ui::CursorShape>{ui::CursorShape::HourGlass, ui::CursorShape::Default}));

    std::filesystem::rename(folder.MainDb(), folder.MainDb() + ".old");
    for (int attempt = 0; attempt < 2; ++attempt)
        EXPECT_FALSE(dm->actionQuery("update entity set entity_f1='lost' where entity_id=5", "t"));
    const std::string told = "The database file " + folder.MainDb() +
                             " was moved, replaced or deleted while Zelmar was running. Nothing "
                             "more can be saved. Please restart Zelmar.";
    int shown = 0;
    for (const ui::Message& m : prompter.Messages())
        shown += m.text == told && m.title == "Database file" && m.icon == ui::Icon::Error;
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(LogCount(told), 2);
    // Read through the connection that still holds the moved file: nothing of it changed.
    db::Query q(&other);
    q.SetSQL("select entity_f1 from entity where entity_id=5");
    q.Open();
    EXPECT_EQ(q.Fields(0).AsString(), "after");
}

TEST_F(DataModTest, OnlyAFileInsideTheUsersOwnDataFolderUsesTheWriteAheadLog) {
    const std::string data = folder.DataFolder();
    const struct {
        std::string path;
        db::FileSharing sharing;
    } cases[] = {
        {folder.MainDb(), db::FileSharing::Private},
        {data + "db/../db/zlm.dat", db::FileSharing::Private},
        {folder.Home() + "/share/zlm.dat", db::FileSharing::Shared},
        {data + "../zlm-share/zlm.dat", db::FileSharing::Shared},
        {data.substr(0, data.size() - 1) + "x/db/zlm.dat", db::FileSharing::Shared},
        {"", db::FileSharing::Shared},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SharingOf(c.path, data), c.sharing) << c.path;
    EXPECT_EQ(SharingOf(folder.MainDb(), ""), db::FileSharing::Shared);

    ConnectAll();
    EXPECT_EQ(dm->zlmConn.JournalMode(), "wal");
    EXPECT_EQ(dm->localConn.JournalMode(), "wal");
    // A main file chosen elsewhere in Options, as a shared one is, keeps the rollback journal;
    // so does the report server's connection to it.
    std::filesystem::create_directory(folder.Home() + "/share");
    const std::string shared = folder.Home() + "/share/zlm.dat";
    dm->CloseConnections();
    std::filesystem::copy_file(folder.MainDb(), shared);
    TDataMod server(Deliverable::ReportServer);
    for (TDataMod* m : {dm.get(), &server}) {
        ASSERT_TRUE(m->Connect(m->zlmConn, m->BuildConnectionString(shared)));
        EXPECT_EQ(m->zlmConn.JournalMode(), "delete");
    }
}

TEST_F(DataModTest, AReadBlockedByAnotherWorkstationTellsOnceThatNothingWasLost) {
    ConnectAll();
    std::filesystem::create_directory(folder.Home() + "/share");
    const std::string shared = folder.Home() + "/share/zlm.dat";
    dm->zlmConn.Close();
    std::filesystem::copy_file(folder.MainDb(), shared);
    ASSERT_TRUE(dm->Connect(dm->zlmConn, dm->BuildConnectionString(shared)));
    db::Connection other;  // another workstation, in the middle of writing
    other.SetConnectionString(dm->BuildConnectionString(shared));
    other.SetSharing(db::FileSharing::Shared);
    other.Open();
    ASSERT_EQ(sqlite3_exec(other.Handle(), "BEGIN EXCLUSIVE; update entity set entity_f1='x'",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    ui::ScriptedCursor cursor;
    ui::CountUserAction();  // the user opens a dialog: two reads of one action
    const auto start = std::chrono::steady_clock::now();
    db::Query q;
    EXPECT_FALSE(dm->openQuery(q, "select * from entity where entity_id=5", "test.first"));
    EXPECT_FALSE(dm->openQuery(q, "select * from dimension", "test.second"));
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(4900));
    EXPECT_LT(waited, std::chrono::milliseconds(8000));
    const std::string told =
        "Another workstation is using the database and kept it locked for too long. Nothing "
        "was lost; please try again.";
    ASSERT_EQ(prompter.Count(), 1u);
    EXPECT_EQ(prompter.Messages()[0].text,
              "Exception occurred in: TDataMod.openQuery > test.first\nException: " + told +
                  "\nselect * from entity where entity_id=5");
    EXPECT_EQ(LogCount(told), 2);
    EXPECT_EQ(cursor.Shapes(),
              (std::vector<ui::CursorShape>{ui::CursorShape::HourGlass, ui::CursorShape::Default}));
    // The user's next action, once the lock is gone, reads.
    ASSERT_EQ(sqlite3_exec(other.Handle(), "ROLLBACK", nullptr, nullptr, nullptr), SQLITE_OK);
    ui::CountUserAction();
    EXPECT_TRUE(dm->openQuery(q, "select * from entity where entity_id=5", "test.third"));
}

}  // namespace
}  // namespace zl
