// The printed forms of a questionnaire: blank, and completed with one customer's answers.
#pragma once

#include <string>

namespace zl::reportserver {

// Writes the blank form of questionnaire `questId` into `htmlFile` and shows it in the viewer.
// Raises what ended the printout (the viewer is then not shown).
void PrintBlankQuestionnaire(int questId, const std::string& htmlFile);
// The same for the completed questionnaire `compQuestId`, with its answers.
void PrintCompletedQuestionnaire(int compQuestId, const std::string& htmlFile);

}  // namespace zl::reportserver
