#include "screens/TfrmCampaign.h"

#include <QApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/Globals.h"
#include "frames/TBrowseFrame.h"
#include "screens/DialogSupport.h"
#include "screens/TfrmInquiry.h"

namespace zl {

namespace {

constexpr int kCampaigns = 28;

// What a campaign produces for its type (mails, documents, inquiry items) is made by the
// campaign run; the dialog only prepares and marks the row and reports.
void GenerateCampaign(int /*campaignId*/) {}

// The inquiry processes window's list, when that window is open: inside the main window or
// standing on its own.
void RefreshInquiryList() {
    if (!InquiryOpen)
        return;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        QList<TfrmInquiry*> found = window->findChildren<TfrmInquiry*>();
        if (auto* own = qobject_cast<TfrmInquiry*>(window))
            found.prepend(own);
        for (TfrmInquiry* inquiries : found)
            inquiries->inquiryFrame->RefreshExecute();
    }
}

}  // namespace

TfrmCampaign::TfrmCampaign(QWidget* owner) : RecordDialog(owner, "TfrmCampaign", kCampaigns) {
    setObjectName("frmCampaign");
    setWindowTitle("Campaign");
    auto* form = new QFormLayout;
    dtFrame1 = new TdtFrame(this);
    dtFrame1->setObjectName("dtFrame1");
    form->addRow("Creation date: ", dtFrame1);
    DBEdit1 = AddDataEdit(this, form, "Description: ", &dsCampaign, "zlm_doc_descr");
    DBEdit1->setObjectName("DBEdit1");
    DBEdit1->setToolTip(
        "Supply a heading for this campaign (will also be used as the subject line in emails)");
    DBMemo1 = new widgets::DBMemo(this);
    DBMemo1->setObjectName("DBMemo1");
    DBMemo1->SetDataSource(&dsCampaign);
    DBMemo1->SetDataField("zlm_doc_notes");
    form->addRow("Notes: ", DBMemo1);
    DBComboBox1 = new widgets::DBComboBox(this);
    DBComboBox1->setObjectName("DBComboBox1");
    DBComboBox1->SetItems({"Generate and send emails", "Generate documents for printing",
                           "Manual campaign - generate inquiry items"});
    DBComboBox1->SetDataSource(&dsCampaign);
    DBComboBox1->SetDataField("zlm_doc_campaigntype");
    form->addRow("Campaign type: ", DBComboBox1);
    DBLookupComboBox1 = new widgets::DBLookupComboBox(this);
    DBLookupComboBox1->setObjectName("DBLookupComboBox1");
    DBLookupComboBox1->SetListSource(&qTemplate, "doc_template_id", "doc_template_name");
    DBLookupComboBox1->SetDataSource(&dsCampaign);
    DBLookupComboBox1->SetDataField("doc_template_id");
    form->addRow("Document template: ", DBLookupComboBox1);
    DBLookupComboBox2 = new widgets::DBLookupComboBox(this);
    DBLookupComboBox2->setObjectName("DBLookupComboBox2");
    DBLookupComboBox2->SetListSource(&qType, "customer_type_id", "customer_type_descr");
    DBLookupComboBox2->SetDataSource(&dsCampaign);
    DBLookupComboBox2->SetDataField("cust_type_id");
    form->addRow("Customer type: ", DBLookupComboBox2);
    DBEdit2 = AddDataEdit(this, form, "Include customer names starting with: ", &dsCampaign,
                          "zlm_doc_campaignfrom");
    DBEdit2->setObjectName("DBEdit2");
    DBEdit3 = AddDataEdit(this, form, "Up to customer names starting with:  ", &dsCampaign,
                          "zlm_doc_campaignto");
    DBEdit3->setObjectName("DBEdit3");
    DBCheckBox1 = new widgets::DBCheckBox(this);
    DBCheckBox1->setObjectName("DBCheckBox1");
    DBCheckBox1->setText("Campaign generated");
    DBCheckBox1->SetValueChecked("1");
    DBCheckBox1->SetValueUnchecked("0");
    DBCheckBox1->SetDataSource(&dsCampaign);
    DBCheckBox1->SetDataField("zlm_doc_campaigngenerated");
    DBCheckBox1->setEnabled(false);
    form->addRow(DBCheckBox1);

    btnGenerate = new QPushButton("&Generate campaign now", this);
    btnGenerate->setObjectName("btnGenerate");
    btnGenerate->setToolTip("Click here to create the campaign");
    btnOK = NewSaveAndCloseButton(this);
    btnCancel = NewCancelButton();
    connect(btnGenerate, &QPushButton::clicked, this, [this] {
        RunGuarded("TfrmCampaign.btnGenerateClick", [this] { btnGenerateClick(); });
    });
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(NewButtonRow(this, btnOK, btnCancel, {btnGenerate}));
    resize(560, 520);
}

