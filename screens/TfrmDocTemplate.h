// The document template dialog: a named RTF file that letters are merged from.
#pragma once

#include <memory>

#include "core/EditForm.h"
#include "platform/db/Query.h"
#include "widgets/DataControls.h"
#include "widgets/FormDialog.h"
#include "widgets/QtPlatform.h"

class QFileDialog;
class QPushButton;
class QTimer;

namespace zl {

class TfrmDocTemplate : public widgets::FormDialog {
    Q_OBJECT
  public:
    explicit TfrmDocTemplate(QWidget* owner = nullptr);
    ~TfrmDocTemplate() override;

    db::Query qEdit;
    widgets::DataSource dsTemplate{&qEdit};
    const int DimensionId = 26;

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
    void showEvent(QShowEvent* event) override;
    bool FormClose() override;

  private:
    void Timer1Timer();
    void btnRTFClick();
    void btnEditClick();
    void btnCancelClick();
    // Asks for an RTF file; when one is chosen it becomes the template's file and name.
    bool PickFile();

    widgets::WidgetDialog adapter_{*this};
    std::unique_ptr<EditForm> Editor;
};

}  // namespace zl
