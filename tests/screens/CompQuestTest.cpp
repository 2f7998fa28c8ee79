#include "screens/TfrmCompQuest.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/Globals.h"
#include "frames/TBrowseFrame.h"
#include "frames/TfrmLookup.h"
#include "platform/format/Format.h"
#include "tests/support/FakeReportServer.h"
#include "tests/support/TestDialogs.h"

namespace zl {
namespace {

using test::WhenModal;

// Acts on the window once its start-up has finished.
void WhenStarted(std::function<void(TfrmCompQuest&)> step, int triesLeft = 500) {
    WhenModal<TfrmCompQuest>([step, triesLeft](TfrmCompQuest& window) {
        if (window.Started())
            step(window);
        else if (triesLeft > 0)
            WhenStarted(step, triesLeft - 1);
    });
}

// Picks the questionnaire with that key in the pick dialog.
void WhenPicking(int questionnaireId) {
    WhenModal<TfrmLookup>([questionnaireId](TfrmLookup& pick) {
        EXPECT_EQ(pick.windowTitle(), "Look up questionnaire");
        EXPECT_TRUE(pick.qLookup.Locate("questionnaire_id", {db::Value{questionnaireId}}));
        pick.btnOK->click();
    });
}

std::string Text(QWidget* label) {
    return static_cast<QLabel*>(label)->text().toStdString();
}

class CompQuestTest : public test::FrameFixture {
  protected:
    void SetUp() override {
        FrameFixture::SetUp();
        CurBusUnitId = 3;
        UseDocRepository();
        Exec(
            "insert into entity (entity_id, dimension_id, entity_name, entity_fullname) values "
            "(9001, 1, \"Acme\", \"Acme Trading\")");
        // A survey of two sections with every kind of question; the favourite product has far
        // more choices than a list usually offers.
        Exec(
            "insert into questionnaire (questionnaire_id, dimension_id, questionnaire_name) "
            "values (9500, 33, \"Customer survey\"), (9600, 33, \"Empty form\")");
        Exec(
            "insert into quest_section (quest_section_id, questionnaire_id, dimension_id, "
            "quest_section_caption, quest_section_dispord) values (9510, 9500, 34, \"About "
            "you\", 1), (9520, 9500, 34, \"Your order\", 2)");
        Exec(
            "insert into question (question_id, quest_section_id, dimension_id, question_type, "
            "question_prompt, question_default, question_min, question_dispord) values "
            "(9511, 9510, 35, 0, \"Your name\", \"nobody\", 0, 1), "
            "(9512, 9510, 35, 1, \"Staff\", \"\", 2.5, 2), "
            "(9513, 9510, 35, 2, \"Founded\", \"\", 0, 3), "
            "(9521, 9520, 35, 3, \"Favourite product\", \"\", 0, 1), "
            "(9522, 9520, 35, 3, \"Delivery\", \"\", 0, 2), "
            "(9524, 9520, 35, 3, \"Newsletter\", \"\", 0, 3), "
            "(9523, 9520, 35, 0, \"Remarks\", \"\", 0, 4)");
        std::string products;
        for (int i = 1; i <= 300; ++i)
            products += std::string(i > 1 ? ", " : "") + "(" + std::to_string(20000 + i) +
                        ", 9521, 36, \"Product " + std::to_string(i) + "\", " + std::to_string(i) +
                        ")";
        Exec(
            "insert into choice (choice_id, question_id, dimension_id, choice_text, "
            "choice_score) values " +
            products);
        Exec(
            "insert into choice (choice_id, question_id, dimension_id, choice_text, "
            "choice_score) values (9531, 9522, 36, \"Slow\", 0), (9532, 9522, 36, \"Fair\", 5), "
            "(9533, 9522, 36, \"Fast\", 10), (9541, 9524, 36, \"Yes\", 1), (9542, 9524, 36, "
            "\"No\", 0)");
    }
    void TearDown() override {
        CurBusUnitId = 0;
        FrameFixture::TearDown();
    }
    // A stored completed questionnaire of the survey's first section with these date answers.
    void StoreCompleted(int id, int questionnaireId, const std::string& dateAnswer) {
        Exec(
            "insert into comp_quest (comp_quest_id, questionnaire_id, customer_id, dimension_id, "
            "comp_quest_date, comp_quest_time) values (" +
            std::to_string(id) + ", " + std::to_string(questionnaireId) +
            ", 9001, 37, '2024-01-10 00:00:00', '09:30')");
        Exec(
            "insert into answer (answer_id, comp_quest_id, question_id, quest_section_id, "
            "dimension_id, choice_id, answer_text, answer_completed, answer_comptime) values (" +
            std::to_string(id + 1) + ", " + std::to_string(id) + ", 9511, 9510, 38, 0, 'Jo', 0, " +
            "'09:30'), (" + std::to_string(id + 2) + ", " + std::to_string(id) +
            ", 9512, 9510, 38, 0, '7', 0, '09:30'), (" + std::to_string(id + 3) + ", " +
            std::to_string(id) + ", 9513, 9510, 38, 0, '" + dateAnswer + "', 0, '09:30')");
    }
    void Show(int mode, int recordId = 0) {
        DimensionTable* completed = Dimensions->Find(37);
        completed->SetParentId(9001);
        completed->SetRecordId(recordId);
        EditModeScope scope(*completed, mode);
        window.exec();
    }
    // Every column of the answer rows, typed and quoted, in key order.
    std::string Answers(int compQuestId) const {
        return Main(
            "select group_concat(r, char(10)) from (select quote(answer_id)||','||"
            "quote(comp_quest_id)||','||quote(question_id)||','||quote(quest_section_id)||','||"
            "quote(dimension_id)||','||quote(choice_id)||','||quote(allow_delete)||','||"
            "quote(answer_text)||','||quote(answer_completed)||','||quote(answer_comptime) as r "
            "from answer where comp_quest_id=" +
            std::to_string(compQuestId) + " order by answer_id)");
    }
    std::string Answer(int compQuestId, int questionId, const std::string& column) const {
        return Main("select " + column + " from answer where comp_quest_id=" +
                    std::to_string(compQuestId) + " and question_id=" + std::to_string(questionId));
    }
    std::string StoredScore(int compQuestId) const {
        return Main("select printf('%.2f', score) from qScore where comp_quest_id=" +
                    std::to_string(compQuestId));
    }
    // The last message box as "text|title".
    std::string LastBox() const {
        const auto messages = prompter.Messages();
        return messages.empty() ? "" : messages.back().text + "|" + messages.back().title;
    }
    TfrmCompQuest window;
};

TEST_F(CompQuestTest, ASurveyIsFilledInScoredPrintedAndReopenedWithItsAnswersUntouched) {
    auto fake = test::FakeReportServer::Create();
    ReportServer = fake->NewClient();
    TBrowseFrame list;
    list.bindDimension(Dimensions->Find(37), &window);
    list.setParentID(9001);
    const std::string today = format::DateToStr(format::Date());
    int created = 0;
    std::string answersAtClose;

    WhenPicking(9500);
    WhenStarted([&](TfrmCompQuest& w) {
        created = w.CompQuestId();
        EXPECT_EQ(Main("select questionnaire_id||'/'||customer_id||'/'||dimension_id from "
                       "comp_quest where comp_quest_id=" +
                       std::to_string(created)),
                  "9500/9001/37");
        EXPECT_EQ(
            Main("select count(*) from answer where comp_quest_id=" + std::to_string(created)),
            "7");
        EXPECT_EQ(Text(w.txtCustomer), "Acme Trading");
        EXPECT_EQ(Text(w.txtDefinition), "Customer survey");
        EXPECT_EQ(Text(w.txtSection), "About you");
        EXPECT_EQ(Text(w.txtDate), today);
        EXPECT_EQ(Text(w.labScore), "0.00");

        // Rows 30 apart inside the 705 wide box, each 30 narrower; inputs at a third.
        ASSERT_EQ(w.Rows().size(), 3u);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(w.Rows()[i]->geometry(), QRect(0, 30 * (i + 1), 675, 30));
            EXPECT_TRUE(w.Rows()[i]->objectName().startsWith("fq"));
        }
        TfQuestion* name = w.Rows()[0];
        TfQuestion* staff = w.Rows()[1];
        TfQuestion* founded = w.Rows()[2];
        EXPECT_EQ(name->txtPrompt->geometry().left(), 10);
        EXPECT_EQ(name->txtPrompt->width(), 225);
        EXPECT_EQ(name->txtPrompt->text(), "Your name");
        EXPECT_EQ(name->Edit1->geometry(), QRect(225, 3, 421, 24));
        EXPECT_EQ(founded->dtPicker->x(), 225);
        EXPECT_EQ(name->Edit1->text(), "nobody");
        EXPECT_EQ(staff->Edit1->text(), "2.5");
        EXPECT_TRUE(founded->dtPicker->isVisibleTo(founded));
        EXPECT_FALSE(founded->Edit1->isVisibleTo(founded));
        EXPECT_EQ(founded->dtPicker->date(), QDate::currentDate());

        name->Edit1->clear();
        QTest::keyClicks(name->Edit1, "Jane");
        founded->dtPicker->setDate(QDate(2020, 2, 29));
        w.btnPrevious->click();
        EXPECT_EQ(LastBox(), "The current section is the first section.|First section");
        EXPECT_EQ(Text(w.txtSection), "About you");
        EXPECT_EQ(Answer(created, 9511, "answer_text"), "Jane");
        EXPECT_EQ(Answer(created, 9513, "answer_text"), "2020/02/29");
        EXPECT_EQ(Answer(created, 9512, "answer_text"), "2.5");

        w.btnNext->click();
        EXPECT_EQ(Text(w.txtSection), "Your order");
        ASSERT_EQ(w.Rows().size(), 4u);
        TfQuestion* product = w.Rows()[0];
        TfQuestion* delivery = w.Rows()[1];
        EXPECT_EQ(product->cbChoice->count(), 300);
        EXPECT_EQ(product->ChoiceIds().back(), 20300);
        // Unanswered questions show no choice.
        EXPECT_EQ(product->cbChoice->currentIndex(), -1);
        EXPECT_EQ(delivery->cbChoice->currentIndex(), -1);
        EXPECT_EQ(product->cbChoice->geometry(), QRect(225, 3, 421, 24));

        product->cbChoice->setCurrentIndex(299);
        w.btnNext->click();
        EXPECT_EQ(LastBox(), "The current section is the last section.|Last section");
        EXPECT_EQ(Answer(created, 9521, "choice_id"), "20300");
        // 300 of the best 300 + 10 + 1.
        EXPECT_EQ(StoredScore(created), "96.46");
        EXPECT_EQ(Text(w.labScore), "96.46");

        // A choice made just before printing is in the printout and in the score.
        delivery->cbChoice->setCurrentIndex(2);
        w.btnPrint->click();
        EXPECT_EQ(Answer(created, 9522, "choice_id"), "9533");
        EXPECT_EQ(Text(w.labScore), StoredScore(created));
        EXPECT_EQ(Text(w.labScore), "99.68");
        w.btnPrintBlank->click();
        ASSERT_EQ(fake->calls.size(), 2u);
        const std::string repository = folder.DataFolder() + "doc/reports/0000000000/rep";
        EXPECT_EQ(
            fake->calls[0].rfind(
                "PrintCompletedQuestionnaire(" + std::to_string(created) + "|3|" + repository, 0),
            0u)
            << fake->calls[0];
        EXPECT_EQ(fake->calls[1].rfind("PrintBlankQuestionnaire(9500|3|" + repository, 0), 0u)
            << fake->calls[1];
        EXPECT_EQ(fake->calls[0].substr(fake->calls[0].size() - 6), ".html)");
        EXPECT_NE(fake->calls[0], fake->calls[1]);

        w.btnPrevious->click();
        EXPECT_EQ(Text(w.txtSection), "About you");
        EXPECT_EQ(w.Rows()[0]->Edit1->text(), "Jane");
        EXPECT_EQ(w.Rows()[2]->dtPicker->date(), QDate(2020, 2, 29));
        w.Rows()[1]->Edit1->setText("12");
        w.btnOK->click();
    });
    list.AddExecute();
    ASSERT_NE(created, 0);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(Answer(created, 9512, "answer_text"), "12");  // saved by the close
    // The question nobody answered keeps its starting answer.
    EXPECT_EQ(Answer(created, 9524, "quote(choice_id)||quote(answer_text)"), "0'[no value]'");
    answersAtClose = Answers(created);

