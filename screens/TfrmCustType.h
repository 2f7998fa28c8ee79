// The customer type dialog: one description that classifies customers and campaigns.
#pragma once

#include <memory>

#include "core/EditForm.h"
#include "platform/db/Query.h"
#include "widgets/DataControls.h"
#include "widgets/FormDialog.h"
#include "widgets/QtPlatform.h"

class QPushButton;

namespace zl {

class TfrmCustType : public widgets::FormDialog {
    Q_OBJECT
  public:
    explicit TfrmCustType(QWidget* owner = nullptr);
    ~TfrmCustType() override;

    int DimensionId = 0;
    db::Query qEdit;
    widgets::DataSource dsEdit{&qEdit};
    widgets::DBEdit* DBEdit1;
    QPushButton* btnOK;
    QPushButton* btnCancel;

  protected:
    void showEvent(QShowEvent* event) override;
    bool FormClose() override;

  private:
    void FormShow();
    void btnCancelClick();

    widgets::WidgetDialog adapter_{*this};
    std::unique_ptr<EditForm> editForm_;
};

}  // namespace zl
