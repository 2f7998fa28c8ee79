// The sales forecast dialog: a forecast of zlm_doc over a period (a year from today when new)
// with its priced lines and their total. A new forecast is stored only when the dialog closes;
// its lines are stored one by one by the lines list.
#pragma once

#include <memory>
#include <string>

#include "core/EditForm.h"
#include "frames/TchildFrame.h"
#include "frames/TdtFrame.h"
#include "platform/db/Query.h"
#include "screens/TfrmForecastItem.h"
#include "widgets/DataControls.h"
#include "widgets/FormDialog.h"
#include "widgets/QtPlatform.h"

class QPushButton;

namespace zl {

class TfrmForecast : public widgets::FormDialog {
    Q_OBJECT
  public:
    explicit TfrmForecast(QWidget* owner = nullptr);
    ~TfrmForecast() override;

    // The forecast of this showing; 0 when there is none ("There is no record to edit").
    int ForecastId() const { return forecastId_; }

    db::Query qEdit;
    db::Query qItem;
    widgets::DataSource dsEdit{&qEdit};

    TdtFrame* dtFrame1;
    TdtFrame* dtFrom;
    TdtFrame* dtTo;
    widgets::DBEdit* edDescr;
    widgets::DBMemo* edNotes;
    TchildFrame* itemFrame;
    // The line dialog of the current showing (a new one on every show).
    std::unique_ptr<TfrmForecastItem> frmForecastItem;
    QPushButton* btnOK;
    QPushButton* btnCancel;

  protected:
    void showEvent(QShowEvent* event) override;
    bool FormClose() override;

  private:
    void FormShow();
    void btnCancelClick();

    const int DimensionId = 15;
    widgets::WidgetDialog adapter_{*this};
    std::unique_ptr<EditForm> editForm_;
    int forecastId_ = 0;
};

}  // namespace zl