    // Edit mode: shown, moved through and closed without a change writes nothing.
    WhenStarted([&](TfrmCompQuest& w) {
        EXPECT_EQ(w.CompQuestId(), created);
        EXPECT_EQ(Text(w.labScore), "99.68");
        EXPECT_EQ(w.Rows()[1]->Edit1->text(), "12");
        w.btnNext->click();
        EXPECT_EQ(w.Rows()[0]->cbChoice->currentIndex(), 299);
        EXPECT_EQ(w.Rows()[2]->cbChoice->currentIndex(), -1);
        w.btnPrevious->click();
        w.close();
    });
    list.EditExecute();
    EXPECT_EQ(Answers(created), answersAtClose);
    EXPECT_EQ(Main("select count(*) from comp_quest"), "1");
}

TEST_F(CompQuestTest, NoPickCreatesNothingAndCloses) {
    struct Case {
        const char* name;
        bool questionnairesDefined;
        std::string box;
    };
    const Case cases[] = {
        {"cancelled", true, ""},
        {"nothing to pick", false, "There are no records in the lookup table|No record"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.questionnairesDefined)
            Exec("delete from questionnaire");
        WhenModal<TfrmLookup>([](TfrmLookup& pick) { pick.btnCancel->click(); });
        Show(DimensionTable::Add);
        EXPECT_FALSE(window.isVisible());
        EXPECT_FALSE(window.Started());
        EXPECT_EQ(Main("select count(*) from comp_quest"), "0");
        EXPECT_EQ(Main("select count(*) from answer"), "0");
        EXPECT_EQ(LastBox(), c.box);
    }
}

TEST_F(CompQuestTest, ADefinitionWithoutSectionsDropsOnlyTheRecordThisShowCreated) {
    const std::string noSection =
        "There are no sections in the questionnaire. Please revise the questionnaire definition "
        "in the My Organization window.|No section";
    // Add mode: the new record goes again.
    WhenPicking(9600);
    Show(DimensionTable::Add);
    EXPECT_EQ(LastBox(), noSection);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(Main("select count(*) from comp_quest"), "0");

    // A record created by the next show, whose definition loses its sections afterwards, is
    // kept when it is opened again: only the show that creates a record may drop it.
    WhenPicking(9500);
    int created = 0;
    WhenStarted([&](TfrmCompQuest& w) {
        created = w.CompQuestId();
        w.close();
    });
    Show(DimensionTable::Add);
    ASSERT_NE(created, 0);
    const std::string answers = Answers(created);
    Exec("update comp_quest set questionnaire_id=9600 where comp_quest_id=" +
         std::to_string(created));
    Show(DimensionTable::EditRecord, created);
    EXPECT_EQ(LastBox(), noSection);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(
        Main("select count(*) from comp_quest where comp_quest_id=" + std::to_string(created)),
        "1");
    EXPECT_EQ(Answers(created), answers);
}

TEST_F(CompQuestTest, AMissingRecordSaysSoAndShowsNothingOfTheShowBefore) {
    StoreCompleted(9700, 9500, "2024/01/10");
    Exec(
        "insert into answer (answer_id, comp_quest_id, question_id, quest_section_id, "
        "dimension_id, choice_id, answer_text) values (9704, 9700, 9522, 9520, 38, 9533, "
        "'[no value]')");  // the best choice: 100
    WhenStarted([](TfrmCompQuest& w) {
        EXPECT_EQ(Text(w.labScore), "100.00");
        EXPECT_EQ(w.Rows().size(), 3u);
        w.close();
    });
    Show(DimensionTable::EditRecord, 9700);

    Exec("delete from answer where comp_quest_id=9700");
    Exec("delete from comp_quest where comp_quest_id=9700");
    std::string seen;
    prompter.onShow = [&](const ui::Message&) {
        seen = std::to_string(window.Rows().size()) + "|" + Text(window.labScore) + "|" +
               Text(window.txtSection) + "|" + Text(window.txtCustomer);
    };
    Show(DimensionTable::EditRecord, 9700);
    EXPECT_EQ(LastBox(), "There is no record to edit|No record");
    EXPECT_EQ(seen, "0|0.00||");
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.Started());
    EXPECT_EQ(Main("select count(*) from answer"), "0");
}

