// The printed questionnaire: the blank and the completed form byte for byte, the cells of the
// grid, failures that end a printout, and the two entry points with the viewer.
#include "reportserver/QuestionnairePrint.h"

#include <QToolButton>
#include <cstdio>
#include <stdexcept>
#include <string>

#include "core/DataMod.h"
#include "reportserver/TfrmReportView.h"
#include "tests/support/QtFixture.h"

namespace zl::reportserver {
namespace {

using test::WhenModal;

// Questionnaire 9001: section "About <you>" with three questions, an empty section, and
// "Numbers", whose answers lie below their prompts. Completed questionnaire 9501 of customer
// 9201 answers all but question 9305 (answered only in another completed questionnaire).
constexpr const char* kQuestionnaire = R"(
INSERT INTO questionnaire (questionnaire_id, questionnaire_name)
    VALUES (9001, 'Health & <b>check</b>');
INSERT INTO quest_section (quest_section_id, questionnaire_id, quest_section_caption,
    quest_section_dispord) VALUES
    (9103, 9001, 'Numbers', 3), (9101, 9001, 'About <you>', 1), (9102, 9001, 'Empty', 2);
INSERT INTO question (question_id, quest_section_id, question_dispord, question_type,
    question_prompt, question_promptrow, question_promptcol, question_answerrow,
    question_answercol, question_promptwidth, question_answerwidth) VALUES
    (9301, 9101, 1, 0, 'Name <i>in full</i>', 1, 1, 1, 2, 30, 5),
    (9302, 9101, 2, 3, 'Smoker?', 2, 1, 2, 2, 40, 3),
    (9303, 9101, 3, 3, 'Drinks?', 3, 1, 3, 2, 25, 4),
    (9304, 9103, 1, 1, 'Weight', 1, 1, 2, 1, 50, 6),
    (9305, 9103, 2, 0, 'Notes', 1, 2, 2, 3, 20, 2);
INSERT INTO choice (choice_id, question_id, choice_value) VALUES (9401, 9302, 'Yes & <more>');
INSERT INTO entity (entity_id, dimension_id, entity_fullname) VALUES (9201, 1, 'Smith & <Sons>');
INSERT INTO comp_quest (comp_quest_id, questionnaire_id, customer_id, comp_quest_date)
    VALUES (9501, 9001, 9201, '2024-03-05 14:07:09');
INSERT INTO answer (answer_id, comp_quest_id, question_id, choice_id, answer_text) VALUES
    (9601, 9501, 9301, 0, 'Jane <b>Doe</b>'),
    (9602, 9501, 9302, 9401, '[no value]'),
    (9603, 9501, 9303, 0, '[no value]'),
    (9604, 9501, 9304, 0, '72.5'),
    (9605, 9502, 9305, 0, 'another visit');
)";

std::string Prompt(int width, const std::string& text) {
    return "<td width=\"" + std::to_string(width) + "%\"><font face=\"arial\" size=\"2\">" + text +
           "</font></td>\r\n";
}

std::string Blank(int underscores) {
    return "<td>\r\n" + std::string(underscores, '_') + "</td>\r\n";
}

std::string Tr(const std::string& cells) {
    return "<tr>\r\n" + cells + "</tr>\r\n";
}

std::string Section(const std::string& caption, const std::string& rows) {
    return "<hr><font face=\"arial\" size=\"2\"><b>" + caption + "</b></font><br>\r\n" +
           "<table width=\"100%\" border=\"0\">\r\n" + rows + "</table>\r\n<hr>\r\n";
}

std::string BlankHead(const std::string& title) {
    return "<html>\r\n<head>\r\n<font face=\"arial\" size=\"3\"><b>" + title +
           "</b></font><br>\r\n";
}

std::string CompletedHead(const std::string& title, const std::string& date) {
    return "<html>\r\n<head>\r\n<font face=\"arial\" size=\"3\"><b>" + title +
           "</b></font><br><br>\r\n"
           "<font face=\"arial\" size=\"2\"><b>Customer name: </b>Smith &amp; "
           "&lt;Sons&gt;</b></font>"
           "<br><br>\r\n"
           "<font face=\"arial\" size=\"2\"><b>Questionnaire date: </b>" +
           date + "</b></font><br><br>\r\n";
}

constexpr const char* kEnd = "</body>\r\n</html>\r\n";

const std::string kBlank =
    BlankHead("Health &amp; &lt;b&gt;check&lt;/b&gt;") +
    Section("About &lt;you&gt;", Tr(Prompt(30, "Name &lt;i&gt;in full&lt;/i&gt;") + Blank(5)) +
                                     Tr(Prompt(40, "Smoker?") + Blank(3)) +
                                     Tr(Prompt(25, "Drinks?") + Blank(4))) +
    Section("Empty", "") +
    Section("Numbers", Tr(Prompt(50, "Weight") + Prompt(20, "Notes") + Blank(0)) +
                           Tr(Blank(6) + Blank(0) + Blank(2))) +
    kEnd;

const std::string kCompleted =
    CompletedHead("Health &amp; &lt;b&gt;check&lt;/b&gt;", "2024/03/05 14:07:09") +
    Section("About &lt;you&gt;",
            Tr(Prompt(30, "Name &lt;i&gt;in full&lt;/i&gt;") +
               Prompt(30, "Jane &lt;b&gt;Doe&lt;/b&gt;")) +
                Tr(Prompt(40, "Smoker?") + Prompt(40, "Yes &amp; &lt;more&gt;")) +
                Tr(Prompt(25, "Drinks?") + Blank(4))) +
    Section("Empty", "") +
    Section("Numbers", Tr(Prompt(50, "Weight") + Prompt(20, "Notes") + Blank(0)) +
                           Tr(Prompt(50, "72.5") + Blank(0) + Blank(2))) +
    kEnd;

class QuestionnairePrintTest : public test::QtFixture {
  protected:
    void SetUp() override {
        ConnectAll();
        ASSERT_TRUE(dm->openQuery(dm->repConn, dm->qSynonym, "test", "select * from synonym"));
        dm->zlmConn.ExecuteScript(kQuestionnaire);
        page = folder.DataFolder() + "questionnaire.html";
    }

