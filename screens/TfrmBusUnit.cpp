#include "screens/TfrmBusUnit.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <filesystem>

#include "core/DataMod.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "screens/DialogSupport.h"
#include "widgets/QtPlatform.h"

namespace zl {
namespace {

constexpr int kBusinessUnits = 5;

}  // namespace

TfrmBusUnit::TfrmBusUnit(QWidget* owner) : RecordDialog(owner, "TfrmBusUnit", kBusinessUnits) {
    setObjectName("FormBusUnit");
    setWindowTitle("Business Unit");
    PageControl1 = widgets::NewPageControl(this);
    PageControl1->setObjectName("PageControl1");

    auto* general = new QWidget;
    auto* generalForm = new QFormLayout(general);
    AddDataEdit(general, generalForm, "Business unit name:", &dsEdit, "entity_name");
    AddDataEdit(general, generalForm, "Our reference code:  ", &dsEdit, "entity_code");
    AddDataEdit(general, generalForm, "Legal reference number: ", &dsEdit, "entity_legalref");
    AddDataEdit(general, generalForm, "Tax reference number: ", &dsEdit, "entity_taxref");
    btnImage = new QPushButton("Business unit logo image", general);
    btnImage->setObjectName("btnImage");
    btnImage->setToolTip("Click here to pick an image file for use as a logo");
    btnView = new QPushButton("&View logo", general);
    btnView->setObjectName("btnView");
    auto* logoButtons = new QHBoxLayout;
    logoButtons->addWidget(btnImage);
    logoButtons->addWidget(btnView);
    logoButtons->addStretch();
    generalForm->addRow(logoButtons);
    DBText1 = new widgets::DBText(general);
    DBText1->setObjectName("DBText1");
    DBText1->SetDataSource(&dsEdit);
    DBText1->SetDataField("entity_logo");
    QFont bold = DBText1->font();
    bold.setBold(true);
    DBText1->setFont(bold);
    DBText1->setTextInteractionFlags(Qt::TextSelectableByMouse);
    generalForm->addRow(DBText1);
    PageControl1->addTab(general, "General");

    auto* address = new QWidget;
    auto* addressForm = new QFormLayout(address);
    auto heading = [&](const char* text) {
        auto* label = new QLabel(text, address);
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
        addressForm->addRow(label);
    };
    auto edits = [&](const std::vector<std::pair<const char*, const char*>>& fields) {
        for (const auto& [label, column] : fields)
            addressEdits.push_back(AddDataEdit(address, addressForm, label, &dsAddr, column));
    };
    heading("Postal address");
    edits({{"Postal address line 1: ", "address_postal1"},
           {"Postal address line 2: ", "address_postal2"},
           {"Postal address line 3: ", "address_postal3"},
           {"Postal code: ", "address_pcode"}});
    heading("Physical address");
    edits({{"Physical address line 1: ", "address_phys1"},
           {"Physical address line 2: ", "address_phys2"},
           {"Physical address line 3: ", "address_phys3"},
           {"Physical address line 4: ", "address_phys4"},
           {"Telephone number 1: ", "address_tel1"},
           {"Telephone number 2: ", "address_tel2"},
           {"Telephone number 3: ", "address_tel3"},
           {"Mobile phone: ", "address_cell"},
           {"email 1: ", "address_email1"},
           {"email 2: ", "address_email2"},
           {"Facsimile number 1: ", "address_fax1"},
           {"Facsimile number 2: ", "address_fax2"}});
    PageControl1->addTab(address, "Address");

    OpenDialog1 = new QFileDialog(this);
    OpenDialog1->setObjectName("OpenDialog1");
    OpenDialog1->setFileMode(QFileDialog::ExistingFile);
    OpenDialog1->setOption(QFileDialog::DontUseNativeDialog);

    btnOK = NewSaveAndCloseButton(this);
    btnCancel = NewCancelButton();
    connect(btnImage, &QPushButton::clicked, this,
            [this] { RunGuarded("TfrmBusUnit.btnImageClick", [this] { btnImageClick(); }); });
    connect(btnView, &QPushButton::clicked, this,
            [this] { RunGuarded("TfrmBusUnit.btnViewClick", [this] { btnViewClick(); }); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);
    layout->addLayout(NewButtonRow(this, btnOK, btnCancel));
    resize(560, 560);
    widgets::Centre(*this);
}

TfrmBusUnit::~TfrmBusUnit() = default;

void TfrmBusUnit::SetAddressEditable(bool editable) {
    for (widgets::DBEdit* edit : addressEdits)
        edit->setReadOnly(!editable);
}

void TfrmBusUnit::RecordOpened(DimensionTable& units, DimensionTable* /*details*/) {
    // Set last: a data control shows itself writable again whenever its row set closes.
    SetAddressEditable(openTables(units.GetEditMode() == DimensionTable::Add));
}

bool TfrmBusUnit::openTables(bool adding) {
    const int unitId = qEdit.FieldByName("entity_id").AsInteger();
    if (!DataMod->OpenByField(qAddr, "address", unitId, "TfrmBusUnit.openTables", "entity_id"))
        return false;  // reported
    if (adding) {
        // The new unit is stored at once; its address row carries its key from the start.
        if (!editForm_->PostNew())
            return false;
        if (!DataMod->Append(qAddr, "TfrmBusUnit.FormShow"))
            return false;
        qAddr.FieldByName("entity_id").SetAsInteger(unitId);
        return true;
    }
    // A unit stored without an address gets none here: its fields stay read-only.
    if (!DataMod->Seek(qAddr, "entity_id", unitId) || qAddr.IsEmpty()) {
        qAddr.Close();
        return false;
    }
    qAddr.Edit();
    return true;
}

void TfrmBusUnit::btnImageClick() {
    if (!qEdit.Active() || !qEdit.Editing())
        return;
    const std::string path = ChooseFile(OpenDialog1, qEdit.FieldByName("entity_logo").AsString());
    if (!path.empty())
        qEdit.FieldByName("entity_logo").SetAsString(path);
}

void TfrmBusUnit::btnViewClick() {
    if (!qEdit.Active())
        return;
    const std::string path = qEdit.FieldByName("entity_logo").AsString();
    std::error_code error;
    if (path.empty() || !std::filesystem::is_regular_file(path, error))
        return;
    OpenDocumentFile(widgets::HandleOf(this), path);
}

bool TfrmBusUnit::BeforeSave() {
    // The address first: after a confirmed cancel its pending changes are dropped.
    if (editForm_->GetCancelled()) {
        if (qAddr.Active() && qAddr.Editing())
            qAddr.Cancel();
        return true;
    }
    return SaveRecord(qAddr, widgets::HandleOf(this), "TfrmBusUnit.FormClose") !=
           SaveOutcome::KeepOpen;
}

void TfrmBusUnit::RecordClosed() {
    qAddr.Close();
}

}  // namespace zl
