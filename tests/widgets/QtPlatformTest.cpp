#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <functional>

#include "tests/support/ScriptedPrompter.h"
#include "widgets/QtPlatform.h"

namespace zl::widgets {
namespace {

// What a message box showed before the test answered it.
struct SeenBox {
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QWidget* parent = nullptr;
};

// Waits for the modal message box, records it and lets `answer` close it.
void WhenBoxShows(SeenBox& seen, std::function<void(QMessageBox&)> answer) {
    QTimer::singleShot(10, [&seen, answer] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            WhenBoxShows(seen, answer);
            return;
        }
        seen = {box->text(), box->windowTitle(), box->icon(), box->standardButtons(),
                box->parentWidget()};
        answer(*box);
    });
}

void Click(SeenBox& seen, QMessageBox::StandardButton button) {
    WhenBoxShows(seen, [button](QMessageBox& box) { box.button(button)->click(); });
}

TEST(QtPrompter, ShowsTheMessageAndReturnsTheButtonClicked) {
    QtPrompter prompter;
    SeenBox seen;

    Click(seen, QMessageBox::Ok);
    EXPECT_EQ(prompter.Show({nullptr, "Incorrect user name or password. Please try again.",
                             "Login failed", ui::Icon::Information, ui::Buttons::Ok}),
              ui::Button::Ok);
    EXPECT_EQ(seen.text, "Incorrect user name or password. Please try again.");
    EXPECT_EQ(seen.title, "Login failed");
    EXPECT_EQ(seen.icon, QMessageBox::Information);
    EXPECT_EQ(seen.buttons, QMessageBox::Ok);
    EXPECT_EQ(seen.parent, nullptr);

    Click(seen, QMessageBox::Cancel);
    EXPECT_EQ(prompter.Show({nullptr, "Save <b>&now</b>?", "Cancel", ui::Icon::Warning,
                             ui::Buttons::OkCancel}),
              ui::Button::Cancel);
    EXPECT_EQ(seen.text, "Save <b>&now</b>?");
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_EQ(seen.buttons, QMessageBox::Ok | QMessageBox::Cancel);

    Click(seen, QMessageBox::No);
    EXPECT_EQ(prompter.Show({nullptr, "Proceed?", "Delete", ui::Icon::Error, ui::Buttons::YesNo}),
              ui::Button::No);
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);

    Click(seen, QMessageBox::Yes);
    EXPECT_EQ(
        prompter.Show({nullptr, "Save?", "Close", ui::Icon::Question, ui::Buttons::YesNoCancel}),
        ui::Button::Yes);
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
}

TEST(QtPrompter, EscapeAnswersNoOrCancel) {
    QtPrompter prompter;
    SeenBox seen;
    auto escape = [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); };

    WhenBoxShows(seen, escape);
    EXPECT_EQ(
        prompter.Show({nullptr, "Proceed?", "Cancel", ui::Icon::Question, ui::Buttons::YesNo}),
        ui::Button::No);
    WhenBoxShows(seen, escape);
    EXPECT_EQ(
        prompter.Show({nullptr, "Save?", "Close", ui::Icon::Question, ui::Buttons::YesNoCancel}),
        ui::Button::Cancel);
}

TEST(QtPrompter, TheOwnerIsTheDialogsWindow) {
    QtPrompter prompter;
    QWidget owner;
    WidgetDialog dialog(owner);
    SeenBox seen;
    Click(seen, QMessageBox::Ok);
    prompter.Show({dialog.Handle(), "Please enter a value here", "No value", ui::Icon::Warning,
                   ui::Buttons::Ok});
    EXPECT_EQ(seen.parent, &owner);
}

TEST(QtPlatform, InstallsTheQtImplementationsForItsLife) {
    {
        QtPlatform platform;
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        EXPECT_EQ(ui::CurrentScreen().Width(), screen.width());
        EXPECT_EQ(ui::CurrentScreen().Height(), screen.height());

        ui::CurrentCursor().Set(ui::CursorShape::HourGlass);
        ui::CurrentCursor().Set(ui::CursorShape::HourGlass);
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        ui::CurrentCursor().Set(ui::CursorShape::Default);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
    EXPECT_EQ(ui::CurrentScreen().Width(), 1024);
    EXPECT_EQ(ui::CurrentScreen().Height(), 768);
}

TEST(WaitCursor, RestoresThePreviousCursorOnce) {
    QApplication::setOverrideCursor(Qt::IBeamCursor);
    {
        WaitCursor wait;
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        wait.Restore();
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::IBeamCursor);
        wait.Restore();
    }
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::IBeamCursor);
    QApplication::restoreOverrideCursor();
    { WaitCursor wait; }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(Centre, TruncatesTowardZero) {
    QWidget window;
    window.resize(400, 301);
    {
        ui::ScriptedScreen screen(1001, 700);
        Centre(window);
        EXPECT_EQ(window.pos(), QPoint(300, 199));
    }
    {
        ui::ScriptedScreen screen(300, 200);
        Centre(window);
        EXPECT_EQ(window.pos(), QPoint(-50, -50));
    }
    QtPlatform platform;
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    Centre(window);
    EXPECT_EQ(window.pos(), QPoint((screen.width() - 400) / 2, (screen.height() - 301) / 2));
}

}  // namespace
}  // namespace zl::widgets
