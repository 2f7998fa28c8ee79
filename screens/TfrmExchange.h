// One dated rate of exchange of a region: a new rate continues the region's latest period.
#pragma once

#include "platform/db/Query.h"
#include "widgets/DataControls.h"
#include "widgets/FormDialog.h"
#include "widgets/QtPlatform.h"

class QPushButton;

namespace zl {

class TdtFrame;

class TfrmExchange : public widgets::FormDialog {
    Q_OBJECT
  public:
    explicit TfrmExchange(QWidget* owner = nullptr);

    // The period of a new rate: from the end of the region's latest period, or today, for a year.
    void proposePeriod();

    int DimensionId = 0;
    db::Query qEdit;
    widgets::DataSource dsRate{&qEdit};
    TdtFrame* dtFrame1;
    TdtFrame* dtFrame2;
    widgets::DBEdit* DBEdit1;
    QPushButton* btnOK;

  protected:
    void showEvent(QShowEvent* event) override;
    bool FormClose() override;

  private:
    void FormShow();

    widgets::WidgetDialog adapter_{*this};
};

}  // namespace zl
