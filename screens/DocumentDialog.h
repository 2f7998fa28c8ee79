// The one design of the quotation, order and invoice dialogs: a document of zlm_doc with its
// priced lines, printed with its bill of materials, and converted into an order or an invoice.
// TfrmQuotation, TfrmOrder and TfrmInvoice only say which kind they are.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/EditForm.h"
#include "frames/TchildFrame.h"
#include "frames/TdtFrame.h"
#include "platform/db/Query.h"
#include "screens/TfrmBillItem.h"
#include "widgets/DataControls.h"
#include "widgets/FormDialog.h"
#include "widgets/QtPlatform.h"

class QLabel;
class QPushButton;

namespace zl {

class Inquiry;

// What tells the three document dialogs apart.
struct DocumentKind {
    const char* className;  // the start of every log tag
    const char* objectName;
    const char* caption;
    int dimension;
    const char* dateLabel;
    const char* timeLabel;
    const char* itemsLabel;
    const char* closeCaption;
    // The follow-up inquiry of a new document of this kind.
    bool (Inquiry::*followUp)(int sourceKey);
    int reportId;
    const char* tablesTag;
    bool createsOrder;
    bool createsInvoice;
};

class DocumentDialog : public widgets::FormDialog {
    Q_OBJECT
  public:
    ~DocumentDialog() override;

    // The handlers of the buttons and the status list; each one logs and shows its own errors.
    void btnPrintClick();
    void btnBOMClick();
    void btnCreateOrderClick();
    void btnCreateInvoiceClick();
    void DBLookupComboBox1Click();

    // Whether this showing has a document to work on ("There is no record to edit" leaves none).
    bool HasDocument() const { return docId_ != 0; }
    int DocumentId() const { return docId_; }

    db::Query qEdit;
    db::Query qCustomer;
    db::Query qStatus;
    db::Query qItem;
    widgets::DataSource dsEdit{&qEdit};
    widgets::DataSource dsCustomer{&qCustomer};

    widgets::DBEdit* edDescr;
    widgets::DBMemo* edNotes;
    TdtFrame* dtFrame;
    widgets::DBEdit* edTime;
    widgets::DBLookupComboBox* DBLookupComboBox1;
    widgets::DBEdit* edRef;
    widgets::DBEdit* edCustRef;
    widgets::DBText* customerName;
    QLabel* labItems;
    TchildFrame* itemFrame;
    // The line dialog of the current showing (a new one on every show).
    std::unique_ptr<TfrmBillItem> frmBillItem;
    QPushButton* btnOK;
    QPushButton* btnCancel;
    QPushButton* btnPrint;
    QPushButton* btnBOM;
    QPushButton* btnCreateOrder = nullptr;    // quotations only
    QPushButton* btnCreateInvoice = nullptr;  // quotations and orders

  protected:
    DocumentDialog(const DocumentKind& kind, QWidget* owner);
    void showEvent(QShowEvent* event) override;
    bool FormClose() override;

  private:
    struct Conversion;
    static const Conversion kToOrder;
    static const Conversion kToInvoice;

    void FormShow();
    void openTables();
    void MakeFollowUp(int docId);
    void PrintReport(int reportId);
    void Convert(const Conversion& to);
    // The keys of the lines as the list shows them, in its order; false when it is not open.
    bool ListedLines(std::vector<int>& lines);
    std::string Tag(const char* handler) const;

    const DocumentKind& kind_;
    widgets::WidgetDialog adapter_{*this};
    std::unique_ptr<EditForm> editForm_;
    int docId_ = 0;
};

}  // namespace zl
