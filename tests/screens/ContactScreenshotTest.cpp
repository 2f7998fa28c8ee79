// A picture of the contact event dialog as a user sees it, written only when
// ZELMAR_SCREENSHOT_DIR names a folder (run under a real display, for example with xvfb-run).
#include <QPixmap>
#include <cstdlib>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/Globals.h"
#include "screens/TfrmContact.h"
#include "tests/support/TestDialogs.h"

namespace zl {
namespace {

class ContactScreenshot : public test::FrameFixture {
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
            "'Smith John Mr'), (9002, 17, 9001, 'Major', 'Mary', 'Ms', 'Major Mary Ms')");
        Exec(
            "insert into zlm_doc (zlm_doc_id, dimension_id, customer_id, contact_person_id, "
            "contact_type_id, zlm_doc_descr, zlm_doc_notes, zlm_doc_file, zlm_doc_date, "
            "zlm_doc_time) values (8001, 9, 9001, 9002, 3, 'Visit to discuss the offer', "
            "'Mary asked for a second quotation with delivery included.', "
            "'/home/john/documents/reports/0000000000/doc1042.rtf', '2024-03-05 00:00:00', "
            "'10:30')");
    }
    std::string folder_;
};

TEST_F(ContactScreenshot, ContactEventDialog) {
    Dimensions->Find(9)->SetEditMode(DimensionTable::EditRecord);
    Dimensions->Find(9)->SetRecordId(8001);
    Dimensions->Find(9)->SetParentId(9001);
    TfrmContact dialog;
    dialog.setWindowTitle("Edit existing contact event");
    test::WhenModal<TfrmContact>([this](TfrmContact& d) {
        d.grab().save(QString::fromStdString(folder_ + "/contact-event.png"));
        d.close();
    });
    dialog.exec();
}

}  // namespace
}  // namespace zl
