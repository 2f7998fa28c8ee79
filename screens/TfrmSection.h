// The section dialog: one section of a questionnaire with its questions. A new section takes
// the next display order of its questionnaire. Saved whichever way it closes.
#pragma once

#include <memory>

#include "frames/TchildFrame.h"
#include "platform/db/Query.h"
#include "screens/TfrmQuestion.h"
#include "widgets/DataControls.h"
#include "widgets/FormDialog.h"
#include "widgets/QtPlatform.h"

class QPushButton;

namespace zl {

class TfrmSection : public widgets::FormDialog {
    Q_OBJECT
  public:
    explicit TfrmSection(QWidget* owner = nullptr);
    ~TfrmSection() override;

    db::Query qEdit;
    db::Query qQuestion;
    widgets::DataSource dsEdit{&qEdit};
    widgets::DBEdit* edName;
    widgets::DBMemo* quest_section_descr;
    TchildFrame* questionFrame;
    QPushButton* btnOK;

  protected:
    void showEvent(QShowEvent* event) override;
    bool FormClose() override;

  private:
    void FormShow();

    std::unique_ptr<TfrmQuestion> questionDialog_;
    widgets::WidgetDialog adapter_{*this};
};

}  // namespace zl
