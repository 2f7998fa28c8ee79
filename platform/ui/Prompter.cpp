#include "platform/ui/Prompter.h"

#include <atomic>
#include <iostream>

namespace zl::ui {

namespace {

// Answers without showing anything: the message goes to standard error.
class FallbackPrompter : public Prompter {
  public:
    Button Show(const Message& message) override {
        std::cerr << message.title << ": " << message.text << std::endl;
        switch (message.buttons) {
            case Buttons::YesNo:
            case Buttons::YesNoCancel:
                return Button::Yes;
            case Buttons::Ok:
            case Buttons::OkCancel:
                break;
        }
        return Button::Ok;
    }
};

class FallbackCursor : public Cursor {
  public:
    void Set(CursorShape) override {}
};

class FallbackScreen : public Screen {
  public:
    int Width() const override { return 1024; }
    int Height() const override { return 768; }
};

FallbackPrompter fallbackPrompter;
FallbackCursor fallbackCursor;
FallbackScreen fallbackScreen;

// Atomic so that a report thread may read the installed prompter while a test swaps it.
std::atomic<Prompter*> installedPrompter{nullptr};
std::atomic<Cursor*> installedCursor{nullptr};
std::atomic<Screen*> installedScreen{nullptr};
std::atomic<long long> userAction{0};

}  // namespace

Prompter& CurrentPrompter() {
    Prompter* p = installedPrompter.load();
    return p ? *p : fallbackPrompter;
}

void InstallPrompter(Prompter* prompter) {
    installedPrompter.store(prompter);
}

Cursor& CurrentCursor() {
    Cursor* c = installedCursor.load();
    return c ? *c : fallbackCursor;
}

void InstallCursor(Cursor* cursor) {
    installedCursor.store(cursor);
}

Screen& CurrentScreen() {
    Screen* s = installedScreen.load();
    return s ? *s : fallbackScreen;
}

void InstallScreen(Screen* screen) {
    installedScreen.store(screen);
}

long long UserAction() {
    return userAction.load();
}

void CountUserAction() {
    ++userAction;
}

Button ShowMessage(WindowHandle owner, const std::string& text, const std::string& title, Icon icon,
                   Buttons buttons) {
    Message message;
    message.owner = owner;
    message.text = text;
    message.title = title;
    message.icon = icon;
    message.buttons = buttons;
    return CurrentPrompter().Show(message);
}

}  // namespace zl::ui
