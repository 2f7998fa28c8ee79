#include "screens/TfrmInquiry.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <exception>
#include <memory>
#include <string>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "core/Rights.h"
#include "frames/TBrowseFrame.h"
#include "platform/db/JetDialect.h"
#include "screens/DialogSupport.h"
#include "screens/TfrmEditInquiry.h"
#include "screens/TfrmInvoice.h"
#include "screens/TfrmOrder.h"
#include "screens/TfrmQuotation.h"
#include "widgets/DBGrid.h"
#include "widgets/ListFill.h"
#include "widgets/QtPlatform.h"

namespace zl {
namespace {

constexpr int kCustomerKind = 1;
constexpr int kQuotationKind = 6;
constexpr int kOrderKind = 7;
constexpr int kInvoiceKind = 8;
constexpr int kInquiryKind = 18;
constexpr int kRefreshMs = 30000;

// The dialog of a document kind, made for one showing; nullptr for any other kind.
std::unique_ptr<DocumentDialog> DocumentDialogFor(int kind, QWidget* owner) {
    switch (kind) {
        case kQuotationKind:
            return std::make_unique<TfrmQuotation>(owner);
        case kOrderKind:
            return std::make_unique<TfrmOrder>(owner);
        case kInvoiceKind:
            return std::make_unique<TfrmInvoice>(owner);
        default:
            return nullptr;
    }
}

QWidget* LabelledCombo(const QString& label, QComboBox* combo, QWidget* parent) {
    auto* panel = new QWidget(parent);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(4, 0, 4, 0);
    row->addWidget(new QLabel(label, panel));
    combo->setParent(panel);
    row->addWidget(combo);
    return panel;
}

}  // namespace

const std::vector<const char*>& TfrmInquiry::OrderColumns() {
    static const std::vector<const char*> columns{"Customer", "Document type", "Date", "Status"};
    return columns;
}

TfrmInquiry::TfrmInquiry(QWidget* parent) : HubWindow("Inquiry processes", InquiryOpen, parent) {
    setObjectName("frmInquiry");
    PageControl1 = NewPageControl();
    inquiryFrame = AddFrameTab(PageControl1, "inquiryFrame", "Inquiries");

    documentsTab = new QWidget;
    documentsTab->setObjectName("documentsTab");
    ToolBar1 = new QToolBar(documentsTab);
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setIconSize(QSize(24, 24));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    btnEdit = ToolBar1->addAction(
        QIcon::fromTheme("document-properties",
                         style()->standardIcon(QStyle::SP_FileDialogDetailedView)),
        "&Edit");
    btnEdit->setObjectName("btnEdit");
    btnEdit->setToolTip("Edit an existing record");
    ToolBar1->widgetForAction(btnEdit)->setObjectName("btnEdit");
    btnDelete = ToolBar1->addAction(
        QIcon::fromTheme("edit-delete", style()->standardIcon(QStyle::SP_TrashIcon)), "&Delete");
    btnDelete->setObjectName("btnDelete");
    ToolBar1->widgetForAction(btnDelete)->setObjectName("btnDelete");
    // Both combos are select-only: each item stands for a fixed column or a stored status, so
    // nothing typed can reach the SQL.
    cbOrder = new QComboBox;
    cbOrder->setObjectName("cbOrder");
    cbOrder->setEditable(false);
    for (const char* column : OrderColumns())
        cbOrder->addItem(column);
    cbOrder->setCurrentIndex(0);
    ToolBar1->addWidget(LabelledCombo("Order by: ", cbOrder, ToolBar1));
    cbStatus = new QComboBox;
    cbStatus->setObjectName("cbStatus");
    cbStatus->setEditable(false);
    cbStatus->setMinimumWidth(160);
    ToolBar1->addWidget(LabelledCombo("Status:", cbStatus, ToolBar1));

    grdQOI = new widgets::DBGrid(documentsTab);
    grdQOI->setObjectName("grdQOI");
    grdQOI->SetDataSet(&qQOI);
    auto* documents = new QVBoxLayout(documentsTab);
    documents->setContentsMargins(0, 0, 0, 0);
    documents->setSpacing(0);
    documents->addWidget(ToolBar1);
    documents->addWidget(grdQOI, 1);
    PageControl1->addTab(documentsTab, "Quotations, Orders and Invoices");
    PageControl1->setCurrentIndex(0);

    connect(btnEdit, &QAction::triggered, this, [this] { btnEditClick(); });
    connect(btnDelete, &QAction::triggered, this, [this] { btnDeleteClick(); });
    connect(grdQOI, &widgets::DBGrid::GridDoubleClicked, this, [this] { btnEditClick(); });
    connect(cbOrder, &QComboBox::activated, this, [this] { cbOrderClick(); });
    connect(cbStatus, &QComboBox::activated, this, [this] { cbStatusClick(); });
    connect(PageControl1, &QTabWidget::currentChanged, this, [this] { documentsShown(); });
    qoiFill_ = std::make_unique<widgets::ListFill>(qQOI, grdQOI, "TfrmInquiry.openQOI");
    qoiFill_->SetFilled([this] { documentsFilled(); });

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(kRefreshMs);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    Timer1->start();
}

TfrmInquiry::~TfrmInquiry() = default;

void TfrmInquiry::setCollection(DimCollection* dimensions) {
    HubWindow::setCollection(dimensions);
    RunGuarded("TfrmInquiry.setupFrame", [this] { setupFrame(); });
}

void TfrmInquiry::setupFrame() {
    if (!dimensions_)
        return;
    frmEditInquiry =
        BindFrame<TfrmEditInquiry>(inquiryFrame, kInquiryKind, "TfrmInquiry.setupFrame");
    popStatus();
    documentsShown();
}

void TfrmInquiry::documentsShown() {
    if (documentsRead_ || !dimensions_ || PageControl1->currentWidget() != documentsTab)
        return;
    documentsRead_ = true;
    // In the filter and order the combos show from the first fill on, so that no later read
    // moves the rows under the user.
    qoiFill_->Fill(DataMod->zlmConn, QOISql());
}

void TfrmInquiry::documentsFilled() {
    if (dimensions_)
        if (DimensionTable* customers = dimensions_->Require(kCustomerKind, "TfrmInquiry.openQOI"))
            customers->SetupGrid(qQOI, *grdQOI);
}

bool TfrmInquiry::Filling() const {
    return qoiFill_->Pending() || HubWindow::Filling();
}

void TfrmInquiry::FinishFill() {
    HubWindow::FinishFill();
    qoiFill_->Finish();
}

void TfrmInquiry::popStatus() {
    cbStatus->clear();
    statusIds_.assign(1, 0);
    cbStatus->addItem("[all status flags]");
    if (DataMod->openQuery(DataMod->zlmConn, qStatus, "TfrmInquiry.popStatus",
                           "select * from doc_status")) {
        for (qStatus.First(); !qStatus.Eof(); qStatus.Next()) {
            cbStatus->addItem(
                QString::fromStdString(qStatus.FieldByName("doc_status_descr").AsString()));
            statusIds_.push_back(qStatus.FieldByName("doc_status_id").AsInteger());
        }
    }
    cbStatus->setCurrentIndex(0);
}

bool TfrmInquiry::HasDocuments() const {
    return qQOI.Active() && !qQOI.IsEmpty();
}

std::string TfrmInquiry::QOISql() const {
    std::string sql = "select * from brwQOI where true ";
    const int status = cbStatus->currentIndex();
    if (status > 0 && status < static_cast<int>(statusIds_.size()))
        sql += " and doc_status_id=" + std::to_string(statusIds_[status]);
    const int order = cbOrder->currentIndex();
    // The key breaks ties, so that equal values keep one order from refresh to refresh.
    if (order >= 0 && order < static_cast<int>(OrderColumns().size()))
        sql += " order by " + db::QuoteName(OrderColumns()[order]) + ", zlm_doc_id";
    return sql;
}

void TfrmInquiry::openQOI() {
    // Another filter or order, or a document gone: read in the background, rows read for an
    // earlier choice dropped; on the same document when it is still listed, else on the first.
    qoiFill_->Discard();
    documentsRead_ = true;
    qoiFill_->Fill(DataMod->zlmConn, QOISql());
}

void TfrmInquiry::refreshDocuments() {
    // Nothing to do before the documents tab was first shown; otherwise the rows are read in
    // the background with the chosen filter and order, and only when something changed.
    if (!documentsRead_)
        return;
    const std::string sql = QOISql();
    if (qQOI.Active() && qQOI.SQL() == sql)
        qoiFill_->Refresh();
    else
        qoiFill_->Fill(DataMod->zlmConn, sql);
}

void TfrmInquiry::refresh() {
    // Nothing is re-read under an edit dialog or a message box: both may stand on these rows.
    if (!dimensions_ || dimensions_->AnyInEdit() || QApplication::activeModalWidget())
        return;
    inquiryFrame->RefreshExecute();
    refreshDocuments();
}

void TfrmInquiry::Timer1Timer() {
    RunGuarded("TfrmInquiry.Timer1Timer", [this] { refresh(); });
}

void TfrmInquiry::cbOrderClick() {
    RunGuarded("TfrmInquiry.cbOrderClick", [this] { openQOI(); });
}

void TfrmInquiry::cbStatusClick() {
    RunGuarded("TfrmInquiry.cbStatusClick", [this] { openQOI(); });
}

void TfrmInquiry::btnEditClick() {
    RunGuarded("TfrmInquiry.btnEditClick", [this] { editDocument(); });
}

void TfrmInquiry::btnDeleteClick() {
    RunGuarded("TfrmInquiry.btnDeleteClick", [this] { deleteDocument(); });
}

void TfrmInquiry::editDocument() {
    if (!HasDocuments()) {
        ui::ShowMessage(widgets::HandleOf(this), "There is no record to edit", "No record",
                        ui::Icon::Information);
        return;
    }
    const int kind = qQOI.FieldByName("dimension_id").AsInteger();
    const int docId = qQOI.FieldByName("zlm_doc_id").AsInteger();
    std::unique_ptr<DocumentDialog> dialog = DocumentDialogFor(kind, this);
    DimensionTable* documents =
        dialog && dimensions_ ? dimensions_->Require(kind, "TfrmInquiry.btnEditClick") : nullptr;
    if (!documents)
        return;
    {
        // The customers window's list of this kind keeps its own current record.
        BorrowedContext borrowed(documents);
        documents->SetRecordId(docId);
        {
            // A document gone meanwhile is reported by its dialog, which then closes by itself.
            EditModeScope editing(*documents, DimensionTable::EditRecord);
            dialog->exec();
        }
        dialog.reset();
    }
    refreshDocuments();
}

void TfrmInquiry::deleteDocument() {
    const ui::WindowHandle owner = widgets::HandleOf(this);
    if (!HasDocuments()) {
        ui::ShowMessage(owner, "There is no record to delete", "No record", ui::Icon::Information);
        return;
    }
    if (!DataMod->checkRight(CurUserId, kDeleteDocumentsRight)) {
        ui::ShowMessage(owner,
                        "You do not have system rights to delete this record. Please contact "
                        "your administrator.",
                        "Access denied", ui::Icon::Information);
        return;
    }
    // Past its own right, the delete is the lists' own: the kind's allow-delete flag, the
    // question, the statement and the audit row.
    DimensionTable* documents =
        dimensions_ ? dimensions_->Require(qQOI.FieldByName("dimension_id").AsInteger(),
                                           "TfrmInquiry.btnDeleteClick")
                    : nullptr;
    // No rows replace the one the question is about while it is open.
    if (documents && qoiFill_->WhileAsking([&] { return documents->Delete(qQOI, owner); }))
        openQOI();
}

}  // namespace zl
