#include "tests/support/TestDialogs.h"

#include <QTimer>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/Globals.h"
#include "core/ReportServer.h"

namespace zl::test {

TopLevelDialog::TopLevelDialog(int dimensionId) : dimensionId_(dimensionId) {}

void TopLevelDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ++timesShown;
    controller_ = std::make_unique<EditForm>(adapter_, *Dimensions->Find(dimensionId_), q);
    QTimer::singleShot(0, this, [this] {
        if (whileShown)
            whileShown(*this);
        else
            SaveAndClose();
    });
}

void TopLevelDialog::SaveAndClose() {
    controller_->handleClose();
    controller_.reset();
    accept();
}

void TopLevelDialog::CancelAndClose() {
    controller_->handleCancel(nullptr);
    controller_->handleClose();
    controller_.reset();
    reject();
}

ChildDialog::ChildDialog(int dimensionId, const std::string& table)
    : dimensionId_(dimensionId), table_(table) {}

void ChildDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ++timesShown;
    DimensionTable& dim = *Dimensions->Find(dimensionId_);
    modeSeen = dim.GetEditMode();
    recordSeen = dim.GetRecordId();
    DataMod->OpenById(q, table_, recordSeen, "ChildDialog");
    q.Edit();
    QTimer::singleShot(0, this, [this] {
        if (whileShown)
            whileShown(*this);
        q.Post();
        q.Close();
        accept();
    });
}

void FrameFixture::SetUp() {
    ConnectAll();
    CurUserId = 2;
    dims = std::make_unique<DimCollection>();
    Dimensions = dims.get();
}

void FrameFixture::UseDocRepository() {
    dm->qConfig.Edit();
    dm->qConfig.FieldByName("config_docrepository").SetAsString(folder.DataFolder() + "doc/");
    dm->qConfig.Post();
}

void FrameFixture::Target(int dimensionId, int mode, int record) {
    DimensionTable& kind = *Dimensions->Find(dimensionId);
    kind.SetEditMode(mode);
    kind.SetRecordId(record);
}

void FrameFixture::TearDown() {
    Dimensions = nullptr;
    ReportServer.reset();
}

}  // namespace zl::test
