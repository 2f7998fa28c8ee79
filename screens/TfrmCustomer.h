// The customers hub: the customer list and, on five more tabs, the contact events, completed
// questionnaires, quotations, orders and invoices of the current customer.
#pragma once

#include <memory>

#include "screens/HubWindow.h"
#include "widgets/DataControls.h"

class QLabel;
class QTabWidget;

namespace zl {

class TBrowseFrame;
class TfrmCustEdit;
class TfrmContact;
class TfrmCompQuest;
class TfrmQuotation;
class TfrmOrder;
class TfrmInvoice;

class TfrmCustomer : public HubWindow {
    Q_OBJECT
  public:
    explicit TfrmCustomer(QWidget* parent = nullptr);
    ~TfrmCustomer() override;

    void setCollection(DimCollection* dimensions) override;
    // Filters the five lists of the current customer by it again.
    void PageControl1Change();
    // The customer under the cursor of the customer list; 0 when the list is empty.
    int currentCustomer() const;

    QTabWidget* PageControl1;
    QWidget* topPanel;
    widgets::DBText* customerName;
    TBrowseFrame* customerFrame;
    TBrowseFrame* contactFrame;
    TBrowseFrame* questFrame;
    TBrowseFrame* QuoteFrame;
    TBrowseFrame* OrderFrame;
    TBrowseFrame* InvoiceFrame;

    TfrmCustEdit* frmCustEdit = nullptr;
    TfrmContact* frmContact = nullptr;
    TfrmCompQuest* frmCompQuest = nullptr;
    TfrmQuotation* frmQuotation = nullptr;
    TfrmOrder* frmOrder = nullptr;
    TfrmInvoice* frmInvoice = nullptr;

  private:
    void buildCustomerFrames();
    void setCustomer(TBrowseFrame* frame);

    widgets::DataSource dsCustomer_;
};

}  // namespace zl
