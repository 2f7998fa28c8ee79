// A picture of the customers window as a user sees it, written only when ZELMAR_SCREENSHOT_DIR
// names a folder (run under a real display, for example with xvfb-run).
#include <QApplication>
#include <QPixmap>
#include <cstdlib>

#include "core/Globals.h"
#include "screens/TfrmCustomer.h"
#include "tests/support/TestDialogs.h"

namespace zl {
namespace {

class CustomerWindowScreenshot : public test::FrameFixture {};

TEST_F(CustomerWindowScreenshot, AFewCustomers) {
    const char* dir = std::getenv("ZELMAR_SCREENSHOT_DIR");
    if (!dir)
        GTEST_SKIP() << "ZELMAR_SCREENSHOT_DIR is not set";
    Exec(
        "insert into entity (entity_id, dimension_id, entity_name, entity_first, entity_title, "
        "entity_code, customer_type_id, allow_delete) values "
        "(9001, 1, \"Abbot\", \"Ann\", \"Ms\", \"C-1001\", 1, 0), "
        "(9002, 1, \"Brown\", \"Bob\", \"Mr\", \"C-1002\", 1, 0), "
        "(9003, 1, \"Harbour Foods\", \"\", \"\", \"C-1003\", 2, 0), "
        "(9004, 1, \"Lintel Ltd\", \"Head office\", \"\", \"C-1004\", 2, 0)");
    Exec(
        "insert into address (address_id, entity_id, address_tel1, address_email1) values "
        "(9011, 9001, \"021 555 0101\", \"ann@example.com\"), "
        "(9013, 9003, \"021 555 0133\", \"orders@harbour.example\")");
    TfrmCustomer window;
    window.setCollection(Dimensions);
    window.resize(900, 420);
    window.show();
    QApplication::processEvents();
    window.grab().save(QString(dir) + "/customers-window.png");
}

}  // namespace
}  // namespace zl
