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
#include "screens/DialogSupport.h"
#include "widgets/QtPlatform.h"

namespace zl {

void SetFullName(db::Query& entity) {
    entity.UpdateRecord();  // the name parts as the user typed them
    entity.FieldByName("entity_fullname")
        .SetAsString(entity.FieldByName("entity_name").AsString() + " " +
                     entity.FieldByName("entity_first").AsString() + " " +
                     entity.FieldByName("entity_title").AsString());
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
    for (const auto& [label, column] : fields) {
        auto* edit = new widgets::DBEdit(this);
        edit->setObjectName(column);
        edit->SetDataSource(&dsEntity);
        edit->SetDataField(column);
        edit->setMinimumWidth(260);
        form->addRow(label, edit);
    }
    btnOK = NewSaveAndCloseButton(this);
    connect(btnOK, &QPushButton::clicked, this, &QWidget::close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(btnOK, 0, Qt::AlignRight);
    adjustSize();
    widgets::Centre(*this);
}

void TfrmContactPerson::showEvent(QShowEvent* event) {
    FormDialog::showEvent(event);
    DimensionTable* contacts = Dimensions->Require(17, "TfrmContactPerson.FormShow");
    if (!contacts) {
        adapter_.Close();
        return;
    }
    OpenRecordToEdit(qEntity, "entity", "entity_id", contacts->GetRecordId(), adapter_,
                     "TfrmContactPerson.FormShow");
}

bool TfrmContactPerson::FormClose() {
    if (qEntity.State() == db::DataSetState::dsEdit) {
        try {
            SetFullName(qEntity);
        } catch (const db::RangeError&) {
            return false;  // a control refused a value and has said why
        } catch (const std::exception& e) {
            LogError("TfrmContactPerson.FormClose", e.what(), "");
        }
    }
    if (SaveRecord(qEntity, widgets::HandleOf(this), "TfrmContactPerson.FormClose") ==
        SaveOutcome::KeepOpen)
        return false;
    qEntity.Close();
    return true;
}

}  // namespace zl
