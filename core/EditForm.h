// The add/edit controller of a top-level edit dialog: it opens the dialog's query on the
// kind's table and either appends a new record with its key, kind, parent and starting values
// or stands on the record to edit; it posts on close and confirms a cancel.
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
    EditForm(ui::Dialog& form, DimensionTable& dimension, db::Query& q);
    ~EditForm();
    EditForm(const EditForm&) = delete;
    EditForm& operator=(const EditForm&) = delete;

    // Posts the record being added or edited; false when the post failed.
    bool handleClose();
    // Asks whether to drop the changes; true when the user agreed.
    bool handleCancel(ui::WindowHandle owner);
    // False, after telling the user, when the edit is empty (and no cancel was confirmed).
    bool RequireValue(ui::WindowHandle owner, ui::TextEdit& edit, const std::string& column);
    void CloseAll();
    bool GetCancelled() const { return Cancelled; }

  private:
    void DoAdd();
    void DoEdit();

    ui::Dialog& Form;
    DimensionTable& Dimension;
    bool Cancelled = false;
    db::Query& qEdit;
    std::unique_ptr<db::Query> qDefs;
};

}  // namespace zl
