#include "screens/TfrmQuestion.h"

#include <QBoxLayout>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/EditForm.h"
#include "core/Globals.h"
#include "screens/DetailDialog.h"

namespace zl {

namespace {

constexpr int kQuestionKind = 35;
constexpr int kChoiceKind = 36;
constexpr int kMultipleChoice = 3;

}  // namespace

TfrmQuestion::TfrmQuestion(QWidget* owner) : FormDialog(owner) {
    setObjectName("frmQuestion");
    setWindowTitle("Question");
    // Positions and widths the printout can lay out; checked whoever assigns them.
    qEdit.SetFieldRange("question_promptwidth", 1, 100);
    qEdit.SetFieldRange("question_answerwidth", 1, 100);
    qEdit.SetFieldRange("question_promptrow", 1, 99999);
    qEdit.SetFieldRange("question_answerrow", 1, 99999);
    qEdit.SetFieldRange("question_promptcol", 1, 999999);
    qEdit.SetFieldRange("question_answercol", 1, 999999);

    auto* general = new QFormLayout;
    edName = AddDataEdit(this, general, "Question name: ", &dsEdit, "question_name");
    edName->setMinimumWidth(300);
    AddDataEdit(this, general, "Prompt: ", &dsEdit, "question_prompt");
    AddDataEdit(this, general, "Default value: ", &dsEdit, "question_default");
    AddDataEdit(this, general, "Minimum numeric value: ", &dsEdit, "question_min");
    AddDataEdit(this, general, "Maximum numeric value: ", &dsEdit, "question_max");
    AddDataEdit(this, general, "Display order: ", &dsEdit, "question_dispord");
    AddDataEdit(this, general, "Question weighting: ", &dsEdit, "question_weight")
        ->SetFloatFormat("0.00");

    grpPrintout = new QGroupBox("Printout settings", this);
    grpPrintout->setObjectName("grpPrintout");
    auto* printout = new QFormLayout(grpPrintout);
    const std::pair<const char*, const char*> positions[] = {
        {"Prompt row: ", "question_promptrow"},      {"Prompt column:", "question_promptcol"},
        {"Prompt width %:", "question_promptwidth"}, {"Answer row: ", "question_answerrow"},
        {"Answer column: ", "question_answercol"},   {"Answer width %:", "question_answerwidth"},
    };
    for (const auto& [label, column] : positions)
        RefuseWhenEntered(AddDataEdit(grpPrintout, printout, label, &dsEdit, column));

    rgType = new widgets::DBRadioGroup(this);
    rgType->setObjectName("rgType");
    rgType->setTitle("Question type");
    rgType->SetItems({"Free text", "Numeric", "Date", "Multiple choice"}, {"0", "1", "2", "3"});
    // Side by side: the four types fit on one line of five columns.
    if (auto* row = qobject_cast<QBoxLayout*>(rgType->layout())) {
        row->setDirection(QBoxLayout::LeftToRight);
        row->addStretch();
    }
    rgType->SetDataSource(&dsEdit);
    rgType->SetDataField("question_type");
    for (int i = 0; i < 4; ++i)
        connect(rgType->Button(i), &QAbstractButton::clicked, this,
                [this] { RunGuarded("TfrmQuestion.rgTypeClick", [this] { rgTypeClick(); }); });

    labChoices = new QLabel("Question choices: ", this);
    labChoices->setObjectName("labChoices");
    choiceFrame = new TchildFrame(this);
    choiceFrame->setObjectName("choiceFrame");
    choiceFrame->setEnabled(false);
    choiceFrame->setMinimumHeight(140);

    btnOK = NewSaveAndCloseButton(this);
    connect(btnOK, &QPushButton::clicked, this, &QWidget::close);

    auto* top = new QGridLayout;
    top->addLayout(general, 0, 0);
    top->addWidget(grpPrintout, 0, 1, Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(rgType);
    layout->addWidget(labChoices);
    layout->addWidget(choiceFrame, 1);
    layout->addWidget(btnOK, 0, Qt::AlignRight);
    resize(800, 560);
    widgets::Centre(*this);
}

TfrmQuestion::~TfrmQuestion() = default;

void TfrmQuestion::showEvent(QShowEvent* event) {
    FormDialog::showEvent(event);
    RunGuarded("TfrmQuestion.FormShow", [this] { FormShow(); });
}

void TfrmQuestion::FormShow() {
    // Nothing of an earlier show can be added to until this question is known.
    choiceFrame->setEnabled(false);
    DimensionTable* questions = Dimensions->Require(kQuestionKind, "TfrmQuestion.FormShow");
    DimensionTable* choices = Dimensions->Require(kChoiceKind, "TfrmQuestion.FormShow");
    if (!questions || !choices) {
        adapter_.Close();
        return;
    }
    if (!OpenRecordToEdit(qEdit, "question", "question_id", questions->GetRecordId(), adapter_,
                          "TfrmQuestion.FormShow"))
        return;
    if (questions->GetEditMode() == DimensionTable::Add)
        PlaceNewQuestion();
    edName->setFocus();
    StoreAndKeepEditing(qEdit, "TfrmQuestion.FormShow");
    if (!choiceDialog_)
        choiceDialog_ = std::make_unique<TfrmChoice>(this);
    choiceFrame->Setup(qChoice, choices, choiceDialog_.get());
    choiceFrame->setParentID(qEdit.FieldByName("question_id").AsInteger());
    // After the set-up, which opens the frame: only a multiple-choice question takes choices.
    rgTypeClick();
}

void TfrmQuestion::PlaceNewQuestion() {
    // One after the highest of the other questions of its own section (whichever list opened
    // it): the first question of a section is number 1, and a deleted question leaves no two
    // questions on one place.
    const int highest = HighestOtherOrder(
        "question", "question_dispord", "quest_section_id",
        qEdit.FieldByName("quest_section_id").AsInteger(), "question_id",
        qEdit.FieldByName("question_id").AsInteger(), "TfrmQuestion.PlaceNewQuestion");
    if (highest < 0)
        return;  // it could not be read, and that has been reported
    const int order = highest + 1;
    qEdit.FieldByName("question_dispord").SetAsInteger(order);
    qEdit.FieldByName("question_promptrow").SetAsInteger(order);
    qEdit.FieldByName("question_promptcol").SetAsInteger(1);
    qEdit.FieldByName("question_promptwidth").SetAsInteger(50);
    qEdit.FieldByName("question_answerrow").SetAsInteger(order);
    qEdit.FieldByName("question_answercol").SetAsInteger(2);
    qEdit.FieldByName("question_answerwidth").SetAsInteger(50);
}

void TfrmQuestion::rgTypeClick() {
    choiceFrame->setEnabled(qEdit.Active() && rgType->ItemIndex() == kMultipleChoice);
}

bool TfrmQuestion::FormClose() {
    bool mayClose = true;
    RunGuarded("TfrmQuestion.FormClose", [this, &mayClose] {
        mayClose = SaveAndCloseRecord(qEdit, this, "TfrmQuestion.FormClose");
        if (!mayClose)
            return;
        choiceFrame->closeTables();
        choiceFrame->setEnabled(false);
    });
    return mayClose;
}

}  // namespace zl
