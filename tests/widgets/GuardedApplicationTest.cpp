#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <stdexcept>

#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestDataFolder.h"
#include "widgets/GuardedApplication.h"

namespace zl::widgets {
namespace {

// An object whose handler of user events fails.
class Failing : public QObject {
  public:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User)
            throw std::runtime_error("Cannot perform this operation on a closed dataset");
        return QObject::event(e);
    }
};

TEST(GuardedApplication, AnExceptionInAHandlerIsLoggedShownOnceAndTheLoopGoesOn) {
    ASSERT_NE(qobject_cast<GuardedApplication*>(QCoreApplication::instance()), nullptr);
    test::TestDataFolder folder;
    ui::ScriptedPrompter prompter;
    Failing failing;

    QCoreApplication::postEvent(&failing, new QEvent(QEvent::User));
    bool later = false;
    QTimer::singleShot(0, [&later] { later = true; });
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();

    EXPECT_TRUE(later);
    ASSERT_EQ(prompter.Count(), 1u);
    const ui::Message shown = prompter.Messages()[0];
    EXPECT_EQ(shown.text, "Cannot perform this operation on a closed dataset");
    EXPECT_EQ(shown.title, "Zelmar");
    EXPECT_EQ(shown.icon, ui::Icon::Error);
    EXPECT_EQ(shown.buttons, ui::Buttons::Ok);
    EXPECT_EQ(test::ReadFile(folder.DataFolder() + "zlm.err.log"),
              "Application;Cannot perform this operation on a closed dataset;\r\n");

    // A failing slot of a timer, too.
    QTimer::singleShot(0, [] { throw std::logic_error("List index out of bounds (3)"); });
    QCoreApplication::processEvents();
    ASSERT_EQ(prompter.Count(), 2u);
    EXPECT_EQ(prompter.Messages()[1].text, "List index out of bounds (3)");
    EXPECT_EQ(test::ReadFile(folder.DataFolder() + "zlm.err.log"),
              "Application;Cannot perform this operation on a closed dataset;\r\n"
              "Application;List index out of bounds (3);\r\n");
}

}  // namespace
}  // namespace zl::widgets
