// The document template dialog: a named RTF file that letters are merged from.
#pragma once

#include "screens/RecordDialog.h"
#include "widgets/DataControls.h"

class QFileDialog;
class QPushButton;
class QTimer;

namespace zl {

class TfrmDocTemplate : public RecordDialog {
    Q_OBJECT
  public:
    explicit TfrmDocTemplate(QWidget* owner = nullptr);
    ~TfrmDocTemplate() override;

    widgets::DataSource dsTemplate{&qEdit};

    widgets::DBEdit* DBEdit1;
    widgets::DBMemo* DBMemo1;
    widgets::DBText* DBText1;
    QPushButton* btnRTF;
    QPushButton* btnEdit;
    QPushButton* btnOk;
    QPushButton* btnCancel;
    QTimer* Timer1;
    QFileDialog* OpenDialog1;

  protected:
    // The record is opened by Timer1, once the dialog is on screen.
    void FormShow() override;
    bool FormClose() override;
    void OpeningRecord() override;
    void RecordOpened(DimensionTable& templates, DimensionTable* details) override;

  private:
    void btnRTFClick();
    void btnEditClick();
    // Asks for an RTF file; when one is chosen it becomes the template's file and name.
    bool PickFile();
};

}  // namespace zl
