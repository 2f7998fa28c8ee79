// The questionnaire dialog: a questionnaire's name, description and sections, and its blank
// printout. A new questionnaire is stored as soon as the dialog shows, so that sections can be
// added to it at once; a confirmed cancel keeps that row as it was stored.
#pragma once

#include <memory>

#include "frames/TchildFrame.h"
#include "platform/db/Query.h"
#include "screens/RecordDialog.h"
#include "screens/TfrmSection.h"
#include "widgets/DataControls.h"

class QPushButton;

namespace zl {

class TfrmQuestionnaire : public RecordDialog {
    Q_OBJECT
  public:
    explicit TfrmQuestionnaire(QWidget* owner = nullptr);
    ~TfrmQuestionnaire() override;

    // Writes the stored definition as a blank form into the repository and shows it.
    void btnPrintClick();

    db::Query qSection;
    widgets::DataSource dsEdit{&qEdit};
    widgets::DBEdit* edName;
    widgets::DBMemo* questionnaire_descr;
    TchildFrame* sectionFrame;
    QPushButton* btnPrint;
    QPushButton* btnOK;
    QPushButton* btnCancel;

  protected:
    void ShowStarting() override;
    void RecordOpened(DimensionTable& questionnaires, DimensionTable* sections) override;
    void RecordClosed() override;

  private:
    std::unique_ptr<TfrmSection> sectionDialog_;
};

}  // namespace zl
