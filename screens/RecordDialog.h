// The frame of a top-level edit dialog of one record of a kind: the show finds the kind (and
// the kind of the dialog's detail list, when it has one) and opens the record through the
// add/edit controller; every way of closing saves it; Cancel drops the changes once the user
// agrees. A dialog adds its own steps through the hooks; its log tags start with its class name.
#pragma once

#include <memory>
#include <string>

#include "core/EditForm.h"
#include "platform/db/Query.h"
#include "widgets/FormDialog.h"
#include "widgets/QtPlatform.h"

class QPushButton;

namespace zl {

class RecordDialog : public widgets::FormDialog {
    Q_OBJECT
  public:
    ~RecordDialog() override;

    const int DimensionId;
    db::Query qEdit;

  protected:
    // `className` starts every log tag ("TfrmCustType"); `detailKind` is the kind of the
    // dialog's detail list, 0 when it has none.
    RecordDialog(QWidget* owner, std::string className, int dimensionId, int detailKind = 0);

    // Runs FormShow under "<class>.FormShow" once a showing (a window restored from the task bar
    // is the same showing). A show that fails closes the dialog.
    void showEvent(QShowEvent* event) override;
    // Saves the record under "<class>.FormClose": BeforeSave, the controller's save, AfterSave.
    // Any of them may keep the dialog open; once it may close the controller goes and then
    // RecordClosed runs.
    bool FormClose() override;

    // Opens the record at once; a dialog may leave it for later and call OpenRecord then.
    virtual void FormShow() { OpenRecord(Tag("FormShow")); }
    // Centres the dialog, finds the kinds (a missing one is logged under `tag` and closes the
    // dialog) and opens the record.
    void OpenRecord(const std::string& tag);

    // Before the kinds are looked up: what is left of an earlier showing is put back.
    virtual void ShowStarting() {}
    // The kinds are there and the record is about to be added or opened: false (after telling
    // the user why) closes the dialog with nothing opened or stored.
    virtual bool MayOpen(DimensionTable& /*records*/) { return true; }
    // The kinds are there; the record is opened next.
    virtual void OpeningRecord() {}
    // There is a record to show and edit (without one the user has been told and the dialog
    // is closing). `details` is the kind of the detail list, nullptr when there is none.
    virtual void RecordOpened(DimensionTable& /*records*/, DimensionTable* /*details*/) {}
    // Before the record is posted on close; false keeps the dialog open.
    virtual bool BeforeSave() { return true; }
    // The record is saved, or its changes were given up; false keeps the dialog open.
    virtual bool AfterSave() { return true; }
    // The controller has closed the record: the dialog's other row sets close.
    virtual void RecordClosed() {}

    // "&Cancel" named btnCancel: once the user agrees the changes are dropped and the dialog
    // closes.
    QPushButton* NewCancelButton();
    // After the save on close: the record was there and is stored, not given up.
    bool RecordSaved() const { return editForm_->HasRecord() && !editForm_->GetCancelled(); }
    std::string Tag(const char* handler) const { return className_ + "." + handler; }

    widgets::WidgetDialog adapter_{*this};
    std::unique_ptr<EditForm> editForm_;

  private:
    void btnCancelClick();

    const std::string className_;
    const int detailKind_;
};

}  // namespace zl
