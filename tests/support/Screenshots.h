// Pictures of the windows as a user sees them, for the documentation. They are written only when
// ZELMAR_SCREENSHOT_DIR names a folder (run under a real display, for example with xvfb-run);
// without it every test on this fixture skips.
#pragma once

#include <QPixmap>
#include <QWidget>
#include <string>

#include "tests/support/TestDialogs.h"

namespace zl::test {

class ScreenshotFixture : public FrameFixture {
  protected:
    void SetUp() override;
    // Writes the picture to <folder>/<name>; a picture that cannot be written fails the test.
    void Save(const QPixmap& picture, const char* name);
    void Save(QWidget& widget, const char* name) { Save(widget.grab(), name); }

    // Customer 9001, Mr John Smith (code C-1001, of customer type 9020 "Retail"), with his
    // address 9011 and his contact person 9002, Ms Mary Major.
    void SeedSampleCustomer();
    // Quotation 8001 for customer 9001 with three lines, 8101 to 8103.
    void SeedSampleQuotation();

  private:
    std::string dir_;
};

}  // namespace zl::test
