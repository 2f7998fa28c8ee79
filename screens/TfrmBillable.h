// The billable items hub window: an MDI child of the main window.
#pragma once

#include "screens/HubWindow.h"

namespace zl {

class TfrmBillable : public HubWindow {
    Q_OBJECT
  public:
    explicit TfrmBillable(QWidget* parent = nullptr);
};

}  // namespace zl
