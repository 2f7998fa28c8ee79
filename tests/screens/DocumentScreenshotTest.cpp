// A picture of the quotation dialog as a user sees it, written only when ZELMAR_SCREENSHOT_DIR
// names a folder (run under a real display, for example with xvfb-run).
#include <QPixmap>
#include <cstdlib>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/Globals.h"
#include "screens/TfrmQuotation.h"
#include "tests/support/TestDialogs.h"

namespace zl {
namespace {

class DocumentScreenshots : public test::FrameFixture {
  protected:
    void SetUp() override {
        const char* dir = std::getenv("ZELMAR_SCREENSHOT_DIR");
        if (!dir)
            GTEST_SKIP() << "ZELMAR_SCREENSHOT_DIR is not set";
        folder_ = dir;
        FrameFixture::SetUp();
        Exec(
            "insert into entity (entity_id, dimension_id, entity_name, entity_fullname) values "
            "(9001, 1, \"Smith\", \"Smith John Mr\")");
        Exec(
            "insert into zlm_doc (zlm_doc_id, dimension_id, customer_id, doc_status_id, "
            "zlm_doc_descr, zlm_doc_notes, zlm_doc_date, zlm_doc_time, zlm_doc_ref, "
            "zlm_cust_ref) values (8001, 6, 9001, 2, \"Garden shed, fitted\", \"Delivery to "
            "the back gate.\", '2024-03-14 00:00:00', '10:30', \"8001\", \"PO 5521\")");
        Exec(
            "insert into doc_item (doc_item_id, zlm_doc_id, dimension_id, allow_delete, "
            "doc_item_code, doc_item_descr, doc_item_qty, doc_item_rate, doc_item_discount, "
            "doc_item_tax, doc_item_total) values "
            "(8101, 8001, 24, 0, \"K-1\", \"Shed kit 3 x 2 m\", 1, 850, 0, 15, 977.5), "
            "(8102, 8001, 24, 0, \"B-1\", \"Stainless bolt M8\", 24, 1.2, 0, 15, 33.12), "
            "(8103, 8001, 24, 0, \"S-1\", \"Fitting\", 3, 45, 10, 15, 139.73)");
    }
    std::string folder_;
};

TEST_F(DocumentScreenshots, QuotationDialog) {
    Dimensions->Find(6)->SetEditMode(DimensionTable::EditRecord);
    Dimensions->Find(6)->SetRecordId(8001);
    TfrmQuotation quotation;
    quotation.setWindowTitle("Edit existing quotation");
    bool saved = false;
    test::WhenModal<DocumentDialog>([this, &saved](DocumentDialog& d) {
        saved = d.grab().save(QString::fromStdString(folder_ + "/quotation-dialog.png"));
        d.close();
    });
    quotation.exec();
    EXPECT_TRUE(saved);
}

}  // namespace
}  // namespace zl
