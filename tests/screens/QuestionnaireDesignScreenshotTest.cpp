// A picture of the questionnaire design dialogs as a user sees them, written only when
// ZELMAR_SCREENSHOT_DIR names a folder (run under a real display, for example with xvfb-run).
#include <QPainter>
#include <QPixmap>
#include <cstdlib>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/Globals.h"
#include "screens/TfrmQuestionnaire.h"
#include "tests/support/TestDialogs.h"

namespace zl {
namespace {

class QuestionnaireDesignScreenshot : public test::FrameFixture {
  protected:
    void SetUp() override {
        const char* dir = std::getenv("ZELMAR_SCREENSHOT_DIR");
        if (!dir)
            GTEST_SKIP() << "ZELMAR_SCREENSHOT_DIR is not set";
        folder_ = dir;
        FrameFixture::SetUp();
        Exec(
            "insert into questionnaire (questionnaire_id, dimension_id, allow_delete, "
            "questionnaire_name, questionnaire_descr) values (9500, 33, 0, \"Customer "
            "satisfaction survey\", \"Asked once a year of every active customer.\")");
        Exec(
            "insert into quest_section (quest_section_id, questionnaire_id, dimension_id, "
            "allow_delete, quest_section_name, quest_section_caption, quest_section_dispord, "
            "quest_section_weight) values (9510, 9500, 34, 0, \"About you\", \"About you\", 2, "
            "1), (9520, 9500, 34, 0, \"Service\", \"Our service\", 3, 2)");
        Exec(
            "insert into question (question_id, quest_section_id, dimension_id, allow_delete, "
            "question_type, question_name, question_prompt, question_default, question_weight, "
            "question_dispord, question_min, question_max, question_promptrow, "
            "question_promptcol, question_promptwidth, question_answerrow, question_answercol, "
            "question_answerwidth) values (9521, 9520, 35, 0, 3, \"Delivery\", \"How fast do we "
            "deliver?\", \"\", 1, 1, 0, 0, 1, 1, 50, 1, 2, 50)");
        Exec(
            "insert into choice (choice_id, question_id, dimension_id, allow_delete, "
            "choice_text, choice_value, choice_score, choice_isdefault) values (9531, 9521, 36, "
            "0, \"Too slow\", \"slow\", 0, 0), (9532, 9521, 36, 0, \"Acceptable\", \"ok\", 5, 1), "
            "(9533, 9521, 36, 0, \"Fast\", \"fast\", 10, 0)");
    }
    std::string folder_;
};

TEST_F(QuestionnaireDesignScreenshot, QuestionnaireAndQuestion) {
    QPixmap questionnaire;
    QPixmap question;
    Dimensions->Find(33)->SetRecordId(9500);
    Dimensions->Find(35)->SetRecordId(9521);
    EditModeScope editing(*Dimensions->Find(33), DimensionTable::EditRecord);
    TfrmQuestionnaire dialog;
    dialog.setWindowTitle("Edit existing questionnaire");
    test::WhenModal<TfrmQuestionnaire>([&](TfrmQuestionnaire& q) {
        questionnaire = q.grab();
        EditModeScope asking(*Dimensions->Find(35), DimensionTable::EditRecord);
        TfrmQuestion d;
        d.setWindowTitle("Edit existing question");
        test::WhenModal<TfrmQuestion>([&](TfrmQuestion& shown) {
            question = shown.grab();
            shown.close();
        });
        d.exec();
        q.close();
    });
    dialog.exec();
    ASSERT_FALSE(questionnaire.isNull());
    ASSERT_FALSE(question.isNull());
    // Side by side: the questionnaire with its sections, and a multiple-choice question.
    const int gap = 16;
    QPixmap picture(questionnaire.width() + gap + question.width(),
                    std::max(questionnaire.height(), question.height()));
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.drawPixmap(0, 0, questionnaire);
    painter.drawPixmap(questionnaire.width() + gap, 0, question);
    painter.end();
    EXPECT_TRUE(picture.save(QString::fromStdString(folder_ + "/questionnaire-design.png")));
}

}  // namespace
}  // namespace zl
