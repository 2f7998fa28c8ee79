// The campaign dialog: a dated mailing to the customers of one type within a name range, using
// one template, which can be generated from here.
#pragma once

#include "frames/TdtFrame.h"
#include "platform/db/Query.h"
#include "screens/RecordDialog.h"
#include "widgets/DataControls.h"

class QPushButton;

namespace zl {

class TfrmCampaign : public RecordDialog {
    Q_OBJECT
  public:
    explicit TfrmCampaign(QWidget* owner = nullptr);
    ~TfrmCampaign() override;

    db::Query qTemplate;
    db::Query qType;
    widgets::DataSource dsCampaign{&qEdit};

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
    void OpeningRecord() override;
    void RecordOpened(DimensionTable& campaigns, DimensionTable* details) override;
    void RecordClosed() override;

  private:
    void btnGenerateClick();
};

}  // namespace zl
