// The records of a new completed questionnaire: one comp_quest row and one answer row per
// question with its starting answer, all or nothing.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/DataMod.h"
#include "core/Questionnaire.h"
#include "platform/db/Connection.h"
#include "platform/db/Query.h"
#include "platform/format/Format.h"
#include "tests/support/CoreFixture.h"

namespace zl {
namespace {

constexpr int kQuest = 9001;
constexpr int kCustomer = 9201;

using Row = std::vector<std::string>;
using Rows = std::vector<Row>;

class QuestionnaireTest : public test::CoreFixture {
  protected:
    void SetUp() override {
        ConnectAll();
        Exec(
            "insert into questionnaire (questionnaire_id, questionnaire_name) values (9001, "
            "'Health check')");
    }

    void AddSection(int id, int dispord) {
        Exec(
            "insert into quest_section (quest_section_id, questionnaire_id, quest_section_dispord) "
            "values (" +
            std::to_string(id) + ", 9001, " + std::to_string(dispord) + ")");
    }

    void AddQuestion(int id, int section, int dispord, int type, const std::string& def,
                     double min) {
        Exec(
            "insert into question (question_id, quest_section_id, question_dispord, "
            "question_type, question_default, question_min) values (" +
            std::to_string(id) + ", " + std::to_string(section) + ", " + std::to_string(dispord) +
            ", " + std::to_string(type) + ", '" + def + "', " + format::FloatToStr(min) + ")");
    }

    Rows Read(const std::string& sql) const { return StoredRows(folder.MainDb(), sql); }

    int Count(const std::string& table) const {
        return std::stoi(Stored(folder.MainDb(), "select count(*) from " + table));
    }

    void ClearErrorLog() const { std::remove((folder.DataFolder() + "zlm.err.log").c_str()); }

