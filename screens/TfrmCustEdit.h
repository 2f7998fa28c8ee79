// The customer dialog: the customer with its address, custom data and contact persons.
#pragma once

#include <memory>

#include "core/EditForm.h"
#include "frames/TchildFrame.h"
#include "platform/db/Query.h"
#include "screens/TfrmContactPerson.h"
#include "widgets/DataControls.h"
#include "widgets/FormDialog.h"
#include "widgets/QtPlatform.h"

class QFormLayout;
class QLabel;
class QPushButton;
class QTabWidget;

namespace zl {

class TfrmCustEdit : public widgets::FormDialog {
    Q_OBJECT
  public:
    explicit TfrmCustEdit(QWidget* owner = nullptr);
    ~TfrmCustEdit() override;

    // Whether the last showing ended with a confirmed cancel.
    bool Cancelled() const { return cancelled_; }
    // Makes this dialog the pick dialog's "Create new customer".
    static void InstallAsNewCustomerDialog();

    db::Query qEdit;
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
    void showEvent(QShowEvent* event) override;
    bool FormClose() override;

  private:
    void openTables();
    void FormShow();
    void btnCancelClick();
    widgets::DBEdit* AddEdit(QWidget* page, QFormLayout* form, const QString& label,
                             widgets::DataSource* source, const char* column);

    widgets::WidgetDialog adapter_{*this};
    std::unique_ptr<EditForm> editForm_;
    std::unique_ptr<TfrmContactPerson> contactDialog_;
    std::unique_ptr<widgets::LineEditAdapter> nameEdit_;
    bool cancelled_ = false;
};

}  // namespace zl
