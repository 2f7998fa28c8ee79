// The customer dialog: the customer with its address, custom data and contact persons.
#pragma once

#include <memory>

#include "frames/TchildFrame.h"
#include "platform/db/Query.h"
#include "screens/RecordDialog.h"
#include "screens/TfrmContactPerson.h"
#include "widgets/DataControls.h"
#include "widgets/QtPlatform.h"

class QLabel;
class QPushButton;
class QTabWidget;

namespace zl {

class TfrmCustEdit : public RecordDialog {
    Q_OBJECT
  public:
    explicit TfrmCustEdit(QWidget* owner = nullptr);
    ~TfrmCustEdit() override;

    // Whether the last showing ended with a confirmed cancel.
    bool Cancelled() const { return cancelled_; }
    // Makes this dialog the pick dialog's "Create new customer".
    static void InstallAsNewCustomerDialog();

    db::Query qAddr;
    db::Query qType;
    db::Query qRegion;
    db::Query qContact;
    widgets::DataSource dsEdit{&qEdit};
    widgets::DataSource dsAddr{&qAddr};

    QTabWidget* PageControl1;
    widgets::DBLookupComboBox* cbType;
    widgets::DBLookupComboBox* cbRegion;
    widgets::DBEdit* edName;
    QLabel* customLabels[5];
    TchildFrame* frContact;
    QPushButton* btnOK;
    QPushButton* btnCancel;

  protected:
    void ShowStarting() override { cancelled_ = false; }
    void OpeningRecord() override;
    void RecordOpened(DimensionTable& customers, DimensionTable* contacts) override;
    bool BeforeSave() override;
    bool AfterSave() override;
    void RecordClosed() override;

  private:
    std::unique_ptr<TfrmContactPerson> contactDialog_;
    std::unique_ptr<widgets::LineEditAdapter> nameEdit_;
    bool cancelled_ = false;
};

}  // namespace zl
