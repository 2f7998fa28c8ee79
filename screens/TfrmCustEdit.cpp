#include "screens/TfrmCustEdit.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "frames/TfrmLookup.h"
#include "platform/db/DbError.h"
#include "screens/DialogSupport.h"
#include "widgets/QtPlatform.h"

namespace zl {
namespace {

constexpr int kCustomers = 1;
constexpr int kContactPersons = 17;

}  // namespace

TfrmCustEdit::TfrmCustEdit(QWidget* owner)
    : RecordDialog(owner, "TfrmCustEdit", kCustomers, kContactPersons) {
    setObjectName("frmCustEdit");
    setWindowTitle("Customer");
    PageControl1 = widgets::NewPageControl(this);
    PageControl1->setObjectName("PageControl1");

    auto* general = new QWidget;
    auto* generalForm = new QFormLayout(general);
    cbType = new widgets::DBLookupComboBox(general);
    cbType->setObjectName("cbType");
    cbType->SetListSource(&qType, "customer_type_id", "customer_type_descr");
    cbType->SetDataSource(&dsEdit);
    cbType->SetDataField("customer_type_id");
    generalForm->addRow("Customer type: ", cbType);
    edName = AddDataEdit(general, generalForm,
                         "Customer name (organization name or surname for private individual) :",
                         &dsEdit, "entity_name");
    AddDataEdit(general, generalForm,
                "First name (private individual) or sub-name (organization):", &dsEdit,
                "entity_first");
    AddDataEdit(general, generalForm, "Title: ", &dsEdit, "entity_title");
    AddDataEdit(general, generalForm, "Initials: ", &dsEdit, "entity_initials");
    AddDataEdit(general, generalForm, "Customer code: ", &dsEdit, "entity_code");
    AddDataEdit(general, generalForm, "Legal reference: ", &dsEdit, "entity_legalref");
    AddDataEdit(general, generalForm, "Tax reference: ", &dsEdit, "entity_taxref");
    widgets::DBEdit* taxRate =
        AddDataEdit(general, generalForm, "Tax rate %: ", &dsEdit, "entity_taxrate");
    taxRate->SetFloatFormat("0.000");
    qEdit.SetFieldRange("entity_taxrate", 0, 1000);
    widgets::DBEdit* discount =
        AddDataEdit(general, generalForm, "Discount %: ", &dsEdit, "entity_discount");
    discount->SetFloatFormat("0.00", "0.000");
    // A percentage: more than all of the price cannot be given away.
    qEdit.SetFieldRange("entity_discount", 0, 100);
    cbRegion = new widgets::DBLookupComboBox(general);
    cbRegion->setObjectName("cbRegion");
    cbRegion->SetListSource(&qRegion, "entity_id", "Region name");
    cbRegion->SetDataSource(&dsEdit);
    cbRegion->SetDataField("region_id");
    generalForm->addRow("Region: ", cbRegion);
    PageControl1->addTab(general, "General");

    auto* address = new QWidget;
    auto* addressForm = new QFormLayout(address);
    const std::pair<const char*, const char*> addressFields[] = {
        {"Postal address: ", "address_postal1"},
        {"", "address_postal2"},
        {"", "address_postal3"},
        {"Postal code: ", "address_pcode"},
        {"Physical address: ", "address_phys1"},
        {"", "address_phys2"},
        {"", "address_phys3"},
        {"", "address_phys4"},
        {"Telephone 1: ", "address_tel1"},
        {"Telephone 2: ", "address_tel2"},
        {"Telephone 3: ", "address_tel3"},
        {"Cell: ", "address_cell"},
        {"E-mail 1: ", "address_email1"},
        {"E-mail 2: ", "address_email2"},
        {"Fax 1: ", "address_fax1"},
        {"Fax 2: ", "address_fax2"},
    };
    for (const auto& [label, column] : addressFields)
        AddDataEdit(address, addressForm, label, &dsAddr, column);
    PageControl1->addTab(address, "Address");

    auto* custom = new QWidget;
    auto* customForm = new QFormLayout(custom);
    for (int n = 0; n < 5; ++n) {
        customLabels[n] = new QLabel(custom);
        auto* edit = new widgets::DBEdit(custom);
        const std::string column = "entity_f" + std::to_string(n + 1);
        edit->setObjectName(QString::fromStdString(column));
        edit->SetDataSource(&dsEdit);
        edit->SetDataField(column);
        customForm->addRow(customLabels[n], edit);
    }
    PageControl1->addTab(custom, "Custom data");

    frContact = new TchildFrame;
    frContact->setObjectName("frContact");
    PageControl1->addTab(frContact, "Contact persons");

    btnOK = new QPushButton("&Save and close", this);
    btnOK->setObjectName("btnOK");
    btnCancel = NewCancelButton();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);
    layout->addLayout(NewButtonRow(this, btnOK, btnCancel));
    nameEdit_ = std::make_unique<widgets::LineEditAdapter>(*edName);
    resize(640, 520);
}

