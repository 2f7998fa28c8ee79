#include "screens/TfrmContact.h"

#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>
#include <filesystem>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/DimensionTable.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "core/ReportServer.h"
#include "core/Template.h"
#include "frames/TdtFrame.h"
#include "frames/TfrmLookup.h"
#include "platform/db/DbError.h"
#include "platform/desktop/Desktop.h"
#include "platform/format/PercentEncode.h"
#include "screens/DetailDialog.h"

namespace zl {

namespace {

constexpr const char* kNoFile = "[none]";
constexpr int kContactEvents = 9;
constexpr int kContactPersons = 17;
constexpr int kTemplates = 26;

bool IsUsableFile(const std::string& path) {
    std::error_code error;
    return path != kNoFile && !path.empty() && std::filesystem::is_regular_file(path, error);
}

}  // namespace

std::string ContactMailRequest(const std::string& address, const std::string& subject,
                               const std::string& file) {
    using format::PercentEncode;
    return "mailto:" + PercentEncode(address, "@") + "?subject=" + PercentEncode(subject) +
           "&body=" + PercentEncode("Please refer to the attached document") +
           "&attachments=" + PercentEncode(file);
}

TfrmContact::TfrmContact(QWidget* owner) : FormDialog(owner) {
    setObjectName("frmContact");
    setWindowTitle("Contact event");

    auto* form = new QFormLayout;
    cbType = AddLookupCombo(this, form, "cbType", "Event type: ", &qType, "contact_type_id",
                            "contact_type_descr", &dsEdit, "contact_type_id");
    dtFrame1 = AddDateFrame(this, form, "dtFrame1", "Contact date: ");
    edTime = AddNamedEdit(this, form, "edTime", "Contact time: ", &dsEdit, "zlm_doc_time");
    edTime->setMaximumWidth(100);
    edTime->SetTimeEntry();
    edDescr =
        AddNamedEdit(this, form, "edDescr", "Contact description: ", &dsEdit, "zlm_doc_descr");
    edDescr->setMinimumWidth(360);

    cbPerson = new widgets::DBLookupComboBox(this);
    cbPerson->setObjectName("cbPerson");
    cbPerson->SetListSource(&qPerson, "entity_id", "entity_fullname");
    cbPerson->SetDataSource(&dsEdit);
    cbPerson->SetDataField("contact_person_id");
    btnCustomer = new QPushButton("&View customer", this);
    btnCustomer->setObjectName("btnCustomer");
    auto* personRow = new QHBoxLayout;
    personRow->addWidget(cbPerson, 1);
    personRow->addWidget(btnCustomer);
    form->addRow("Contact person: ", personRow);

    mmNotes = AddDataMemo(this, form, "mmNotes", "Contact notes: ", &dsEdit, "zlm_doc_notes");

    grpDocument = new QGroupBox("Contact event document", this);
    grpDocument->setObjectName("grpDocument");
    txtFile = NewFileText(grpDocument, &dsEdit, "zlm_doc_file");
    btnTemplate = new QPushButton("Create from template", grpDocument);
    btnTemplate->setObjectName("btnTemplate");
    btnAttach = new QPushButton("Attach existing document", grpDocument);
    btnAttach->setObjectName("btnAttach");
    btnView = new QPushButton("&View document", grpDocument);
    btnView->setObjectName("btnView");
    btnEmail = new QPushButton("&Send email", grpDocument);
    btnEmail->setObjectName("btnEmail");
    auto* documentButtons = new QHBoxLayout;
    for (QPushButton* b : {btnTemplate, btnAttach, btnView, btnEmail})
        documentButtons->addWidget(b);
    documentButtons->addStretch();
    auto* document = new QVBoxLayout(grpDocument);
    document->addWidget(txtFile);
    document->addLayout(documentButtons);

    btnOK = NewSaveAndCloseButton(this);
    btnCancel = new QPushButton("&Cancel", this);
    btnCancel->setObjectName("btnCancel");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(grpDocument);
    layout->addLayout(buttons);

    OpenDialog1 = NewOpenDialog(this);

    connect(btnOK, &QPushButton::clicked, this, &QWidget::close);
    OnClickGuarded(btnCancel, "TfrmContact.btnCancelClick",
                   [this] { CancelEdit(editForm_.get(), this); });
    OnClickGuarded(btnAttach, "TfrmContact.btnAttachClick", [this] { btnAttachClick(); });
    OnClickGuarded(btnView, "TfrmContact.btnViewClick", [this] { btnViewClick(); });
    OnClickGuarded(btnTemplate, "TfrmContact.btnTemplateClick", [this] { btnTemplateClick(); });
    OnClickGuarded(btnEmail, "TfrmContact.btnEmailClick", [this] { btnEmailClick(); });
    OnClickGuarded(btnCustomer, "TfrmContact.btnCustomerClick", [this] { btnCustomerClick(); });
    adjustSize();
}

TfrmContact::~TfrmContact() = default;

void TfrmContact::showEvent(QShowEvent* event) {
    FormDialog::showEvent(event);
    try {
        FormShow();
    } catch (const std::exception& e) {
        LogError("TfrmContact.FormShow", e.what(), "");
        adapter_.Close();
    }
}

void TfrmContact::FormShow() {
    DimensionTable* events = Dimensions->Require(kContactEvents, "TfrmContact.FormShow");
    if (!events) {
        adapter_.Close();
        return;
    }
    editForm_ = std::make_unique<EditForm>(adapter_, *events, qEdit);
    DataMod->openQuery(DataMod->zlmConn, qType, "TfrmContact.FormShow",
                       "select * from contact_Type");
    cbType->ReloadList();
    // No record (deleted meanwhile, or none could be made): the user has been told and the
    // dialog is closing.
    if (!editForm_->HasRecord() || !editForm_->PostNew())
        return;
    dtFrame1->bindField(qEdit, "zlm_doc_date");
    openPersons();
}

void TfrmContact::openPersons() {
    // Only this customer's contact persons: other kinds of entity may share a parent.
    const long long customer = qEdit.FieldByName("customer_id").AsInteger();
    DataMod->openQuery(DataMod->zlmConn, qPerson, "TfrmContact.FormShow",
                       "select * from entity where parent_id=? and parent_id>0 and dimension_id=" +
                           std::to_string(kContactPersons) + " order by entity_fullname",
                       {customer});
    cbPerson->ReloadList();
}

bool TfrmContact::FormClose() {
    if (!editForm_)
        return true;
    if (!editForm_->handleClose())
        return false;
    editForm_.reset();
    qType.Close();
    qPerson.Close();
    return true;
}

std::string TfrmContact::CurrentFile() {
    return qEdit.FieldByName("zlm_doc_file").AsString();
}

void TfrmContact::SetFile(const std::string& path) {
    qEdit.FieldByName("zlm_doc_file").SetAsString(path);
}

void TfrmContact::NoFile() {
    ui::ShowMessage(widgets::HandleOf(this),
                    "There is no contact event file yet, or the current document no longer "
                    "exists. Please use a template or attach an existing file first.",
                    "No file", ui::Icon::Information);
    SetFile(kNoFile);
}

void TfrmContact::btnAttachClick() {
    if (!qEdit.Editing())
        return;
    const std::string path = ChooseFile(OpenDialog1, qEdit.FieldByName("zlm_doc_file").AsString());
    // A cancelled choice drops the earlier attachment.
    SetFile(path.empty() ? kNoFile : path);
}

void TfrmContact::btnViewClick() {
    if (!qEdit.Editing())
        return;
    const std::string path = CurrentFile();
    if (!IsUsableFile(path)) {
        NoFile();
        return;
    }
    OpenDocumentFile(widgets::HandleOf(this), path);
}

void TfrmContact::btnTemplateClick() {
    if (!qEdit.Editing())
        return;
    TfrmLookup frmLookup(this);
    const int templateId = frmLookup.lookupExecute(kTemplates, false);
    if (templateId <= 0)
        return;
    const std::string path = DataMod->NewDocPath("doc", ".rtf");
    Template letter;
    // A missing template has been reported; no path to a letter that does not exist is kept,
    // nor the empty file that reserved it.
    if (!letter.Merge(templateId, qEdit.FieldByName("customer_id").AsInteger(), path,
                      widgets::HandleOf(this))) {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
        return;
    }
    SetFile(path);
    btnViewClick();
}

void TfrmContact::btnEmailClick() {
    if (!qEdit.Editing())
        return;
    qEdit.UpdateRecord();  // the description as typed so far
    const std::string path = CurrentFile();
    if (!IsUsableFile(path)) {
        NoFile();
        return;
    }
    if (!ReportServer)
        throw ReportServerError("The report server is not running.");
    const std::string address =
        ReportServer->GetContactEMail(qEdit.FieldByName("customer_id").AsInteger(),
                                      qEdit.FieldByName("contact_person_id").AsInteger());
    const std::string request =
        ContactMailRequest(address, qEdit.FieldByName("zlm_doc_descr").AsString(), path);
    if (!desktop::OpenWithDesktop(request))
        ui::ShowMessage(widgets::HandleOf(this), "No mail program could be started.",
                        "No mail program", ui::Icon::Warning);
}

void TfrmContact::btnCustomerClick() {
    // Contact persons may have been added or renamed meanwhile.
    if (ShowRowCustomer(this, qEdit, "TfrmContact.btnCustomerClick") && qEdit.Editing())
        openPersons();
}

}  // namespace zl
