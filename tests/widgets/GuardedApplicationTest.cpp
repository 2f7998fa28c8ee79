#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <stdexcept>

#include "platform/ui/Prompter.h"
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

TEST(GuardedApplication, APressOutsideAMessageBoxStartsANewUserAction) {
    QWidget window;
    auto* field = new QLineEdit(&window);
    QMessageBox box;
    auto* answer = box.addButton(QMessageBox::Ok);
    struct Case {
        const char* what;
        QObject* receiver;
        QEvent::Type type;
        bool counts;
    } cases[] = {
        {"a key in a field", field, QEvent::KeyPress, true},
        {"a click in a window", &window, QEvent::MouseButtonPress, true},
        {"a double click", field, QEvent::MouseButtonDblClick, true},
        {"a key released", field, QEvent::KeyRelease, false},
        {"a repaint", field, QEvent::Paint, false},
        {"answering a message box", answer, QEvent::MouseButtonPress, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QEvent event(c.type);  // only its type is looked at
        EXPECT_EQ(GuardedApplication::StartsUserAction(c.receiver, &event), c.counts);
    }
    // A real key press goes through the application object once.
    const long long before = ui::UserAction();
    QTest::keyClick(field, Qt::Key_A);
    EXPECT_EQ(ui::UserAction(), before + 1);
}

}  // namespace
}  // namespace zl::widgets