TfrmCustEdit::~TfrmCustEdit() = default;

void TfrmCustEdit::OpeningRecord() {
    DataMod->openQuery(DataMod->zlmConn, qType, "TfrmCustEdit.openTables",
                       "select * from customer_type order by customer_type_descr");
    DataMod->openQuery(DataMod->zlmConn, qRegion, "TfrmCustEdit.openTables",
                       "select * from brwRegion");
    cbType->ReloadList();
    cbRegion->ReloadList();
    for (int n = 0; n < 5; ++n) {
        const std::string column = "config_entityf" + std::to_string(n + 1);
        db::Field* caption =
            DataMod->qConfig.Active() ? DataMod->qConfig.FindField(column) : nullptr;
        customLabels[n]->setText(caption ? QString::fromStdString(caption->AsString()) : QString());
    }
}

void TfrmCustEdit::RecordOpened(DimensionTable& /*customers*/, DimensionTable* contacts) {
    // A new customer that could not be stored: the dialog is closing and no other row is opened.
    if (!editForm_->PostNew())
        return;
    const int customerId = qEdit.FieldByName("entity_id").AsInteger();
    // Only this customer's address row is ever opened.
    if (DataMod->OpenByField(qAddr, "address", customerId, "TfrmCustEdit.openTables",
                             "entity_id")) {
        if (qAddr.IsEmpty()) {
            // A new customer, or one whose address was never stored: a new row of its own,
            // stored on save and dropped on cancel.
            if (DataMod->Append(qAddr, "TfrmCustEdit.FormShow"))
                qAddr.FieldByName("entity_id").SetAsInteger(customerId);
        } else {
            qAddr.Edit();
        }
    }
    contactDialog_ = std::make_unique<TfrmContactPerson>(this);
    frContact->Setup(qContact, contacts, contactDialog_.get());
    frContact->setParentID(customerId);
}

void TfrmCustEdit::InstallAsNewCustomerDialog() {
    TfrmLookup::InstallNewCustomerDialog([](QWidget* owner) {
        TfrmCustEdit customer(owner);
        customer.exec();
        const DimensionTable* customers = Dimensions->Find(kCustomers);
        return customer.Cancelled() || !customers ? 0 : customers->GetRecordId();
    });
}

bool TfrmCustEdit::BeforeSave() {
    if (!editForm_->RequireValue(widgets::HandleOf(this), *nameEdit_, "entity_name"))
        return false;
    if (!editForm_->GetCancelled() && qEdit.Editing()) {
        try {
            if (!SetFullName(this, qEdit))
                return false;
        } catch (const db::RangeError&) {
            return false;  // a control refused a value and has said why
        } catch (const std::exception& e) {
            LogError("TfrmCustEdit.FormClose", e.what(), "");
        }
    }
    return true;
}

bool TfrmCustEdit::AfterSave() {
    // The address is saved only once the customer is.
    if (editForm_->GetCancelled()) {
        cancelled_ = true;
        if (qAddr.Editing())
            qAddr.Cancel();
        return true;
    }
    return SaveRecord(qAddr, widgets::HandleOf(this), "TfrmCustEdit.FormClose") !=
           SaveOutcome::KeepOpen;
}

void TfrmCustEdit::RecordClosed() {
    qAddr.Close();
    frContact->closeTables();
}

}  // namespace zl
