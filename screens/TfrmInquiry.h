// The inquiry processes hub: the inquiry list with its dialog, and every customer's quotations,
// orders and invoices in one grid, filtered by status, ordered by a chosen column and opened
// or deleted from there. Both refresh themselves while nothing is being edited.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/db/Query.h"
#include "screens/HubWindow.h"

class QAction;
class QComboBox;
class QTabWidget;
class QTimer;
class QToolBar;

namespace zl {

class TBrowseFrame;
class TfrmEditInquiry;
namespace widgets {
class DBGrid;
class ListFill;
}  // namespace widgets

class TfrmInquiry : public HubWindow {
    Q_OBJECT
  public:
    explicit TfrmInquiry(QWidget* parent = nullptr);
    ~TfrmInquiry() override;

    void setCollection(DimCollection* dimensions) override;

    // The handlers; each one logs and shows its own errors.
    void Timer1Timer();
    void btnEditClick();
    void btnDeleteClick();
    void cbOrderClick();
    void cbStatusClick();
    // Re-reads the document grid with the chosen status and order on a worker thread; the grid
    // keeps what it shows until the rows arrive, then stands on the same document.
    void openQOI();
    bool Filling() const override;
    void FinishFill() override;

    // The columns of brwQOI that "Order by: " offers, by item.
    static const std::vector<const char*>& OrderColumns();

    QTabWidget* PageControl1;
    TBrowseFrame* inquiryFrame;
    QWidget* documentsTab;
    QToolBar* ToolBar1;
    QAction* btnEdit;
    QAction* btnDelete;
    QComboBox* cbOrder;
    QComboBox* cbStatus;
    widgets::DBGrid* grdQOI;
    QTimer* Timer1;
    db::Query qQOI;
    db::Query qStatus;
    TfrmEditInquiry* frmEditInquiry = nullptr;

  private:
    void setupFrame();
    void popStatus();
    void editDocument();
    void deleteDocument();
    void refresh();
    void refreshDocuments();
    std::string QOISql() const;
    void documentsShown();
    void documentsFilled();
    bool HasDocuments() const;

    // The doc_status_id of each item of cbStatus; item 0 ("[all status flags]") holds 0.
    std::vector<int> statusIds_;
    std::unique_ptr<widgets::ListFill> qoiFill_;
    // Set once the documents were asked for: they are read when their tab is first shown.
    bool documentsRead_ = false;
};

}  // namespace zl
