// A picture of the assembly dialog as a user sees it, written only when ZELMAR_SCREENSHOT_DIR
// names a folder (run under a real display, for example with xvfb-run).
#include <QPixmap>
#include <cstdlib>

#include "core/DimCollection.h"
#include "core/Globals.h"
#include "screens/TfrmAssembly.h"
#include "screens/TfrmBillRate.h"
#include "tests/support/TestDialogs.h"

namespace zl {
namespace {

class CatalogueScreenshots : public test::FrameFixture {
  protected:
    void SetUp() override {
        const char* dir = std::getenv("ZELMAR_SCREENSHOT_DIR");
        if (!dir)
            GTEST_SKIP() << "ZELMAR_SCREENSHOT_DIR is not set";
        folder_ = dir;
        FrameFixture::SetUp();
        Exec(
            "insert into billable (billable_id, dimension_id, allow_delete, billable_descr, "
            "billable_code, billable_custcode, billable_sku) values "
            "(9001, 11, 0, \"Garden shed, fitted\", \"A-SHED\", \"GS-300\", \"SKU-4471\"), "
            "(9101, 10, 0, \"Shed kit 3 x 2 m\", \"K-1\", \"\", \"\"), "
            "(9102, 10, 0, \"Stainless bolt M8\", \"B-1\", \"\", \"\"), "
            "(9201, 14, 0, \"Fitting\", \"S-1\", \"\", \"\")");
        Exec(
            "insert into bill_item (bill_item_id, billable_id, component_id, service_id, "
            "assembly_id, dimension_id, allow_delete, bill_item_descr, bill_item_code, "
            "bill_item_qty) values "
            "(9301, 9001, 9101, 0, 0, 25, 0, \"Shed kit 3 x 2 m\", \"K-1\", 1), "
            "(9302, 9001, 9102, 0, 0, 25, 0, \"Stainless bolt M8\", \"B-1\", 24), "
            "(9303, 9001, 0, 9201, 0, 25, 0, \"Fitting\", \"S-1\", 3)");
    }
    std::string folder_;
};

TEST_F(CatalogueScreenshots, AssemblyDialog) {
    Dimensions->Find(11)->SetEditMode(DimensionTable::EditRecord);
    Dimensions->Find(11)->SetRecordId(9001);
    TfrmAssembly assembly;
    assembly.setWindowTitle("Edit existing assembly");
    bool saved = false;
    test::WhenModal<TfrmAssembly>([this, &saved](TfrmAssembly& d) {
        saved = d.grab().save(QString::fromStdString(folder_ + "/assembly-dialog.png"));
        d.close();
    });
    assembly.exec();
    EXPECT_TRUE(saved);
}

TEST_F(CatalogueScreenshots, BillRateDialog) {
    Exec(
        "insert into bill_rate (bill_rate_id, billable_id, dimension_id, allow_delete, "
        "bill_rate_from, bill_rate_to, bill_rate_selling, bill_rate_cost, bill_rate_markup, "
        "bill_rate_maxdisc, bill_rate_tax) values (9401, 9101, 21, 0, '2026-01-01 00:00:00', "
        "'2026-12-31 00:00:00', 850, 680, 25, 10, 15)");
    DimensionTable& rates = *Dimensions->Find(21);
    rates.SetParentId(9101);
    rates.SetRecordId(9401);
    const EditModeScope editing(rates, DimensionTable::EditRecord);
    TfrmBillRate rate;
    rate.setWindowTitle("Edit existing bill rate");
    bool saved = false;
    test::WhenModal<TfrmBillRate>([this, &saved](TfrmBillRate& d) {
        saved = d.grab().save(QString::fromStdString(folder_ + "/bill-rate-dialog.png"));
        d.close();
    });
    rate.exec();
    EXPECT_TRUE(saved);
}

}  // namespace
}  // namespace zl
