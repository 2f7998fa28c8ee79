#include "core/Questionnaire.h"

#include <exception>
#include <optional>

#include "core/DataMod.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/format/Format.h"

namespace zl {

namespace {

constexpr const char* kOpenTag = "Questionnaire.Open";
constexpr const char* kAppendTag = "Questionnaire.appendCompleted";

constexpr int kCompletedQuestionnaireKind = 37;
constexpr int kAnswerKind = 38;

enum QuestionType { kFreeText = 0, kNumeric = 1, kDate = 2 };

std::string CurrentTime() {
    return format::FormatDateTime("hh:mm", format::Now());
}

}  // namespace

bool Questionnaire::Open(int questId, int custId) {
    QuestionnaireId = questId;
    CustomerId = custId;
    // A failed open must not leave another questionnaire's sections to append or print.
    qSections.Close();
    if (!DataMod->OpenById(qQuestionnaire, "questionnaire", questId, kOpenTag))
        return false;
    if (qQuestionnaire.IsEmpty()) {
        qQuestionnaire.Close();
        LogError(kOpenTag, "There is no questionnaire " + std::to_string(questId) + ".", "");
        return false;
    }
    return DataMod->openQuery(qSections,
                              "select * from quest_section where questionnaire_id=" +
                                  std::to_string(questId) + " order by quest_section_dispord",
                              kOpenTag);
}

bool Questionnaire::appendCompleted() {
    if (!qSections.Active()) {
        LogError(kAppendTag, "No questionnaire is open.", "");
        return false;
    }
    std::optional<std::string> failure;
    try {
        // Empty sets: they serve only for appending.
        if (DataMod->openQuery(qCompQuest, "select * from comp_quest where comp_quest_id=0",
                               kAppendTag) &&
            DataMod->openQuery(qAnswer, "select * from answer where comp_quest_id=0", kAppendTag) &&
            issueKeys()) {
            db::Transaction transaction(DataMod->zlmConn);
            DataMod->AppendWithKey(qCompQuest, takeKey());
            qCompQuest.FieldByName("questionnaire_id").SetAsInteger(QuestionnaireId);
            qCompQuest.FieldByName("customer_id").SetAsInteger(CustomerId);
            qCompQuest.FieldByName("dimension_id").SetAsInteger(kCompletedQuestionnaireKind);
            qCompQuest.FieldByName("comp_quest_time").SetAsString(CurrentTime());
            qCompQuest.Post();
            for (qSections.First(); !qSections.Eof(); qSections.Next())
                appendSection();
            transaction.Commit();
            keys_.clear();
            return true;
        }
    } catch (const std::exception& e) {
        // The transaction has rolled back by now: no part of the questionnaire is stored.
        failure = e.what();
    }
    keys_.clear();
    qQuestions.Close();
    qAnswer.Close();
    qCompQuest.Close();
    if (failure)  // otherwise the failed step has told the user already
        LogError(kAppendTag, *failure, "");
    return false;
}

void Questionnaire::appendSection() {
    const int sectionId = qSections.FieldByName("quest_section_id").AsInteger();
    qQuestions.Close();
    qQuestions.SetConnection(&DataMod->zlmConn);
    qQuestions.SetSQL("select * from question where quest_section_id=" + std::to_string(sectionId) +
                      " order by question_dispord");
    qQuestions.Open();
    for (qQuestions.First(); !qQuestions.Eof(); qQuestions.Next())
        appendQuestion();
}

void Questionnaire::appendQuestion() {
    DataMod->AppendWithKey(qAnswer, takeKey());
    qAnswer.FieldByName("answer_comptime").SetAsString(CurrentTime());
    qAnswer.FieldByName("comp_quest_id")
        .SetAsInteger(qCompQuest.FieldByName("comp_quest_id").AsInteger());
    qAnswer.FieldByName("question_id")
        .SetAsInteger(qQuestions.FieldByName("question_id").AsInteger());
    qAnswer.FieldByName("quest_section_id")
        .SetAsInteger(qSections.FieldByName("quest_section_id").AsInteger());
    qAnswer.FieldByName("answer_completed").SetAsInteger(0);
    qAnswer.FieldByName("dimension_id").SetAsInteger(kAnswerKind);
    db::Field& text = qAnswer.FieldByName("answer_text");
    switch (qQuestions.FieldByName("question_type").AsInteger()) {
        case kFreeText:
            text.SetAsString(qQuestions.FieldByName("question_default").AsString());
            break;
        case kNumeric:
            text.SetAsString(format::FloatToStr(qQuestions.FieldByName("question_min").AsFloat()));
            break;
        case kDate:
            text.SetAsString(format::DateToStr(format::Date()));
            break;
        default:
            break;  // multiple choice: "[no value]" and no choice until the user picks one
    }
    qAnswer.Post();
}

bool Questionnaire::issueKeys() {
    keys_.clear();
    int answers = 0;
    std::string sectionIds;
    for (qSections.First(); !qSections.Eof(); qSections.Next())
        sectionIds += (sectionIds.empty() ? "" : ",") +
                      std::to_string(qSections.FieldByName("quest_section_id").AsInteger());
    if (!sectionIds.empty()) {
        db::Query count;
        if (!DataMod->openQuery(DataMod->zlmConn, count, kAppendTag,
                                "select count(*) as cnt from question where quest_section_id in (" +
                                    sectionIds + ")"))
            return false;
        answers = count.FieldByName("cnt").AsInteger();
    }
    for (int i = 0; i <= answers; ++i) {
        const int key = DataMod->nextID();
        if (key == 0)
            return false;  // logged and shown by nextID
        keys_.push_back(key);
    }
    return true;
}

int Questionnaire::takeKey() {
    // Questions added between the count and the transaction would find no key left.
    if (keys_.empty())
        throw db::DbError("The questionnaire changed while its answers were being created.");
    const int key = keys_.front();
    keys_.pop_front();
    return key;
}

}  // namespace zl
