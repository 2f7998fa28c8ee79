// The inquiry dialog: one inquiry process of a customer with its status, type, reference,
// its steps and the sales documents it follows up.
#pragma once

#include <memory>
#include <string>

#include "core/EditForm.h"
#include "frames/TchildFrame.h"
#include "frames/TdtFrame.h"
#include "platform/db/Query.h"
#include "screens/TfrmInqItem.h"
#include "widgets/DataControls.h"
#include "widgets/FormDialog.h"
#include "widgets/QtPlatform.h"

class QLabel;
class QPushButton;

namespace zl {

// The caption of the linked-document button for an inquiry's links; "" when it has none.
// Quotation, invoice and order are tested in that order and the later one wins.
std::string LinkedDocumentCaption(int quotationId, int invoiceId, int orderId);

class TfrmEditInquiry : public widgets::FormDialog {
    Q_OBJECT
  public:
    explicit TfrmEditInquiry(QWidget* owner = nullptr);
    ~TfrmEditInquiry() override;

    // The buttons' actions; each logs and shows what goes wrong under its own tag.
    void btnCustomerClick();
    void btnGoToClick();
    void itemFramebtnAddClick();

    db::Query qEdit;
    db::Query qStatus;
    db::Query qType;
    db::Query qCustomer;
    db::Query qItem;
    widgets::DataSource dsEdit{&qEdit};
    widgets::DataSource dsCustomer{&qCustomer};

    TdtFrame* dtFrame;
    widgets::DBEdit* edTime;
    widgets::DBEdit* edDescr;
    widgets::DBMemo* edNotes;
    widgets::DBLookupComboBox* cbStatus;
    widgets::DBLookupComboBox* cbType;
    widgets::DBEdit* edRef;
    widgets::DBText* txtCustomer;
    QLabel* labItems;
    TchildFrame* itemFrame;
    // The step dialog of the current showing (a new one on every show).
    std::unique_ptr<TfrmInqItem> frmInqItem;
    QPushButton* btnOK;
    QPushButton* btnCancel;
    QPushButton* btnCustomer;
    QPushButton* btnGoTo;

  protected:
    void showEvent(QShowEvent* event) override;
    bool FormClose() override;

  private:
    void FormShow();
    // Lets the user pick (or create) the customer of a new inquiry; the placeholder customer
    // when the pick is cancelled or there is nobody to pick.
    int PickCustomer();
    void openTables();
    // Opens one linked document in its dialog, or says it is gone.
    template <class Dialog>
    void ViewDocument(int dimension, int documentId);

    widgets::WidgetDialog adapter_{*this};
    std::unique_ptr<EditForm> editForm_;
};

}  // namespace zl