    void Exec(const std::string& sql) { dm->zlmConn.Execute(sql); }

    std::string PrintBlank(int questId) {
        std::filesystem::remove(page);  // each printout is a new file
        QuestionnairePrinter printer;
        EXPECT_TRUE(printer.Open(questId, 0));
        printer.printBlank(page);
        EXPECT_FALSE(printer.Writer.hasStream());
        return test::ReadFile(page);
    }

    // Questions, as the values of question rows, in the section "Empty" of questionnaire 9001.
    void FillEmptySection(const std::string& values) {
        Exec(
            "insert into question (question_id, quest_section_id, question_dispord, "
            "question_type, question_prompt, question_promptrow, question_promptcol, "
            "question_answerrow, question_answercol, question_promptwidth, question_answerwidth) "
            "values " +
            values);
    }

    // The blank form of questionnaire 9001 with these rows in its section "Empty".
    static std::string BlankWithEmptySection(const std::string& rows) {
        std::string expected = kBlank;
        const std::string empty = Section("Empty", "");
        return expected.replace(expected.find(empty), empty.size(), Section("Empty", rows));
    }

    std::string PrintCompleted(int compQuestId) {
        std::filesystem::remove(page);
        QuestionnairePrinter printer;
        printer.openCompleted(compQuestId);
        printer.printCompleted(page);
        EXPECT_FALSE(printer.Writer.hasStream());
        return test::ReadFile(page);
    }

