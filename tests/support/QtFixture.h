// The ground of the window tests: a delivered data folder, a private class store, scripted
// message boxes, screen and desktop, and a way to act on the next modal dialog.
#pragma once

#include <QApplication>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "platform/desktop/Desktop.h"
#include "tests/support/CoreFixture.h"
#include "tests/support/ScriptedOpener.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempConfigHome.h"

namespace zl::test {

// What a stored shell script in place of a document tells the user when it is to be viewed.
inline constexpr const char* kRefusedScript =
    "This file is not opened: it is no document, picture, spreadsheet, PDF, web page, text or "
    "RTF file (its type is application/x-shellscript).";

// The object that lives as long as the running window test (the application between tests).
// Timers started for it stop with the test, so a wait that was never satisfied cannot reach
// into the next test's dialogs or its finished test's variables.
QObject* TestScope();

// Waits (without blocking the event loop) for a modal dialog of type T and then runs `step`
// on it; gives up after five seconds or at the end of the test.
template <class T>
void WhenModal(std::function<void(T&)> step, int triesLeft = 500) {
    QTimer::singleShot(10, TestScope(), [step, triesLeft] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            step(*dialog);
            return;
        }
        if (triesLeft > 0)
            WhenModal<T>(step, triesLeft - 1);
    });
}

// Chooses `path` in the next file dialog, typed as a user would (the dialog's folder list may
// still be loading); an empty path cancels the dialog.
void WhenChoosingFile(const std::string& path);

// The user minimises the window to the task bar and restores it from there.
void MinimiseAndRestore(QWidget& window);

// Closes any modal dialog still open a minute after a test began, and fails the test: a step
// that never ran (or stopped at a failed assertion) must not hang the whole test binary.
class ModalWatchdog {
  public:
    ModalWatchdog();
    ~ModalWatchdog();
    ModalWatchdog(const ModalWatchdog&) = delete;
    ModalWatchdog& operator=(const ModalWatchdog&) = delete;

  private:
    QTimer timer_;
};

class QtFixture : public CoreFixture {
  protected:
    static void SetUpTestSuite();
    // One QApplication for the whole binary.
    static QApplication* app;

    TempConfigHome config;
    ui::ScriptedScreen screen{1024, 768};
    ui::ScriptedCursor cursor;
    desktop::ScriptedOpener opener;
    ModalWatchdog watchdog;
    std::string Local(const std::string& sql) const { return Stored(folder.LocalDb(), sql); }
    std::string Main(const std::string& sql) const { return Stored(folder.MainDb(), sql); }
    // The texts of the message boxes shown so far.
    std::vector<std::string> Texts() const;
    // The message boxes shown so far are these, as text and title.
    void ExpectMessages(const std::vector<std::pair<std::string, std::string>>& expected) const;
    // A file under the home folder, with the folders it needs.
    std::string MakeFile(const std::string& relative, const std::string& content = "letter") const;

  public:
    QtFixture();
    ~QtFixture() override;

  private:
    QObject scope_;
};

}  // namespace zl::test
