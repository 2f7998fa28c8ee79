// Every member of the report server, found by name and called through IDispatch::Invoke on the
// loaded library, as a script or another program would: results and error results.
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/com/Bstr.h"
#include "platform/com/ErrorInfo.h"
#include "platform/com/Registry.h"
#include "tests/support/Dispatch.h"
#include "tests/support/FakeReportServer.h"
#include "tests/support/QtFixture.h"

namespace zl::reportserver {
namespace {

using namespace com;

// Clicks the button named `button` in the next modal window, or closes it without one, and
// remembers its caption. The library has its own copy of its window classes, so they are found
// by what they show, not by type.
void AnswerNextModal(std::vector<std::string>& captions, const char* button = nullptr,
                     int triesLeft = 500) {
    QTimer::singleShot(10, test::TestScope(), [button, &captions, triesLeft] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            captions.push_back(modal->windowTitle().toStdString());
            if (auto* target = button ? modal->findChild<QPushButton*>(button) : nullptr)
                target->click();
            else
                modal->close();
            return;
        }
        if (triesLeft > 0)
            AnswerNextModal(captions, button, triesLeft - 1);
    });
}

// A quotation with one line, a questionnaire with one question and a completed one.
constexpr const char* kData = R"(
INSERT INTO entity (entity_id, dimension_id, parent_id, entity_name, entity_email) VALUES
    (3001, 1, 0, 'Harrow Foods', 'office@harrow.example');
INSERT INTO zlm_doc (zlm_doc_id, dimension_id, customer_id, bus_unit_id, zlm_doc_ref,
                     zlm_doc_date) VALUES (3002, 6, 3001, 3, 'Q-3002', '2026-01-10 00:00:00');
INSERT INTO doc_item (doc_item_id, zlm_doc_id, dimension_id, doc_item_code, doc_item_descr,
                      doc_item_qty, doc_item_rate, doc_item_total) VALUES
    (3003, 3002, 24, 'C-1', 'Widget', 2, 10, 20);
INSERT INTO questionnaire (questionnaire_id, dimension_id, questionnaire_name) VALUES
    (3010, 33, 'Service check');
INSERT INTO quest_section (quest_section_id, questionnaire_id, quest_section_caption,
                           quest_section_dispord) VALUES (3011, 3010, 'General', 1);
INSERT INTO question (question_id, quest_section_id, question_type, question_prompt,
                      question_dispord, question_promptrow, question_promptcol,
                      question_answerrow, question_answercol, question_promptwidth,
                      question_answerwidth) VALUES (3012, 3011, 0, 'Name:', 1, 1, 1, 1, 2, 30, 20);
INSERT INTO comp_quest (comp_quest_id, questionnaire_id, customer_id, dimension_id,
                        comp_quest_date) VALUES (3013, 3010, 3001, 37, '2026-01-12 00:00:00');
INSERT INTO answer (answer_id, comp_quest_id, question_id, answer_text) VALUES
    (3014, 3013, 3012, 'Ann');
)";

class MembersByNameTest : public test::QtFixture, public test::Dispatch {
  protected:
    void SetUp() override {
        ASSERT_EQ(RegisterServerLibrary(ZELMAR_REPORTSERVER_PATH), S_OK);
        server = test::CreateReportObject();
        ASSERT_TRUE(server);
        object = server.Get();
        db::Connection main;
        main.SetConnectionString("Data Source=" + folder.MainDb());
        main.Open();
        main.ExecuteScript(kData);
        ASSERT_EQ(Call(u"Connect", {Str(Conn(folder.MainDb())), Str(Conn(folder.MetaDb())),
                                    Str(Conn(folder.LocalDb()))}),
                  S_OK);
    }

    std::string Conn(const std::string& path) const { return dm->BuildConnectionString(path); }
    std::string Page(const char* name) const { return folder.DataFolder() + name; }

    ComPtr<IReportObject> server;
    std::vector<std::string> shown;
};

TEST_F(MembersByNameTest, TheReportsAndPrintoutsWriteTheirPagesAndShowThem) {
    AnswerNextModal(shown);
    EXPECT_EQ(Call(u"ShowReport", {I4(1), I4(3), I4(2), I4(3002), Str(Page("quotation.html"))}),
              S_OK);
    AnswerNextModal(shown);
    EXPECT_EQ(Call(u"PrintBlankQuestionnaire", {I4(3010), I4(0), Str(Page("blank.html"))}), S_OK);
    AnswerNextModal(shown);
    EXPECT_EQ(Call(u"PrintCompletedQuestionnaire", {I4(3013), I4(0), Str(Page("completed.html"))}),
              S_OK);
    EXPECT_EQ(shown, (std::vector<std::string>{"Report viewer", "Report viewer", "Report viewer"}));
    EXPECT_NE(test::ReadFile(Page("quotation.html")).find("Widget"), std::string::npos);
    EXPECT_NE(test::ReadFile(Page("blank.html")).find("Service check"), std::string::npos);
    EXPECT_NE(test::ReadFile(Page("completed.html")).find("Ann"), std::string::npos);
    EXPECT_EQ(ErrorLog(), "");
}