TEST_F(CompQuestTest, AFailedCreationOpensNothing) {
    // A starting answer longer than the answer column takes: the creation fails as a whole.
    Exec(
        "insert into questionnaire (questionnaire_id, dimension_id, questionnaire_name) values "
        "(9800, 33, \"Broken\")");
    Exec(
        "insert into quest_section (quest_section_id, questionnaire_id, dimension_id, "
        "quest_section_caption, quest_section_dispord) values (9810, 9800, 34, \"Only\", 1)");
    Exec(
        "insert into question (question_id, quest_section_id, dimension_id, question_type, "
        "question_prompt, question_default, question_dispord) values (9811, 9810, 35, 3, "
        "\"First\", \"\", 1), (9812, 9810, 35, 0, \"Second\", \"" +
        std::string(300, 'x') + "\", 2)");
    WhenPicking(9800);
    Show(DimensionTable::Add);
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.Started());
    EXPECT_EQ(Main("select count(*) from comp_quest"), "0");
    EXPECT_EQ(Main("select count(*) from answer"), "0");
    EXPECT_NE(ErrorLog().find("Questionnaire.appendCompleted;"), std::string::npos);
    const auto messages = prompter.Messages();
    ASSERT_EQ(messages.size(), 1u);  // the failure, and no "No section" or "No record"
    EXPECT_EQ(messages[0].title, "Exception");
}

