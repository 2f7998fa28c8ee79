// The business unit dialog: the unit with its one address row and the path of its logo file.
#pragma once

#include <memory>
#include <vector>

#include "core/EditForm.h"
#include "platform/db/Query.h"
#include "widgets/DataControls.h"
#include "widgets/FormDialog.h"
#include "widgets/QtPlatform.h"

class QFileDialog;
class QPushButton;
class QTabWidget;

namespace zl {

class TfrmBusUnit : public widgets::FormDialog {
    Q_OBJECT
  public:
    explicit TfrmBusUnit(QWidget* owner = nullptr);
    ~TfrmBusUnit() override;

    void btnImageClick();
    // Shows the logo file with the desktop's program; a program is never run.
    void btnViewClick();

    int DimensionId = 0;
    db::Query qEdit;
    db::Query qAddr;
    widgets::DataSource dsEdit{&qEdit};
    widgets::DataSource dsAddr{&qAddr};

    QTabWidget* PageControl1;
    QPushButton* btnImage;
    QPushButton* btnView;
    widgets::DBText* DBText1;
    QFileDialog* OpenDialog1;
    QPushButton* btnOK;
    QPushButton* btnCancel;
    std::vector<widgets::DBEdit*> addressEdits;

  protected:
    void showEvent(QShowEvent* event) override;
    bool FormClose() override;

  private:
    void FormShow();
    // Opens the unit's address row; false when the unit has none to edit.
    bool openTables();
    void btnCancelClick();
    void SetAddressEditable(bool editable);

    widgets::WidgetDialog adapter_{*this};
    std::unique_ptr<EditForm> editForm_;
};

}  // namespace zl