TEST_F(MembersByNameTest, TheOtherMembersGiveTheirResults) {
    VARIANT result{};
    EXPECT_EQ(Call(u"GetContactEMail", {I4(3001), I4(0)}, &result), S_OK);
    ASSERT_EQ(result.vt, VT_BSTR);
    EXPECT_EQ(FromBstr(result.bstrVal), "office@harrow.example");
    VariantClear(result);

    EXPECT_EQ(
        Call(u"CopyRecord", {Str("zlm_doc"), Str("customer_id"), I4(3002), I4(3001)}, &result),
        S_OK);
    ASSERT_EQ(result.vt, VT_I4);
    EXPECT_GT(result.lVal, 0);
    EXPECT_NE(result.lVal, 3002);
    EXPECT_EQ(
        Main("select zlm_doc_ref from zlm_doc where zlm_doc_id=" + std::to_string(result.lVal)),
        "Q-3002");

    EXPECT_EQ(Call(u"ProcessTemplate", {I4(1), I4(0), I4(0), Str(Page("t.rtf"))}), S_OK);
    EXPECT_FALSE(std::filesystem::exists(Page("t.rtf")));
    // A graph that is not there: nothing to draw, nothing shown.
    EXPECT_EQ(Call(u"PrintGraph", {I4(99), I4(3), I4(0), I4(0), Str("")}), S_OK);
    EXPECT_EQ(Call(u"ShowPlannedWeightLoss", {I4(2), I4(0)}), S_OK);
    EXPECT_EQ(Call(u"Reconnect"), S_OK);
    EXPECT_EQ(Call(u"Disconnect"), S_OK);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(ErrorLog(), "");
}

TEST_F(MembersByNameTest, FailuresComeBackAsErrorResults) {
    // The diet charts ask for their period first; Cancel there shows no chart.
    for (const char16_t* name : {u"ShowNutritionBreakdown", u"ShowCalorieIntakeGraph",
                                 u"ShowExerciseGraph", u"ShowWeightGraph"}) {
        AnswerNextModal(shown, "btnCancel");
        EXPECT_EQ(Call(name, {I4(2), I4(0)}), S_OK);
    }
    EXPECT_EQ(shown, std::vector<std::string>(4, "Report dates"));
    shown.clear();
    // A questionnaire that is not there ends the printout: an error result, no viewer.
    AnswerNextModal(shown);
    EXPECT_EQ(Call(u"PrintCompletedQuestionnaire", {I4(999999), I4(0), Str(Page("none.html"))}),
              DISP_E_EXCEPTION);
    EXPECT_EQ(failure.scode, E_UNEXPECTED);
    EXPECT_TRUE(shown.empty());
    // ShowReport always succeeds: a page that cannot be made, or a run that ends early, is
    // logged (with the report and the file) and nothing is shown.
    EXPECT_EQ(Call(u"ShowReport", {I4(1), I4(3), I4(2), I4(3002), Str(Page("x/none.html"))}), S_OK);
    EXPECT_NE(ErrorLog().find("ReportBase.createHTML;"), std::string::npos);
    db::Connection meta;
    meta.SetConnectionString("Data Source=" + folder.MetaDb());
    meta.Open();
    meta.ExecuteScript(
        "insert into zlm_rep (zlm_rep_id, zlm_rep_table, zlm_rep_htmltitle) values "
        "(990, 'zlm_doc', 'Broken');"
        "insert into rep_section (rep_section_id, zlm_rep_id, rep_section_dispord, "
        "section_type_id, rep_section_table) values (990, 990, 1, 5, 'zlm_doc');"
        "insert into rep_field (rep_field_id, rep_section_id, rep_field_field) values "
        "(990, 990, 'no_such_column');");
    AnswerNextModal(shown);
    EXPECT_EQ(Call(u"ShowReport", {I4(990), I4(3), I4(2), I4(0), Str(Page("broken.html"))}), S_OK);
    EXPECT_TRUE(shown.empty());
    EXPECT_NE(ErrorLog().find("TReportObject.ShowReport;Field 'no_such_column' not found;report "
                              "990, " +
                              Page("broken.html") + "\r\n"),
              std::string::npos)
        << ErrorLog();
    EXPECT_EQ(test::ReadFile(Page("broken.html")).substr(0, 37),
              "<html>\r\n<head>\r\n<title>Broken</title>");  // what was written stays
}

TEST_F(MembersByNameTest, ASecondObjectSharesTheLibrarysDataModule) {
    ComPtr<IReportObject> second = test::CreateReportObject();
    ASSERT_TRUE(second);
    // The first object's connections were not cut by the second one's creation.
    VARIANT result{};
    EXPECT_EQ(Call(u"GetContactEMail", {I4(3001), I4(0)}, &result), S_OK);
    ASSERT_EQ(result.vt, VT_BSTR);
    EXPECT_EQ(FromBstr(result.bstrVal), "office@harrow.example");
    VariantClear(result);
    BSTR address = nullptr;
    EXPECT_EQ(second->GetContactEMail(3001, 0, &address), S_OK);
    EXPECT_EQ(FromBstr(address), "office@harrow.example");
    SysFreeString(address);
}

}  // namespace
}  // namespace zl::reportserver