    static std::string Now() { return format::FormatDateTime("hh:mm", format::Now()); }
};

// Two sections stored against their display order, questions likewise, every question type.
TEST_F(QuestionnaireTest, AppendsOneAnswerPerQuestionWithItsStartingAnswer) {
    AddSection(9102, 2);
    AddSection(9101, 1);
    AddQuestion(9304, 9101, 2, 1, "", 2.5);
    AddQuestion(9303, 9101, 1, 0, "Fine, thanks", 0);
    AddQuestion(9302, 9102, 3, 3, "", 0);
    AddQuestion(9301, 9102, 1, 2, "", 0);
    AddQuestion(9305, 9102, 2, 7, "unused", 4);
    const std::string today = format::FormatDateTime("yyyy/MM/dd", format::Date());
    const std::string before = Now();

    Questionnaire quest;
    ASSERT_TRUE(quest.Open(kQuest, kCustomer));
    ASSERT_TRUE(quest.appendCompleted());
    const std::string after = Now();

    const Rows comp = Read(
        "select comp_quest_id, questionnaire_id, customer_id, dimension_id, allow_delete, "
        "comp_quest_date, comp_quest_time from comp_quest");
    ASSERT_EQ(comp.size(), 1u);
    const std::string compId = comp[0][0];
    EXPECT_EQ(quest.qCompQuest.FieldByName("comp_quest_id").AsString(), compId);
    EXPECT_TRUE(comp[0][6] == before || comp[0][6] == after) << comp[0][6];
    // A date alone reads without a time: comp_quest_date is today at midnight.
    EXPECT_EQ(comp[0], (Row{compId, "9001", "9201", "37", "0", today, comp[0][6]}));

    const Rows answers = Read(
        "select answer_id, comp_quest_id, question_id, quest_section_id, dimension_id, "
        "choice_id, allow_delete, answer_text, answer_completed, answer_comptime from answer "
        "order by answer_id");
    ASSERT_EQ(answers.size(), 5u);
    const Rows expected = {
        {compId, "9303", "9101", "38", "0", "0", "Fine, thanks", "0"},
        {compId, "9304", "9101", "38", "0", "0", "2.5", "0"},
        {compId, "9301", "9102", "38", "0", "0", today, "0"},
        {compId, "9305", "9102", "38", "0", "0", "[no value]", "0"},
        {compId, "9302", "9102", "38", "0", "0", "[no value]", "0"},
    };
    int previousKey = std::stoi(compId);
    for (std::size_t i = 0; i < answers.size(); ++i) {
        const Row& a = answers[i];
        EXPECT_EQ(std::stoi(a[0]), previousKey + 1) << "keys rise in display order";
        previousKey = std::stoi(a[0]);
        EXPECT_EQ(Row(a.begin() + 1, a.end() - 1), expected[i]) << i;
        EXPECT_TRUE(a.back() == before || a.back() == after) << a.back();
    }
    // One key each, none wasted.
    EXPECT_EQ(Stored(folder.MainDb(), "select next_id from id_control"), answers.back()[0]);
    EXPECT_EQ(ErrorLog(), "");
}

TEST_F(QuestionnaireTest, WithoutQuestionsOnlyTheCompletedRowIsWritten) {
    struct Case {
        const char* name;
        bool emptySection;
    };
    for (const Case& c : {Case{"no sections", false}, Case{"an empty section", true}}) {
        SCOPED_TRACE(c.name);
        Exec("delete from comp_quest");
        if (c.emptySection)
            AddSection(9101, 1);
        Questionnaire quest;
        ASSERT_TRUE(quest.Open(kQuest, kCustomer));
        ASSERT_TRUE(quest.appendCompleted());
        EXPECT_EQ(Read("select questionnaire_id, customer_id from comp_quest"),
                  (Rows{{"9001", "9201"}}));
        EXPECT_EQ(Count("answer"), 0);
    }
    EXPECT_EQ(ErrorLog(), "");
}

// A failure part-way leaves nothing behind, is logged once after the rollback, and the next
// attempt starts clean.
TEST_F(QuestionnaireTest, AFailurePartWayStoresNothing) {
    struct Case {
        const char* name;
        std::string breakIt;
        const char* mendIt;
        const char* logged;
    };
    const Case cases[] = {
        {"a default too wide for the answer",
         "update question set question_default='" + std::string(251, 'x') +
             "' where question_id=9304",
         "update question set question_default='x' where question_id=9304",
         "Questionnaire.appendCompleted;The field 'answer_text' is too small to accept the "
         "amount of data you attempted to add (at most 250 characters). Try inserting or "
         "pasting less data.;\r\n"},
        {"the third answer refused",
         "create trigger third_answer before insert on answer when (select count(*) from "
         "answer where comp_quest_id=new.comp_quest_id)=2 begin select raise(abort, "
         "'database or disk is full'); end",
         "drop trigger third_answer",
         "Questionnaire.appendCompleted;database or disk is full;\r\n"},
    };
    AddSection(9101, 1);
    AddSection(9102, 2);
    AddQuestion(9301, 9101, 1, 0, "a", 0);
    AddQuestion(9302, 9101, 2, 1, "", 3);
    AddQuestion(9303, 9102, 1, 2, "", 0);
    AddQuestion(9304, 9102, 2, 0, "", 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClearErrorLog();
        Exec(c.breakIt);
        bool inTransaction = true;
        prompter.onShow = [&](const ui::Message&) { inTransaction = dm->zlmConn.InTransaction(); };
        const std::size_t boxes = prompter.Count();
        Questionnaire quest;
        ASSERT_TRUE(quest.Open(kQuest, kCustomer));
        EXPECT_FALSE(quest.appendCompleted());
        prompter.onShow = nullptr;
        EXPECT_EQ(Count("comp_quest"), 0);
        EXPECT_EQ(Count("answer"), 0);
        EXPECT_EQ(ErrorLog(), c.logged);
        EXPECT_EQ(prompter.Count(), boxes + 1);
        EXPECT_FALSE(inTransaction);
        EXPECT_FALSE(dm->zlmConn.InTransaction());
        EXPECT_FALSE(quest.qCompQuest.Active());

        Exec(c.mendIt);
        EXPECT_TRUE(quest.appendCompleted());
        EXPECT_EQ(Count("comp_quest"), 1);
        EXPECT_EQ(Count("answer"), 4);
        Exec("delete from answer");
        Exec("delete from comp_quest");
    }
}

TEST_F(QuestionnaireTest, NothingIsAppendedWithoutAnOpenQuestionnaire) {
    struct Case {
        const char* name;
        int questId;
        const char* logged;
    };
    const Case cases[] = {
        {"never opened", 0, "Questionnaire.appendCompleted;No questionnaire is open.;\r\n"},
        {"no such questionnaire", 9999,
         "Questionnaire.Open;There is no questionnaire 9999.;\r\n"
         "Questionnaire.appendCompleted;No questionnaire is open.;\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClearErrorLog();
        Questionnaire quest;
        if (c.questId != 0) {
            EXPECT_FALSE(quest.Open(c.questId, kCustomer));
        }
        EXPECT_FALSE(quest.appendCompleted());
        EXPECT_EQ(ErrorLog(), c.logged);
        EXPECT_EQ(Count("comp_quest"), 0);
    }
}

// A failed open leaves no sections of an earlier questionnaire to append to.
TEST_F(QuestionnaireTest, AFailedOpenForgetsTheQuestionnaireBefore) {
    AddSection(9101, 1);
    Questionnaire quest;
    ASSERT_TRUE(quest.Open(kQuest, kCustomer));
    EXPECT_FALSE(quest.Open(9999, kCustomer));
    EXPECT_FALSE(quest.qSections.Active());
    EXPECT_FALSE(quest.appendCompleted());
    EXPECT_EQ(Count("comp_quest"), 0);
}

}  // namespace
}  // namespace zl
