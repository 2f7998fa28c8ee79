// A picture of the inquiry dialog with two steps as a user sees it, written only when
// ZELMAR_SCREENSHOT_DIR names a folder (run under a real display, for example with xvfb-run).
#include <QPixmap>
#include <cstdlib>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/Globals.h"
#include "screens/TfrmEditInquiry.h"
#include "tests/support/TestDialogs.h"

namespace zl {
namespace {

class InquiryScreenshot : public test::FrameFixture {
  protected:
    void SetUp() override {
        const char* dir = std::getenv("ZELMAR_SCREENSHOT_DIR");
        if (!dir)
            GTEST_SKIP() << "ZELMAR_SCREENSHOT_DIR is not set";
        folder_ = dir;
        FrameFixture::SetUp();
        Exec(
            "insert into entity (entity_id, dimension_id, parent_id, entity_name, entity_first, "
            "entity_title, entity_fullname) values (9001, 1, 0, 'Smith', 'John', 'Mr', "
            "'Smith John Mr')");
        Exec(
            "insert into zlm_doc (zlm_doc_id, dimension_id, customer_id, inq_status_id, "
            "inquiry_type_id, order_id, zlm_doc_descr, zlm_doc_notes, zlm_doc_ref, zlm_doc_date, "
            "zlm_doc_time) values (8001, 18, 9001, 2, 2, 8002, 'Delivery of the garden tools', "
            "'John phoned: the order should arrive before the 20th.', '8001', "
            "'2024-03-05 00:00:00', '10:30'), (8002, 7, 9001, 1, 0, 0, 'Garden tools', '', "
            "'O-12', '2024-03-04 00:00:00', '09:15')");
        Exec(
            "insert into doc_item (doc_item_id, zlm_doc_id, dimension_id, sys_user_id, "
            "inq_status_id, doc_item_descr, doc_item_date, doc_item_time, doc_item_duetime, "
            "doc_item_file) values (8101, 8001, 22, 2, 4, 'Confirm the delivery date', "
            "'2024-03-05 00:00:00', '10:35', '16:00', ''), (8102, 8001, 22, 2, 3, "
            "'Send the delivery note', '2024-03-06 00:00:00', '08:50', '12:00', "
            "'/home/john/documents/delivery-note-8002.pdf')");
    }
    std::string folder_;
};

TEST_F(InquiryScreenshot, InquiryDialog) {
    Dimensions->Find(18)->SetEditMode(DimensionTable::EditRecord);
    Dimensions->Find(18)->SetRecordId(8001);
    TfrmEditInquiry dialog;
    dialog.setWindowTitle("Edit existing inquiry process");
    test::WhenModal<TfrmEditInquiry>([this](TfrmEditInquiry& d) {
        d.grab().save(QString::fromStdString(folder_ + "/inquiry-dialog.png"));
        d.close();
    });
    dialog.exec();
}

}  // namespace
}  // namespace zl
