#include <gtest/gtest.h>

#include "platform/ui/Prompter.h"
#include "tests/support/ScriptedPrompter.h"

namespace zl::ui {
namespace {

TEST(FallbackPrompter, WritesTitleAndTextToStandardErrorAndAnswersFirstButton) {
    testing::internal::CaptureStderr();
    Button ok = ShowMessage(nullptr, "File does not exist", "Not found", Icon::Warning);
    Button okCancel = ShowMessage(nullptr, "b", "B", Icon::Question, Buttons::OkCancel);
    Button yesNo = ShowMessage(nullptr, "c", "C", Icon::Question, Buttons::YesNo);
    Button yesNoCancel = ShowMessage(nullptr, "d", "D", Icon::Question, Buttons::YesNoCancel);
    std::string err = testing::internal::GetCapturedStderr();

    EXPECT_EQ(ok, Button::Ok);
    EXPECT_EQ(okCancel, Button::Ok);
    EXPECT_EQ(yesNo, Button::Yes);
    EXPECT_EQ(yesNoCancel, Button::Yes);
    EXPECT_EQ(err, "Not found: File does not exist\nB: b\nC: c\nD: d\n");
}

TEST(ScriptedPrompter, RecordsEveryMessageAndAnswersFromItsQueue) {
    int window = 0;
    ScriptedPrompter prompter;
    prompter.Push(Button::No);
    prompter.Push(Button::Cancel);

    EXPECT_EQ(ShowMessage(&window, "Delete?", "Confirm", Icon::Question, Buttons::YesNo),
              Button::No);
    EXPECT_EQ(ShowMessage(nullptr, "Proceed?", "Confirm", Icon::Question, Buttons::OkCancel),
              Button::Cancel);
    // With the queue empty the first button of the set answers.
    EXPECT_EQ(ShowMessage(nullptr, "Save?", "Confirm", Icon::Question, Buttons::YesNoCancel),
              Button::Yes);
    EXPECT_EQ(ShowMessage(nullptr, "Done", "Info", Icon::Information), Button::Ok);

    std::vector<Message> shown = prompter.Messages();
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0].owner, &window);
    EXPECT_EQ(shown[0].text, "Delete?");
    EXPECT_EQ(shown[0].title, "Confirm");
    EXPECT_EQ(shown[0].icon, Icon::Question);
    EXPECT_EQ(shown[0].buttons, Buttons::YesNo);
    EXPECT_EQ(shown[1].buttons, Buttons::OkCancel);
    EXPECT_EQ(shown[3].owner, nullptr);
    EXPECT_EQ(shown[3].text, "Done");
    EXPECT_EQ(shown[3].icon, Icon::Information);
    EXPECT_EQ(prompter.Count(), 4u);
}

TEST(ScriptedPrompter, DestructorRestoresTheFallback) {
    {
        ScriptedPrompter prompter;
        EXPECT_EQ(&CurrentPrompter(), &prompter);
    }
    testing::internal::CaptureStderr();
    ShowMessage(nullptr, "after", "Gone", Icon::None);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Gone: after\n");
}

TEST(ScriptedCursorAndScreen, RecordAndRestore) {
    EXPECT_EQ(CurrentScreen().Width(), 1024);
    EXPECT_EQ(CurrentScreen().Height(), 768);
    {
        ScriptedCursor cursor;
        ScriptedScreen screen(800, 600);
        CurrentCursor().Set(CursorShape::HourGlass);
        CurrentCursor().Set(CursorShape::Default);
        EXPECT_EQ(cursor.Shapes(),
                  (std::vector<CursorShape>{CursorShape::HourGlass, CursorShape::Default}));
        EXPECT_EQ(CurrentScreen().Width(), 800);
        EXPECT_EQ(CurrentScreen().Height(), 600);
    }
    EXPECT_EQ(CurrentScreen().Width(), 1024);
    EXPECT_EQ(CurrentScreen().Height(), 768);
}

}  // namespace
}  // namespace zl::ui
