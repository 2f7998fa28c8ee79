// Pictures of the inquiry processes window, one per tab, written only when
// ZELMAR_SCREENSHOT_DIR names a folder (run under a real display, for example with xvfb-run).
#include <QApplication>
#include <QPixmap>
#include <QTabWidget>
#include <cstdlib>

#include "core/Globals.h"
#include "screens/TfrmInquiry.h"
#include "tests/support/TestDialogs.h"

namespace zl {
namespace {

class InquiryWindowScreenshot : public test::FrameFixture {};

TEST_F(InquiryWindowScreenshot, BothTabs) {
    const char* dir = std::getenv("ZELMAR_SCREENSHOT_DIR");
    if (!dir)
        GTEST_SKIP() << "ZELMAR_SCREENSHOT_DIR is not set";
    Exec(
        "insert into entity (entity_id, dimension_id, entity_name, entity_first, entity_title, "
        "allow_delete) values (9001, 1, \"Abbot\", \"Ann\", \"Ms\", 0), "
        "(9002, 1, \"Brown\", \"Bob\", \"Mr\", 0), (9003, 1, \"Harbour Foods\", \"\", \"\", 0)");
    Exec(
        "insert into zlm_doc (zlm_doc_id, dimension_id, customer_id, doc_status_id, "
        "inq_status_id, inquiry_type_id, zlm_doc_date, zlm_doc_ref, zlm_doc_descr, "
        "zlm_doc_followup, allow_delete) values "
        "(9101, 6, 9001, 2, 0, 0, '2024-03-04 00:00:00', \"9101\", \"Garden tools\", null, 0), "
        "(9102, 7, 9001, 1, 0, 0, '2024-03-11 00:00:00', \"9102\", \"Garden tools\", null, 0), "
        "(9103, 8, 9003, 5, 0, 0, '2024-02-20 00:00:00', \"9103\", \"Cold room service\", null, "
        "0), "
        "(9104, 6, 9002, 3, 0, 0, '2024-03-15 00:00:00', \"9104\", \"Fencing\", null, 0), "
        "(9201, 18, 9001, 0, 1, 1, '2024-03-04 00:00:00', \"9201\", \"Quotation follow-up\", "
        "'2024-03-11 00:00:00', 0), "
        "(9202, 18, 9002, 0, 2, 1, '2024-03-15 00:00:00', \"9202\", \"Quotation follow-up\", "
        "'2024-03-22 00:00:00', 0), "
        "(9203, 18, 9003, 0, 1, 1, '2024-02-20 00:00:00', \"9203\", \"Invoice follow-up\", "
        "'2024-02-27 00:00:00', 0)");
    TfrmInquiry window;
    window.setCollection(Dimensions);
    window.resize(900, 360);
    window.show();
    QApplication::processEvents();
    window.grab().save(QString(dir) + "/inquiry-window-inquiries.png");
    window.PageControl1->setCurrentIndex(1);
    QApplication::processEvents();
    window.grab().save(QString(dir) + "/inquiry-window-documents.png");
}

}  // namespace
}  // namespace zl
