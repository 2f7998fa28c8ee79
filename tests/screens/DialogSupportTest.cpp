// The guarded handler every edit dialog runs its handlers through.
#include "screens/DialogSupport.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/db/DbError.h"
#include "tests/support/TestDialogs.h"

namespace zl {
namespace {

class DialogSupportTest : public test::FrameFixture {
  protected:
    // The texts shown since the first `from` messages.
    std::vector<std::string> ShownSince(std::size_t from) {
        std::vector<std::string> texts;
        const auto messages = prompter.Messages();
        for (std::size_t i = from; i < messages.size(); ++i)
            texts.push_back(messages[i].text);
        return texts;
    }
};

struct GuardedCase {
    const char* name;
    std::function<void()> step;
    RefusedEntry refused;
    std::vector<std::string> shown;
};

TEST_F(DialogSupportTest, AnErrorIsShownUnderItsTagUnlessAControlHasRefusedTheEntryAlready) {
    const std::string failed = "Exception occurred in: TfrmTest.btnOKClick\nException: ";
    const GuardedCase cases[] = {
        {"no error", [] {}, RefusedEntry::Report, {}},
        {"error",
         [] { throw std::runtime_error("Disk full"); },
         RefusedEntry::Report,
         {failed + "Disk full\n"}},
        {"error, refusals already shown",
         [] { throw std::runtime_error("Disk full"); },
         RefusedEntry::AlreadyShown,
         {failed + "Disk full\n"}},
        {"refused entry",
         [] { throw db::RangeError("A value was refused."); },
         RefusedEntry::Report,
         {failed + "A value was refused.\n"}},
        {"refused entry, already shown",
         [] { throw db::RangeError("A value was refused."); },
         RefusedEntry::AlreadyShown,
         {}},
        {"not an exception class",
         [] { throw 42; },
         RefusedEntry::AlreadyShown,
         {failed + "Unknown error\n"}},
    };
    for (const GuardedCase& c : cases) {
        const std::size_t before = prompter.Count();
        RunGuarded("TfrmTest.btnOKClick", c.step, c.refused);
        EXPECT_EQ(ShownSince(before), c.shown) << c.name;
    }
}

}  // namespace
}  // namespace zl

namespace zl {
namespace {

class DisplayOrderTest : public test::FrameFixture {};

TEST_F(DisplayOrderTest, ANewRowComesAfterTheHighestOfTheOthersEvenAfterADelete) {
    Exec(
        "insert into question (question_id, quest_section_id, question_dispord) values "
        "(9601, 96, 1), (9602, 96, 2), (9603, 96, 3), (9611, 97, 5), (9620, 96, 99)");
    const auto highest = [](int section, int own) {
        return HighestOtherOrder("question", "question_dispord", "quest_section_id", section,
                                 "question_id", own, "test");
    };
    EXPECT_EQ(highest(96, 9699), 99);  // the row being placed is not one of the others
    EXPECT_EQ(highest(96, 9620), 3);   // ... and its own place does not count
    Exec("delete from question where question_id=9602");
    EXPECT_EQ(highest(96, 9620), 3);  // a count would give 2, the place of question 9603
    EXPECT_EQ(highest(97, 9611), 0);  // nothing else in the section
    EXPECT_EQ(highest(98, 0), 0);
    EXPECT_EQ(prompter.Count(), 0u);
}

class FileChooserTest : public test::FrameFixture {};

TEST_F(FileChooserTest, TheNameCompleterClosesWhenEnterChoosesAFile) {
    const std::string alpha = MakeFile("docs/alpha.rtf");
    MakeFile("docs/alpine.rtf");
    QWidget owner;
    QAbstractItemView* completions = nullptr;
    test::WhenModal<QFileDialog>([&completions](QFileDialog& d) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
        auto* name = d.findChild<QLineEdit*>("fileNameEdit");
        QTest::keyClicks(name, "alp");
        completions = name->completer()->popup();
        ASSERT_TRUE(QTest::qWaitFor([completions] { return completions->isVisible(); }));
        QTest::keyClick(completions, Qt::Key_Down);
        QTest::keyClick(completions, Qt::Key_Return);
    });
    // The folder of the file named is where the chooser opens.
    EXPECT_EQ(ChooseFile(NewOpenDialog(&owner), folder.Home() + "/docs/gone.rtf"), alpha);
    ASSERT_TRUE(completions);
    EXPECT_FALSE(completions->isVisible());
}

}  // namespace
}  // namespace zl
