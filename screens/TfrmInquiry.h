// The inquiry processes hub window: an MDI child of the main window.
#pragma once

#include "screens/HubWindow.h"

namespace zl {

class TfrmInquiry : public HubWindow {
    Q_OBJECT
  public:
    explicit TfrmInquiry(QWidget* parent = nullptr);
};

}  // namespace zl