TEST_F(CompQuestTest, ALongPromptShowsWholeOnTheLinesItNeeds) {
    const std::string prompt =
        "How many people in your organisation take part in choosing the suppliers of the "
        "materials and services that you buy every year?";
    Exec("update question set question_prompt='" + prompt + "' where question_id=9511");
    StoreCompleted(9900, 9500, "2024/01/10");
    WhenStarted([&prompt](TfrmCompQuest& w) {
        ASSERT_EQ(w.Rows().size(), 3u);
        const widgets::DBText* label = w.Rows()[0]->txtPrompt;
        EXPECT_EQ(label->text().toStdString(), prompt);
        EXPECT_GE(label->height(), label->heightForWidth(label->width()));
        EXPECT_GT(label->height(), 24);
        // The row holds its prompt, and the next row follows below it.
        EXPECT_GE(w.Rows()[0]->height(), label->geometry().bottom());
        EXPECT_EQ(w.Rows()[1]->y(), w.Rows()[0]->geometry().bottom() + 1);
        w.close();
    });
    Show(DimensionTable::EditRecord, 9900);
}

TEST_F(CompQuestTest, StoredDatesAreReadInEitherFormAndAnUnreadableOneIsKept) {
    struct Case {
        std::string stored;
        QDate shown;  // invalid: the stored text itself is shown
    };
    const Case cases[] = {
        {"2023/12/31", QDate(2023, 12, 31)},
        {"2024-03-05 00:00:00", QDate(2024, 3, 5)},
        {"2024-03-06", QDate(2024, 3, 6)},
        {"soon", QDate()},
        {"", QDate()},
    };
    int id = 9900;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        StoreCompleted(id, 9500, c.stored);
        const std::string before = Answers(id);
        WhenStarted([&c](TfrmCompQuest& w) {
            QDateEdit* picker = w.Rows()[2]->dtPicker;
            if (c.shown.isValid()) {
                EXPECT_EQ(picker->date(), c.shown);
            } else {
                EXPECT_EQ(picker->date(), picker->minimumDate());
                EXPECT_EQ(picker->text().toStdString(), c.stored.empty() ? " " : c.stored);
            }
            w.btnNext->click();
            w.btnPrevious->click();
            w.close();
        });
        Show(DimensionTable::EditRecord, id);
        EXPECT_EQ(Answers(id), before);
        id += 10;
    }
    // A date the user picks is written in the short date format, even over unreadable text.
    WhenStarted([](TfrmCompQuest& w) {
        w.Rows()[2]->dtPicker->setDate(QDate(2025, 7, 4));
        w.close();
    });
    Show(DimensionTable::EditRecord, 9930);
    EXPECT_EQ(Answer(9930, 9513, "answer_text"), "2025/07/04");
}

