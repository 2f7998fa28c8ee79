#include "reportserver/QuestionnairePrint.h"

#include <stdexcept>

namespace zl::reportserver {

void PrintBlankQuestionnaire(int, const std::string&) {
    throw std::logic_error("PrintBlankQuestionnaire is not built yet.");
}
void PrintCompletedQuestionnaire(int, const std::string&) {
    throw std::logic_error("PrintCompletedQuestionnaire is not built yet.");
}

}  // namespace zl::reportserver
