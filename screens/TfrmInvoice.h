// The invoice dialog: an invoice with its lines, printed with its bill of materials.
#pragma once

#include "screens/DocumentDialog.h"

namespace zl {

class TfrmInvoice : public DocumentDialog {
    Q_OBJECT
  public:
    explicit TfrmInvoice(QWidget* owner = nullptr);
};

}  // namespace zl
