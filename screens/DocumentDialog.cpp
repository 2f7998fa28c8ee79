#include "screens/DocumentDialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <exception>

#include "core/BOMPopulater.h"
#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "core/Inquiry.h"
#include "core/RecordCopier.h"
#include "core/ReportServer.h"
#include "core/Rights.h"
#include "platform/db/Connection.h"
#include "platform/db/DbError.h"
#include "platform/format/Format.h"
#include "screens/DetailDialog.h"

namespace zl {

namespace {

constexpr int kDocumentLine = 24;
constexpr int kBillOfMaterialsReport = 4;

}  // namespace

// A quotation or an order turned into an order or an invoice.
struct DocumentDialog::Conversion {
    int dimension;
    const char* handler;
    const char* linkColumn;
    const char* followUpDescr;
    const char* descrPrefix;
    const char* success;
    const char* failure;
};

const DocumentDialog::Conversion DocumentDialog::kToOrder{
    7,
    "btnCreateOrderClick",
    "order_id",
    "Order follow-up",
    "Order / Quotation ref: ",
    "Order created. You can view it by going to the Orders tab after closing this window.",
    "The order could not be created. Nothing has been stored.",
};

const DocumentDialog::Conversion DocumentDialog::kToInvoice{
    8,
    "btnCreateInvoiceClick",
    "invoice_id",
    "Invoice follow-up",
    "Invoice / Quotation ref: ",
    "Invoice created. You can view it by going to the Invoices tab after closing this window.",
    "The invoice could not be created. Nothing has been stored.",
};

DocumentDialog::DocumentDialog(const DocumentKind& kind, QWidget* owner)
    : FormDialog(owner), kind_(kind) {
    setObjectName(kind.objectName);
    setWindowTitle(kind.caption);

    auto* form = new QFormLayout;
    auto edit = [&](const char* label, const char* column) {
        return AddDataEdit(this, form, label, &dsEdit, column);
    };
    customerName = new widgets::DBText(this);
    customerName->setObjectName("customerName");
    QFont bold = customerName->font();
    bold.setBold(true);
    customerName->setFont(bold);
    customerName->SetDataSource(&dsCustomer);
    customerName->SetDataField("entity_fullname");
    form->addRow("Customer name: ", customerName);
    edDescr = edit("Description: ", "zlm_doc_descr");
    edNotes = AddDataMemo(this, form, "zlm_doc_notes", "Notes: ", &dsEdit, "zlm_doc_notes", 72);
    dtFrame = new TdtFrame(this);
    form->addRow(kind.dateLabel, dtFrame);
    edTime = edit(kind.timeLabel, "zlm_doc_time");
    edTime->setMaximumWidth(120);
    edTime->SetTimeEntry();
    DBLookupComboBox1 =
        AddLookupCombo(this, form, "DBLookupComboBox1", "Status: ", &qStatus, "doc_status_id",
                       "doc_status_descr", &dsEdit, "doc_status_id");
    // Connected after the control's own handler, which has written the chosen status by now.
    connect(DBLookupComboBox1, &QComboBox::activated, this, [this] {
        RunGuarded(Tag("DBLookupComboBox1Click"), [this] { DBLookupComboBox1Click(); });
    });
    edRef = edit("Our reference: ", "zlm_doc_ref");
    edCustRef = edit("Customer reference: ", "zlm_cust_ref");

    labItems = new QLabel(kind.itemsLabel, this);
    labItems->setObjectName("labItems");
    itemFrame = new TchildFrame(this);
    itemFrame->setObjectName("itemFrame");
    itemFrame->totalPanel->show();

    btnPrint = NewButton(this, "btnPrint", "&Print");
    btnBOM = NewButton(this, "btnBOM", "Print &B.o.M.");
    if (kind.createsOrder)
        btnCreateOrder = NewButton(this, "btnCreateOrder", "Create &order");
    if (kind.createsInvoice)
        btnCreateInvoice = NewButton(this, "btnCreateInvoice", "Create &invoice");
    btnOK = NewButton(this, "btnOK", kind.closeCaption);
    btnCancel = NewButton(this, "btnCancel", "&Cancel");
    connect(btnOK, &QPushButton::clicked, this, &QWidget::close);
    OnClickGuarded(
        btnCancel, Tag("btnCancelClick"), [this] { CancelEdit(editForm_.get(), this); },
        RefusedEntry::Report);
    connect(btnPrint, &QPushButton::clicked, this, &DocumentDialog::btnPrintClick);
    connect(btnBOM, &QPushButton::clicked, this, &DocumentDialog::btnBOMClick);
    if (btnCreateOrder)
        connect(btnCreateOrder, &QPushButton::clicked, this, &DocumentDialog::btnCreateOrderClick);
    if (btnCreateInvoice)
        connect(btnCreateInvoice, &QPushButton::clicked, this,
                &DocumentDialog::btnCreateInvoiceClick);

    LayOutWithList(this, form, labItems, itemFrame,
                   {btnPrint, btnBOM, btnCreateOrder, btnCreateInvoice}, {btnOK, btnCancel});
    resize(960, 600);
    widgets::Centre(*this);
}

DocumentDialog::~DocumentDialog() = default;

std::string DocumentDialog::Tag(const char* handler) const {
    return std::string(kind_.className) + "." + handler;
}

void DocumentDialog::showEvent(QShowEvent* event) {
    FormDialog::showEvent(event);
    // A window restored from the task bar is the same showing.
    if (!event->spontaneous())
        RunGuarded(Tag("FormShow"), [this] { FormShow(); });
}

void DocumentDialog::FormShow() {
    docId_ = 0;
    itemFrame->setEnabled(false);
    const std::string tag = Tag("FormShow");
    DimensionTable* documents = Dimensions->Require(kind_.dimension, tag);
    DimensionTable* lines = Dimensions->Require(kDocumentLine, tag);
    if (!documents || !lines) {
        adapter_.Close();
        return;
    }
    const bool adding = documents->GetEditMode() == DimensionTable::Add;
    editForm_ = std::make_unique<EditForm>(adapter_, *documents, qEdit);
    // No document (deleted meanwhile, or a new one could not be stored): the user has been told
    // and the dialog is closing; nothing else is opened or written.
    if (!editForm_->HasRecord() || !editForm_->PostNew())
        return;
    docId_ = qEdit.FieldByName("zlm_doc_id").AsInteger();
    dtFrame->bindField(qEdit, "zlm_doc_date");
    openTables();
    frmBillItem = std::make_unique<TfrmBillItem>(this);
    if (adding) {
        // After PostNew: the follow-up reads the customer from the stored row.
        MakeFollowUp(docId_);
        qEdit.FieldByName("zlm_doc_ref").SetAsString(std::to_string(docId_));
    }
    itemFrame->Setup(qItem, lines, frmBillItem.get());
    itemFrame->setParentID(docId_);
    itemFrame->setTotalDocID(docId_);
    itemFrame->showTotal(docId_);
}

void DocumentDialog::openTables() {
    DataMod->OpenById(qCustomer, "entity", qEdit.FieldByName("customer_id").AsInteger(),
                      kind_.tablesTag);
    DataMod->openQuery(DataMod->zlmConn, qStatus, kind_.tablesTag, "select * from doc_status");
    DBLookupComboBox1->ReloadList();
}

void DocumentDialog::MakeFollowUp(int docId) {
    // A follow-up that fails is reported; the stored document stays and can be worked on.
    try {
        Inquiry inquiry;
        (inquiry.*kind_.followUp)(docId);  // false: the user has been told
    } catch (const std::exception& e) {
        LogError(Tag("FormShow"), e.what(), "");
    }
}

bool DocumentDialog::FormClose() {
    if (!FinishEdit(editForm_, Tag("FormClose"), RefusedEntry::Report))
        return false;
    itemFrame->closeTables();
    qCustomer.Close();
    qStatus.Close();
    docId_ = 0;
    return true;
}

void DocumentDialog::DBLookupComboBox1Click() {
    if (qEdit.Editing())
        qEdit.FieldByName("zlm_doc_statusdate").SetAsDateTime(format::Date());
}

void DocumentDialog::PrintReport(int reportId) {
    if (!ReportServer)
        throw ReportServerError("The report server is not running.");
    // The same prefix for every kind of document.
    const std::string file = DataMod->NewDocPath("quote", ".html");
    ReportServer->ShowReport(reportId, CurBusUnitId, CurUserId, docId_, file);
}

void DocumentDialog::btnPrintClick() {
    RunGuarded(Tag("btnPrintClick"), [this] {
        if (HasDocument() && MayViewReports(widgets::HandleOf(this)))
            PrintReport(kind_.reportId);
    });
}

void DocumentDialog::btnBOMClick() {
    RunGuarded(Tag("btnBOMClick"), [this] {
        if (!HasDocument() || !MayViewReports(widgets::HandleOf(this)))
            return;
        BOMPopulater bom;
        // A failed refill has emptied bom: printing it would show a list that is not this
        // document's.
        if (!bom.Populate(docId_)) {
            ui::ShowMessage(widgets::HandleOf(this), "The bill of materials could not be prepared.",
                            "Bill of materials", ui::Icon::Warning);
            return;
        }
        PrintReport(kBillOfMaterialsReport);
    });
}

void DocumentDialog::btnCreateOrderClick() {
    RunGuarded(Tag(kToOrder.handler), [this] { Convert(kToOrder); });
}

void DocumentDialog::btnCreateInvoiceClick() {
    RunGuarded(Tag(kToInvoice.handler), [this] { Convert(kToInvoice); });
}

bool DocumentDialog::ListedLines(std::vector<int>& lines) {
    if (!qItem.Active())
        return false;
    const int current = qItem.RecNo();
    for (qItem.First(); !qItem.Eof(); qItem.Next())
        lines.push_back(qItem.FieldByName("doc_item_id").AsInteger());
    if (current > 0)
        qItem.SetRecNo(current);
    return true;
}

void DocumentDialog::Convert(const Conversion& to) {
    if (!HasDocument())
        return;
    const std::string tag = Tag(to.handler);
    const auto notCreated = [this, &to] {
        ui::ShowMessage(widgets::HandleOf(this), to.failure, "Not created", ui::Icon::Warning);
    };
    // The reference as the dialog holds it, a change not yet saved included.
    if (qEdit.Editing())
        qEdit.UpdateRecord();
    const std::string reference = qEdit.FieldByName("zlm_doc_ref").AsString();
    std::vector<int> lines;
    if (!ListedLines(lines)) {
        LogError(tag, "The lines of the document could not be read.", "");
        notCreated();
        return;
    }
    // Every key is issued, and the follow-up's row begun, before the transaction: a counter
    // that fails shows a box, which must not wait while the main file is locked.
    std::vector<int> keys;
    for (std::size_t i = 0; i <= lines.size(); ++i) {
        const int key = DataMod->nextID();
        if (key == 0) {
            notCreated();  // nextID has logged and shown why
            return;
        }
        keys.push_back(key);
    }
    Inquiry inquiry;
    if (!inquiry.appendGen(docId_, to.linkColumn)) {
        notCreated();  // the follow-up's query or key failed and has been reported
        return;
    }
    const int newId = keys[0];
    try {
        db::Transaction transaction(DataMod->zlmConn);
        RecordCopier copier;
        // The copy is made from the stored rows; the kind column turns it into the new kind.
        copier.CopyRecWithKey("zlm_doc", "dimension_id", docId_, to.dimension, newId);
        // The follow-up belongs to the new document and its customer.
        db::Query& followUp = inquiry.qDoc;
        followUp.FieldByName("customer_id")
            .SetAsInteger(copier.qTarget.FieldByName("customer_id").AsInteger());
        followUp.FieldByName(to.linkColumn).SetAsInteger(newId);
        followUp.FieldByName("zlm_doc_descr").SetAsString(to.followUpDescr);
        followUp.Post();
        for (std::size_t i = 0; i < lines.size(); ++i)
            copier.CopyRecWithKey("doc_item", "zlm_doc_id", lines[i], newId, keys[i + 1]);
        // The reference is the user's text: it goes in as a value, never as SQL.
        db::Query describe(&DataMod->zlmConn);
        describe.SetSQL("update zlm_doc set zlm_doc_descr=? where zlm_doc_id=?");
        describe.SetParameters(
            {std::string(to.descrPrefix) + reference, static_cast<long long>(newId)});
        if (describe.ExecSQL() != 1)
            throw db::DbError("The new document " + std::to_string(newId) + " was not found.");
        transaction.Commit();
    } catch (const std::exception& e) {
        // Rolled back by now: no part of the new document is stored.
        if (inquiry.qDoc.Editing())
            inquiry.qDoc.Cancel();
        LogError(tag, e.what(), "");
        notCreated();
        return;
    }
    ui::ShowMessage(widgets::HandleOf(this), to.success, "Success", ui::Icon::Information);
}

}  // namespace zl
