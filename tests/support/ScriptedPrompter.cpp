#include "tests/support/ScriptedPrompter.h"

namespace zl::ui {

namespace {

Button FirstButton(Buttons buttons) {
    return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Button::Yes : Button::Ok;
}

}  // namespace

ScriptedPrompter::ScriptedPrompter() {
    InstallPrompter(this);
}

ScriptedPrompter::~ScriptedPrompter() {
    InstallPrompter(nullptr);
}

Button ScriptedPrompter::Show(const Message& message) {
    if (onShow)
        onShow(message);
    std::lock_guard lock(mutex_);
    messages_.push_back(message);
    if (answers_.empty()) {
        return FirstButton(message.buttons);
    }
    Button answer = answers_.front();
    answers_.pop_front();
    return answer;
}

void ScriptedPrompter::Push(Button answer) {
    std::lock_guard lock(mutex_);
    answers_.push_back(answer);
}

std::vector<Message> ScriptedPrompter::Messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

std::size_t ScriptedPrompter::Count() const {
    std::lock_guard lock(mutex_);
    return messages_.size();
}

ScriptedCursor::ScriptedCursor() {
    InstallCursor(this);
}

ScriptedCursor::~ScriptedCursor() {
    InstallCursor(nullptr);
}

void ScriptedCursor::Set(CursorShape shape) {
    shapes_.push_back(shape);
}

ScriptedScreen::ScriptedScreen(int width, int height) : width_(width), height_(height) {
    InstallScreen(this);
}

ScriptedScreen::~ScriptedScreen() {
    InstallScreen(nullptr);
}

}  // namespace zl::ui
