// The guarded handler every edit dialog runs its handlers through.
#include "screens/DialogSupport.h"

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
