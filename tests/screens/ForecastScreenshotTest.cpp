// A picture of the forecast dialog with a few lines, written only when ZELMAR_SCREENSHOT_DIR
// names a folder (run under a real display, for example with xvfb-run).
#include <QPixmap>
#include <cstdlib>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/Globals.h"
#include "screens/TfrmForecast.h"
#include "tests/support/TestDialogs.h"

namespace zl {
namespace {

class ForecastScreenshots : public test::FrameFixture {
  protected:
    void SetUp() override {
        const char* dir = std::getenv("ZELMAR_SCREENSHOT_DIR");
        if (!dir)
            GTEST_SKIP() << "ZELMAR_SCREENSHOT_DIR is not set";
        folder_ = dir;
        FrameFixture::SetUp();
        Exec(
            "insert into zlm_doc (zlm_doc_id, dimension_id, bus_unit_id, zlm_doc_descr, "
            "zlm_doc_notes, zlm_doc_date, zlm_doc_from, zlm_doc_to) values (8001, 15, 3, "
            "\"Garden season 2024\", \"Sheds and fitting, March to October.\", "
            "'2024-02-20 00:00:00', '2024-03-01 00:00:00', '2025-02-28 00:00:00')");
        Exec(
            "insert into doc_item (doc_item_id, zlm_doc_id, dimension_id, allow_delete, "
            "doc_item_code, doc_item_descr, doc_item_qty, doc_item_rate, doc_item_discount, "
            "doc_item_tax, doc_item_total) values "
            "(8101, 8001, 24, 0, \"K-1\", \"Shed kit 3 x 2 m\", 40, 850, 0, 0, 34000), "
            "(8102, 8001, 24, 0, \"S-1\", \"Fitting\", 120, 45, 0, 0, 5400), "
            "(8103, 8001, 24, 0, \"B-1\", \"Stainless bolt M8\", 2000, 1.2, 0, 0, 2400)");
    }
    std::string folder_;
};

TEST_F(ForecastScreenshots, ForecastDialog) {
    Dimensions->Find(15)->SetEditMode(DimensionTable::EditRecord);
    Dimensions->Find(15)->SetRecordId(8001);
    TfrmForecast forecast;
    forecast.setWindowTitle("Edit existing sales forecast");
    bool saved = false;
    test::WhenModal<TfrmForecast>([this, &saved](TfrmForecast& d) {
        saved = d.grab().save(QString::fromStdString(folder_ + "/forecast-dialog.png"));
        d.close();
    });
    forecast.exec();
    EXPECT_TRUE(saved);
}

}  // namespace
}  // namespace zl
