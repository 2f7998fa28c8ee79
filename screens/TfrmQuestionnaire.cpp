#include "screens/TfrmQuestionnaire.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/Globals.h"
#include "core/ReportServer.h"
#include "screens/DialogSupport.h"

namespace zl {

namespace {

constexpr int kQuestionnaireKind = 33;
constexpr int kSectionKind = 34;

}  // namespace

TfrmQuestionnaire::TfrmQuestionnaire(QWidget* owner) : FormDialog(owner) {
    setObjectName("frmQuestionnaire");
    setWindowTitle("Questionnaire");
    auto* form = new QFormLayout;
    edName = AddDataEdit(this, form, "Questionnaire name: ", &dsEdit, "questionnaire_name");
    edName->setMinimumWidth(360);
    questionnaire_descr = new widgets::DBMemo(this);
    questionnaire_descr->setObjectName("questionnaire_descr");
    questionnaire_descr->SetDataSource(&dsEdit);
    questionnaire_descr->SetDataField("questionnaire_descr");
    questionnaire_descr->setMaximumHeight(90);
    form->addRow("Description: ", questionnaire_descr);

    sectionFrame = new TchildFrame(this);
    sectionFrame->setObjectName("sectionFrame");
    sectionFrame->setEnabled(false);
    sectionFrame->setMinimumHeight(180);

    auto button = [this](const char* name, const char* caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    btnPrint = button("btnPrint", "&Print blank questionnaire");
    btnOK = button("btnOK", "&Save and Close");
    btnCancel = button("btnCancel", "&Cancel");
    connect(btnPrint, &QPushButton::clicked, this, &TfrmQuestionnaire::btnPrintClick);
    connect(btnOK, &QPushButton::clicked, this, &QWidget::close);
    connect(btnCancel, &QPushButton::clicked, this, [this] {
        RunGuarded("TfrmQuestionnaire.btnCancelClick", [this] { btnCancelClick(); });
    });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnPrint);
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(new QLabel("Sections: ", this));
    layout->addWidget(sectionFrame, 1);
    layout->addLayout(buttons);
    resize(720, 480);
    widgets::Centre(*this);
}

TfrmQuestionnaire::~TfrmQuestionnaire() = default;

void TfrmQuestionnaire::showEvent(QShowEvent* event) {
    FormDialog::showEvent(event);
    RunGuarded("TfrmQuestionnaire.FormShow", [this] { FormShow(); });
}

void TfrmQuestionnaire::FormShow() {
    // Nothing of an earlier show can be added to until this questionnaire is known.
    sectionFrame->setEnabled(false);
    DimensionTable* questionnaires =
        Dimensions->Require(kQuestionnaireKind, "TfrmQuestionnaire.FormShow");
    DimensionTable* sections = Dimensions->Require(kSectionKind, "TfrmQuestionnaire.FormShow");
    if (!questionnaires || !sections) {
        adapter_.Close();
        return;
    }
    editForm_ = std::make_unique<EditForm>(adapter_, *questionnaires, qEdit);
    // No record (deleted meanwhile, or a new one could not be stored): told, and closing.
    if (!editForm_->HasRecord() || !editForm_->PostNew())
        return;
    if (!sectionDialog_)
        sectionDialog_ = std::make_unique<TfrmSection>(this);
    sectionFrame->Setup(qSection, sections, sectionDialog_.get());
    sectionFrame->setParentID(qEdit.FieldByName("questionnaire_id").AsInteger());
}

void TfrmQuestionnaire::btnCancelClick() {
    if (editForm_ && editForm_->handleCancel(widgets::HandleOf(this)))
        close();
}

void TfrmQuestionnaire::btnPrintClick() {
    RunGuarded("TfrmQuestionnaire.btnPrintClick", [this] {
        if (!editForm_ || !editForm_->HasRecord() || !qEdit.Active())
            return;
        if (!ReportServer)
            throw ReportServerError("The report server is not running.");
        // What is stored is printed: edits of this show are not saved first.
        const int questionnaireId = qEdit.FieldByName("questionnaire_id").AsInteger();
        const std::string path = DataMod->NewDocPath("rep", ".html");
        ReportServer->PrintBlankQuestionnaire(questionnaireId, CurBusUnitId, path);
    });
}

bool TfrmQuestionnaire::FormClose() {
    bool mayClose = true;
    RunGuarded("TfrmQuestionnaire.FormClose", [this, &mayClose] {
        if (!editForm_)
            return;
        if (!editForm_->handleClose()) {
            mayClose = false;  // the user kept changes that could not be saved
            return;
        }
        editForm_.reset();  // closes qEdit
        sectionFrame->closeTables();
        sectionFrame->setEnabled(false);
    });
    return mayClose;
}

}  // namespace zl
