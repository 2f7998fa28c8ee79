// Pictures of the dialogs as a user sees them, written only when ZELMAR_SCREENSHOT_DIR names a
// folder (run under a real display, for example with xvfb-run).
#include <QPixmap>
#include <QTabWidget>
#include <cstdlib>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/Globals.h"
#include "screens/TfrmBillItem.h"
#include "screens/TfrmCustEdit.h"
#include "tests/support/TestDialogs.h"

namespace zl {
namespace {

class Screenshots : public test::FrameFixture {
  protected:
    void SetUp() override {
        const char* dir = std::getenv("ZELMAR_SCREENSHOT_DIR");
        if (!dir)
            GTEST_SKIP() << "ZELMAR_SCREENSHOT_DIR is not set";
        folder_ = dir;
        FrameFixture::SetUp();
        Exec(
            "insert into customer_type (customer_type_id, customer_type_descr) values (9020, "
            "\"Retail\")");
        Exec(
            "insert into entity (entity_id, dimension_id, entity_name, entity_first, "
            "entity_title, entity_code, entity_taxref, entity_taxrate, entity_discount, "
            "customer_type_id) values (9001, 1, \"Smith\", \"John\", \"Mr\", \"C-1001\", "
            "\"4021-77\", 15, 2.5, 9020), (9002, 17, \"Major\", \"Mary\", \"Ms\", \"\", \"\", 0, "
            "0, 0)");
        Exec(
            "update entity set parent_id=9001, entity_email='mary@example.com' where "
            "entity_id=9002");
        Exec(
            "insert into address (address_id, entity_id, address_postal1, address_pcode, "
            "address_tel1, address_email1) values (9011, 9001, \"12 High Street\", \"8001\", "
            "\"021 555 0100\", \"john@example.com\")");
        Exec("insert into zlm_doc (zlm_doc_id, dimension_id, customer_id) values (8001, 6, 9001)");
        Exec(
            "insert into doc_item (doc_item_id, zlm_doc_id, dimension_id, allow_delete, "
            "doc_item_billtype, doc_item_descr, doc_item_code, doc_item_qty, doc_item_rate, "
            "doc_item_tax, doc_item_discount, doc_item_total, doc_item_roe) values (8101, 8001, "
            "24, 0, 1, \"Stainless bolt M8\", \"B-1\", 2, 100, 15, 0, 230, 1)");
    }
    void Save(QWidget& window, const char* name) {
        window.grab().save(QString::fromStdString(folder_ + "/" + name));
    }
    std::string folder_;
};

TEST_F(Screenshots, CustomerDialogAndLineDialog) {
    Dimensions->Find(1)->SetEditMode(DimensionTable::EditRecord);
    Dimensions->Find(1)->SetRecordId(9001);
    {
        TfrmCustEdit customer;
        customer.setWindowTitle("Edit existing customer");
        test::WhenModal<TfrmCustEdit>([this](TfrmCustEdit& d) {
            Save(d, "customer-general.png");
            d.PageControl1->setCurrentIndex(3);
            Save(d, "customer-contacts.png");
            d.close();
        });
        customer.exec();
    }
    Dimensions->Find(24)->SetEditMode(DimensionTable::EditRecord);
    Dimensions->Find(24)->SetRecordId(8101);
    TfrmBillItem line;
    line.setWindowTitle("Edit existing document line");
    test::WhenModal<TfrmBillItem>([this](TfrmBillItem& d) {
        d.Timer1Timer();
        Save(d, "document-line.png");
        d.close();
    });
    line.exec();
}

}  // namespace
}  // namespace zl