TfrmCampaign::~TfrmCampaign() = default;

void TfrmCampaign::OpeningRecord() {
    DataMod->openQuery(DataMod->zlmConn, qTemplate, "TfrmCampaign.FormShow",
                       "select * from doc_template order by doc_template_descr");
    DataMod->openQuery(DataMod->zlmConn, qType, "TfrmCampaign.FormShow",
                       "select * from customer_type order by customer_type_descr");
    DBLookupComboBox1->ReloadList();
    DBLookupComboBox2->ReloadList();
}

void TfrmCampaign::RecordOpened(DimensionTable& campaigns, DimensionTable* /*details*/) {
    if (campaigns.GetEditMode() == DimensionTable::Add) {
        qEdit.FieldByName("zlm_doc_campaigntype").SetAsString("Generate and send emails");
        qEdit.FieldByName("zlm_doc_campaignfrom").SetAsString("A");
        qEdit.FieldByName("zlm_doc_campaignto").SetAsString("ZZZ");
        qEdit.FieldByName("zlm_doc_descr").SetAsString("Unnamed campaign");
        qTemplate.First();
        const int firstTemplate = qTemplate.Active() && !qTemplate.IsEmpty()
                                      ? qTemplate.FieldByName("doc_template_id").AsInteger()
                                      : 0;
        qEdit.FieldByName("doc_template_id").SetAsInteger(firstTemplate);
    }
    dtFrame1->bindField(qEdit, "zlm_doc_date");
}

void TfrmCampaign::btnGenerateClick() {
    if (!editForm_ || !qEdit.Active())
        return;
    const ui::WindowHandle owner = widgets::HandleOf(this);
    qEdit.UpdateRecord();
    if (qEdit.FieldByName("zlm_doc_campaigngenerated").AsInteger() == 1 &&
        ui::ShowMessage(owner,
                        "This campaign has been generated already. Are you sure you want to do "
                        "so again?",
                        "Already generated", ui::Icon::Question,
                        ui::Buttons::YesNo) != ui::Button::Yes)
        return;
    if (!qEdit.Editing())
        qEdit.Edit();
    qEdit.FieldByName("zlm_doc_campaigngenerated").SetAsInteger(1);
    qEdit.Post();  // a failure stops here: nothing generated, nothing said about the campaign
    const int campaignId = qEdit.FieldByName("zlm_doc_id").AsInteger();
    qEdit.Close();

    // From here on the dialog edits the stored campaign, also when it was opened to add it.
    editForm_.reset();
    DimensionTable* campaigns = Dimensions->Require(DimensionId, "TfrmCampaign.btnGenerateClick");
    if (!campaigns)
        return;
    campaigns->SetRecordId(campaignId);
    campaigns->SetEditMode(DimensionTable::EditRecord);
    editForm_ = std::make_unique<EditForm>(adapter_, *campaigns, qEdit);
    dtFrame1->bindField(qEdit, "zlm_doc_date");

    ui::CurrentCursor().Set(ui::CursorShape::HourGlass);
    GenerateCampaign(campaignId);
    RefreshInquiryList();
    ui::CurrentCursor().Set(ui::CursorShape::Default);
    ui::ShowMessage(owner, "Campaign created", "Campaign", ui::Icon::Information);
}

void TfrmCampaign::RecordClosed() {
    qTemplate.Close();
    qType.Close();
}

}  // namespace zl
