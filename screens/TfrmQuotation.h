// The quotation dialog: a quotation with its lines, printed, and turned into an order or an
// invoice.
#pragma once

#include "screens/DocumentDialog.h"

namespace zl {

class TfrmQuotation : public DocumentDialog {
    Q_OBJECT
  public:
    explicit TfrmQuotation(QWidget* owner = nullptr);
};

}  // namespace zl
