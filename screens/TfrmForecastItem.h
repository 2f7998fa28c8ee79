// The forecast line dialog: a new line picks its item and is priced at its rate of the day, one
// of it, untaxed; leaving the rate or the quantity recomputes the amount.
#pragma once

#include "core/BillRate.h"
#include "platform/db/Query.h"
#include "screens/DetailDialog.h"
#include "widgets/DataControls.h"

namespace zl {

class TfrmForecastItem : public LineItemDialog {
    Q_OBJECT
  public:
    explicit TfrmForecastItem(QWidget* owner = nullptr);
    ~TfrmForecastItem() override;

    // The set-up, run once just after the dialog shows.
    void Timer1Timer();
    // Recomputes the amount, then closes.
    void btnOKClick();

    db::Query qEdit;
    widgets::DataSource dsEdit{&qEdit};
    widgets::DBEdit* DBEdit1;  // description
    widgets::DBEdit* DBEdit2;  // code
    widgets::DBEdit* DBEdit3;  // rate
    widgets::DBEdit* DBEdit4;  // quantity
    widgets::DBEdit* DBEdit5;  // amount

  protected:
    bool FormClose() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void SetUpLine();
    void RecomputeTotal();

    BillRate rates_;
};

}  // namespace zl
