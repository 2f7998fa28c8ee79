// The add/edit controller of a top-level edit dialog: it opens the dialog's query on the
// record of the kind's table and either appends a new record with its key, kind, parent and
// starting values or stands on the record to edit; it posts on close and confirms a cancel.
// The routines below the class serve the detail dialogs, which open a stored row themselves.
#pragma once

#include <memory>
#include <string>

#include "core/DimensionTable.h"
#include "platform/db/Query.h"
#include "platform/ui/Controls.h"

namespace zl {

class EditForm {
  public:
    // Centres the dialog and performs the add or the seek at once, by the dimension's mode.
    // When there is no record to work on (it was deleted meanwhile, or no new one could be
    // made) the user is told, the query is closed so that nothing can be typed into another
    // row, and the dialog is asked to close.
    EditForm(ui::Dialog& form, DimensionTable& dimension, db::Query& q);
    // Closes the queries; the dimension is no longer being added to or edited.
    ~EditForm();
    EditForm(const EditForm&) = delete;
    EditForm& operator=(const EditForm&) = delete;

    // Posts the record being added or edited. True when the dialog may close: saved, nothing
    // to save, or the save failed and the user chose to discard the changes (then Cancelled).
    // False keeps the dialog open with the record still in edit or insert state.
    bool handleClose();
    // Asks whether to drop the changes; true when the user agreed.
    bool handleCancel(ui::WindowHandle owner);
    // False, after telling the user, when the edit is empty (and no cancel was confirmed and
    // there is a record to save).
    bool RequireValue(ui::WindowHandle owner, ui::TextEdit& edit, const std::string& column);
    // Stores the new record at once, for dialogs whose detail lists refer to its key, and
    // keeps it in edit state. False (the user told, the dialog closing) when it failed.
    bool PostNew();
    void CloseAll();
    bool GetCancelled() const { return Cancelled; }
    // Whether the dialog has a record to show and save.
    bool HasRecord() const { return hasRecord_; }

  private:
    void DoAdd();
    void DoEdit();
    // The add could not be completed: nothing is stored and the dialog closes.
    void AbandonAdd();

    ui::Dialog& Form;
    DimensionTable& Dimension;
    bool Cancelled = false;
    bool hasRecord_ = false;
    db::Query& qEdit;
    std::unique_ptr<db::Query> qDefs;
};

// Tells the user that a new record could not be made (no key, or it could not be stored), in a
// message of the dialog's own: the error log may not have been writable.
void ReportNewRecordFailed(ui::WindowHandle owner);

// What became of a record when its dialog tried to save it.
enum class SaveOutcome { Saved, Discarded, KeepOpen };

// Posts the row `q` is editing or inserting (nothing to do is Saved). When the post fails it is
// logged under `tag` and the user is asked "The record could not be saved. Discard your changes
// and close?": Yes cancels the changes (Discarded), No keeps them (KeepOpen). A value that a
// control refused has been explained already and keeps the dialog open without asking.
SaveOutcome SaveRecord(db::Query& q, ui::WindowHandle owner, const std::string& tag);

// Opens the row of `table` whose `keyColumn` is `id` and puts it in edit state. When the row
// is not there, says "There is no record to edit", leaves `q` closed and closes the dialog;
// when the query cannot be opened (already reported) it closes the dialog too.
bool OpenRecordToEdit(db::Query& q, const std::string& table, const std::string& keyColumn, int id,
                      ui::Dialog& form, const std::string& tag);

}  // namespace zl
