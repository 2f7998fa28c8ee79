#include "screens/TfrmBillable.h"

#include <QTabWidget>

#include "core/DimCollection.h"
#include "core/Globals.h"
#include "frames/TBrowseFrame.h"
#include "screens/TfrmAssembly.h"
#include "screens/TfrmComponent.h"
#include "screens/TfrmForecast.h"
#include "screens/TfrmService.h"

namespace zl {

TfrmBillable::TfrmBillable(QWidget* parent) : HubWindow("Billable items", BillableOpen, parent) {
    setObjectName("frmBillable");
    PageControl1 = NewPageControl();
    serviceFrame = AddFrameTab(PageControl1, "serviceFrame", "Services");
    compFrame = AddFrameTab(PageControl1, "compFrame", "Components");
    assemblyFrame = AddFrameTab(PageControl1, "assemblyFrame", "Assemblies");
    forecastFrame = AddFrameTab(PageControl1, "forecastFrame", "Sales forecasts");
    PageControl1->setCurrentIndex(0);
}

TfrmBillable::~TfrmBillable() = default;

void TfrmBillable::setCollection(DimCollection* dimensions) {
    HubWindow::setCollection(dimensions);
    buildBillableFrames();
}

void TfrmBillable::buildBillableFrames() {
    if (!dimensions_)
        return;
    const std::string tag = "TfrmBillable.buildBillableFrames";
    frmComponent = BindFrame<TfrmComponent>(compFrame, 10, tag);
    frmAssembly = BindFrame<TfrmAssembly>(assemblyFrame, 11, tag);
    frmService = BindFrame<TfrmService>(serviceFrame, 14, tag);
    frmForecast = BindFrame<TfrmForecast>(forecastFrame, 15, tag);
}

}  // namespace zl
