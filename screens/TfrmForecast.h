// The sales forecast dialog: a forecast of zlm_doc over a period (a year from today when new)
// with its priced lines and their total. A new forecast is stored only when the dialog closes;
// its lines are stored one by one by the lines list.
#pragma once

#include <memory>

#include "frames/TchildFrame.h"
#include "frames/TdtFrame.h"
#include "platform/db/Query.h"
#include "screens/RecordDialog.h"
#include "screens/TfrmForecastItem.h"
#include "widgets/DataControls.h"

class QPushButton;

namespace zl {

class TfrmForecast : public RecordDialog {
    Q_OBJECT
  public:
    explicit TfrmForecast(QWidget* owner = nullptr);
    ~TfrmForecast() override;

    // The forecast of this showing; 0 when there is none ("There is no record to edit").
    int ForecastId() const { return forecastId_; }

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
    void ShowStarting() override;
    void RecordOpened(DimensionTable& forecasts, DimensionTable* lines) override;
    void RecordClosed() override;

  private:
    int forecastId_ = 0;
};

}  // namespace zl
