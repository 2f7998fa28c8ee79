// The region dialog: the region's currency and its dated rates of exchange.
#pragma once

#include <memory>

#include "frames/TchildFrame.h"
#include "platform/db/Query.h"
#include "screens/RecordDialog.h"
#include "screens/TfrmExchange.h"
#include "widgets/DataControls.h"

class QPushButton;

namespace zl {

class TfrmRegion : public RecordDialog {
    Q_OBJECT
  public:
    explicit TfrmRegion(QWidget* owner = nullptr);
    ~TfrmRegion() override;

    db::Query qExchange;
    widgets::DataSource dsEdit{&qEdit};
    TchildFrame* exchangeFrame;
    // The rate dialog of the list, made when the dialog shows.
    TfrmExchange* frmExchange = nullptr;
    QPushButton* btnOK;
    QPushButton* btnCancel;

  protected:
    void OpeningRecord() override;
    void RecordOpened(DimensionTable& regions, DimensionTable* rates) override;
    void RecordClosed() override;

  private:
    std::unique_ptr<TfrmExchange> exchangeDialog_;
};

}  // namespace zl
