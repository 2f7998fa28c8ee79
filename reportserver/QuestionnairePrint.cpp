#include "reportserver/QuestionnairePrint.h"

#include <functional>
#include <stdexcept>
#include <vector>

#include "core/DataMod.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "platform/db/DbError.h"
#include "reportserver/TfrmReportView.h"
#include "widgets/QtPlatform.h"

namespace zl::reportserver {

namespace {

constexpr const char* kOpenCompletedTag = "Questionnaire.openCompleted";
constexpr int kMultipleChoice = 3;
// Empty rows or columns kept of one run: enough for any spacing a layout means.
constexpr int kMostEmptyKept = 3;

// A query that could not be opened has been logged and shown by the data module; the printout
// ends here, as it would at the first read of the closed query.
void Require(bool opened) {
    if (!opened)
        throw db::DbError("Cannot perform this operation on a closed dataset");
}

// Closes the writer's file however the printout ends; what was written stays on disk.
class FileCloser {
  public:
    explicit FileCloser(ReportBase& writer) : writer_(writer) {}
    ~FileCloser() { writer_.closeFile(); }
    FileCloser(const FileCloser&) = delete;
    FileCloser& operator=(const FileCloser&) = delete;

  private:
    ReportBase& writer_;
};

void CreateFile(ReportBase& writer, const std::string& path) {
    if (!writer.createHTML(path))  // logged and shown by createHTML
        throw std::runtime_error("Cannot create file \"" + path + "\".");
}

void OpenQuestionnaire(Questionnaire& questionnaire, int questId, int custId) {
    if (!questionnaire.Open(questId, custId))  // logged and shown by Open
        throw db::DbError("Questionnaire " + std::to_string(questId) + " could not be opened.");
}

int IntegerOf(db::Query& q, const char* column) {
    return q.FieldByName(column).AsInteger();
}

}  // namespace

void QuestionnairePrinter::printBlank(const std::string& path) {
    const FileCloser closer(Writer);
    Require(qQuestionnaire.Active() && qSections.Active());
    CreateFile(Writer, path);
    Writer.write("<font face=\"arial\" size=\"3\"><b>" +
                 HtmlEscape(qQuestionnaire.FieldByName("questionnaire_name").AsString()));
    Writer.writeLine("</b></font><br>");
    for (qSections.First(); !qSections.Eof(); qSections.Next()) {
        getSectionRows();
        printBlankSection();
    }
    Writer.closeHTML();
}

void QuestionnairePrinter::openCompleted(int compQuestId) {
    CompQuestId = compQuestId;
    Require(DataMod->OpenById(qCompQuest, "comp_quest", compQuestId, kOpenCompletedTag));
    if (qCompQuest.IsEmpty()) {
        const std::string message =
            "There is no completed questionnaire " + std::to_string(compQuestId) + ".";
        LogError(kOpenCompletedTag, message, "");
        throw db::DbError(message);
    }
    const int customer = IntegerOf(qCompQuest, "customer_id");
    Require(DataMod->openQuery(qCustomer,
                               "select * from entity where entity_id=" + std::to_string(customer),
                               kOpenCompletedTag));
    OpenQuestionnaire(*this, IntegerOf(qCompQuest, "questionnaire_id"), customer);
}

void QuestionnairePrinter::printCompleted(const std::string& path) {
    const FileCloser closer(Writer);
    Require(qQuestionnaire.Active() && qSections.Active() && qCompQuest.Active() &&
            qCustomer.Active());
    CreateFile(Writer, path);
    Writer.write("<font face=\"arial\" size=\"3\"><b>" +
                 HtmlEscape(qQuestionnaire.FieldByName("questionnaire_name").AsString()));
    Writer.writeLine("</b></font><br><br>");
    Writer.write("<font face=\"arial\" size=\"2\"><b>Customer name: </b>" +
                 HtmlEscape(qCustomer.FieldByName("entity_fullname").AsString()));
    Writer.writeLine("</b></font><br><br>");
    Writer.write("<font face=\"arial\" size=\"2\"><b>Questionnaire date: </b>" +
                 format::DateTimeToStr(qCompQuest.FieldByName("comp_quest_date").AsDateTime()));
    Writer.writeLine("</b></font><br><br>");
    for (qSections.First(); !qSections.Eof(); qSections.Next()) {
        getSectionRows();
        printCompletedSection();
    }
    Writer.closeHTML();
}

// The grid holds the rows and columns where a prompt or an answer lies, and of every run of
// empty ones between them (a spacer column, a blank line) at most kMostEmptyKept: a question
// placed far out (row 99999, column 999999) adds a few empty cells, not millions. Empty rows and
// columns before the first occupied one (left by a deleted question) and positions before the
// first row or column are not printed.
void QuestionnairePrinter::getSectionRows() {
    const std::string section = std::to_string(IntegerOf(qSections, "quest_section_id"));
    const auto numbers = [&](const char* promptColumn, const char* answerColumn) {
        const std::string where = " from question where quest_section_id=" + section;
        Require(DataMod->openQuery(qAnswer,
                                   "select " + std::string(promptColumn) + " as n" + where +
                                       " union select " + answerColumn + " as n" + where +
                                       " order by 1",
                                   "Questionnaire.getSectionRows"));
        std::vector<int> kept;
        int previous = 0;
        for (qAnswer.First(); !qAnswer.Eof(); qAnswer.Next()) {
            const int n = IntegerOf(qAnswer, "n");
            if (n < 1 || n <= previous)
                continue;
            // Counted from the last occupied number: previous + kMostEmptyKept may overflow.
            if (previous > 0) {
                for (int empty = previous + 1; empty < n && empty - previous <= kMostEmptyKept;
                     ++empty)
                    kept.push_back(empty);
            }
            kept.push_back(n);
            previous = n;
        }
        qAnswer.Close();
        return kept;
    };
    SectionRows = numbers("question_promptrow", "question_answerrow");
    SectionCols = numbers("question_promptcol", "question_answercol");
}

void QuestionnairePrinter::OpenSectionQuestions() {
    Require(DataMod->openQuery(qQuestions,
                               "select * from question where quest_section_id=" +
                                   std::to_string(IntegerOf(qSections, "quest_section_id")) +
                                   " order by question_dispord",
                               "Questionnaire.OpenSectionQuestions"));
}

void QuestionnairePrinter::printBlankSection() {
    writeSection(false);
}

void QuestionnairePrinter::printCompletedSection() {
    writeSection(true);
}

void QuestionnairePrinter::writeSection(bool completed) {
    Writer.write("<hr><font face=\"arial\" size=\"2\"><b>" +
                 HtmlEscape(qSections.FieldByName("quest_section_caption").AsString()));
    Writer.writeLine("</b></font><br>");
    Writer.beginTable(100, 0);
    OpenSectionQuestions();
    for (const int row : SectionRows) {
        Writer.writeLine("<tr>");
        for (const int col : SectionCols) {
            // The answer is looked up first: the prompt lookup leaves qQuestions on the
            // prompt's question, whose width the prompt cell takes.
            const std::string answer = completed ? getCellValue(row, col) : std::string();
            const std::string prompt = getPrompt(row, col);
            if (!prompt.empty())
                writePromptCell(prompt);
            else
                writeAnswerCell(row, col, answer);
        }
        Writer.writeLine("</tr>");
    }
    Writer.endTable();
    Writer.writeLine("<hr>");
}

void QuestionnairePrinter::writePromptCell(const std::string& prompt) {
    Writer.write("<td width=\"" + std::to_string(IntegerOf(qQuestions, "question_promptwidth")) +
                 "%\"><font face=\"arial\" size=\"2\">" + HtmlEscape(prompt));
    Writer.writeLine("</font></td>");
}

void QuestionnairePrinter::writeAnswerCell(int row, int col, const std::string& answer) {
    // A position that is no question's answer position has no width of its own.
    const bool owned = locateAnswer(row, col);
    if (!answer.empty()) {
        const int width = owned ? IntegerOf(qQuestions, "question_promptwidth") : 0;
        Writer.write("<td width=\"" + std::to_string(width) +
                     "%\"><font face=\"arial\" size=\"2\">" + HtmlEscape(answer));
        Writer.writeLine("</font></td>");
        return;
    }
    Writer.writeLine("<td>");
    const int underscores = owned ? IntegerOf(qQuestions, "question_answerwidth") : 0;
    if (underscores > 0)
        Writer.write(std::string(static_cast<std::size_t>(underscores), '_'));
    Writer.writeLine("</td>");
}

std::string QuestionnairePrinter::getPrompt(int row, int col) {
    for (qQuestions.First(); !qQuestions.Eof(); qQuestions.Next()) {
        if (IntegerOf(qQuestions, "question_promptrow") == row &&
            IntegerOf(qQuestions, "question_promptcol") == col)
            return qQuestions.FieldByName("question_prompt").AsString();
    }
    return "";
}

bool QuestionnairePrinter::locateAnswer(int row, int col) {
    for (qQuestions.First(); !qQuestions.Eof(); qQuestions.Next()) {
        if (IntegerOf(qQuestions, "question_answerrow") == row &&
            IntegerOf(qQuestions, "question_answercol") == col)
            return true;
    }
    return false;
}

std::string QuestionnairePrinter::getCellValue(int row, int col) {
    if (!locateAnswer(row, col))
        return "";
    const std::string tag = "Questionnaire.getCellValue";
    Require(DataMod->openQuery(qAnswer,
                               "select * from answer where question_id=" +
                                   std::to_string(IntegerOf(qQuestions, "question_id")) +
                                   " and comp_quest_id=" + std::to_string(CompQuestId),
                               tag));
    // No answer row, or a multiple-choice answer without a choice, prints as an answer blank.
    std::string value;
    if (!qAnswer.IsEmpty()) {
        const int choice = IntegerOf(qAnswer, "choice_id");
        if (IntegerOf(qQuestions, "question_type") != kMultipleChoice) {
            value = qAnswer.FieldByName("answer_text").AsString();
        } else if (choice != 0) {
            Require(DataMod->openQuery(
                qChoice, "select * from choice where choice_id=" + std::to_string(choice), tag));
            if (!qChoice.IsEmpty())
                value = qChoice.FieldByName("choice_value").AsString();
            qChoice.Close();
        }
    }
    qAnswer.Close();
    return value;
}

namespace {

// Writes the printout with the busy pointer, then shows it with the ordinary pointer. The
// printer is freed before the viewer shows: no query stays open while it waits.
void WriteAndShow(const std::function<void(QuestionnairePrinter&)>& write,
                  const std::string& htmlFile) {
    widgets::WaitCursor busy;
    {
        QuestionnairePrinter printer;
        write(printer);
    }
    TfrmReportView view;
    busy.Restore();
    view.showFile(htmlFile);
}

}  // namespace

void PrintBlankQuestionnaire(int questId, const std::string& htmlFile) {
    WriteAndShow(
        [&](QuestionnairePrinter& printer) {
            OpenQuestionnaire(printer, questId, 0);
            printer.printBlank(htmlFile);
        },
        htmlFile);
}

void PrintCompletedQuestionnaire(int compQuestId, const std::string& htmlFile) {
    WriteAndShow(
        [&](QuestionnairePrinter& printer) {
            printer.openCompleted(compQuestId);
            printer.printCompleted(htmlFile);
        },
        htmlFile);
}

}  // namespace zl::reportserver
