// The document line dialog: a new line picks its item and is priced from the catalogue and
// the customer; any later change of a price field recomputes the total.
#pragma once

#include <QTimer>
#include <memory>

#include "core/BillRate.h"
#include "platform/db/Query.h"
#include "widgets/DataControls.h"
#include "widgets/FormDialog.h"
#include "widgets/QtPlatform.h"

class QPushButton;

namespace zl {

class TfrmLookup;
class TfrmSelItemType;

class TfrmBillItem : public widgets::FormDialog {
    Q_OBJECT
  public:
    explicit TfrmBillItem(QWidget* owner = nullptr);
    ~TfrmBillItem() override;

    // The set-up, run once just after the dialog shows.
    void Timer1Timer();
    // Lets the user pick an item of the kind; its key, or 0 or less for none.
    int pickBillable(int dimension);

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
    QPushButton* btnOK;
    QTimer* Timer1;
    std::unique_ptr<TfrmLookup> frmLookup;
    std::unique_ptr<TfrmSelItemType> frmSelItemType;

  protected:
    void showEvent(QShowEvent* event) override;
    bool FormClose() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Picks an item of the kind and fills the line from it; false when the pick was abandoned.
    bool SetItem(int lookupDimension, const char* linkColumn, bool assembly);
    void RecomputeTotal();

    BillRate rates_;
    widgets::WidgetDialog adapter_{*this};
    bool closing_ = false;
};

}  // namespace zl
