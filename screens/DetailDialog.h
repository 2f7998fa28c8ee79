// What the dialogs on one row of a detail list share: a document, forecast or assembly line, a
// dated rate, a choice, a contact person, an inquiry step.
#pragma once

#include <QString>
#include <QTimer>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>

#include "core/BillRate.h"
#include "core/DimensionTable.h"
#include "platform/db/Query.h"
#include "screens/DialogSupport.h"
#include "widgets/DataControls.h"
#include "widgets/FormDialog.h"
#include "widgets/QtPlatform.h"

class QFormLayout;
class QPushButton;

namespace zl {

class TfrmLookup;
class TfrmSelItemType;

// Opens the row of `table` whose `keyColumn` is the record the kind `dimension` hands over, in
// edit state. Null when the kind is not there or the row is gone: that has been reported and
// the dialog is closing.
DimensionTable* OpenHandedRecord(db::Query& q, int dimension, const std::string& table,
                                 const std::string& keyColumn, ui::Dialog& form,
                                 const std::string& tag);

// Saves the row `q` edits as its dialog closes, then closes the query. False keeps the dialog
// open, the row still in edit state.
bool SaveAndCloseRecord(db::Query& q, QWidget* dialog, const std::string& tag);

// A new line whose item was not picked: nothing is written into it, the user is offered the
// erasure of the row the detail list of `dimension` stored for it, and the dialog closes.
void DropAbandonedLine(QWidget& dialog, db::Query& line, int dimension);

// A new dated rate continues the latest period of the rates under the same `parentColumn`,
// from the end of it or from today, for a year.
void ProposeRatePeriod(db::Query& rate, const std::string& table, const std::string& parentColumn,
                       const std::string& fromColumn, const std::string& toColumn);

// A line dialog whose set-up runs once just after it shows (Timer1: the dialog is on screen
// then, so that the pickers a new line opens stand over it). A new line chooses its item type
// with frmSelItemType and picks the item with frmLookup.
class LineItemDialog : public widgets::FormDialog {
    Q_OBJECT
  public:
    ~LineItemDialog() override;

    QPushButton* btnOK = nullptr;
    QTimer* Timer1;
    std::unique_ptr<TfrmLookup> frmLookup;
    std::unique_ptr<TfrmSelItemType> frmSelItemType;

  protected:
    explicit LineItemDialog(QWidget* owner);
    void showEvent(QShowEvent* event) override;

    // Opens the line the kind `dimension` hands over. True when the line is
    // new, which then picks its item: frmSelItemType is ready for that.
    bool OpenLine(db::Query& line, int dimension, const std::string& table,
                  const std::string& keyColumn, const std::string& tag);
    // Saves the line as the dialog closes; a failed save that keeps the dialog open clears
    // closing_ again.
    bool SaveLine(db::Query& line, const std::string& tag);

    widgets::WidgetDialog adapter_{*this};
    // Set while the dialog closes: leaving a field recomputes nothing then.
    bool closing_ = false;
};

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

}  // namespace zl
