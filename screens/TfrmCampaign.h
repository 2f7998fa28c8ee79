// The campaign dialog: a dated mailing to the customers of one type within a name range, using
// one template, which can be generated from here.
#pragma once

#include <memory>

#include "core/EditForm.h"
#include "frames/TdtFrame.h"
#include "platform/db/Query.h"
#include "widgets/DataControls.h"
#include "widgets/FormDialog.h"
#include "widgets/QtPlatform.h"

class QPushButton;

namespace zl {

class TfrmCampaign : public widgets::FormDialog {
    Q_OBJECT
  public:
    explicit TfrmCampaign(QWidget* owner = nullptr);
    ~TfrmCampaign() override;

    db::Query qEdit;
    db::Query qTemplate;
    db::Query qType;
    widgets::DataSource dsCampaign{&qEdit};
    const int DimensionId = 28;

    TdtFrame* dtFrame1;
    widgets::DBEdit* DBEdit1;
    widgets::DBMemo* DBMemo1;
    widgets::DBComboBox* DBComboBox1;
    widgets::DBLookupComboBox* DBLookupComboBox1;
    widgets::DBLookupComboBox* DBLookupComboBox2;
    widgets::DBEdit* DBEdit2;
    widgets::DBEdit* DBEdit3;
    widgets::DBCheckBox* DBCheckBox1;
    QPushButton* btnGenerate;
    QPushButton* btnOK;
    QPushButton* btnCancel;

  protected:
    void showEvent(QShowEvent* event) override;
    bool FormClose() override;

  private:
    void FormShow();
    void btnGenerateClick();
    void btnCancelClick();

    widgets::WidgetDialog adapter_{*this};
    std::unique_ptr<EditForm> Editor;
};

}  // namespace zl
