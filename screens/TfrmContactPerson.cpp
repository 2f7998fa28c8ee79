#include "screens/TfrmContactPerson.h"

#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/EditForm.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "platform/db/DbError.h"
#include "screens/DetailDialog.h"
#include "screens/DialogSupport.h"
#include "widgets/QtPlatform.h"

namespace zl {

bool SetFullName(QWidget* dialog, db::Query& entity) {
    entity.UpdateRecord();  // the name parts as the user typed them
    if (!FullNameFits(dialog, entity))
        return false;
    entity.FieldByName("entity_fullname")
        .SetAsString(entity.FieldByName("entity_name").AsString() + " " +
                     entity.FieldByName("entity_first").AsString() + " " +
                     entity.FieldByName("entity_title").AsString());
    // Stored from the parts as the row holds them once saved: another workstation may have
    // changed a part this dialog did not touch.
    entity.SetDerivedColumn("entity_fullname",
                            "coalesce(entity_name,'') || ' ' || coalesce(entity_first,'') || ' ' "
                            "|| coalesce(entity_title,'')");
    return true;
}

TfrmContactPerson::TfrmContactPerson(QWidget* owner) : FormDialog(owner) {
    setObjectName("frmContactPerson");
    setWindowTitle("Contact person");
    auto* form = new QFormLayout;
    const std::pair<const char*, const char*> fields[] = {
        {"First name(s): ", "entity_first"},
        {"Last name: ", "entity_name"},
        {"Title: ", "entity_title"},
        {"Initials: ", "entity_initials"},
        {"Birth month (1-12): ", "entity_birthmonth"},
        {"Birth day (1-31): ", "entity_birthday"},
        {"Office telephone: ", "entity_officetel"},
        {"Home telephone: ", "entity_hometel"},
        {"Cell: ", "entity_cell"},
        {"Fax: ", "entity_fax"},
        {"E-mail: ", "entity_email"},
        {"Building: ", "entity_building"},
        {"Office: ", "entity_office"},
        {"Department: ", "entity_department"},
    };
    for (const auto& [label, column] : fields)
        AddDataEdit(this, form, label, &dsEntity, column)->setMinimumWidth(260);
    btnOK = NewSaveAndCloseButton(this);
    connect(btnOK, &QPushButton::clicked, this, &QWidget::close);
    LayOutForm(this, form, btnOK);
    adjustSize();
    widgets::Centre(*this);
}

void TfrmContactPerson::showEvent(QShowEvent* event) {
    FormDialog::showEvent(event);
    OpenHandedRecord(qEntity, 17, "entity", "entity_id", adapter_, "TfrmContactPerson.FormShow");
}

bool TfrmContactPerson::FormClose() {
    if (qEntity.State() == db::DataSetState::dsEdit) {
        try {
            if (!SetFullName(this, qEntity))
                return false;
        } catch (const db::RangeError&) {
            return false;  // a control refused a value and has said why
        } catch (const std::exception& e) {
            LogError("TfrmContactPerson.FormClose", e.what(), "");
        }
    }
    return SaveAndCloseRecord(qEntity, this, "TfrmContactPerson.FormClose");
}

}  // namespace zl
