// Routines the edit dialogs share: one way to run a handler so that no exception reaches the
// event loop, and small steps of the dialogs on one row.
#pragma once

#include <QString>
#include <functional>
#include <initializer_list>
#include <string>

#include "platform/db/Query.h"
#include "widgets/DataControls.h"

class QFormLayout;
class QHBoxLayout;
class QPushButton;
class QTimer;
class QWidget;

namespace zl {

// What a guarded handler does with a value a data control refused (db::RangeError): the control
// has told the user already, so dialogs whose controls refuse entries do not report it twice.
enum class RefusedEntry { Report, AlreadyShown };

// Runs a handler so that no exception leaves it for the event loop: the error is logged under the
// handler's tag and shown.
void RunGuarded(const std::string& tag, const std::function<void()>& step,
                RefusedEntry refused = RefusedEntry::Report) noexcept;

// Stores what a show has filled in on the row `q` edits and keeps editing it. A failure is
// logged; the row then stays in edit state with its values, to be saved (or given up) on close.
void StoreAndKeepEditing(db::Query& q, const std::string& tag);

// A labelled one-line edit of `column` (also its object name) on the form.
widgets::DBEdit* AddDataEdit(QWidget* parent, QFormLayout* form, const QString& label,
                             widgets::DataSource* source, const char* column);

// The dialog's default button "&Save and Close", named "btnOK".
QPushButton* NewSaveAndCloseButton(QWidget* dialog);

// The "&Cancel" button named btnCancel, whose click runs `onClick` guarded under `tag`.
QPushButton* NewCancelButton(QWidget* dialog, const std::string& tag,
                             std::function<void()> onClick);

// The row of buttons at the foot of an edit dialog: `leading` on the left, `ok` and `cancel` on
// the right. `ok` closes the dialog, whose close routine saves.
QHBoxLayout* NewButtonRow(QWidget* dialog, QPushButton* ok, QPushButton* cancel,
                          std::initializer_list<QPushButton*> leading = {});

// A one-shot timer named "Timer1" that fires `intervalMs` after its start: the set-up a show
// leaves until the dialog is on screen.
QTimer* NewSetUpTimer(QWidget* dialog, int intervalMs);

// A number outside its column's range is refused as soon as the user leaves the edit (or
// presses Return), and the edit keeps the focus; the save refuses it as well.
void RefuseWhenEntered(widgets::DBEdit* edit);

// The highest display order among the other rows under the same parent: 0 when there are
// none, -1 when it could not be read (already reported). A new row takes one more, so that a
// deleted row leaves no two rows on the same place.
int HighestOtherOrder(const std::string& table, const std::string& orderColumn,
                      const std::string& parentColumn, int parentId, const std::string& keyColumn,
                      int ownKey, const std::string& tag);

}  // namespace zl
