// The choice dialog: one answer that a multiple-choice question offers, saved whichever way it
// closes.
#pragma once

#include <string>

#include "platform/db/Query.h"
#include "widgets/DataControls.h"
#include "widgets/FormDialog.h"
#include "widgets/QtPlatform.h"

class QFormLayout;
class QPushButton;

namespace zl {

class TfrmChoice : public widgets::FormDialog {
    Q_OBJECT
  public:
    explicit TfrmChoice(QWidget* owner = nullptr);

    db::Query qEdit;
    widgets::DataSource dsEdit{&qEdit};
    widgets::DBEdit* edText;
    widgets::DBEdit* edScore;
    widgets::DBCheckBox* choice_isdefault;
    QPushButton* btnOK;

  protected:
    void showEvent(QShowEvent* event) override;
    bool FormClose() override;

  private:
    void FormShow();

    widgets::WidgetDialog adapter_{*this};
};

}  // namespace zl
