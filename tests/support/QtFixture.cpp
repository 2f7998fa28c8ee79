#include "tests/support/QtFixture.h"

namespace zl::test {

QApplication* QtFixture::app = nullptr;

void QtFixture::SetUpTestSuite() {
    if (app)
        return;
    static int argc = 1;
    static char name[] = "zelmar-test";
    static char* argv[] = {name, nullptr};
    app = new QApplication(argc, argv);
}

}  // namespace zl::test
