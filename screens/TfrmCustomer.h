// The customers hub window: an MDI child of the main window.
#pragma once

#include "screens/HubWindow.h"

namespace zl {

class TfrmCustomer : public HubWindow {
    Q_OBJECT
  public:
    explicit TfrmCustomer(QWidget* parent = nullptr);
};

}  // namespace zl
