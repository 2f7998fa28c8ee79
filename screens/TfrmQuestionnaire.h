// The questionnaire dialog: a questionnaire's name, description and sections, and its blank
// printout. A new questionnaire is stored as soon as the dialog shows, so that sections can be
// added to it at once; a confirmed cancel keeps that row as it was stored.
#pragma once

#include <memory>

#include "core/EditForm.h"
#include "frames/TchildFrame.h"
#include "platform/db/Query.h"
#include "screens/TfrmSection.h"
#include "widgets/DataControls.h"
#include "widgets/FormDialog.h"
#include "widgets/QtPlatform.h"

class QPushButton;

namespace zl {

class TfrmQuestionnaire : public widgets::FormDialog {
    Q_OBJECT
  public:
    explicit TfrmQuestionnaire(QWidget* owner = nullptr);
    ~TfrmQuestionnaire() override;

    // Writes the stored definition as a blank form into the repository and shows it.
    void btnPrintClick();

    db::Query qEdit;
    db::Query qSection;
    widgets::DataSource dsEdit{&qEdit};
    widgets::DBEdit* edName;
    widgets::DBMemo* questionnaire_descr;
    TchildFrame* sectionFrame;
    QPushButton* btnPrint;
    QPushButton* btnOK;
    QPushButton* btnCancel;

  protected:
    void showEvent(QShowEvent* event) override;
    bool FormClose() override;

  private:
    void FormShow();
    void btnCancelClick();

    std::unique_ptr<EditForm> editForm_;
    std::unique_ptr<TfrmSection> sectionDialog_;
    widgets::WidgetDialog adapter_{*this};
};

}  // namespace zl
