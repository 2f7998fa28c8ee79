// The question dialog: one question of a section with its type, limits, printout position and,
// for a multiple-choice question, its choices. A new question takes the next place in its
// section and prints its prompt and answer side by side on that row. Saved whichever way it
// closes.
#pragma once

#include <memory>

#include "frames/TchildFrame.h"
#include "platform/db/Query.h"
#include "screens/TfrmChoice.h"
#include "widgets/DataControls.h"
#include "widgets/FormDialog.h"
#include "widgets/QtPlatform.h"

class QGroupBox;
class QLabel;
class QPushButton;

namespace zl {

class TfrmQuestion : public widgets::FormDialog {
    Q_OBJECT
  public:
    explicit TfrmQuestion(QWidget* owner = nullptr);
    ~TfrmQuestion() override;

    // The choices list is open to change only for a multiple-choice question.
    void rgTypeClick();

    db::Query qEdit;
    db::Query qChoice;
    widgets::DataSource dsEdit{&qEdit};
    widgets::DBEdit* edName;
    widgets::DBRadioGroup* rgType;
    QGroupBox* grpPrintout;
    QLabel* labChoices;
    TchildFrame* choiceFrame;
    QPushButton* btnOK;

  protected:
    void showEvent(QShowEvent* event) override;
    bool FormClose() override;

  private:
    void FormShow();
    // The display order and printout position of a question just added to its section.
    void PlaceNewQuestion();

    std::unique_ptr<TfrmChoice> choiceDialog_;
    widgets::WidgetDialog adapter_{*this};
};

}  // namespace zl
