#include "widgets/GuardedApplication.h"

#include <QMessageBox>

#include <exception>

#include "core/ErrorLog.h"
#include "platform/ui/Prompter.h"

namespace zl::widgets {

bool GuardedApplication::StartsUserAction(QObject* receiver, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
        type != QEvent::KeyPress)
        return false;
    // Each press reaches its window first, then its widget: the widget's copy counts. Answering
    // a message box goes on with the action that showed it.
    auto* widget = qobject_cast<QWidget*>(receiver);
    return widget && !qobject_cast<QMessageBox*>(widget->window());
}

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    if (StartsUserAction(receiver, event))
        ui::CountUserAction();
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
