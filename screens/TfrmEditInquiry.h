// The inquiry dialog: one inquiry process of a customer with its status, type, reference,
// its steps and the sales document it leads to.
#pragma once

#include "widgets/FormDialog.h"

namespace zl {

class TfrmEditInquiry : public widgets::FormDialog {
    Q_OBJECT
  public:
    explicit TfrmEditInquiry(QWidget* owner = nullptr);
    ~TfrmEditInquiry() override;
};

}  // namespace zl
