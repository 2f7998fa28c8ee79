#include "screens/TfrmCustomer.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/DimCollection.h"
#include "core/Globals.h"
#include "frames/TBrowseFrame.h"
#include "screens/TfrmCompQuest.h"
#include "screens/TfrmContact.h"
#include "screens/TfrmCustEdit.h"
#include "screens/TfrmInvoice.h"
#include "screens/TfrmOrder.h"
#include "screens/TfrmQuotation.h"

namespace zl {

namespace {

constexpr int kQuotationReport = 1;

}  // namespace

TfrmCustomer::TfrmCustomer(QWidget* parent) : HubWindow("Customers", CustomersOpen, parent) {
    setObjectName("frmCustomer");
    topPanel = new QWidget(this);
    topPanel->setObjectName("topPanel");
    auto* top = new QHBoxLayout(topPanel);
    top->setContentsMargins(6, 4, 6, 4);
    top->addWidget(new QLabel("Current customer: ", topPanel));
    customerName = new widgets::DBText(topPanel);
    customerName->setObjectName("customerName");
    QFont bold = customerName->font();
    bold.setBold(true);
    customerName->setFont(bold);
    top->addWidget(customerName, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(topPanel);
    PageControl1 = NewPageControl();
    customerFrame = AddFrameTab(PageControl1, "customerFrame", "Customers");
    contactFrame = AddFrameTab(PageControl1, "contactFrame", "Contact events");
    questFrame = AddFrameTab(PageControl1, "questFrame", "Completed questionnaires");
    QuoteFrame = AddFrameTab(PageControl1, "QuoteFrame", "Quotations");
    OrderFrame = AddFrameTab(PageControl1, "OrderFrame", "Orders");
    InvoiceFrame = AddFrameTab(PageControl1, "InvoiceFrame", "Invoices");
    PageControl1->setCurrentIndex(0);
    connect(PageControl1, &QTabWidget::currentChanged, this, [this] { PageControl1Change(); });
}

TfrmCustomer::~TfrmCustomer() = default;

void TfrmCustomer::setCollection(DimCollection* dimensions) {
    HubWindow::setCollection(dimensions);
    buildCustomerFrames();
}

int TfrmCustomer::currentCustomer() const {
    const DimensionTable* customers = dimensions_ ? dimensions_->Find(1) : nullptr;
    return customers ? customers->GetRecordId() : 0;
}

void TfrmCustomer::buildCustomerFrames() {
    if (!dimensions_)
        return;
    const std::string tag = "TfrmCustomer.buildCustomerFrames";
    frmCustEdit = BindFrame<TfrmCustEdit>(customerFrame, 1, tag);
    // The name shown above the tabs follows the row under the customer list's cursor.
    dsCustomer_.SetDataSet(&customerFrame->qBrowse);
    customerName->SetDataSource(&dsCustomer_);
    customerName->SetDataField("full name");
    // The lists of the customer's records follow once the customers have arrived.
    customerFrame->setAfterFill([this] { PageControl1Change(); });

    frmContact = BindFrame<TfrmContact>(contactFrame, 9, tag);
    setCustomer(contactFrame);
    frmQuotation = BindFrame<TfrmQuotation>(QuoteFrame, 6, tag);
    // The quotation report, whatever the kind's report id says.
    QuoteFrame->setPrintReport(kQuotationReport);
    setCustomer(QuoteFrame);
    frmOrder = BindFrame<TfrmOrder>(OrderFrame, 7, tag);
    setCustomer(OrderFrame);
    frmInvoice = BindFrame<TfrmInvoice>(InvoiceFrame, 8, tag);
    setCustomer(InvoiceFrame);
    frmCompQuest = BindFrame<TfrmCompQuest>(questFrame, 37, tag);
    setCustomer(questFrame);
}

void TfrmCustomer::setCustomer(TBrowseFrame* frame) {
    const int customer = currentCustomer();
    frame->setParentID(customer);
    // Without a customer there is nobody a new record could belong to.
    frame->Add->setEnabled(customer != 0);
}

void TfrmCustomer::PageControl1Change() {
    if (!dimensions_)
        return;
    for (TBrowseFrame* frame : {contactFrame, QuoteFrame, OrderFrame, InvoiceFrame, questFrame})
        setCustomer(frame);
}

}  // namespace zl
