// The document line dialog: a new line picks its item and is priced from the catalogue and
// the customer; any later change of a price field recomputes the total.
#pragma once

#include "core/BillRate.h"
#include "platform/db/Query.h"
#include "screens/DetailDialog.h"
#include "widgets/DataControls.h"

namespace zl {

class TfrmBillItem : public LineItemDialog {
    Q_OBJECT
  public:
    explicit TfrmBillItem(QWidget* owner = nullptr);
    ~TfrmBillItem() override;

    // The set-up, run once just after the dialog shows.
    void Timer1Timer();

    db::Query qEdit;
    widgets::DataSource dsEdit{&qEdit};
    widgets::DBRadioGroup* DBRadioGroup1;
    widgets::DBEdit* DBEdit1;
    widgets::DBEdit* DBEdit2;
    widgets::DBEdit* DBEdit3;
    widgets::DBEdit* DBEdit4;
    widgets::DBEdit* DBEdit5;
    widgets::DBEdit* DBEdit6;
    widgets::DBEdit* DBEdit7;
    widgets::DBEdit* DBEdit8;

  protected:
    bool FormClose() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void RecomputeTotal();

    BillRate rates_;
};

}  // namespace zl
