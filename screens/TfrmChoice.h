// The choice dialog: one answer that a multiple-choice question offers, saved whichever way it
// closes. Below it, the small routines the four questionnaire design dialogs share.
#pragma once

#include <QString>
#include <functional>
#include <string>

#include "platform/db/Query.h"
#include "screens/DialogSupport.h"
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

// Stores what a show has filled in on the row `q` edits and keeps editing it. A failure is
// logged; the row then stays in edit state with its values, to be saved (or given up) on close.
void StoreAndKeepEditing(db::Query& q, const std::string& tag);

// A labelled one-line edit of `column` (also its object name) on the form.
widgets::DBEdit* AddDataEdit(QWidget* parent, QFormLayout* form, const QString& label,
                             widgets::DataSource* source, const char* column);

// A number outside its column's range is refused as soon as the user leaves the edit (or
// presses Return), and the edit keeps the focus; the save refuses it as well.
void RefuseWhenEntered(widgets::DBEdit* edit);

}  // namespace zl
