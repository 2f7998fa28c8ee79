// The document line dialog: a new line picks its item and is priced from the catalogue and
// the customer; any later change of a price field recomputes the total.
#pragma once

#include <QTimer>
#include <initializer_list>
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

// A kind of item a priced line can hold, by the type chooser's answer.
struct LineItemKind {
    int type;  // doc_item_billtype: 0 service, 1 component, 2 assembly
    int lookupDimension;
    const char* linkColumn;
    bool assembly;  // priced by rolling its parts up
};

// The start of a new priced line, shared by the document and forecast line dialogs: the user
// chooses the item type and picks an item of it; the line (in edit state) then takes the type,
// the item's key, description, code and selling rate, and `rates` stands on the item. A pick
// abandoned, or with nothing to pick, writes nothing into the line: its edit is cancelled, the
// user is offered its erasure, the dialog closes and the result is null.
const LineItemKind* PickNewLineItem(QWidget& dialog, db::Query& line, BillRate& rates,
                                    TfrmSelItemType& chooser, TfrmLookup& lookup);

// Writes what was typed into the price edits, then the line's total. A value refused (and
// explained) leaves the total as it was: false.
bool RecomputeLineTotal(db::Query& line, BillRate& rates,
                        std::initializer_list<widgets::DBEdit*> edits);

class TfrmBillItem : public widgets::FormDialog {
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
    QPushButton* btnOK;
    QTimer* Timer1;
    std::unique_ptr<TfrmLookup> frmLookup;
    std::unique_ptr<TfrmSelItemType> frmSelItemType;

  protected:
    void showEvent(QShowEvent* event) override;
    bool FormClose() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void RecomputeTotal();

    BillRate rates_;
    widgets::WidgetDialog adapter_{*this};
    bool closing_ = false;
};

}  // namespace zl
