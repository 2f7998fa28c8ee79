// One image file of a component or assembly, with its description; the file is chosen from
// disk and shown with the desktop's program.
#pragma once

#include <string>

#include "platform/db/Query.h"
#include "widgets/DataControls.h"
#include "widgets/FormDialog.h"
#include "widgets/QtPlatform.h"

class QFileDialog;
class QPushButton;

namespace zl {

class TfrmBillableImage : public widgets::FormDialog {
    Q_OBJECT
  public:
    explicit TfrmBillableImage(QWidget* owner = nullptr);

    void Button1Click();
    void btnViewClick();

    db::Query qEdit;
    widgets::DataSource dstEdit{&qEdit};
    widgets::DBEdit* DBEdit1;
    widgets::DBText* DBText1;
    QPushButton* Button1;
    QPushButton* btnView;
    QPushButton* btnOK;
    QFileDialog* OpenpictureDialog1;

  protected:
    void showEvent(QShowEvent* event) override;
    bool FormClose() override;

  private:
    void FormShow();

    int DimensionId = 0;
    widgets::WidgetDialog adapter_{*this};
};

}  // namespace zl
