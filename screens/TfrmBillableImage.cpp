#include "screens/TfrmBillableImage.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>

#include "core/DimCollection.h"
#include "core/EditForm.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "platform/db/DbError.h"
#include "platform/desktop/Desktop.h"
#include "screens/DialogSupport.h"

namespace zl {
namespace {

constexpr int kBillableImages = 29;
// The text a new row's text columns start with.
constexpr const char* kNoValue = "[no value]";

}  // namespace

TfrmBillableImage::TfrmBillableImage(QWidget* owner) : FormDialog(owner) {
    setObjectName("frmBillableImage");
    setWindowTitle("Component or assembly image");
    DimensionId = kBillableImages;

    auto* form = new QFormLayout;
    DBEdit1 = new widgets::DBEdit(this);
    DBEdit1->setObjectName("DBEdit1");
    DBEdit1->SetDataSource(&dstEdit);
    DBEdit1->SetDataField("billable_image_descr");
    DBEdit1->setMinimumWidth(320);
    form->addRow("Image description: ", DBEdit1);

    auto* group = new QGroupBox("Image file", this);
    DBText1 = new widgets::DBText(group);
    DBText1->setObjectName("DBText1");
    DBText1->SetDataSource(&dstEdit);
    DBText1->SetDataField("billable_image_file");
    DBText1->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Button1 = new QPushButton("Choose image &file", group);
    Button1->setObjectName("Button1");
    btnView = new QPushButton("&View image", group);
    btnView->setObjectName("btnView");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addWidget(btnView);
    buttons->addStretch();
    auto* inGroup = new QVBoxLayout(group);
    inGroup->addWidget(DBText1);
    inGroup->addLayout(buttons);

    btnOK = NewSaveAndCloseButton(this);

    OpenpictureDialog1 = new QFileDialog(this);
    OpenpictureDialog1->setObjectName("OpenpictureDialog1");
    OpenpictureDialog1->setFileMode(QFileDialog::ExistingFile);
    OpenpictureDialog1->setOption(QFileDialog::DontUseNativeDialog);
    OpenpictureDialog1->setNameFilter("Image files (*.bmp *.wmf *.jpg *.jpeg *.gif *.png *)");

    connect(btnOK, &QPushButton::clicked, this, &QWidget::close);
    connect(Button1, &QPushButton::clicked, this, [this] {
        RunGuarded(
            "TfrmBillableImage.Button1Click", [this] { Button1Click(); },
            RefusedEntry::AlreadyShown);
    });
    connect(btnView, &QPushButton::clicked, this, [this] {
        RunGuarded(
            "TfrmBillableImage.btnViewClick", [this] { btnViewClick(); },
            RefusedEntry::AlreadyShown);
    });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(group);
    layout->addWidget(btnOK, 0, Qt::AlignRight);
    adjustSize();
    widgets::Centre(*this);
}

void TfrmBillableImage::showEvent(QShowEvent* event) {
    FormDialog::showEvent(event);
    try {
        FormShow();
    } catch (const std::exception& e) {
        LogError("TfrmBillableImage.FormShow", e.what(), "");
        adapter_.Close();
    }
}

void TfrmBillableImage::FormShow() {
    widgets::Centre(*this);
    DimensionTable* images = Dimensions->Require(DimensionId, "TfrmBillableImage.FormShow");
    if (!images) {
        adapter_.Close();
        return;
    }
    // An image row that is gone has been reported and the dialog is closing.
    OpenRecordToEdit(qEdit, "billable_image", "billable_image_id", images->GetRecordId(), adapter_,
                     "TfrmBillableImage.FormShow");
}

void TfrmBillableImage::Button1Click() {
    if (!qEdit.Active() || !qEdit.Editing())
        return;
    // A description typed just before counts as the user's own.
    if (!DBEdit1->UpdateRecord())
        return;
    const std::string path =
        ChooseFile(OpenpictureDialog1, qEdit.FieldByName("billable_image_file").AsString());
    if (path.empty())
        return;
    const QFileInfo chosen(QString::fromStdString(path));
    qEdit.FieldByName("billable_image_file").SetAsString(path);  // absolute already
    db::Field& descr = qEdit.FieldByName("billable_image_descr");
    if (descr.AsString() == kNoValue)
        descr.SetAsString(chosen.fileName().toStdString());
}

void TfrmBillableImage::btnViewClick() {
    if (!qEdit.Active())
        return;
    const std::string path = qEdit.FieldByName("billable_image_file").AsString();
    std::error_code error;
    if (path.empty() || !std::filesystem::is_regular_file(path, error))
        return;  // nothing to show, and nothing said
    // Through the desktop's program, as every stored document; a program is never run.
    OpenDocumentFile(widgets::HandleOf(this), path);
}

bool TfrmBillableImage::FormClose() {
    if (SaveRecord(qEdit, widgets::HandleOf(this), "TfrmBillableImage.FormClose") ==
        SaveOutcome::KeepOpen)
        return false;
    qEdit.Close();
    return true;
}

}  // namespace zl
