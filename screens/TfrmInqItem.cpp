#include "screens/TfrmInqItem.h"

#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <exception>
#include <filesystem>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/EditForm.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "frames/TdtFrame.h"
#include "platform/db/DbError.h"
#include "screens/DetailDialog.h"

namespace zl {

namespace {

constexpr int kSteps = 22;
constexpr const char* kShowTag = "TfrmInqItem.FormShow";

}  // namespace

TfrmInqItem::TfrmInqItem(QWidget* owner) : widgets::FormDialog(owner) {
    setObjectName("frmInqItem");
    setWindowTitle("Inquiry process step");

    auto* form = new QFormLayout;
    QFont bold = font();
    bold.setBold(true);
    const auto text = [this, form, &bold](const char* name, const char* label, const char* column) {
        auto* t = new widgets::DBText(this);
        t->setObjectName(name);
        t->setFont(bold);
        t->SetDataSource(&dsEdit);
        t->SetDataField(column);
        form->addRow(label, t);
        return t;
    };
    txtDate = text("txtDate", "Date created: ", "doc_item_date");
    txtTime = text("txtTime", "Time created: ", "doc_item_time");
    dtDue = AddDateFrame(this, form, "dtDue", "Date due: ");
    edDueTime = AddNamedEdit(this, form, "edDueTime", "Time due: ", &dsEdit, "doc_item_duetime");
    edDueTime->setMaximumWidth(100);
    edDueTime->SetTimeEntry();
    edDescr = AddNamedEdit(this, form, "edDescr", "Description: ", &dsEdit, "doc_item_descr");
    edDescr->setMinimumWidth(360);
    cbUser = AddLookupCombo(this, form, "cbUser", "Responsible user: ", &qUser, "entity_id",
                            "Full name", &dsEdit, "sys_user_id");
    edNotes = AddDataMemo(this, form, "edNotes", "Notes: ", &dsEdit, "doc_item_notes", 90);
    cbStatus = AddLookupCombo(this, form, "cbStatus", "Status: ", &qStatus, "inq_status_id",
                              "inq_status_descr", &dsEdit, "inq_status_id");

    grpDocument = new QGroupBox("Process step document / file", this);
    grpDocument->setObjectName("grpDocument");
    txtFile = NewFileText(grpDocument, &dsEdit, "doc_item_file");
    txtFile->setFont(bold);
    btnDoc = new QPushButton("Choose document &file", grpDocument);
    btnDoc->setObjectName("btnDoc");
    btnViewDoc = new QPushButton("&View", grpDocument);
    btnViewDoc->setObjectName("btnViewDoc");
    auto* documentButtons = new QHBoxLayout;
    documentButtons->addWidget(btnDoc);
    documentButtons->addWidget(btnViewDoc);
    documentButtons->addStretch();
    auto* document = new QVBoxLayout(grpDocument);
    document->addWidget(txtFile);
    document->addLayout(documentButtons);

    btnOK = NewOKButton(this);
    connect(btnOK, &QPushButton::clicked, this, &QWidget::close);
    OnClickGuarded(btnDoc, "TfrmInqItem.btnDocClick", [this] { btnDocClick(); });
    OnClickGuarded(btnViewDoc, "TfrmInqItem.btnViewDocClick", [this] { btnViewDocClick(); });
    LayOutForm(this, form, btnOK)->insertWidget(1, grpDocument);

    OpenDialog1 = NewOpenDialog(this);
    OpenDialog1->setSizeGripEnabled(true);
    adjustSize();
}

TfrmInqItem::~TfrmInqItem() = default;

void TfrmInqItem::showEvent(QShowEvent* event) {
    FormDialog::showEvent(event);
    if (event->spontaneous())
        return;
    widgets::Centre(*this);
    if (!RanGuarded(
            kShowTag, [this] { FormShow(); }, RefusedEntry::AlreadyShown)) {
        qEdit.Close();  // nothing half opened can be typed into or saved
        adapter_.Close();
    }
}

void TfrmInqItem::FormShow() {
    // A step deleted meanwhile has been reported and the dialog is closing. A new step has been
    // stored by the list before this dialog opened.
    if (!OpenHandedRecord(qEdit, kSteps, "doc_item", "doc_item_id", adapter_, kShowTag))
        return;
    DataMod->openQuery(DataMod->zlmConn, qStatus, kShowTag,
                       "select * from inq_status order by inq_status_id");
    DataMod->openQuery(DataMod->zlmConn, qUser, kShowTag, "select * from brwSysUser");
    cbStatus->ReloadList();
    cbUser->ReloadList();
    dtDue->bindField(qEdit, "doc_item_duedate");
}

bool TfrmInqItem::FormClose() {
    // No cancel: every way of closing saves, and a failed save asks before anything is lost.
    if (!SaveAndCloseRecord(qEdit, this, "TfrmInqItem.FormClose"))
        return false;
    qStatus.Close();
    qUser.Close();
    return true;
}

void TfrmInqItem::btnDocClick() {
    if (!qEdit.Editing())
        return;
    const std::string path = ChooseFile(OpenDialog1, qEdit.FieldByName("doc_item_file").AsString());
    if (!path.empty())
        qEdit.FieldByName("doc_item_file").SetAsString(path);
}

void TfrmInqItem::btnViewDocClick() {
    if (!qEdit.Active())
        return;
    const std::string path = qEdit.FieldByName("doc_item_file").AsString();
    const ui::WindowHandle owner = widgets::HandleOf(this);
    std::error_code error;
    if (path.empty() || !std::filesystem::is_regular_file(path, error)) {
        ui::ShowMessage(owner, "File does not exist", "Not found", ui::Icon::Warning);
        return;
    }
    // A document is opened; a program that was chosen as one is never started.
    OpenDocumentFile(owner, path);
}

}  // namespace zl
