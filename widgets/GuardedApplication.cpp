#include "widgets/GuardedApplication.h"

#include <exception>

#include "core/ErrorLog.h"
#include "platform/ui/Prompter.h"

namespace zl::widgets {

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ShowException(e.what());
    } catch (...) {
        ShowException("Unknown exception");
    }
    return false;
}

void GuardedApplication::ShowException(const std::string& message) {
    AppendErrorLog("Application", message, "");
    try {
        ui::ShowMessage(nullptr, message, "Zelmar", ui::Icon::Error, ui::Buttons::Ok);
    } catch (...) {
        // Nothing is left to tell the user with.
    }
}

}  // namespace zl::widgets