TEST_F(CompQuestTest, AFailedPrintoutIsLoggedAndShownAfterTheSectionWasSaved) {
    StoreCompleted(9700, 9500, "2024/01/10");
    auto fake = test::FakeReportServer::Create();
    fake->result = com::E_UNEXPECTED;
    fake->failureText = "The printer is out of paper.";
    ReportServer = fake->NewClient();
    WhenStarted([&](TfrmCompQuest& w) {
        w.Rows()[0]->Edit1->setText("Jill");
        w.btnPrint->click();
        EXPECT_EQ(Answer(9700, 9511, "answer_text"), "Jill");
        EXPECT_EQ(LastBox(),
                  "Exception occurred in: TfrmCompQuest.btnPrintClick\nException: The printer is "
                  "out of paper.\n|Exception");
        EXPECT_NE(ErrorLog().find("TfrmCompQuest.btnPrintClick;The printer is out of paper."),
                  std::string::npos);
        ReportServer.reset();
        w.btnPrintBlank->click();
        EXPECT_NE(ErrorLog().find("TfrmCompQuest.btnPrintBlankClick;The report server is not "
                                  "running."),
                  std::string::npos);
        EXPECT_TRUE(w.isVisible());
        EXPECT_TRUE(w.Started());
        w.close();
    });
    Show(DimensionTable::EditRecord, 9700);
    ASSERT_EQ(fake->calls.size(), 1u);
    EXPECT_EQ(fake->calls[0].rfind("PrintCompletedQuestionnaire(9700|3|", 0), 0u);
}

}  // namespace
}  // namespace zl
