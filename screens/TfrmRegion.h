// The region dialog: the region's currency and its dated rates of exchange.
#pragma once

#include <memory>

#include "core/EditForm.h"
#include "frames/TchildFrame.h"
#include "platform/db/Query.h"
#include "screens/TfrmExchange.h"
#include "widgets/DataControls.h"
#include "widgets/FormDialog.h"
#include "widgets/QtPlatform.h"

class QPushButton;

namespace zl {

class TfrmRegion : public widgets::FormDialog {
    Q_OBJECT
  public:
    explicit TfrmRegion(QWidget* owner = nullptr);
    ~TfrmRegion() override;

    int DimensionId = 0;
    db::Query qEdit;
    db::Query qExchange;
    widgets::DataSource dsEdit{&qEdit};
    TchildFrame* exchangeFrame;
    // The rate dialog of the list, made when the dialog shows.
    TfrmExchange* frmExchange = nullptr;
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
    std::unique_ptr<TfrmExchange> exchangeDialog_;
};

}  // namespace zl
