// A picture of the options window on its first tab, written only when ZELMAR_SCREENSHOT_DIR
// names a folder (run under a real display, for example with xvfb-run).
#include <QPixmap>
#include <QPushButton>
#include <QTest>
#include <cstdlib>

#include "core/Globals.h"
#include "shell/TfrmOptions.h"
#include "tests/support/QtFixture.h"

namespace zl {
namespace {

class OptionsScreenshot : public test::QtFixture {};

TEST_F(OptionsScreenshot, EmailTabOfTheOptionsWindow) {
    const char* dir = std::getenv("ZELMAR_SCREENSHOT_DIR");
    if (!dir)
        GTEST_SKIP() << "ZELMAR_SCREENSHOT_DIR is not set";
    ConnectAll();
    CurUserId = 2;
    TfrmOptions options;
    options.endProgram = [] {};
    options.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&options));
    QTest::qWait(200);
    const QString path = QString(dir) + "/options-window.png";
    EXPECT_TRUE(options.grab().save(path));
    options.btnCancel->click();
}

}  // namespace
}  // namespace zl
