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

namespace zl {

TfrmCustEdit::TfrmCustEdit(QWidget* owner) : FormDialog(owner) {
    setObjectName("frmCustEdit");
    setWindowTitle("Customer");
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");

    auto* general = new QWidget;
    auto* generalForm = new QFormLayout(general);
    cbType = new widgets::DBLookupComboBox(general);
    cbType->setObjectName("cbType");
    cbType->SetListSource(&qType, "customer_type_id", "customer_type_descr");
    cbType->SetDataSource(&dsEdit);
    cbType->SetDataField("customer_type_id");
    generalForm->addRow("Customer type: ", cbType);
    edName =
        AddEdit(general, generalForm,
                "Customer name (organization name or surname for private individual) :", &dsEdit,
                "entity_name");
    AddEdit(general, generalForm,
            "First name (private individual) or sub-name (organization):", &dsEdit, "entity_first");
    AddEdit(general, generalForm, "Title: ", &dsEdit, "entity_title");
    AddEdit(general, generalForm, "Initials: ", &dsEdit, "entity_initials");
    AddEdit(general, generalForm, "Customer code: ", &dsEdit, "entity_code");
    AddEdit(general, generalForm, "Legal reference: ", &dsEdit, "entity_legalref");
    AddEdit(general, generalForm, "Tax reference: ", &dsEdit, "entity_taxref");
    widgets::DBEdit* taxRate =
        AddEdit(general, generalForm, "Tax rate %: ", &dsEdit, "entity_taxrate");
    taxRate->SetFloatFormat("0.000");
    qEdit.SetFieldRange("entity_taxrate", 0, 1000);
    widgets::DBEdit* discount =
        AddEdit(general, generalForm, "Discount %: ", &dsEdit, "entity_discount");
    discount->SetFloatFormat("0.000");
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
        AddEdit(address, addressForm, label, &dsAddr, column);
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
    btnCancel = new QPushButton("&Cancel", this);
    btnCancel->setObjectName("btnCancel");
    connect(btnOK, &QPushButton::clicked, this, &QWidget::close);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmCustEdit::btnCancelClick);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);
    layout->addLayout(buttons);
    nameEdit_ = std::make_unique<widgets::LineEditAdapter>(*edName);
    resize(640, 520);
}

TfrmCustEdit::~TfrmCustEdit() = default;

widgets::DBEdit* TfrmCustEdit::AddEdit(QWidget* page, QFormLayout* form, const QString& label,
                                       widgets::DataSource* source, const char* column) {
    auto* edit = new widgets::DBEdit(page);
    edit->setObjectName(column);
    edit->SetDataSource(source);
    edit->SetDataField(column);
    form->addRow(label, edit);
    return edit;
}

void TfrmCustEdit::openTables() {
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

void TfrmCustEdit::showEvent(QShowEvent* event) {
    FormDialog::showEvent(event);
    FormShow();
}

void TfrmCustEdit::FormShow() {
    cancelled_ = false;
    DimensionTable* customers = Dimensions->Require(1, "TfrmCustEdit.FormShow");
    DimensionTable* contacts = Dimensions->Require(17, "TfrmCustEdit.FormShow");
    if (!customers || !contacts) {
        adapter_.Close();
        return;
    }
    openTables();
    editForm_ = std::make_unique<EditForm>(adapter_, *customers, qEdit);
    // No record (it was deleted meanwhile, or none could be made): the dialog is closing and
    // no other row is opened.
    if (!editForm_->HasRecord() || !editForm_->PostNew())
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
        const DimensionTable* customers = Dimensions->Find(1);
        return customer.Cancelled() || !customers ? 0 : customers->GetRecordId();
    });
}

void TfrmCustEdit::btnCancelClick() {
    if (editForm_ && editForm_->handleCancel(widgets::HandleOf(this)))
        close();
}

bool TfrmCustEdit::FormClose() {
    if (!editForm_)
        return true;
    if (!editForm_->RequireValue(widgets::HandleOf(this), *nameEdit_, "entity_name"))
        return false;
    if (!editForm_->GetCancelled() && qEdit.Editing()) {
        try {
            SetFullName(qEdit);
        } catch (const db::RangeError&) {
            return false;  // a control refused a value and has said why
        } catch (const std::exception& e) {
            LogError("TfrmCustEdit.FormClose", e.what(), "");
        }
    }
    if (!editForm_->handleClose())
        return false;
    if (editForm_->GetCancelled()) {
        cancelled_ = true;
        if (qAddr.Editing())
            qAddr.Cancel();
    } else if (SaveRecord(qAddr, widgets::HandleOf(this), "TfrmCustEdit.FormClose") ==
               SaveOutcome::KeepOpen) {
        return false;
    }
    editForm_.reset();
    qAddr.Close();
    frContact->closeTables();
    return true;
}

}  // namespace zl
