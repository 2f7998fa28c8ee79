#include "tests/support/Screenshots.h"

#include <cstdlib>

namespace zl::test {

void ScreenshotFixture::SetUp() {
    const char* dir = std::getenv("ZELMAR_SCREENSHOT_DIR");
    if (!dir)
        GTEST_SKIP() << "ZELMAR_SCREENSHOT_DIR is not set";
    dir_ = dir;
    FrameFixture::SetUp();
}

void ScreenshotFixture::Save(const QPixmap& picture, const char* name) {
    EXPECT_TRUE(picture.save(QString::fromStdString(dir_ + "/" + name))) << name;
}

void ScreenshotFixture::SeedSampleCustomer() {
    Exec(
        "insert into customer_type (customer_type_id, customer_type_descr) values (9020, "
        "'Retail')");
    Exec(
        "insert into entity (entity_id, dimension_id, parent_id, entity_name, entity_first, "
        "entity_title, entity_fullname, entity_code, entity_taxref, entity_taxrate, "
        "entity_discount, customer_type_id, entity_email) values "
        "(9001, 1, 0, 'Smith', 'John', 'Mr', 'Smith John Mr', 'C-1001', '4021-77', 15, 2.5, "
        "9020, null), "
        "(9002, 17, 9001, 'Major', 'Mary', 'Ms', 'Major Mary Ms', '', '', 0, 0, 0, "
        "'mary@example.com')");
    Exec(
        "insert into address (address_id, entity_id, address_postal1, address_pcode, "
        "address_tel1, address_email1) values (9011, 9001, '12 High Street', '8001', "
        "'021 555 0100', 'john@example.com')");
}

void ScreenshotFixture::SeedSampleQuotation() {
    Exec(
        "insert into zlm_doc (zlm_doc_id, dimension_id, customer_id, doc_status_id, "
        "zlm_doc_descr, zlm_doc_notes, zlm_doc_date, zlm_doc_time, zlm_doc_ref, zlm_cust_ref) "
        "values (8001, 6, 9001, 2, 'Garden shed, fitted', 'Delivery to the back gate.', "
        "'2024-03-14 00:00:00', '10:30', '8001', 'PO 5521')");
    Exec(
        "insert into doc_item (doc_item_id, zlm_doc_id, dimension_id, allow_delete, "
        "doc_item_code, doc_item_descr, doc_item_qty, doc_item_rate, doc_item_discount, "
        "doc_item_tax, doc_item_total) values "
        "(8101, 8001, 24, 0, 'K-1', 'Shed kit 3 x 2 m', 1, 850, 0, 15, 977.5), "
        "(8102, 8001, 24, 0, 'B-1', 'Stainless bolt M8', 24, 1.2, 0, 15, 33.12), "
        "(8103, 8001, 24, 0, 'S-1', 'Fitting', 3, 45, 10, 15, 139.73)");
}

}  // namespace zl::test
