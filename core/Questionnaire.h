// A questionnaire filled in for a customer: the records of a new completed questionnaire (one
// comp_quest row and one answer row per question, each holding the question's starting answer).
// The report server derives its printer from this class.
#pragma once

#include <deque>
#include <string>

#include "platform/db/Query.h"

namespace zl {

class Questionnaire {
  public:
    Questionnaire() = default;
    virtual ~Questionnaire() = default;
    Questionnaire(const Questionnaire&) = delete;
    Questionnaire& operator=(const Questionnaire&) = delete;

    // Stores both ids and opens the questionnaire row and its sections in display order. False
    // when a query could not be opened or the questionnaire has no row (the user has been told).
    bool Open(int questId, int custId);

    // Writes one comp_quest row and the answer rows of every section, in one transaction of the
    // main connection: either all of them are stored or none. True when stored; qCompQuest then
    // stands on the new row. False when anything failed (logged and shown once, after the
    // rollback); the append queries are then closed.
    bool appendCompleted();
    // The answer rows of qSections' current section, and the answer row of qQuestions' current
    // question. They run inside appendCompleted's transaction and draw the keys it issued
    // before: they show nothing and raise on failure.
    void appendSection();
    void appendQuestion();

    int QuestionnaireId = 0;
    int CustomerId = 0;
    db::Query qQuestionnaire;
    db::Query qCompQuest;
    db::Query qSections;
    db::Query qQuestions;
    db::Query qChoice;
    db::Query qAnswer;
    db::Query qCustomer;
    // The completed questionnaire being printed (report server).
    int CompQuestId = 0;

  private:
    // Issues, before the transaction begins, a key for the comp_quest row and one for every
    // question of the sections: a counter that fails shows a box, which must not wait while the
    // main file is locked. False when one could not be issued (the user has been told).
    bool issueKeys();
    int takeKey();

    std::deque<int> keys_;
};

}  // namespace zl
