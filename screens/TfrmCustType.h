// The customer type dialog: one description that classifies customers and campaigns.
#pragma once

#include "screens/RecordDialog.h"
#include "widgets/DataControls.h"

class QPushButton;

namespace zl {

class TfrmCustType : public RecordDialog {
    Q_OBJECT
  public:
    explicit TfrmCustType(QWidget* owner = nullptr);
    ~TfrmCustType() override;

    widgets::DataSource dsEdit{&qEdit};
    widgets::DBEdit* DBEdit1;
    QPushButton* btnOK;
    QPushButton* btnCancel;
};

}  // namespace zl
