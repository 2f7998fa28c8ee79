#include "screens/TfrmEditInquiry.h"

#include <QAction>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <exception>
#include <vector>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/DimensionTable.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "frames/TfrmLookup.h"
#include "platform/db/DbError.h"
#include "screens/DetailDialog.h"
#include "screens/TfrmInvoice.h"
#include "screens/TfrmOrder.h"
#include "screens/TfrmQuotation.h"

namespace zl {

namespace {

constexpr int kInquiries = 18;
constexpr int kSteps = 22;
constexpr int kCustomers = 1;
constexpr int kQuotations = 6;
constexpr int kOrders = 7;
constexpr int kInvoices = 8;
constexpr int kDocumentLines = 24;
// The "[no customer]" entity of the delivered database: an inquiry always has a customer row.
constexpr int kPlaceholderCustomer = 5;
constexpr const char* kTablesTag = "TfrmInqItem.openTables";

}  // namespace

std::string LinkedDocumentCaption(int quotationId, int invoiceId, int orderId) {
    std::string caption;
    if (quotationId > 0)
        caption = "View quotation";
    if (invoiceId > 0)
        caption = "View invoice";
    if (orderId > 0)
        caption = "View order";
    return caption;
}

TfrmEditInquiry::TfrmEditInquiry(QWidget* owner) : widgets::FormDialog(owner) {
    setObjectName("frmEditInquiry");
    setWindowTitle("Inquiry");

    auto* form = new QFormLayout;
    dtFrame = AddDateFrame(this, form, "dtFrame", "Creation date: ");
    dtFrame->setMaximumWidth(200);
    edTime = AddNamedEdit(this, form, "edTime", "Creation time: ", &dsEdit, "zlm_doc_time");
    edTime->setMaximumWidth(100);
    edTime->SetTimeEntry();
    edDescr =
        AddNamedEdit(this, form, "edDescr", "Inquiry description: ", &dsEdit, "zlm_doc_descr");
    edDescr->setMinimumWidth(360);
    edNotes = AddDataMemo(this, form, "edNotes", "Notes: ", &dsEdit, "zlm_doc_notes", 72);
    cbStatus = AddLookupCombo(this, form, "cbStatus", "Status: ", &qStatus, "inq_status_id",
                              "inq_status_descr", &dsEdit, "inq_status_id");
    cbType = AddLookupCombo(this, form, "cbType", "Inquiry type : ", &qType, "inquiry_type_id",
                            "inquiry_type_descr", &dsEdit, "inquiry_type_id");
    edRef = AddNamedEdit(this, form, "edRef", "Inquiry reference: ", &dsEdit, "zlm_doc_ref");
    txtCustomer = new widgets::DBText(this);
    txtCustomer->setObjectName("txtCustomer");
    QFont bold = txtCustomer->font();
    bold.setBold(true);
    txtCustomer->setFont(bold);
    txtCustomer->SetDataSource(&dsCustomer);
    txtCustomer->SetDataField("Full name");
    form->addRow("Customer: ", txtCustomer);

    labItems = new QLabel("Process steps:", this);
    labItems->setObjectName("labItems");
    labItems->setFont(bold);
    itemFrame = new TchildFrame(this);
    itemFrame->setObjectName("itemFrame");
    // The list's Add runs through this dialog, so that whatever it raises is caught here.
    disconnect(itemFrame->btnAdd, &QAction::triggered, itemFrame, nullptr);
    connect(itemFrame->btnAdd, &QAction::triggered, this, [this] {
        RunGuarded(
            "TfrmEditInquiry.itemFramebtnAddClick", [this] { itemFramebtnAddClick(); },
            RefusedEntry::AlreadyShown);
    });

    btnCustomer = NewButton(this, "btnCustomer", "Show &customer");
    btnGoTo = NewButton(this, "btnGoTo", "&Order");
    btnGoTo->setEnabled(false);
    btnOK = NewButton(this, "btnOK", "&Save and close");
    btnOK->setDefault(true);
    btnCancel = NewButton(this, "btnCancel", "&Cancel");
    connect(btnOK, &QPushButton::clicked, this, &QWidget::close);
    OnClickGuarded(btnCancel, "TfrmEditInquiry.btnCancelClick",
                   [this] { CancelEdit(editForm_.get(), this); });
    OnClickGuarded(btnCustomer, "TfrmEditInquiry.btnCustomerClick", [this] { btnCustomerClick(); });
    OnClickGuarded(btnGoTo, "TfrmEditInquiry.btnGoToClick", [this] { btnGoToClick(); });

    LayOutWithList(this, form, labItems, itemFrame, {btnCustomer, btnGoTo}, {btnOK, btnCancel});
    resize(920, 640);
    widgets::Centre(*this);
}

TfrmEditInquiry::~TfrmEditInquiry() = default;

void TfrmEditInquiry::showEvent(QShowEvent* event) {
    FormDialog::showEvent(event);
    // A window restored from the task bar is the same showing.
    if (event->spontaneous())
        return;
    if (!RanGuarded(
            "TfrmEditInquiry.FormShow", [this] { FormShow(); }, RefusedEntry::AlreadyShown))
        adapter_.Close();
}

void TfrmEditInquiry::FormShow() {
    btnGoTo->setEnabled(false);
    btnGoTo->setText("&Order");
    itemFrame->setEnabled(false);
    DimensionTable* inquiries = Dimensions->Require(kInquiries, "TfrmEditInquiry.FormShow");
    if (!inquiries) {
        adapter_.Close();
        return;
    }
    const bool adding = inquiries->GetEditMode() == DimensionTable::Add;
    editForm_ = std::make_unique<EditForm>(adapter_, *inquiries, qEdit);
    // No inquiry (deleted meanwhile, or none could be made): the user has been told and the
    // dialog is closing.
    if (!editForm_->HasRecord())
        return;
    if (adding) {
        qEdit.FieldByName("customer_id").SetAsInteger(PickCustomer());
        qEdit.FieldByName("zlm_doc_ref")
            .SetAsString(std::to_string(qEdit.FieldByName("zlm_doc_id").AsInteger()));
    }
    // Stored at once, with its customer: the steps refer to it, and Cancel later drops only
    // what was changed after this.
    if (!editForm_->PostNew())
        return;
    dtFrame->bindField(qEdit, "zlm_doc_date");
    openTables();
}

int TfrmEditInquiry::PickCustomer() {
    int picked = 0;
    {
        // "Create new customer" borrows the customer kinds.
        BorrowedCustomerKinds borrowed;
        picked = ShowLookup(kCustomers, this, true);
    }
    return picked >= 1 ? picked : kPlaceholderCustomer;
}

void TfrmEditInquiry::openTables() {
    DataMod->openQuery(DataMod->zlmConn, qType, kTablesTag, "select * from inquiry_type");
    DataMod->openQuery(DataMod->zlmConn, qStatus, kTablesTag, "select * from inq_status");
    cbType->ReloadList();
    cbStatus->ReloadList();
    frmInqItem = std::make_unique<TfrmInqItem>(this);
    DataMod->OpenByField(qCustomer, "brwCustomer", qEdit.FieldByName("customer_id").AsInteger(),
                         kTablesTag, "entity_id");
    itemFrame->Setup(qItem, Dimensions->Require(kSteps, kTablesTag), frmInqItem.get());
    itemFrame->setParentID(qEdit.FieldByName("zlm_doc_id").AsInteger());
    const std::string caption = LinkedDocumentCaption(qEdit.FieldByName("quotation_id").AsInteger(),
                                                      qEdit.FieldByName("invoice_id").AsInteger(),
                                                      qEdit.FieldByName("order_id").AsInteger());
    if (!caption.empty()) {
        btnGoTo->setText(QString::fromStdString(caption));
        btnGoTo->setEnabled(true);
    }
}

bool TfrmEditInquiry::FormClose() {
    if (!FinishEdit(editForm_, "TfrmEditInquiry.FormClose", RefusedEntry::AlreadyShown))
        return false;
    itemFrame->closeTables();
    qCustomer.Close();
    qStatus.Close();
    qType.Close();
    return true;
}

void TfrmEditInquiry::itemFramebtnAddClick() {
    itemFrame->btnAddClick();
}

void TfrmEditInquiry::btnCustomerClick() {
    const int customer = ShowRowCustomer(this, qEdit, "TfrmEditInquiry.btnCustomerClick");
    if (!customer)
        return;
    // The name may have been changed meanwhile.
    DataMod->OpenByField(qCustomer, "brwCustomer", customer, "TfrmEditInquiry.btnCustomerClick",
                         "entity_id");
}

template <class Dialog>
void TfrmEditInquiry::ViewDocument(int dimension, int documentId) {
    const char* tag = "TfrmEditInquiry.btnGoToClick";
    DimensionTable* documents = Dimensions->Require(dimension, tag);
    if (!documents)
        return;
    // A document deleted since the link was made: said here, and no dialog opens on nothing.
    db::Query exists(&DataMod->zlmConn);
    if (!DataMod->openQuery(
            DataMod->zlmConn, exists, tag,
            "select zlm_doc_id from zlm_doc where zlm_doc_id=? and dimension_id=?",
            {static_cast<long long>(documentId), static_cast<long long>(dimension)}))
        return;
    if (exists.IsEmpty()) {
        ui::ShowMessage(widgets::HandleOf(this), "There is no record to edit", "No record",
                        ui::Icon::Information);
        return;
    }
    exists.Close();
    // The document dialog takes over its kind and, through its line list, the line kind.
    BorrowedContext documentContext(documents);
    BorrowedContext lineContext(Dimensions->Find(kDocumentLines));
    documents->SetRecordId(documentId);
    documents->SetEditMode(DimensionTable::EditRecord);
    Dialog dialog(this);
    dialog.exec();
}

void TfrmEditInquiry::btnGoToClick() {
    if (!qEdit.Active())
        return;
    // Read first: the documents' dialogs do not move this row, but each link is its own.
    const int quotation = qEdit.FieldByName("quotation_id").AsInteger();
    const int invoice = qEdit.FieldByName("invoice_id").AsInteger();
    const int order = qEdit.FieldByName("order_id").AsInteger();
    if (quotation > 0)
        ViewDocument<TfrmQuotation>(kQuotations, quotation);
    if (invoice > 0)
        ViewDocument<TfrmInvoice>(kInvoices, invoice);
    if (order > 0)
        ViewDocument<TfrmOrder>(kOrders, order);
}

}  // namespace zl
