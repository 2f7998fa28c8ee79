#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <tuple>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/Globals.h"
#include "core/ReportServer.h"
#include "platform/com/Registry.h"
#include "screens/TfrmChoice.h"
#include "screens/TfrmQuestion.h"
#include "screens/TfrmQuestionnaire.h"
#include "screens/TfrmSection.h"
#include "tests/support/FakeReportServer.h"
#include "tests/support/TestDialogs.h"

namespace zl {
namespace {

using test::WhenModal;

QLineEdit* EditOf(QWidget& dialog, const char* column) {
    auto* edit = dialog.findChild<QLineEdit*>(column);
    EXPECT_NE(edit, nullptr) << column;
    return edit;
}

void Type(QWidget& dialog, const char* column, const QString& text) {
    QLineEdit* edit = EditOf(dialog, column);
    if (!edit)
        return;
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

std::string Shown(QWidget& dialog, const char* column) {
    QLineEdit* edit = EditOf(dialog, column);
    return edit ? edit->text().toStdString() : "<no edit>";
}

constexpr const char* kQuestionColumns =
    "question_dispord || '|' || question_type || '|' || question_name || '|' || "
    "question_promptrow || '|' || question_promptcol || '|' || question_promptwidth || '|' || "
    "question_answerrow || '|' || question_answercol || '|' || question_answerwidth";

class QuestionnaireDesignTest : public test::FrameFixture {
  protected:
    void SetUp() override {
        FrameFixture::SetUp();
        CurBusUnitId = 3;
        UseDocRepository();
    }
    DimensionTable& Dim(int id) { return *Dimensions->Find(id); }

    // A questionnaire 9500 with section 9510 holding a multiple-choice question 9511 (two
    // choices) and a free-text question 9512.
    void StoreSurvey() {
        Exec(
            "insert into questionnaire (questionnaire_id, dimension_id, questionnaire_name) "
            "values (9500, 33, \"Survey\")");
        Exec(
            "insert into quest_section (quest_section_id, questionnaire_id, dimension_id, "
            "quest_section_name, quest_section_dispord, quest_section_weight) values (9510, "
            "9500, 34, \"Service\", 2, 1.5)");
        Exec(
            "insert into question (question_id, quest_section_id, dimension_id, question_type, "
            "question_name, question_dispord, question_promptrow, question_promptcol, "
            "question_promptwidth, question_answerrow, question_answercol, "
            "question_answerwidth) values (9511, 9510, 35, 3, \"Speed\", 7, 4, 3, 20, 5, 6, 30), "
            "(9512, 9510, 35, 0, \"Name\", 2, 2, 1, 50, 2, 2, 50)");
        Exec(
            "insert into choice (choice_id, question_id, dimension_id, choice_text, "
            "choice_score) values (9521, 9511, 36, \"Slow\", 0), (9522, 9511, 36, \"Fast\", "
            "10)");
    }

    // Shows dialog D on `record` of `kind` in the given mode, with `step` acting on it.
    template <class D>
    void Run(int kind, int mode, int record, std::function<void(D&)> step) {
        RunDialog<D>(kind, mode, record, std::move(step));
        Dim(kind).SetEditMode(DimensionTable::None);
    }

    // Adds a child through the list's Add, with `step` acting on the child's dialog.
    template <class D>
    void AddThrough(TchildFrame* list, std::function<void(D&)> step) {
        WhenModal<D>(step);
        list->btnAdd->trigger();
    }

    std::string Question(int id, const char* columns = kQuestionColumns) {
        return Main("select " + std::string(columns) +
                    " from question where question_id=" + std::to_string(id));
    }
    std::string Tree() {
        return Main(
            "select (select group_concat(questionnaire_id || questionnaire_name) from "
            "questionnaire) || '/' || (select group_concat(quest_section_id || "
            "quest_section_name) from quest_section) || '/' || (select group_concat(question_id "
            "|| question_name) from question) || '/' || (select group_concat(choice_id || "
            "choice_text) from choice)");
    }
};

TEST_F(QuestionnaireDesignTest, ANewQuestionnaireIsStoredWithItsOrdersPositionsAndChoices) {
    int questionnaire = 0;
    Run<TfrmQuestionnaire>(33, DimensionTable::Add, 0, [&](TfrmQuestionnaire& q) {
        EXPECT_EQ(q.windowTitle(), "Questionnaire");
        questionnaire = Dim(33).GetRecordId();
        // Stored at show, so that sections can refer to it.
        EXPECT_EQ(Main("select dimension_id from questionnaire where questionnaire_id=" +
                       std::to_string(questionnaire)),
                  "33");
        EXPECT_TRUE(q.sectionFrame->btnAdd->isEnabled());
        EXPECT_FALSE(q.sectionFrame->btnEdit->isEnabled());
        Type(q, "questionnaire_name", "Customer survey");
        AddThrough<TfrmSection>(q.sectionFrame, [&](TfrmSection& s) {
            EXPECT_EQ(s.windowTitle(), "Add new questionnaire section");
            EXPECT_EQ(Shown(s, "quest_section_dispord"), "2");  // the count includes itself
            Type(s, "quest_section_name", "Service");
            Type(s, "quest_section_caption", "Our service");
            AddThrough<TfrmQuestion>(s.questionFrame, [&](TfrmQuestion& d) {
                EXPECT_EQ(d.windowTitle(), "Add new question");
                EXPECT_EQ(d.labChoices->text(), "Question choices: ");
                EXPECT_EQ(d.rgType->ItemIndex(), 0);
                EXPECT_FALSE(d.choiceFrame->isEnabled());
                const std::pair<const char*, const char*> placed[] = {
                    {"question_dispord", "1"},      {"question_promptrow", "1"},
                    {"question_promptcol", "1"},    {"question_promptwidth", "50"},
                    {"question_answerrow", "1"},    {"question_answercol", "2"},
                    {"question_answerwidth", "50"},
                };
                for (const auto& [column, value] : placed)
                    EXPECT_EQ(Shown(d, column), value) << column;
                Type(d, "question_name", "Speed");
                Type(d, "question_prompt", "How fast do we deliver?");
                test::MinimiseAndRestore(d);  // what was typed stays
                d.rgType->Button(3)->click();
                EXPECT_TRUE(d.choiceFrame->isEnabled());
                for (const char* text : {"Slow", "Fast"})
                    AddThrough<TfrmChoice>(d.choiceFrame, [text](TfrmChoice& c) {
                        EXPECT_EQ(c.windowTitle(), "Add new choice");
                        EXPECT_EQ(Shown(c, "choice_score"), "1.00");
                        // Focus reaches an edit only once its dialog is active.
                        ASSERT_TRUE(QTest::qWaitForWindowActive(&c));
                        c.edScore->setFocus();  // three decimals while being edited
                        EXPECT_EQ(Shown(c, "choice_score"), "1.000");
                        c.edText->setFocus();
                        EXPECT_EQ(Shown(c, "choice_score"), "1.00");
                        Type(c, "choice_text", text);
                        Type(c, "choice_value", QString(text).toLower());
                        Type(c, "choice_score", std::string(text) == "Fast" ? "7.125" : "0");
                        test::MinimiseAndRestore(c);  // what was typed stays
                        if (std::string(text) == "Fast")
                            c.choice_isdefault->click();
                        c.btnOK->click();
                    });
                EXPECT_EQ(d.choiceFrame->recordCount(), 2);
                d.btnOK->click();
            });
            AddThrough<TfrmQuestion>(s.questionFrame, [&](TfrmQuestion& d) {
                EXPECT_EQ(Shown(d, "question_dispord"), "2");
                EXPECT_EQ(Shown(d, "question_answerrow"), "2");
                EXPECT_FALSE(d.choiceFrame->isEnabled());  // free text
                Type(d, "question_name", "Name");
                d.close();  // the close box saves too
            });
            EXPECT_EQ(s.questionFrame->recordCount(), 2);
            s.btnOK->click();
        });
        q.btnOK->click();
    });
    ASSERT_GT(questionnaire, 0);
    const std::string id = std::to_string(questionnaire);
    EXPECT_EQ(Main("select questionnaire_name from questionnaire where questionnaire_id=" + id),
              "Customer survey");
    EXPECT_EQ(Main("select group_concat(quest_section_dispord || '|' || quest_section_name || '|' "
                   "|| quest_section_caption || '|' || dimension_id) from quest_section where "
                   "questionnaire_id=" +
                   id),
              "2|Service|Our service|34");
    const std::string section =
        Main("select quest_section_id from quest_section where questionnaire_id=" + id);
    EXPECT_EQ(Main("select group_concat(" + std::string(kQuestionColumns) +
                   ", ';') from (select * from question where quest_section_id=" + section +
                   " order by question_dispord)"),
              "1|3|Speed|1|1|50|1|2|50;2|0|Name|2|1|50|2|2|50");
    EXPECT_EQ(Main("select group_concat(c.choice_text || '|' || c.choice_value || '|' || "
                   "c.choice_score || '|' || c.choice_isdefault || '|' || c.dimension_id, ';') "
                   "from (select * from choice order by choice_id) c join question q on "
                   "q.question_id=c.question_id where q.quest_section_id=" +
                   section),
              "Slow|slow|0.0|0|36;Fast|fast|7.125|1|36");
    EXPECT_EQ(prompter.Count(), 0u);
}

TEST_F(QuestionnaireDesignTest, ANewQuestionComesAfterTheHighestPlaceAndEditingMovesNothing) {
    StoreSurvey();
    const std::string before = Question(9511);
    Dim(33).SetRecordId(9500);
    Run<TfrmSection>(34, DimensionTable::EditRecord, 9510, [&](TfrmSection& s) {
        EXPECT_EQ(Shown(s, "quest_section_dispord"), "2");
        EXPECT_EQ(Shown(s, "quest_section_weight"), "1.50");
        AddThrough<TfrmQuestion>(s.questionFrame, [](TfrmQuestion& d) {
            // The section's questions stand at 7 and below: the new one comes after them.
            EXPECT_EQ(Shown(d, "question_dispord"), "8");
            EXPECT_EQ(Shown(d, "question_promptrow"), "8");
            EXPECT_EQ(Shown(d, "question_answerrow"), "8");
            Type(d, "question_name", "Third");
            d.btnOK->click();
        });
        // An existing question shows as stored and is stored unchanged.
        Run<TfrmQuestion>(35, DimensionTable::EditRecord, 9511, [](TfrmQuestion& d) {
            EXPECT_EQ(Shown(d, "question_dispord"), "7");
            EXPECT_EQ(Shown(d, "question_promptwidth"), "20");
            d.btnOK->click();
        });
        s.btnOK->click();
    });
    EXPECT_EQ(Main("select " + std::string(kQuestionColumns) +
                   " from question where question_name='Third'"),
              "8|0|Third|8|1|50|8|2|50");
    EXPECT_EQ(Question(9511), before);
    EXPECT_EQ(before, "7|3|Speed|4|3|20|5|6|30");
    EXPECT_EQ(Main("select quest_section_dispord from quest_section where quest_section_id=9510"),
              "2");
}

TEST_F(QuestionnaireDesignTest, ChoicesAreOpenOnlyToAMultipleChoiceQuestionAndKeptWhenSwitched) {
    StoreSurvey();
    // Each row: the question, whether its choices list is open.
    for (const auto& [question, open] : {std::pair{9511, true}, std::pair{9512, false}})
        Run<TfrmQuestion>(35, DimensionTable::EditRecord, question, [&](TfrmQuestion& d) {
            EXPECT_EQ(d.choiceFrame->isEnabled(), open) << question;
            d.btnOK->click();
        });
    Run<TfrmQuestion>(35, DimensionTable::EditRecord, 9511, [&](TfrmQuestion& d) {
        EXPECT_EQ(d.choiceFrame->recordCount(), 2);
        d.rgType->Button(0)->click();
        EXPECT_FALSE(d.choiceFrame->isEnabled());
        d.rgType->Button(3)->click();
        EXPECT_TRUE(d.choiceFrame->isEnabled());
        d.rgType->Button(1)->click();
        EXPECT_FALSE(d.choiceFrame->isEnabled());
        d.btnOK->click();
    });
    EXPECT_EQ(Question(9511, "question_type"), "1");
    EXPECT_EQ(Main("select count(*) from choice where question_id=9511"), "2");
    // Back to multiple choice: the stored choices are there again.
    Run<TfrmQuestion>(35, DimensionTable::EditRecord, 9511, [&](TfrmQuestion& d) {
        d.rgType->Button(3)->click();
        EXPECT_TRUE(d.choiceFrame->isEnabled());
        EXPECT_EQ(d.choiceFrame->recordCount(), 2);
        d.btnOK->click();
    });
    EXPECT_EQ(Question(9511, "question_type"), "3");
}

TEST_F(QuestionnaireDesignTest, PositionsWidthsAndWeightsOutsideTheirRangesAreRefused) {
    StoreSurvey();
    // Each row: the column, what is typed, the message.
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"question_promptwidth", "0", "Please enter a value between 1 and 100."},
        {"question_promptwidth", "101", "Please enter a value between 1 and 100."},
        {"question_answerwidth", "101", "Please enter a value between 1 and 100."},
        {"question_promptrow", "0", "Please enter a value between 1 and 99999."},
        {"question_answerrow", "100000", "Please enter a value between 1 and 99999."},
        {"question_answercol", "1000000", "Please enter a value between 1 and 999999."},
    };
    for (const auto& [column, typed, message] : cases) {
        const std::string before = Question(9511);
        bool focused = false;
        bool stayedOpen = false;
        std::string shown;
        Run<TfrmQuestion>(35, DimensionTable::EditRecord, 9511, [&](TfrmQuestion& d) {
            // Refused when entered...
            Type(d, column, typed);
            emit EditOf(d, column)->editingFinished();
            shown = Shown(d, column);
            focused = d.focusWidget() == EditOf(d, column);
            // ...and when saved.
            Type(d, column, typed);
            d.btnOK->click();
            stayedOpen = d.isVisible();
            d.btnOK->click();
        });
        ASSERT_GE(prompter.Count(), 2u);
        const auto messages = prompter.Messages();
        EXPECT_EQ(messages[messages.size() - 2].text, message) << column << " " << typed;
        EXPECT_EQ(messages.back().text, message) << column << " " << typed;
        EXPECT_EQ(messages.back().title, "Invalid value");
        EXPECT_EQ(shown, Main(std::string("select ") + column +
                              " from question where "
                              "question_id=9511"));
        EXPECT_TRUE(focused) << column;
        EXPECT_TRUE(stayedOpen) << column;
        EXPECT_EQ(Question(9511), before) << column;
    }
    // The limits themselves are taken.
    Run<TfrmQuestion>(35, DimensionTable::EditRecord, 9511, [](TfrmQuestion& d) {
        Type(d, "question_promptwidth", "100");
        Type(d, "question_answerwidth", "1");
        Type(d, "question_answercol", "999999");
        d.btnOK->click();
    });
    EXPECT_EQ(Question(9511,
                       "question_promptwidth || '|' || question_answerwidth || '|' || "
                       "question_answercol"),
              "100|1|999999");

