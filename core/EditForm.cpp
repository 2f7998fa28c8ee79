#include "core/EditForm.h"

#include <exception>

#include "core/DataMod.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "platform/db/DbError.h"
#include "platform/db/JetDialect.h"

namespace zl {

void ReportNewRecordFailed(ui::WindowHandle owner) {
    ui::ShowMessage(owner, "The new record could not be created. Nothing has been stored.",
                    "No record", ui::Icon::Warning);
}

SaveOutcome SaveRecord(db::Query& q, ui::WindowHandle owner, const std::string& tag) {
    if (!q.Active() || !q.Editing())
        return SaveOutcome::Saved;
    try {
        q.Post();
        return SaveOutcome::Saved;
    } catch (const db::RangeError&) {
        // A control refused what was typed, said why and has the focus again.
        return SaveOutcome::KeepOpen;
    } catch (const std::exception& e) {
        LogError(tag, e.what(), "");
    }
    // Asked whether or not the log could be written: a failed save never passes in silence.
    if (ui::ShowMessage(owner, "The record could not be saved. Discard your changes and close?",
                        "Not saved", ui::Icon::Warning, ui::Buttons::YesNo) != ui::Button::Yes)
        return SaveOutcome::KeepOpen;
    try {
        q.Cancel();
    } catch (const std::exception& e) {
        LogError(tag, e.what(), "");
    }
    return SaveOutcome::Discarded;
}

bool OpenRecordToEdit(db::Query& q, const std::string& table, const std::string& keyColumn, int id,
                      ui::Dialog& form, const std::string& tag) {
    const std::string sql = "select * from " + db::QuoteName(table) + " where " +
                            db::QuoteName(keyColumn) + "=" + std::to_string(id);
    if (!DataMod->openQuery(DataMod->zlmConn, q, tag, sql)) {
        form.Close();
        return false;
    }
    if (q.IsEmpty()) {
        // Deleted meanwhile, here or on another workstation. A closed query lets no control
        // start an edit, so nothing can be typed into (or posted over) any other row.
        q.Close();
        ui::ShowMessage(form.Handle(), "There is no record to edit", "No record",
                        ui::Icon::Information);
        form.Close();
        return false;
    }
    try {
        q.Edit();
        return true;
    } catch (const std::exception& e) {
        q.Close();
        LogError(tag, e.what(), "");
        form.Close();
        return false;
    }
}

EditForm::EditForm(ui::Dialog& form, DimensionTable& dimension, db::Query& q)
    : Form(form), Dimension(dimension), qEdit(q), qDefs(std::make_unique<db::Query>()) {
    Form.Move(ui::CentredLeft(Form.Width()), ui::CentredTop(Form.Height()));
    DataMod->OpenByField(*qDefs, "dim_def", Dimension.GetDimensionId(), "EditForm.Create",
                         "dimension_id");
    if (Dimension.GetEditMode() == DimensionTable::Add)
        DoAdd();
    else if (Dimension.GetEditMode() == DimensionTable::EditRecord)
        DoEdit();
    else
        qEdit.Close();
}

EditForm::~EditForm() {
    CloseAll();
    Dimension.SetEditMode(DimensionTable::None);
}

void EditForm::DoAdd() {
    // Only the columns are needed: an empty set of the kind's table to append to.
    if (!DataMod->openQuery(DataMod->zlmConn, qEdit, "EditForm.Create",
                            "select * from " +
                                db::QuoteName(Dimension.DimString("dimension_table")) +
                                " where 1=0")) {
        AbandonAdd();
        return;
    }
    // Append has logged a failure and cancelled its insert.
    if (!DataMod->Append(qEdit, "EditForm.DoAdd")) {
        AbandonAdd();
        return;
    }
    try {
        qEdit.FieldByName("dimension_id").SetAsInteger(Dimension.GetDimensionId());
        const std::string parentColumn = Dimension.DimString("dimension_parentfield");
        if (!parentColumn.empty())
            qEdit.FieldByName(parentColumn).SetAsInteger(Dimension.GetParentId());
        if (qDefs->Active())
            for (qDefs->First(); !qDefs->Eof(); qDefs->Next())
                WriteDefault(qEdit, qDefs->FieldByName("dim_def_field").AsString(),
                             qDefs->FieldByName("dim_def_value").AsString());
        Dimension.SetRecordId(
            qEdit.FieldByName(Dimension.DimString("dimension_idfield")).AsInteger());
        hasRecord_ = true;
    } catch (const std::exception& e) {
        LogError("EditForm.DoAdd", e.what(), "");
        AbandonAdd();
    }
}

void EditForm::AbandonAdd() {
    try {
        if (qEdit.Editing())
            qEdit.Cancel();
    } catch (...) {
        // The query is closed next either way.
    }
    qEdit.Close();
    hasRecord_ = false;
    Dimension.SetRecordId(0);
    ReportNewRecordFailed(Form.Handle());
    Form.Close();
}

void EditForm::DoEdit() {
    hasRecord_ = OpenRecordToEdit(qEdit, Dimension.DimString("dimension_table"),
                                  Dimension.DimString("dimension_idfield"), Dimension.GetRecordId(),
                                  Form, "EditForm.Create");
}

bool EditForm::PostNew() {
    if (!hasRecord_ || qEdit.State() != db::DataSetState::dsInsert)
        return hasRecord_;
    try {
        qEdit.Post();
        qEdit.Edit();
        return true;
    } catch (const std::exception& e) {
        LogError("EditForm.PostNew", e.what(), "");
    }
    AbandonAdd();
    return false;
}

bool EditForm::handleClose() {
    switch (SaveRecord(qEdit, Form.Handle(), "EditForm.handleClose")) {
        case SaveOutcome::Saved:
            return true;
        case SaveOutcome::Discarded:
            Cancelled = true;
            return true;
        case SaveOutcome::KeepOpen:
            break;
    }
    return false;
}

bool EditForm::handleCancel(ui::WindowHandle owner) {
    try {
        if (ui::ShowMessage(owner, "You will lose any changes you have made. Proceed?", "Cancel",
                            ui::Icon::Question, ui::Buttons::YesNo) != ui::Button::Yes)
            return false;
        if (qEdit.Editing()) {
            qEdit.Cancel();
            Cancelled = true;
        }
        return true;
    } catch (const std::exception& e) {
        LogError("EditForm.handleClose", e.what(), "");
        return false;
    }
}

bool EditForm::RequireValue(ui::WindowHandle owner, ui::TextEdit& edit, const std::string&) {
    if (Cancelled || !hasRecord_)
        return true;
    if (!edit.Text().empty())
        return true;
    ui::ShowMessage(owner, "Please enter a value here", "No value", ui::Icon::Warning);
    edit.SetFocus();
    return false;
}

void EditForm::CloseAll() {
    qEdit.Close();
    qDefs->Close();
}

}  // namespace zl
