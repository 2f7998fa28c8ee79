#include "screens/TfrmInqItem.h"

#include <QFileDialog>
#include <QFileInfo>
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
#include "screens/DialogSupport.h"

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
    const auto edit = [this, form](const char* name, const char* label, const char* column) {
        auto* e = new widgets::DBEdit(this);
        e->setObjectName(name);
        e->SetDataSource(&dsEdit);
        e->SetDataField(column);
        form->addRow(label, e);
        return e;
    };
    const auto lookup = [this, form](const char* name, const char* label, db::Query* list,
                                     const char* key, const char* shown, const char* column) {
        auto* c = new widgets::DBLookupComboBox(this);
        c->setObjectName(name);
        c->SetListSource(list, key, shown);
        c->SetDataSource(&dsEdit);
        c->SetDataField(column);
        form->addRow(label, c);
        return c;
    };
    txtDate = text("txtDate", "Date created: ", "doc_item_date");
    txtTime = text("txtTime", "Time created: ", "doc_item_time");
    dtDue = new TdtFrame(this);
    dtDue->setObjectName("dtDue");
    form->addRow("Date due: ", dtDue);
    edDueTime = edit("edDueTime", "Time due: ", "doc_item_duetime");
    edDueTime->setMaximumWidth(100);
    edDescr = edit("edDescr", "Description: ", "doc_item_descr");
    edDescr->setMinimumWidth(360);
    cbUser =
        lookup("cbUser", "Responsible user: ", &qUser, "entity_id", "Full name", "sys_user_id");
    edNotes = new widgets::DBMemo(this);
    edNotes->setObjectName("edNotes");
    edNotes->SetDataSource(&dsEdit);
    edNotes->SetDataField("doc_item_notes");
    edNotes->setMaximumHeight(90);
    form->addRow("Notes: ", edNotes);
    cbStatus = lookup("cbStatus", "Status: ", &qStatus, "inq_status_id", "inq_status_descr",
                      "inq_status_id");

    grpDocument = new QGroupBox("Process step document / file", this);
    grpDocument->setObjectName("grpDocument");
    txtFile = new widgets::DBText(grpDocument);
    txtFile->setObjectName("txtFile");
    txtFile->setFont(bold);
    txtFile->SetDataSource(&dsEdit);
    txtFile->SetDataField("doc_item_file");
    txtFile->setTextInteractionFlags(Qt::TextSelectableByMouse);
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

    btnOK = new QPushButton("&OK", this);
    btnOK->setObjectName("btnOK");
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &QWidget::close);
    connect(btnDoc, &QPushButton::clicked, this, [this] {
        RunGuarded(
            "TfrmInqItem.btnDocClick", [this] { btnDocClick(); }, RefusedEntry::AlreadyShown);
    });
    connect(btnViewDoc, &QPushButton::clicked, this, [this] {
        RunGuarded(
            "TfrmInqItem.btnViewDocClick", [this] { btnViewDocClick(); },
            RefusedEntry::AlreadyShown);
    });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(grpDocument);
    layout->addWidget(btnOK, 0, Qt::AlignRight);

    // Our own dialog rather than the desktop's, so that it behaves alike everywhere; only an
    // existing file in an existing folder can be chosen.
    OpenDialog1 = new QFileDialog(this);
    OpenDialog1->setObjectName("OpenDialog1");
    OpenDialog1->setFileMode(QFileDialog::ExistingFile);
    OpenDialog1->setOption(QFileDialog::DontUseNativeDialog);
    OpenDialog1->setSizeGripEnabled(true);
    adjustSize();
}

TfrmInqItem::~TfrmInqItem() = default;

void TfrmInqItem::showEvent(QShowEvent* event) {
    FormDialog::showEvent(event);
    if (event->spontaneous())
        return;
    widgets::Centre(*this);
    bool shown = false;
    RunGuarded(
        kShowTag,
        [this, &shown] {
            FormShow();
            shown = true;
        },
        RefusedEntry::AlreadyShown);
    if (!shown) {
        qEdit.Close();  // nothing half opened can be typed into or saved
        adapter_.Close();
    }
}

void TfrmInqItem::FormShow() {
    DimensionTable* steps = Dimensions->Require(kSteps, kShowTag);
    if (!steps) {
        adapter_.Close();
        return;
    }
    // A step deleted meanwhile has been reported and the dialog is closing. A new step has been
    // stored by the list before this dialog opened.
    if (!OpenRecordToEdit(qEdit, "doc_item", "doc_item_id", steps->GetRecordId(), adapter_,
                          kShowTag))
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
    if (SaveRecord(qEdit, widgets::HandleOf(this), "TfrmInqItem.FormClose") ==
        SaveOutcome::KeepOpen)
        return false;
    qEdit.Close();
    qStatus.Close();
    qUser.Close();
    return true;
}

void TfrmInqItem::btnDocClick() {
    if (!qEdit.Editing())
        return;
    if (OpenDialog1->exec() == QDialog::Accepted && !OpenDialog1->selectedFiles().isEmpty())
        qEdit.FieldByName("doc_item_file")
            .SetAsString(
                QFileInfo(OpenDialog1->selectedFiles().first()).absoluteFilePath().toStdString());
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