    const std::size_t shownBefore = prompter.Count();
    Run<TfrmSection>(34, DimensionTable::EditRecord, 9510, [](TfrmSection& s) {
        Type(s, "quest_section_weight", "-0.5");
        s.btnOK->click();
        EXPECT_TRUE(s.isVisible());
        Type(s, "quest_section_weight", "0");
        s.btnOK->click();
    });
    ASSERT_EQ(prompter.Count(), shownBefore + 1);
    EXPECT_EQ(prompter.Messages().back().text.rfind("Please enter a value between 0 and ", 0), 0u)
        << prompter.Messages().back().text;
    EXPECT_EQ(Main("select typeof(quest_section_weight) || quest_section_weight from quest_section "
                   "where quest_section_id=9510"),
              "real0.0");
}

TEST_F(QuestionnaireDesignTest, TheBlankPrintoutShowsTheStoredDefinitionThroughTheReportServer) {
    StoreSurvey();
    auto fake = test::FakeReportServer::Create();
    ReportServer = fake->NewClient();
    std::string nameWhenPrinted;
    Run<TfrmQuestionnaire>(33, DimensionTable::EditRecord, 9500, [&](TfrmQuestionnaire& q) {
        EXPECT_EQ(q.btnPrint->text(), "&Print blank questionnaire");
        Type(q, "questionnaire_name", "Renamed");
        q.btnPrint->click();
        nameWhenPrinted =
            Main("select questionnaire_name from questionnaire where questionnaire_id=9500");
        q.btnPrint->click();

        fake->result = com::E_UNEXPECTED;
        fake->failureText = "The printer is out of paper.";
        q.btnPrint->click();
        ReportServer.reset();
        q.btnPrint->click();
        EXPECT_TRUE(q.isVisible());
        q.btnOK->click();
    });
    EXPECT_EQ(nameWhenPrinted, "Survey");
    ASSERT_EQ(fake->calls.size(), 3u);
    const std::string repository = folder.DataFolder() + "doc/reports/0000000000/rep";
    EXPECT_EQ(fake->calls[0].rfind("PrintBlankQuestionnaire(9500|3|" + repository, 0), 0u)
        << fake->calls[0];
    EXPECT_EQ(fake->calls[0].substr(fake->calls[0].size() - 6), ".html)");
    EXPECT_NE(fake->calls[0], fake->calls[1]);  // every printout a file of its own
    EXPECT_NE(ErrorLog().find("TfrmQuestionnaire.btnPrintClick;The printer is out of paper."),
              std::string::npos);
    EXPECT_NE(ErrorLog().find("TfrmQuestionnaire.btnPrintClick;The report server is not running."),
              std::string::npos);
    EXPECT_EQ(Main("select questionnaire_name from questionnaire where questionnaire_id=9500"),
              "Renamed");
}

TEST_F(QuestionnaireDesignTest, ACancelledNewQuestionnaireKeepsItsRowAndAnEditIsDropped) {
    StoreSurvey();
    int added = 0;
    Run<TfrmQuestionnaire>(33, DimensionTable::Add, 0, [&](TfrmQuestionnaire& q) {
        added = Dim(33).GetRecordId();
        Type(q, "questionnaire_name", "Draft");
        prompter.Push(ui::Button::Yes);
        q.btnCancel->click();
    });
    EXPECT_EQ(prompter.Messages().back().text, "You will lose any changes you have made. Proceed?");
    EXPECT_EQ(Main("select questionnaire_name from questionnaire where questionnaire_id=" +
                   std::to_string(added)),
              "[no value]");
    Run<TfrmQuestionnaire>(33, DimensionTable::EditRecord, 9500, [&](TfrmQuestionnaire& q) {
        Type(q, "questionnaire_name", "Changed");
        prompter.Push(ui::Button::No);
        q.btnCancel->click();
        EXPECT_TRUE(q.isVisible());
        prompter.Push(ui::Button::Yes);
        q.btnCancel->click();
    });
    EXPECT_EQ(Main("select questionnaire_name from questionnaire where questionnaire_id=9500"),
              "Survey");
}

TEST_F(QuestionnaireDesignTest, ARecordDeletedMeanwhileIsReportedAndNothingTypedIsStored) {
    StoreSurvey();
    const std::string tree = Tree();
    // Each row: the kind, its dialog, an edit to type into.
    using Make = std::function<std::unique_ptr<widgets::FormDialog>()>;
    const std::tuple<int, Make, const char*> cases[] = {
        {33, [] { return std::make_unique<TfrmQuestionnaire>(); }, "questionnaire_name"},
        {34, [] { return std::make_unique<TfrmSection>(); }, "quest_section_name"},
        {35, [] { return std::make_unique<TfrmQuestion>(); }, "question_name"},
        {36, [] { return std::make_unique<TfrmChoice>(); }, "choice_text"},
    };
    for (const auto& [kind, make, column] : cases) {
        const std::size_t before = prompter.Count();
        Dim(kind).SetRecordId(123456);
        EditModeScope editing(Dim(kind), DimensionTable::EditRecord);
        std::unique_ptr<widgets::FormDialog> dialog = make();
        dialog->show();  // finds nothing, says so and closes once the event loop runs
        ASSERT_EQ(prompter.Count(), before + 1) << kind;
        EXPECT_EQ(prompter.Messages().back().text, "There is no record to edit");
        // No list of an earlier show can be added to.
        if (auto* list = dialog->findChild<TchildFrame*>()) {
            EXPECT_FALSE(list->isEnabled()) << kind;
        }
        Type(*dialog, column, "Ghost");
        dialog->findChild<QPushButton*>("btnOK")->click();
        QApplication::processEvents();
        EXPECT_FALSE(dialog->isVisible()) << kind;
        EXPECT_EQ(prompter.Count(), before + 1) << kind;
        EXPECT_EQ(Tree(), tree) << kind;
    }

    // A question deleted elsewhere while its section lists it.
    Dim(35).SetRecordId(9511);
    Run<TfrmSection>(34, DimensionTable::EditRecord, 9510, [&](TfrmSection& s) {
        Exec("delete from question where question_id=9511");
        s.questionFrame->btnEdit->trigger();
        EXPECT_EQ(prompter.Messages().back().text, "There is no record to edit");
        EXPECT_EQ(s.questionFrame->recordCount(), 1);
        s.btnOK->click();
    });
    EXPECT_EQ(Main("select group_concat(question_id) from question"), "9512");
}

TEST_F(QuestionnaireDesignTest, AFailedSaveOfASmallDialogAsksAndClosesOnYes) {
    StoreSurvey();
    // Each row: the table, the record, what a dialog of it types and saves.
    using Save = std::function<void(std::function<void(QWidget&)>)>;
    const std::tuple<const char*, const char*, Save> cases[] = {
        {"quest_section", "quest_section_name",
         [this](auto act) {
             Run<TfrmSection>(34, DimensionTable::EditRecord, 9510,
                              [act](TfrmSection& d) { act(d); });
         }},
        {"question", "question_name",
         [this](auto act) {
             Run<TfrmQuestion>(35, DimensionTable::EditRecord, 9512,
                               [act](TfrmQuestion& d) { act(d); });
         }},
        {"choice", "choice_text",
         [this](auto act) {
             Run<TfrmChoice>(36, DimensionTable::EditRecord, 9522,
                             [act](TfrmChoice& d) { act(d); });
         }},
    };
    for (const auto& [table, column, run] : cases) {
        const std::string stored = "select group_concat(" + std::string(column) + ") from " + table;
        const std::string before = Main(stored);
        // Stands in for a full disk: every write of the table fails.
        Exec("create trigger refuse before update on " + std::string(table) +
             " begin select raise(abort, 'database or disk is full'); end");
        const std::size_t shown = prompter.Count();
        bool keptOpen = false;
        bool closed = false;
        QString kept;
        run([&](QWidget& d) {
            Type(d, column, "Changed");
            auto* ok = d.findChild<QPushButton*>("btnOK");
            prompter.Push(ui::Button::Ok);  // the log's warning
            prompter.Push(ui::Button::No);
            ok->click();
            keptOpen = d.isVisible();
            kept = EditOf(d, column)->text();
            prompter.Push(ui::Button::Ok);
            prompter.Push(ui::Button::Yes);
            ok->click();
            closed = !d.isVisible();
        });
        EXPECT_TRUE(keptOpen) << table;
        EXPECT_EQ(kept, "Changed") << table;
        EXPECT_TRUE(closed) << table;
        EXPECT_EQ(prompter.Count(), shown + 4) << table;  // nothing else failed on the way
        EXPECT_EQ(prompter.Messages().back().text,
                  "The record could not be saved. Discard your changes and close?")
            << table;
        EXPECT_NE(ErrorLog().find(";database or disk is full"), std::string::npos);
        Exec("drop trigger refuse");
        EXPECT_EQ(Main(stored), before) << table;
    }
}

TEST_F(QuestionnaireDesignTest, ADesignedQuestionnairePrintsBlankThroughTheReportServer) {
    ASSERT_EQ(com::RegisterServerLibrary(ZELMAR_REPORTSERVER_PATH), com::S_OK);
    ReportServer = ReportServerClient::Create();
    ReportServer->Connect(dm->BuildConnectionString(folder.MainDb()),
                          dm->BuildConnectionString(folder.MetaDb()),
                          dm->BuildConnectionString(folder.LocalDb()));
    const auto question = [this](TchildFrame* list, const char* name, const char* prompt, int type,
                                 std::vector<const char*> choices) {
        AddThrough<TfrmQuestion>(list, [=, this](TfrmQuestion& d) {
            Type(d, "question_name", name);
            Type(d, "question_prompt", prompt);
            d.rgType->Button(type)->click();
            for (const char* choice : choices)
                AddThrough<TfrmChoice>(d.choiceFrame, [choice](TfrmChoice& c) {
                    Type(c, "choice_text", choice);
                    c.btnOK->click();
                });
            d.btnOK->click();
        });
    };
    std::vector<std::string> viewers;
    Run<TfrmQuestionnaire>(33, DimensionTable::Add, 0, [&](TfrmQuestionnaire& q) {
        Type(q, "questionnaire_name", "Service check");
        AddThrough<TfrmSection>(q.sectionFrame, [&](TfrmSection& s) {
            Type(s, "quest_section_caption", "General");
            question(s.questionFrame, "Name", "Name:", 0, {});
            question(s.questionFrame, "Speed", "Speed:", 3, {"Slow", "Fast"});
            // The first question goes; the next one still comes after the highest.
            s.qQuestion.First();
            prompter.Push(ui::Button::Yes);
            s.questionFrame->btnDeleteClick();
            question(s.questionFrame, "Visit", "Visit date:", 2, {});
            s.btnOK->click();
        });
        AddThrough<TfrmSection>(q.sectionFrame, [&](TfrmSection& s) {
            Type(s, "quest_section_caption", "Follow-up");
            question(s.questionFrame, "Remarks", "Remarks:", 0, {});
            s.btnOK->click();
        });
        q.btnOK->click();
    });
    const std::string id = std::to_string(Dim(33).GetRecordId());
    Run<TfrmQuestionnaire>(33, DimensionTable::EditRecord, Dim(33).GetRecordId(),
                           [&](TfrmQuestionnaire& q) {
                               // The library's report window, closed as soon as it shows.
                               QTimer::singleShot(200, [&viewers] {
                                   if (QWidget* w = QApplication::activeModalWidget()) {
                                       viewers.push_back(w->windowTitle().toStdString());
                                       w->close();
                                   }
                               });
                               q.btnPrint->click();
                               q.btnOK->click();
                           });
    EXPECT_EQ(viewers, std::vector<std::string>{"Report viewer"});
    std::string page;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(folder.DataFolder() + "doc/reports"))
        if (entry.path().extension() == ".html")
            page = test::ReadFile(entry.path().string());
    const std::string blank = "<td>\r\n" + std::string(50, '_') + "</td>\r\n";
    const auto prompt = [](const char* text) {
        return std::string("<td width=\"50%\"><font face=\"arial\" size=\"2\">") + text +
               "</font></td>\r\n";
    };
    EXPECT_EQ(page,
              "<html>\r\n<head>\r\n"
              "<font face=\"arial\" size=\"3\"><b>Service check</b></font><br>\r\n"
              "<hr><font face=\"arial\" size=\"2\"><b>General</b></font><br>\r\n"
              // Row 1 lost its question with the first one: it is not printed.
              "<table width=\"100%\" border=\"0\">\r\n"
              "<tr>\r\n" +
                  prompt("Speed:") + blank +
                  "</tr>\r\n"
                  "<tr>\r\n" +
                  prompt("Visit date:") + blank +
                  "</tr>\r\n"
                  "</table>\r\n<hr>\r\n"
                  "<hr><font face=\"arial\" size=\"2\"><b>Follow-up</b></font><br>\r\n"
                  "<table width=\"100%\" border=\"0\">\r\n"
                  "<tr>\r\n" +
                  prompt("Remarks:") + blank +
                  "</tr>\r\n"
                  "</table>\r\n<hr>\r\n"
                  "</body>\r\n</html>\r\n");
    EXPECT_EQ(Main("select group_concat(question_name || ' ' || question_dispord, '|') from "
                   "(select q.* from question q join quest_section s on "
                   "s.quest_section_id=q.quest_section_id where s.questionnaire_id=" +
                   id + " order by s.quest_section_dispord, q.question_dispord)"),
              "Speed 2|Visit 3|Remarks 1");
    ReportServer.reset();
}

}  // namespace
}  // namespace zl
