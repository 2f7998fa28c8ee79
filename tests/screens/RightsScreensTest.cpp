// Rights as a clerk meets them: without right 1 the user group and system user tabs and dialogs
// change nothing (bar his own password); without right 3 no print path shows a report or uses
// a repository path.
#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <filesystem>

#include "core/DataMod.h"
#include "core/Globals.h"
#include "frames/TBrowseFrame.h"
#include "screens/TfrmCompQuest.h"
#include "screens/TfrmInvoice.h"
#include "screens/TfrmOrder.h"
#include "screens/TfrmOrg.h"
#include "screens/TfrmQuestionnaire.h"
#include "screens/TfrmQuotation.h"
#include "screens/TfrmSysUser.h"
#include "screens/TfrmUserGroup.h"
#include "tests/support/FakeReportServer.h"
#include "tests/support/TestDialogs.h"
#include "widgets/DBGrid.h"

namespace zl {
namespace {

using test::WhenModal;

constexpr int kClerks = 9401, kClerk = 9402, kWard = 9403;
const std::string kNoUserRights =
    "You do not have system rights to change users or user groups. Please contact your system "
    "administrator.";

class RightsScreensTest : public test::FrameFixture {
  protected:
    void SetUp() override {
        FrameFixture::SetUp();
        UseDocRepository();
        Exec(
            "insert into entity (entity_id, dimension_id, allow_delete, entity_name, "
            "entity_username, entity_pwd) values (9401, 3, 0, 'Clerks', '', ''), "
            "(9402, 4, 0, 'Clerk', 'clerk', 'old'), (9403, 4, 0, 'Ward', 'ward', 's3cret')");
        Exec(
            "insert into group_right (group_right_id, user_group_id, sys_op_id) values "
            "(9411, 9401, 2)");
        Exec(
            "insert into group_user_link (group_user_link_id, sys_user_id, user_group_id) "
            "values (9412, 9402, 9401)");
        fake = test::FakeReportServer::Create();
        ReportServer = fake->NewClient();
        CurUserId = kClerk;
    }
    // Every user, group, right and membership as stored.
    std::string Users() const {
        return Main(
            "select (select group_concat(entity_id || ':' || entity_name || ':' || "
            "entity_username || ':' || entity_pwd, '|') from entity where dimension_id in (3, "
            "4)) || '#' || (select group_concat(group_right_id || ':' || user_group_id || ':' || "
            "sys_op_id) from group_right) || '#' || (select group_concat(group_user_link_id || "
            "':' || sys_user_id || ':' || user_group_id) from group_user_link)");
    }
    // What a print would use up: the repository counter, the key counter, the files under the
    // repository, the report server's calls.
    std::string PrintTraces() const {
        int files = 0;
        const std::filesystem::path reports = folder.DataFolder() + "doc/reports";
        if (std::filesystem::exists(reports))
            for (const auto& entry : std::filesystem::recursive_directory_iterator(reports))
                files += entry.is_regular_file() ? 1 : 0;
        return Local("select config_doccounter from config") + "/" +
               Main("select next_id from id_control") + "/" + std::to_string(files) + "/" +
               std::to_string(fake->calls.size());
    }
    // `act` shows exactly one "Access denied" box with `text`.
    void ExpectRefused(const std::function<void()>& act, const std::string& text) {
        const std::size_t shown = prompter.Count();
        act();
        ASSERT_EQ(prompter.Count(), shown + 1);
        EXPECT_EQ(prompter.Messages().back().text + "|" + prompter.Messages().back().title,
                  text + "|Access denied");
    }
    com::ComPtr<test::FakeReportServer> fake;
};

struct Entry {
    const char* how;
    std::function<void(TBrowseFrame&)> act;
};

const std::vector<Entry>& EveryEntryPath() {
    static const std::vector<Entry> entries = {
        {"Add button", [](TBrowseFrame& f) { f.findChild<QToolButton*>("btnAdd")->click(); }},
        {"Edit button", [](TBrowseFrame& f) { f.findChild<QToolButton*>("btnEdit")->click(); }},
        {"Delete button", [](TBrowseFrame& f) { f.findChild<QToolButton*>("btnDelete")->click(); }},
        {"Insert key", [](TBrowseFrame& f) { QTest::keyClick(f.grdBrowse, Qt::Key_Insert); }},
        {"Delete key", [](TBrowseFrame& f) { QTest::keyClick(f.grdBrowse, Qt::Key_Delete); }},
        {"double-click", [](TBrowseFrame& f) { emit f.grdBrowse->GridDoubleClicked(); }},
        {"menu Add", [](TBrowseFrame& f) { f.PopupMenu1->actions().at(0)->trigger(); }},
        {"menu Edit", [](TBrowseFrame& f) { f.PopupMenu1->actions().at(1)->trigger(); }},
        {"menu Delete", [](TBrowseFrame& f) { f.PopupMenu1->actions().at(2)->trigger(); }},
    };
    return entries;
}

TEST_F(RightsScreensTest, WithoutRightOneTheUserTabsAndDialogsChangeNothing) {
    // Right 3 too: a delete that got past the tab's own rule would go through.
    Exec(
        "insert into group_right (group_right_id, user_group_id, sys_op_id) values "
        "(9413, 9401, 3)");
    TfrmOrg window;
    window.setCollection(Dimensions);
    window.FinishFill();
    bool opened = false;
    WhenModal<QDialog>([&](QDialog& d) {
        opened = true;
        d.close();
    });
    const std::string before = Users();
    const std::pair<TBrowseFrame*, int> tabs[] = {{window.userGroupFrame, kClerks},
                                                  {window.sysUserFrame, kWard}};
    for (const auto& [frame, row] : tabs) {
        for (const Entry& entry : EveryEntryPath()) {
            SCOPED_TRACE(frame->objectName().toStdString() + " " + entry.how);
            ASSERT_TRUE(frame->qBrowse.Locate("entity_id", {db::Value{row}}));
            ExpectRefused([&] { entry.act(*frame); }, kNoUserRights);
        }
    }
    EXPECT_FALSE(opened);
    // The dialogs refuse by themselves too, and close.
    for (const auto& [mode, record] :
         {std::pair{DimensionTable::Add, 0}, std::pair{DimensionTable::EditRecord, kClerks}})
        ExpectRefused([&] { RunDialog<TfrmUserGroup>(3, mode, record, nullptr); }, kNoUserRights);
    for (const auto& [mode, record] :
         {std::pair{DimensionTable::Add, 0}, std::pair{DimensionTable::EditRecord, kWard}})
        ExpectRefused([&] { RunDialog<TfrmSysUser>(4, mode, record, nullptr); }, kNoUserRights);
    EXPECT_EQ(Users(), before);
}

TEST_F(RightsScreensTest, AClerkOpensHisOwnRowAndChangesOnlyHisPassword) {
    TfrmOrg window;
    window.setCollection(Dimensions);
    window.FinishFill();
    ASSERT_TRUE(window.sysUserFrame->qBrowse.Locate("entity_id", {db::Value{kClerk}}));
    bool shown = false;
    WhenModal<TfrmSysUser>([&](TfrmSysUser& d) {
        shown = true;
        EXPECT_TRUE(d.OwnPasswordOnly());
        for (auto* edit : d.findChildren<widgets::DBEdit*>())
            EXPECT_EQ(edit->isReadOnly(), edit != d.edPassword) << edit->objectName().toStdString();
        EXPECT_FALSE(d.cbGroup->isEnabled());
        d.edPassword->selectAll();
        QTest::keyClick(d.edPassword, Qt::Key_Backspace);
        QTest::keyClicks(d.edPassword, "new");
        // A tick forced on the list all the same changes no membership.
        for (int i = 0; i < d.cbGroup->count(); ++i)
            d.cbGroup->item(i)->setCheckState(Qt::Checked);
        d.btnOK->click();
    });
    emit window.sysUserFrame->grdBrowse->GridDoubleClicked();
    EXPECT_TRUE(shown);
    EXPECT_EQ(prompter.Count(), 0u);
    EXPECT_EQ(Main("select entity_pwd <> 'old' and entity_username = 'clerk' and entity_name = "
                   "'Clerk' from entity where entity_id=9402"),
              "1");
    EXPECT_EQ(Main("select group_concat(user_group_id) from group_user_link where sys_user_id=" +
                   std::to_string(kClerk)),
              std::to_string(kClerks));
    EXPECT_EQ(Local("select group_concat(audit_descr || '/' || audit_extra, '|') from audit"),
              "Password changed/clerk");
}

TEST_F(RightsScreensTest, WithoutRightThreeNoPrintPathUsesARepositoryPathOrShowsAReport) {
    Exec("insert into entity (entity_id, dimension_id, entity_name) values (9001, 1, 'Acme')");
    Exec(
        "insert into zlm_doc (zlm_doc_id, dimension_id, customer_id, bus_unit_id) values "
        "(8001, 6, 9001, 3), (8002, 7, 9001, 3), (8003, 8, 9001, 3)");
    Exec(
        "insert into questionnaire (questionnaire_id, dimension_id, questionnaire_name) values "
        "(9500, 33, 'Survey')");
    Exec(
        "insert into quest_section (quest_section_id, questionnaire_id, dimension_id, "
        "quest_section_caption, quest_section_dispord) values (9510, 9500, 34, 'About you', 1)");
    Exec(
        "insert into question (question_id, quest_section_id, dimension_id, question_type, "
        "question_prompt, question_dispord) values (9511, 9510, 35, 0, 'Your name', 1)");
    Exec(
        "insert into comp_quest (comp_quest_id, questionnaire_id, customer_id, dimension_id, "
        "comp_quest_date, comp_quest_time) values (9700, 9500, 9001, 37, "
        "'2024-01-10 00:00:00', '09:30')");

    int refused = 0;
    // Runs a click that prints and checks that it was refused and left no trace.
    const auto print = [&](const std::function<void()>& click) {
        ++refused;
        const std::string before = PrintTraces();
        ExpectRefused(click, "You do not have system permissions to view reports.");
        EXPECT_EQ(PrintTraces(), before);
    };
    TBrowseFrame quotations;  // Acme's, as the customers window lists them
    quotations.bindDimension(Dimensions->Find(6), nullptr);
    quotations.setParentID(9001);
    quotations.FinishFill();
    print([&] { quotations.Print->trigger(); });
    print([&] { quotations.printButton->trigger(); });
    const auto document = [&](auto&& dialog, int kind, int id) {
        Target(kind, DimensionTable::EditRecord, id);
        ExecWith(dialog, [&](DocumentDialog& d) {
            print([&] { d.btnPrint->click(); });
            print([&] { d.btnBOM->click(); });
            d.btnOK->click();
        });
    };
    document(TfrmQuotation(), 6, 8001);
    document(TfrmOrder(), 7, 8002);
    document(TfrmInvoice(), 8, 8003);
    RunDialog<TfrmQuestionnaire>(33, DimensionTable::EditRecord, 9500, [&](TfrmQuestionnaire& d) {
        print([&] { d.btnPrint->click(); });
        d.btnOK->click();
    });
    {
        TfrmCompQuest window;
        Dimensions->Find(37)->SetParentId(9001);
        Target(37, DimensionTable::EditRecord, 9700);
        std::function<void(TfrmCompQuest&)> whenStarted = [&](TfrmCompQuest& w) {
            if (!w.Started()) {
                WhenModal<TfrmCompQuest>(whenStarted);
                return;
            }
            print([&] { w.btnPrint->click(); });
            print([&] { w.btnPrintBlank->click(); });
            w.close();
        };
        WhenModal<TfrmCompQuest>(whenStarted);
        window.exec();
    }
    EXPECT_EQ(refused, 11);

    // With the right the same list prints: the traces above would have shown a print.
    CurUserId = 2;
    quotations.Print->trigger();
    EXPECT_EQ(fake->calls.size(), 1u);
}

}  // namespace
}  // namespace zl
