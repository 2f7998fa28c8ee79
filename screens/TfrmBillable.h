// The "Billable items" hub: services, components, assemblies and sales forecasts on four tabs,
// each a list frame bound to its kind and edit dialog.
#pragma once

#include "screens/HubWindow.h"

class QTabWidget;

namespace zl {

class TBrowseFrame;
class TfrmService;
class TfrmComponent;
class TfrmAssembly;
class TfrmForecast;

class TfrmBillable : public HubWindow {
    Q_OBJECT
  public:
    explicit TfrmBillable(QWidget* parent = nullptr);
    ~TfrmBillable() override;

    void setCollection(DimCollection* dimensions) override;

    QTabWidget* PageControl1;
    TBrowseFrame* serviceFrame;
    TBrowseFrame* compFrame;
    TBrowseFrame* assemblyFrame;
    TBrowseFrame* forecastFrame;

    TfrmService* frmService = nullptr;
    TfrmComponent* frmComponent = nullptr;
    TfrmAssembly* frmAssembly = nullptr;
    TfrmForecast* frmForecast = nullptr;

  private:
    void buildBillableFrames();
};

}  // namespace zl
