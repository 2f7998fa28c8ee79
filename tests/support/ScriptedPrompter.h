// Scripted stand-ins for the message box, cursor and screen, for tests. Each installs itself on
// construction and restores the fallback on destruction.
#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/ui/Prompter.h"

namespace zl::ui {

// Records every message shown and answers from a queue of buttons; with an empty queue it
// answers the first button of the message's set.
class ScriptedPrompter : public Prompter {
  public:
    ScriptedPrompter();
    ~ScriptedPrompter() override;
    ScriptedPrompter(const ScriptedPrompter&) = delete;
    ScriptedPrompter& operator=(const ScriptedPrompter&) = delete;

    Button Show(const Message& message) override;

    // Queues the answer to a later message.
    void Push(Button answer);
    // A copy of the messages shown so far, oldest first.
    std::vector<Message> Messages() const;
    std::size_t Count() const;

    // Called with each message as it is shown, before it is answered: a test looks here at
    // what holds while the box waits.
    std::function<void(const Message&)> onShow;

  private:
    mutable std::mutex mutex_;
    std::vector<Message> messages_;
    std::deque<Button> answers_;
};

// Records every shape set.
class ScriptedCursor : public Cursor {
  public:
    ScriptedCursor();
    ~ScriptedCursor() override;
    ScriptedCursor(const ScriptedCursor&) = delete;
    ScriptedCursor& operator=(const ScriptedCursor&) = delete;

    void Set(CursorShape shape) override;
    const std::vector<CursorShape>& Shapes() const { return shapes_; }

  private:
    std::vector<CursorShape> shapes_;
};

// A screen of a fixed size.
class ScriptedScreen : public Screen {
  public:
    ScriptedScreen(int width, int height);
    ~ScriptedScreen() override;
    ScriptedScreen(const ScriptedScreen&) = delete;
    ScriptedScreen& operator=(const ScriptedScreen&) = delete;

    int Width() const override { return width_; }
    int Height() const override { return height_; }

  private:
    int width_;
    int height_;
};

}  // namespace zl::ui
