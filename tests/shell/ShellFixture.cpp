#include "ShellFixture.h"

namespace zl::test {

QApplication* ShellFixture::app = nullptr;

void ShellFixture::SetUpTestSuite() {
    if (app)
        return;
    static int argc = 1;
    static char name[] = "test_shell";
    static char* argv[] = {name, nullptr};
    app = new QApplication(argc, argv);
}

}  // namespace zl::test