    std::string page;
};

TEST_F(QuestionnairePrintTest, BlankFormByteForByte) {
    EXPECT_EQ(PrintBlank(9001), kBlank);
    EXPECT_EQ(ErrorLog(), "");
}

TEST_F(QuestionnairePrintTest, CompletedFormByteForByte) {
    EXPECT_EQ(PrintCompleted(9501), kCompleted);
    EXPECT_EQ(ErrorLog(), "");
}

TEST_F(QuestionnairePrintTest, WithoutSectionsOnlyTheHeadingsArePrinted) {
    Exec("delete from quest_section");
    Exec("update questionnaire set questionnaire_name='Bare'");
    EXPECT_EQ(PrintBlank(9001), BlankHead("Bare") + kEnd);
    EXPECT_EQ(PrintCompleted(9501), CompletedHead("Bare", "2024/03/05 14:07:09") + kEnd);
}

// A cell that holds no prompt takes its width and its underscores from the first question in
// display order whose answer lies there; a position that is no question's answer position is
// an empty answer blank.
TEST_F(QuestionnairePrintTest, CellsTakeTheirSizesFromTheQuestionAnsweredThere) {
    dm->zlmConn.ExecuteScript(R"(
        INSERT INTO questionnaire (questionnaire_id, questionnaire_name) VALUES (9002, 'Grid');
        INSERT INTO quest_section (quest_section_id, questionnaire_id, quest_section_caption,
            quest_section_dispord) VALUES (9111, 9002, 'Cells', 1);
        INSERT INTO question (question_id, quest_section_id, question_dispord, question_type,
            question_prompt, question_promptrow, question_promptcol, question_answerrow,
            question_answercol, question_promptwidth, question_answerwidth) VALUES
            (9312, 9111, 1, 0, 'P1', 1, 1, 1, 2, 10, 3),
            (9311, 9111, 2, 0, 'P2', 1, 1, 1, 2, 90, 7),
            (9313, 9111, 3, 0, '', 2, 1, 2, 1, 15, 4),
            (9314, 9111, 4, 0, 'P4', 3, 2, 3, 1, 35, -2);
        INSERT INTO comp_quest (comp_quest_id, questionnaire_id, customer_id, comp_quest_date)
            VALUES (9511, 9002, 9201, '2024-03-05 00:00:00');
        INSERT INTO answer (answer_id, comp_quest_id, question_id, choice_id, answer_text) VALUES
            (9611, 9511, 9311, 0, 'A2'),
            (9612, 9511, 9312, 0, 'A1'),
            (9613, 9511, 9313, 0, ''),
            (9614, 9511, 9314, 0, 'A4');
    )");
    EXPECT_EQ(PrintBlank(9002),
              BlankHead("Grid") +
                  Section("Cells", Tr(Prompt(10, "P1") + Blank(3)) + Tr(Blank(4) + Blank(0)) +
                                       Tr(Blank(0) + Prompt(35, "P4"))) +
                  kEnd);
    // A date at midnight prints without a time.
    EXPECT_EQ(
        PrintCompleted(9511),
        CompletedHead("Grid", "2024/03/05") +
            Section("Cells", Tr(Prompt(10, "P1") + Prompt(10, "A1")) + Tr(Blank(4) + Blank(0)) +
                                 Tr(Prompt(35, "A4") + Prompt(35, "P4"))) +
            kEnd);
}

// Of a run of empty rows or columns between questions only three print: a question placed far
// out adds a few cells, not millions; none print before the first question.
TEST_F(QuestionnairePrintTest, AFarQuestionAddsOnlyAFewEmptyRowsAndColumns) {
    FillEmptySection(
        "(9306, 9102, 1, 0, 'Far & wide', 99998, 999999, 99999, 999999, 10, 3), "
        "(9307, 9102, 2, 0, 'Near', 1, 1, 1, 2, 20, 4)");
    const std::string printed = PrintBlank(9001);
    const std::string spacers = Blank(0) + Blank(0) + Blank(0);
    const std::string emptyRow = Tr(Blank(0) + Blank(0) + spacers + Blank(0));
    EXPECT_EQ(printed,
              BlankWithEmptySection(
                  Tr(Prompt(20, "Near") + Blank(4) + spacers + Blank(0)) + emptyRow + emptyRow +
                  emptyRow + Tr(Blank(0) + Blank(0) + spacers + Prompt(10, "Far &amp; wide")) +
                  Tr(Blank(0) + Blank(0) + spacers + Blank(3))));
    EXPECT_LT(printed.size(), 4096u);
    // Alone in its section, it prints as its own two cells.
    Exec("delete from question where question_id=9307");
    EXPECT_EQ(PrintBlank(9001),
              BlankWithEmptySection(Tr(Prompt(10, "Far &amp; wide")) + Tr(Blank(3))));
}

// A multiple-choice question without a chosen value prints as unanswered; without a choice id
// nothing is looked up in choice at all (the table is gone in those cases).
TEST_F(QuestionnairePrintTest, AMultipleChoiceAnswerWithoutAChoiceIsABlank) {
    struct Case {
        const char* name;
        const char* change;
        bool choiceTableGone;
    };
    const Case cases[] = {
        {"choice 0", "update answer set choice_id=0 where answer_id=9602", true},
        {"no answer row", "delete from answer where answer_id=9602", true},
        {"no choice row", "update answer set choice_id=9499 where answer_id=9602", false},
    };
    const std::string smoker = Prompt(40, "Smoker?") + Blank(3) + "</tr>\r\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Exec(c.change);
        if (c.choiceTableGone)
            Exec("alter table choice rename to choice_gone");
        const std::string printed = PrintCompleted(9501);
        EXPECT_NE(printed.find(smoker), std::string::npos) << printed;
        EXPECT_EQ(printed.find("Yes &amp; &lt;more&gt;"), std::string::npos);
        EXPECT_EQ(ErrorLog(), "");
        if (c.choiceTableGone)
            Exec("alter table choice_gone rename to choice");
        Exec("delete from answer where answer_id=9602");
        Exec(
            "insert into answer (answer_id, comp_quest_id, question_id, choice_id) values "
            "(9602, 9501, 9302, 9401)");
    }
    EXPECT_EQ(PrintCompleted(9501), kCompleted);
}

