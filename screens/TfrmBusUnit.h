// The business unit dialog: the unit with its one address row and the path of its logo file.
#pragma once

#include <vector>

#include "platform/db/Query.h"
#include "screens/RecordDialog.h"
#include "widgets/DataControls.h"

class QFileDialog;
class QPushButton;
class QTabWidget;

namespace zl {

class TfrmBusUnit : public RecordDialog {
    Q_OBJECT
  public:
    explicit TfrmBusUnit(QWidget* owner = nullptr);
    ~TfrmBusUnit() override;

    void btnImageClick();
    // Shows the logo file with the desktop's program; a program is never run.
    void btnViewClick();

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
    void RecordOpened(DimensionTable& units, DimensionTable* details) override;
    bool BeforeSave() override;
    void RecordClosed() override;

  private:
    // Opens the unit's address row; false when the unit has none to edit.
    bool openTables(bool adding);
    void SetAddressEditable(bool editable);
};

}  // namespace zl
