// Routines the edit dialogs share: one way to run a handler so that no exception reaches the
// event loop, the controls and layouts they are built of, and small steps they have in common.
#pragma once

#include <QString>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>

#include "core/DimensionTable.h"
#include "platform/db/Query.h"
#include "widgets/DataControls.h"

class QAbstractButton;
class QFileDialog;
class QFormLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QVBoxLayout;
class QWidget;

namespace zl {

class EditForm;
class TdtFrame;

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
// "&OK" (the default, btnOK) and "&Cancel" (btnCancel) at the right of a row of their own, for
// dialogs that connect both buttons themselves.
QHBoxLayout* NewOkCancelRow(QWidget* dialog, QPushButton*& ok, QPushButton*& cancel);
// The form, with `ok` at its right below it, as the dialog's layout.
QVBoxLayout* LayOutForm(QWidget* dialog, QFormLayout* form, QPushButton* ok);
// A push button named `name`.
QPushButton* NewButton(QWidget* dialog, const char* name, const QString& caption);
// Makes a password edit show "*" for every character, whatever the desktop's style draws.
void ShowAsPassword(QLineEdit* edit);
// The layout of a dialog with a detail list: the form, the list's label, the list taking the
// height that is left, and a row of buttons, `tools` at the left and `closers` at the right
// (null ones left out).
void LayOutWithList(QWidget* dialog, QFormLayout* form, QLabel* label, QWidget* list,
                    std::initializer_list<QPushButton*> tools,
                    std::initializer_list<QPushButton*> closers);
// "OpenDialog1": our own file dialog rather than the desktop's, so that it behaves alike
// everywhere; only an existing file can be chosen.
QFileDialog* NewOpenDialog(QWidget* dialog);
// The path of the file chosen in `chooser`; "" when the choice was cancelled. The chooser opens
// in the folder of `current` when that is a file path whose folder exists, otherwise in the
// document repository, where templates, attachments and images are kept (the home folder when
// there is none): never in the program's working folder.
std::string ChooseFile(QFileDialog* chooser, const std::string& current = "");

// The Cancel of a dialog kept by an EditForm: it closes when the user agrees to drop the changes.
void CancelEdit(EditForm* editForm, QWidget* dialog);
// Saves through the dialog's EditForm as the dialog closes, guarded under `tag`, and is done with
// it. False keeps the dialog open: the save failed and the user kept the changes.
bool FinishEdit(std::unique_ptr<EditForm>& editForm, const std::string& tag, RefusedEntry refused);

// Whether the full name made of the row's name, first name and title (a space between each)
// fits its column. When it does not, the user is told so in the words of the dialog's labels
// for those parts, and the first of their edits takes the focus.
bool FullNameFits(QWidget* dialog, db::Query& entity);

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

}  // namespace zl
