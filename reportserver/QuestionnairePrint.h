// The printed forms of a questionnaire: blank, and completed with one customer's answers.
#pragma once

#include <string>
#include <vector>

#include "core/Questionnaire.h"
#include "reportserver/ReportBase.h"

namespace zl::reportserver {

// Writes the blank form of questionnaire `questId` into `htmlFile` and shows it in the viewer;
// the pointer is busy until the viewer shows. Raises what ended the printout (the viewer is then
// not shown).
void PrintBlankQuestionnaire(int questId, const std::string& htmlFile);
// The same for the completed questionnaire `compQuestId`, with its answers.
void PrintCompletedQuestionnaire(int compQuestId, const std::string& htmlFile);

// Every section of a questionnaire is one table whose cells form a grid: each question puts its
// prompt at (question_promptrow, question_promptcol) and its answer at (question_answerrow,
// question_answercol); the rows and columns that hold a prompt or an answer are printed in
// their order, with a few of the empty ones before and between them (see getSectionRows).
// Texts from the database reach the page HTML-escaped.
// Every routine raises what ends the printout: a query that could not be opened (logged and
// shown by the data module) or a file that could not be written. The output file is closed on
// every path; a printout that ended early leaves what was written.
class QuestionnairePrinter : public Questionnaire {
  public:
    // The blank form of the questionnaire opened by Open.
    void printBlank(const std::string& path);
    // Opens the comp_quest row, its customer, and through Open its questionnaire and sections.
    void openCompleted(int compQuestId);
    // The completed form of the questionnaire opened by openCompleted.
    void printCompleted(const std::string& path);

    // The rows and columns of qSections' current section that are printed, ascending, into
    // SectionRows and SectionCols.
    void getSectionRows();
    void OpenSectionQuestions();
    void printBlankSection();
    void printCompletedSection();
    // The prompt at the position, or "": the first question in display order placed there
    // gives it, and qQuestions stays on that question.
    std::string getPrompt(int row, int col);
    // The answer given at the answer position, or "" (also for a multiple-choice answer without
    // a choice).
    std::string getCellValue(int row, int col);

    ReportBase Writer;
    std::vector<int> SectionRows;
    std::vector<int> SectionCols;

  private:
    // Stands qQuestions on the first question whose answer is at the position; false for none.
    bool locateAnswer(int row, int col);
    void writeSection(bool completed);
    void writePromptCell(const std::string& prompt);
    // An answered cell or an answer blank, sized by the question whose answer position it is.
    void writeAnswerCell(int row, int col, const std::string& answer);
};

}  // namespace zl::reportserver
