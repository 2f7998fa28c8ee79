// The order dialog: an order with its lines, printed, and turned into an invoice.
#pragma once

#include "screens/DocumentDialog.h"

namespace zl {

class TfrmOrder : public DocumentDialog {
    Q_OBJECT
  public:
    explicit TfrmOrder(QWidget* owner = nullptr);
};

}  // namespace zl
