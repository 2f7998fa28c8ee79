// Message boxes, the mouse cursor and the screen size, as the rest of the system sees them.
// The program installs Qt implementations; tests install scripted ones.
#pragma once

#include <string>

namespace zl::ui {

// An opaque owner window; nullptr means no owner.
using WindowHandle = void*;

enum class Icon { None, Information, Warning, Error, Question };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Button { Ok, Cancel, Yes, No };

struct Message {
    WindowHandle owner = nullptr;
    std::string text;
    std::string title;
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
};

class Prompter {
  public:
    virtual ~Prompter() = default;
    // Shows the message modally and returns the button pressed.
    virtual Button Show(const Message& message) = 0;
};

enum class CursorShape { Default, HourGlass };

class Cursor {
  public:
    virtual ~Cursor() = default;
    virtual void Set(CursorShape shape) = 0;
};

class Screen {
  public:
    virtual ~Screen() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
};

// The installed implementations. Until something is installed, messages go to standard error
// and answer with the first button of their set, the cursor does nothing and the screen is
// 1024 x 768. Installing nullptr restores these fallbacks; the caller keeps ownership.
Prompter& CurrentPrompter();
void InstallPrompter(Prompter* prompter);
Cursor& CurrentCursor();
void InstallCursor(Cursor* cursor);
Screen& CurrentScreen();
void InstallScreen(Screen* screen);

// The number of the user's current action: the program counts each press of a key or mouse
// button outside a message box as a new one. Work that one action sets off (a dialog's opening
// statements, say) shares its number; 0 until something is counted.
long long UserAction();
void CountUserAction();

// Shorthand for CurrentPrompter().Show(...).
Button ShowMessage(WindowHandle owner, const std::string& text, const std::string& title, Icon icon,
                   Buttons buttons = Buttons::Ok);

}  // namespace zl::ui
