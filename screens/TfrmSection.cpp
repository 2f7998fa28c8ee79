#include "screens/TfrmSection.h"

#include <algorithm>

#include <QFormLayout>
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

constexpr int kSectionKind = 34;
constexpr int kQuestionKind = 35;

}  // namespace

TfrmSection::TfrmSection(QWidget* owner) : FormDialog(owner) {
    setObjectName("frmSection");
    setWindowTitle("Questionnaire section");
    // No negative weights; the top is there only to keep the number a number.
    qEdit.SetFieldRange("quest_section_weight", 0, 9e99);

    auto* form = new QFormLayout;
    edName = AddDataEdit(this, form, "Section name: ", &dsEdit, "quest_section_name");
    edName->setMinimumWidth(320);
    AddDataEdit(this, form, "Caption:", &dsEdit, "quest_section_caption");
    quest_section_descr = new widgets::DBMemo(this);
    quest_section_descr->setObjectName("quest_section_descr");
    quest_section_descr->SetDataSource(&dsEdit);
    quest_section_descr->SetDataField("quest_section_descr");
    quest_section_descr->setMaximumHeight(80);
    form->addRow("Description: ", quest_section_descr);
    AddDataEdit(this, form, "Display order: ", &dsEdit, "quest_section_dispord");
    widgets::DBEdit* weight =
        AddDataEdit(this, form, "Section weighting: ", &dsEdit, "quest_section_weight");
    weight->SetFloatFormat("0.00");
    RefuseWhenEntered(weight);

    questionFrame = new TchildFrame(this);
    questionFrame->setObjectName("questionFrame");
    questionFrame->setEnabled(false);
    questionFrame->setMinimumHeight(160);

    btnOK = NewSaveAndCloseButton(this);
    connect(btnOK, &QPushButton::clicked, this, &QWidget::close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(new QLabel("Questions: ", this));
    layout->addWidget(questionFrame, 1);
    layout->addWidget(btnOK, 0, Qt::AlignRight);
    resize(720, 520);
    widgets::Centre(*this);
}

TfrmSection::~TfrmSection() = default;

void TfrmSection::showEvent(QShowEvent* event) {
    FormDialog::showEvent(event);
    RunGuarded("TfrmSection.FormShow", [this] { FormShow(); });
}

void TfrmSection::FormShow() {
    // Nothing of an earlier show can be added to until this section is known.
    questionFrame->setEnabled(false);
    DimensionTable* sections = Dimensions->Require(kSectionKind, "TfrmSection.FormShow");
    DimensionTable* questions = Dimensions->Require(kQuestionKind, "TfrmSection.FormShow");
    if (!sections || !questions) {
        adapter_.Close();
        return;
    }
    if (!OpenRecordToEdit(qEdit, "quest_section", "quest_section_id", sections->GetRecordId(),
                          adapter_, "TfrmSection.FormShow"))
        return;
    if (sections->GetEditMode() == DimensionTable::Add) {
        // One after the highest of the other sections of its own questionnaire (whichever list
        // opened it); the first section of a questionnaire is number 2.
        const int highest = HighestOtherOrder(
            "quest_section", "quest_section_dispord", "questionnaire_id",
            qEdit.FieldByName("questionnaire_id").AsInteger(), "quest_section_id",
            qEdit.FieldByName("quest_section_id").AsInteger(), "TfrmSection.FormShow");
        if (highest >= 0)  // else it could not be read, and that has been reported
            qEdit.FieldByName("quest_section_dispord").SetAsInteger(std::max(highest, 1) + 1);
    }
    StoreAndKeepEditing(qEdit, "TfrmSection.FormShow");
    if (!questionDialog_)
        questionDialog_ = std::make_unique<TfrmQuestion>(this);
    questionFrame->Setup(qQuestion, questions, questionDialog_.get());
    questionFrame->setParentID(qEdit.FieldByName("quest_section_id").AsInteger());
}

bool TfrmSection::FormClose() {
    bool mayClose = true;
    RunGuarded("TfrmSection.FormClose", [this, &mayClose] {
        mayClose = SaveAndCloseRecord(qEdit, this, "TfrmSection.FormClose");
        if (!mayClose)
            return;
        questionFrame->closeTables();
        questionFrame->setEnabled(false);
    });
    return mayClose;
}

}  // namespace zl
