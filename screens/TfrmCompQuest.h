// The completed questionnaire window: a customer's answers to a questionnaire, one section at a
// time, with the score and the printouts of the blank and the completed questionnaire. A new
// completed questionnaire is created as soon as its questionnaire is picked; every close saves.
#pragma once

#include <QFrame>
#include <QTimer>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/EditForm.h"
#include "platform/db/Query.h"
#include "widgets/DataControls.h"
#include "widgets/FormDialog.h"
#include "widgets/QtPlatform.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;

namespace zl {

class Questionnaire;
class TfrmLookup;

// One answer row: the question's prompt and the input of its type (free text and numeric: a
// text edit; date: a date picker; multiple choice: a list of its choices).
class TfQuestion : public QFrame {
    Q_OBJECT
  public:
    explicit TfQuestion(QWidget* parent = nullptr);

    // Reads the answer row and its question and shows the input of the question's type. False
    // when the row could not be read (logged); the row then shows no input and saves nothing.
    bool Setup(int answerId);
    // Writes the answer back when the user changed it; an untouched answer is left as stored.
    SaveOutcome saveAnswer(ui::WindowHandle owner);
    // Lays the prompt and the input out across the row's width; the row grows to show a long
    // prompt whole, on as many lines as it needs.
    void layOut();
    // Whether the user changed the answer since it was shown or last saved.
    bool Changed() const { return changed_; }
    int AnswerId() const { return answerId_; }
    // The choice keys of the list's items, in item order.
    const std::vector<int>& ChoiceIds() const { return choiceIds_; }

    widgets::DBText* txtPrompt;
    QLineEdit* Edit1;
    QComboBox* cbChoice;
    widgets::DateEdit* dtPicker;
    db::Query qEdit;
    db::Query qQuestAns;
    db::Query qChoice;

  private:
    void popCombo();
    void showDate(const std::string& stored);
    void userChanged();

    widgets::DataSource dsQuestAns{&qQuestAns};
    int answerId_ = 0;
    int type_ = -1;
    std::vector<int> choiceIds_;
    // The answer as it stands in the database, to tell a change from a mere showing.
    std::string storedText_;
    int storedChoice_ = 0;
    bool dateUnreadable_ = false;
    bool filling_ = false;
    bool changed_ = false;
};

class TfrmCompQuest : public widgets::FormDialog {
    Q_OBJECT
  public:
    explicit TfrmCompQuest(QWidget* owner = nullptr);
    ~TfrmCompQuest() override;

    // The start-up, run once just after each show: picks and creates (add mode) or opens (edit
    // mode) the completed questionnaire and shows its first section.
    void Timer1Timer();
    void btnPreviousClick();
    void btnNextClick();
    void btnPrintClick();
    void btnPrintBlankClick();

    // Whether the start-up of this show has finished with a completed questionnaire open.
    bool Started() const { return started_; }
    // The completed questionnaire shown; 0 when none.
    int CompQuestId() const { return compQuestId_; }
    // The rows of the current section, first to last.
    const std::vector<TfQuestion*>& Rows() const { return rows_; }

    db::Query qEdit;
    db::Query qCustomer;
    db::Query qDef;
    db::Query qSection;
    db::Query qAnswer;
    widgets::DBText* txtCustomer;
    widgets::DBText* txtDefinition;
    widgets::DBText* txtSection;
    widgets::DBText* txtDate;
    QScrollArea* sbSection;
    QLabel* labScore;
    QPushButton* btnPrevious;
    QPushButton* btnNext;
    QPushButton* btnPrintBlank;
    QPushButton* btnPrint;
    QPushButton* btnOK;
    QTimer* Timer1;
    std::unique_ptr<TfrmLookup> frmLookup;

  protected:
    void showEvent(QShowEvent* event) override;
    bool FormClose() override;

  private:
    // The id of the completed questionnaire to show: a new one in add mode, the list's record
    // in edit mode; none when the window is closing (nothing picked, or the creation failed).
    std::optional<int> createCompleted();
    bool openRecord(int compQuestId);
    void openTables();
    void popSection();
    void clearSection();
    // Saves the changed answers of the section; false when the user chose to keep a change
    // that could not be saved (the window then stays as it is).
    bool saveSection();
    void calcScore();
    void resetState();
    void closeTables();

    widgets::DataSource dsEdit{&qEdit};
    widgets::DataSource dsCustomer{&qCustomer};
    widgets::DataSource dsDef{&qDef};
    widgets::DataSource dsSection{&qSection};
    QWidget* sectionRows_;
    std::vector<TfQuestion*> rows_;
    std::unique_ptr<Questionnaire> questionnaire_;
    int pickedQuestionnaireId_ = 0;
    // The completed questionnaire this show created, the only one it may delete.
    int createdId_ = 0;
    int compQuestId_ = 0;
    bool started_ = false;
    widgets::WidgetDialog adapter_{*this};
};

}  // namespace zl
