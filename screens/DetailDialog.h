// What the dialogs on one row of a detail list share (a document, forecast or assembly line, a
// dated rate, a choice, a contact person, an inquiry step), and the steps and controls the
// contact event, inquiry and document dialogs have in common.
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

class QAbstractButton;
class QFileDialog;
class QFormLayout;
class QLabel;
class QPushButton;
class QVBoxLayout;

namespace zl {

class EditForm;
class TdtFrame;
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

// Runs `step` guarded under `tag`; true when it ran to its end.
bool RanGuarded(const std::string& tag, const std::function<void()>& step,
                RefusedEntry refused = RefusedEntry::Report);

// Every click of `button` runs `handler` guarded under `tag`.
void OnClickGuarded(QAbstractButton* button, std::string tag, std::function<void()> handler,
                    RefusedEntry refused = RefusedEntry::AlreadyShown);

// Controls of the form bound to `source`, under their own object names.
widgets::DBEdit* AddNamedEdit(QWidget* parent, QFormLayout* form, const char* name,
                              const QString& label, widgets::DataSource* source,
                              const char* column);
// A memo no taller than `maxHeight` (0: as tall as the form lets it).
widgets::DBMemo* AddDataMemo(QWidget* parent, QFormLayout* form, const char* name,
                             const QString& label, widgets::DataSource* source, const char* column,
                             int maxHeight = 0);
widgets::DBLookupComboBox* AddLookupCombo(QWidget* parent, QFormLayout* form, const char* name,
                                          const QString& label, db::Query* list, const char* key,
                                          const char* shown, widgets::DataSource* source,
                                          const char* column);
TdtFrame* AddDateFrame(QWidget* parent, QFormLayout* form, const char* name, const QString& label);
// The path of a document, kept in `column`, as a text the mouse can select.
widgets::DBText* NewFileText(QWidget* parent, widgets::DataSource* source, const char* column);

// The default button "&OK", named "btnOK".
QPushButton* NewOKButton(QWidget* dialog);
// The form, with `ok` at its right below it, as the dialog's layout.
QVBoxLayout* LayOutForm(QWidget* dialog, QFormLayout* form, QPushButton* ok);
// A push button named `name`.
QPushButton* NewButton(QWidget* dialog, const char* name, const QString& caption);
// The layout of a dialog with a detail list: the form, the list's label, the list taking the
// height that is left, and a row of buttons, `tools` at the left and `closers` at the right
// (null ones left out).
void LayOutWithList(QWidget* dialog, QFormLayout* form, QLabel* label, QWidget* list,
                    std::initializer_list<QPushButton*> tools,
                    std::initializer_list<QPushButton*> closers);
// "OpenDialog1": our own file dialog rather than the desktop's, so that it behaves alike
// everywhere; only an existing file can be chosen.
QFileDialog* NewOpenDialog(QWidget* dialog);
// The path of the file chosen in `chooser`; "" when the choice was cancelled.
std::string ChooseFile(QFileDialog* chooser);

// The Cancel of a dialog kept by an EditForm: it closes when the user agrees to drop the changes.
void CancelEdit(EditForm* editForm, QWidget* dialog);
// Saves through the dialog's EditForm as the dialog closes, guarded under `tag`, and is done with
// it. False keeps the dialog open: the save failed and the user kept the changes.
bool FinishEdit(std::unique_ptr<EditForm>& editForm, const std::string& tag, RefusedEntry refused);

// The customer dialog takes over the customer kind and, through its contact list, the contact
// person kind; the windows behind find them as they left them.
struct BorrowedCustomerKinds {
    BorrowedCustomerKinds();
    BorrowedContext customers;
    BorrowedContext persons;
};

// Shows the customer of the row `q` stands on in the customer dialog. The customer's key, or
// 0 when nothing was shown (no row, no customer, or the kind is not there, reported under `tag`).
int ShowRowCustomer(QWidget* owner, db::Query& q, const std::string& tag);

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
