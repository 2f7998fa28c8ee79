#include "screens/TfrmDocTemplate.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <exception>
#include <filesystem>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "screens/DialogSupport.h"

namespace zl {

TfrmDocTemplate::TfrmDocTemplate(QWidget* owner) : FormDialog(owner) {
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
    btnCancel =
        NewCancelButton(this, "TfrmDocTemplate.btnCancelClick", [this] { btnCancelClick(); });
    connect(btnRTF, &QPushButton::clicked, this,
            [this] { RunGuarded("TfrmDocTemplate.btnRTFClick", [this] { btnRTFClick(); }); });
    connect(btnEdit, &QPushButton::clicked, this,
            [this] { RunGuarded("TfrmDocTemplate.btnEditClick", [this] { btnEditClick(); }); });
    connect(btnOk, &QPushButton::clicked, this, &QWidget::close);

    Timer1 = NewSetUpTimer(this, 1);
    connect(Timer1, &QTimer::timeout, this,
            [this] { RunGuarded("TfrmDocTemplate.Timer1Timer", [this] { Timer1Timer(); }); });

    OpenDialog1 = new QFileDialog(this);
    OpenDialog1->setObjectName("OpenDialog1");
    OpenDialog1->setFileMode(QFileDialog::ExistingFile);
    OpenDialog1->setOption(QFileDialog::DontUseNativeDialog);
    OpenDialog1->setNameFilter("RTF files (*.rtf)");

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnRTF);
    buttons->addWidget(btnEdit);
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    resize(520, 320);
}

TfrmDocTemplate::~TfrmDocTemplate() = default;

void TfrmDocTemplate::showEvent(QShowEvent* event) {
    FormDialog::showEvent(event);
    Timer1->start();
}

void TfrmDocTemplate::Timer1Timer() {
    Timer1->stop();
    DimensionTable* templates = Dimensions->Require(DimensionId, "TfrmDocTemplate.Timer1Timer");
    if (!templates) {
        adapter_.Close();
        return;
    }
    DataMod->openQuery(DataMod->zlmConn, qEdit, "TfrmDocTemplate.Timer1Timer",
                       "select * from doc_template");
    Editor = std::make_unique<EditForm>(adapter_, *templates, qEdit);
    if (!Editor->HasRecord() || templates->GetEditMode() != DimensionTable::Add)
        return;
    if (!PickFile()) {
        // No file, no template: the new row is dropped unstored.
        qEdit.Cancel();
        close();
    }
}

bool TfrmDocTemplate::PickFile() {
    if (OpenDialog1->exec() != QDialog::Accepted || OpenDialog1->selectedFiles().isEmpty())
        return false;
    const QFileInfo chosen(OpenDialog1->selectedFiles().first());
    qEdit.FieldByName("doc_template_file").SetAsString(chosen.absoluteFilePath().toStdString());
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

void TfrmDocTemplate::btnCancelClick() {
    if (Editor && Editor->handleCancel(widgets::HandleOf(this)))
        close();
}

bool TfrmDocTemplate::FormClose() {
    Timer1->stop();
    if (!Editor)
        return true;
    try {
        if (!Editor->handleClose())
            return false;
    } catch (const std::exception& e) {
        LogError("TfrmDocTemplate.FormClose", e.what(), "");
    }
    Editor.reset();
    return true;
}

}  // namespace zl
