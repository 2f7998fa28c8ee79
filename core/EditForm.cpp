#include "core/EditForm.h"

#include <exception>

#include "core/DataMod.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"

namespace zl {
EditForm::EditForm(ui::Dialog& form, DimensionTable& dimension, db::Query& q)
    : Form(form), Dimension(dimension), qEdit(q), qDefs(std::make_unique<db::Query>()) {
    Form.Move(ui::CentredLeft(Form.Width()), ui::CentredTop(Form.Height()));
    DataMod->OpenByField(*qDefs, "dim_def", Dimension.GetDimensionId(), "EditForm.Create",
                         "dimension_id");
    DataMod->openQuery(DataMod->zlmConn, qEdit, "EditForm.Create",
                       "select * from " + Dimension.DimString("dimension_table"));
    if (Dimension.GetEditMode() == DimensionTable::Add)
        DoAdd();
    else if (Dimension.GetEditMode() == DimensionTable::EditRecord)
        DoEdit();
}

EditForm::~EditForm() {
    CloseAll();
}

void EditForm::DoAdd() {
    if (!DataMod->Append(qEdit, "EditForm.DoAdd")) {
        // No key: there is no new record, and nothing will be posted on close.
        if (qEdit.Editing())
            qEdit.Cancel();
        Dimension.SetRecordId(0);
        return;
    }
    qEdit.FieldByName("dimension_id").SetAsInteger(Dimension.GetDimensionId());
    const std::string parentColumn = Dimension.DimString("dimension_parentfield");
    if (!parentColumn.empty())
        qEdit.FieldByName(parentColumn).SetAsInteger(Dimension.GetParentId());
    for (qDefs->First(); !qDefs->Eof(); qDefs->Next())
        WriteDefault(qEdit, qDefs->FieldByName("dim_def_field").AsString(),
                     qDefs->FieldByName("dim_def_value").AsString());
    Dimension.SetRecordId(qEdit.FieldByName(Dimension.DimString("dimension_idfield")).AsInteger());
}

void EditForm::DoEdit() {
    if (DataMod->Seek(qEdit, Dimension.DimString("dimension_idfield"), Dimension.GetRecordId()))
        qEdit.Edit();
}

bool EditForm::handleClose() {
    try {
        if (qEdit.Editing())
            qEdit.Post();
        return true;
    } catch (const std::exception& e) {
        LogError("EditForm.handleClose", e.what(), "");
        return false;
    }
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
    if (Cancelled)
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