// Whatever ends a printout raises, with the file closed; what was written stays.
TEST_F(QuestionnairePrintTest, AFailureEndsThePrintoutWithTheFileClosed) {
    {
        SCOPED_TRACE("file cannot be created");
        QuestionnairePrinter printer;
        ASSERT_TRUE(printer.Open(9001, 0));
        const std::string missing = folder.Home() + "/missing/q.html";
        EXPECT_THROW(printer.printBlank(missing), std::exception);
        EXPECT_FALSE(printer.Writer.hasStream());
        EXPECT_EQ(ErrorLog().rfind("ReportBase.createHTML;", 0), 0u) << ErrorLog();
    }
    {
        SCOPED_TRACE("answers cannot be read");
        Exec("alter table answer rename to answer_gone");
        QuestionnairePrinter printer;
        printer.openCompleted(9501);
        try {
            printer.printCompleted(page);
            ADD_FAILURE() << "printed without answers";
        } catch (const std::exception& e) {
            EXPECT_STREQ(e.what(), "Cannot perform this operation on a closed dataset");
        }
        EXPECT_FALSE(printer.Writer.hasStream());
        EXPECT_NE(ErrorLog().find("\r\nTDataMod.openQuery > Questionnaire.getCellValue;"),
                  std::string::npos)
            << ErrorLog();
        const std::string written = test::ReadFile(page);
        EXPECT_EQ(
            written.rfind(
                CompletedHead("Health &amp; &lt;b&gt;check&lt;/b&gt;", "2024/03/05 14:07:09"), 0),
            0u);
        EXPECT_EQ(written.find("</html>"), std::string::npos);
        Exec("alter table answer_gone rename to answer");
    }
    {
        SCOPED_TRACE("no such completed questionnaire");
        QuestionnairePrinter printer;
        try {
            printer.openCompleted(9599);
            ADD_FAILURE() << "opened";
        } catch (const std::exception& e) {
            EXPECT_STREQ(e.what(), "There is no completed questionnaire 9599.");
        }
        const std::string log = ErrorLog();
        EXPECT_NE(log.find("\r\nQuestionnaire.openCompleted;There is no completed questionnaire "
                           "9599.;\r\n"),
                  std::string::npos)
            << log;
    }
}

// The entry points write the page and show it in the viewer, without CSV and e-mail.
TEST_F(QuestionnairePrintTest, EntryPointsShowThePageInTheViewer) {
    struct Case {
        const char* name;
        void (*print)(int, const std::string&);
        int id;
        const std::string& expected;
    };
    const Case cases[] = {
        {"blank", PrintBlankQuestionnaire, 9001, kBlank},
        {"completed", PrintCompletedQuestionnaire, 9501, kCompleted},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::remove(page.c_str());
        bool shown = false;
        bool csvEnabled = true;
        bool emailVisible = true;
        std::string onPage;
        WhenModal<TfrmReportView>([&](TfrmReportView& v) {
            shown = true;
            csvEnabled = v.btnCSV->isEnabled();
            emailVisible = v.btnSendEmail->isVisible();
            onPage = test::ReadFile(page);
            v.btnClose->click();
        });
        c.print(c.id, page);
        EXPECT_TRUE(shown);
        EXPECT_FALSE(csvEnabled);
        EXPECT_FALSE(emailVisible);
        EXPECT_EQ(onPage, c.expected) << "written in full before the viewer shows";
    }
    EXPECT_EQ(ErrorLog(), "");
}

// A printout that fails raises before any viewer is made: a viewer would wait here for ever.
TEST_F(QuestionnairePrintTest, EntryPointsRaiseWithoutTheViewer) {
    struct Case {
        const char* name;
        void (*print)(int, const std::string&);
        const char* message;
    };
    const Case cases[] = {
        {"blank", PrintBlankQuestionnaire, "Questionnaire 9599 could not be opened."},
        {"completed", PrintCompletedQuestionnaire, "There is no completed questionnaire 9599."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            c.print(9599, page);
            ADD_FAILURE() << "printed";
        } catch (const std::exception& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

// An empty column between prompt and answer, or an empty row between two questions, is part of
// the layout and prints as empty cells.
TEST_F(QuestionnairePrintTest, ASpacerRowAndColumnBetweenQuestionsPrint) {
    FillEmptySection(
        "(9321, 9102, 1, 0, 'First', 1, 1, 1, 3, 30, 5), "
        "(9322, 9102, 2, 0, 'Second', 3, 1, 3, 3, 40, 4)");
    EXPECT_EQ(PrintBlank(9001),
              BlankWithEmptySection(Tr(Prompt(30, "First") + Blank(0) + Blank(5)) +
                                    Tr(Blank(0) + Blank(0) + Blank(0)) +
                                    Tr(Prompt(40, "Second") + Blank(0) + Blank(4))));
}

}  // namespace
}  // namespace zl::reportserver
