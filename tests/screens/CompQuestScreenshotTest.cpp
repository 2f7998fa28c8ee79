// A picture of the completed questionnaire window as a user sees it, written only when
// ZELMAR_SCREENSHOT_DIR names a folder (run under a real display, for example with xvfb-run).
#include <QComboBox>
#include <QLineEdit>
#include <QPixmap>
#include <cstdlib>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/Globals.h"
#include "screens/TfrmCompQuest.h"
#include "tests/support/TestDialogs.h"

namespace zl {
namespace {

class CompQuestScreenshot : public test::FrameFixture {
  protected:
    void SetUp() override {
        const char* dir = std::getenv("ZELMAR_SCREENSHOT_DIR");
        if (!dir)
            GTEST_SKIP() << "ZELMAR_SCREENSHOT_DIR is not set";
        folder_ = dir;
        FrameFixture::SetUp();
        Exec(
            "insert into entity (entity_id, dimension_id, entity_name, entity_fullname) values "
            "(9001, 1, \"Smith\", \"Mr John Smith\")");
        Exec(
            "insert into questionnaire (questionnaire_id, dimension_id, questionnaire_name) "
            "values (9500, 33, \"Customer satisfaction survey\")");
        Exec(
            "insert into quest_section (quest_section_id, questionnaire_id, dimension_id, "
            "quest_section_caption, quest_section_dispord) values (9510, 9500, 34, \"Our "
            "service\", 1)");
        Exec(
            "insert into question (question_id, quest_section_id, dimension_id, question_type, "
            "question_prompt, question_dispord) values (9511, 9510, 35, 0, \"Contact name\", 1), "
            "(9512, 9510, 35, 1, \"Orders per year\", 2), (9513, 9510, 35, 2, \"Customer "
            "since\", 3), (9514, 9510, 35, 3, \"Delivery times\", 4), (9515, 9510, 35, 3, "
            "\"Would you recommend us?\", 5)");
        Exec(
            "insert into choice (choice_id, question_id, dimension_id, choice_text, "
            "choice_score) values (9521, 9514, 36, \"Too slow\", 0), (9522, 9514, 36, "
            "\"Acceptable\", 5), (9523, 9514, 36, \"Fast\", 10), (9524, 9515, 36, \"Yes\", 10), "
            "(9525, 9515, 36, \"No\", 0)");
        Exec(
            "insert into comp_quest (comp_quest_id, questionnaire_id, customer_id, dimension_id, "
            "comp_quest_date, comp_quest_time) values (9600, 9500, 9001, 37, '2026-03-14 "
            "00:00:00', '10:15')");
        Exec(
            "insert into answer (answer_id, comp_quest_id, question_id, quest_section_id, "
            "dimension_id, choice_id, answer_text, answer_completed, answer_comptime) values "
            "(9601, 9600, 9511, 9510, 38, 0, 'Mary Major', 0, '10:15'), (9602, 9600, 9512, "
            "9510, 38, 0, '12', 0, '10:15'), (9603, 9600, 9513, 9510, 38, 0, '2019/06/01', 0, "
            "'10:15'), (9604, 9600, 9514, 9510, 38, 9523, '[no value]', 0, '10:15'), (9605, "
            "9600, 9515, 9510, 38, 9524, '[no value]', 0, '10:15')");
    }
    std::string folder_;
};

TEST_F(CompQuestScreenshot, CompletedQuestionnaire) {
    DimensionTable* completed = Dimensions->Find(37);
    completed->SetParentId(9001);
    completed->SetRecordId(9600);
    EditModeScope editing(*completed, DimensionTable::EditRecord);
    TfrmCompQuest window;
    window.setWindowTitle("Edit existing completed questionnaire");
    bool saved = false;
    std::function<void(TfrmCompQuest&)> shoot = [&](TfrmCompQuest& w) {
        if (!w.Started()) {
            test::WhenModal<TfrmCompQuest>(shoot);
            return;
        }
        saved = w.grab().save(QString::fromStdString(folder_ + "/completed-questionnaire.png"));
        w.close();
    };
    test::WhenModal<TfrmCompQuest>(shoot);
    window.exec();
    EXPECT_TRUE(saved);
}

}  // namespace
}  // namespace zl
