// The my-organisation hub window: an MDI child of the main window.
#pragma once

#include "screens/HubWindow.h"

namespace zl {

class TfrmOrg : public HubWindow {
    Q_OBJECT
  public:
    explicit TfrmOrg(QWidget* parent = nullptr);
};

}  // namespace zl
