// The application object: an exception that would leave an event handler is logged and shown
// in the program's error box, and the event loop goes on.
#pragma once

#include <QApplication>
#include <string>

namespace zl::widgets {

class GuardedApplication : public QApplication {
    Q_OBJECT
  public:
    GuardedApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    // Whether `event` for `receiver` begins a new user action (ui::UserAction).
    static bool StartsUserAction(QObject* receiver, QEvent* event);

    // One error-log line tagged "Application" and one box titled "Zelmar" with the message.
    static void ShowException(const std::string& message);
};

}  // namespace zl::widgets
