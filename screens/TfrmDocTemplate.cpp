#include "screens/TfrmDocTemplate.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <filesystem>

#include "core/DataMod.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "screens/DialogSupport.h"

namespace zl {
namespace {

constexpr int kDocTemplates = 26;

}  // namespace

TfrmDocTemplate::TfrmDocTemplate(QWidget* owner)
    : RecordDialog(owner, "TfrmDocTemplate", kDocTemplates) {
    setObjectName("frmDocTemplate");
    setWindowTitle("Document template");
    auto* form = new QFormLayout;
    DBEdit1 = AddDataEdit(this, form, "Template name: ", &dsTemplate, "doc_template_name");
    DBEdit1->setObjectName("DBEdit1");
    DBMemo1 = new widgets::DBMemo(this);
    DBMemo1->setObjectName("DBMemo1");
    DBMemo1->SetDataSource(&dsTemplate);
    DBMemo1->SetDataField("doc_template_descr");
    form->addRow("Template description:", DBMemo1);
    DBText1 = new widgets::DBText(this);
    DBText1->setObjectName("DBText1");
    DBText1->SetDataSource(&dsTemplate);
    DBText1->SetDataField("doc_template_file");
    QFont bold = DBText1->font();
    bold.setBold(true);
    DBText1->setFont(bold);
    form->addRow(DBText1);

    btnRTF = new QPushButton("RTF &file", this);
    btnRTF->setObjectName("btnRTF");
    btnEdit = new QPushButton("Edit RTF", this);
    btnEdit->setObjectName("btnEdit");
    btnOk = NewSaveAndCloseButton(this);
    btnOk->setObjectName("btnOk");
    btnCancel = NewCancelButton();
    connect(btnRTF, &QPushButton::clicked, this,
            [this] { RunGuarded("TfrmDocTemplate.btnRTFClick", [this] { btnRTFClick(); }); });
    connect(btnEdit, &QPushButton::clicked, this,
            [this] { RunGuarded("TfrmDocTemplate.btnEditClick", [this] { btnEditClick(); }); });

    Timer1 = NewSetUpTimer(this, 1);
    connect(Timer1, &QTimer::timeout, this, [this] {
        RunGuarded("TfrmDocTemplate.Timer1Timer", [this] {
            Timer1->stop();
            OpenRecord("TfrmDocTemplate.Timer1Timer");
        });
    });

    OpenDialog1 = new QFileDialog(this);
    OpenDialog1->setObjectName("OpenDialog1");
    OpenDialog1->setFileMode(QFileDialog::ExistingFile);
    OpenDialog1->setOption(QFileDialog::DontUseNativeDialog);
    OpenDialog1->setNameFilter("RTF files (*.rtf)");

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(NewButtonRow(this, btnOk, btnCancel, {btnRTF, btnEdit}));
    resize(520, 320);
}

TfrmDocTemplate::~TfrmDocTemplate() = default;

void TfrmDocTemplate::FormShow() {
    Timer1->start();
}

void TfrmDocTemplate::OpeningRecord() {
    DataMod->openQuery(DataMod->zlmConn, qEdit, "TfrmDocTemplate.Timer1Timer",
                       "select * from doc_template");
}

void TfrmDocTemplate::RecordOpened(DimensionTable& templates, DimensionTable* /*details*/) {
    if (templates.GetEditMode() != DimensionTable::Add)
        return;
    if (!PickFile()) {
        // No file, no template: the new row is dropped unstored.
        qEdit.Cancel();
        close();
    }
}

bool TfrmDocTemplate::PickFile() {
    const std::string path =
        ChooseFile(OpenDialog1, qEdit.FieldByName("doc_template_file").AsString());
    if (path.empty())
        return false;
    const QFileInfo chosen(QString::fromStdString(path));
    qEdit.FieldByName("doc_template_file").SetAsString(path);  // absolute already
    qEdit.FieldByName("doc_template_name").SetAsString(chosen.fileName().toStdString());
    return true;
}

void TfrmDocTemplate::btnRTFClick() {
    if (!qEdit.Active() || !qEdit.Editing())
        return;
    OpenDialog1->selectFile(
        QString::fromStdString(qEdit.FieldByName("doc_template_file").AsString()));
    PickFile();
}

void TfrmDocTemplate::btnEditClick() {
    if (!qEdit.Active())
        return;
    const std::string path = qEdit.FieldByName("doc_template_file").AsString();
    std::error_code error;
    if (!path.empty() && std::filesystem::is_regular_file(path, error))
        OpenDocumentFile(widgets::HandleOf(this), path);
    else
        ui::ShowMessage(widgets::HandleOf(this), "Please select an existing document first.",
                        "Document not found", ui::Icon::Warning);
}

bool TfrmDocTemplate::FormClose() {
    Timer1->stop();
    return RecordDialog::FormClose();
}

}  // namespace zl
