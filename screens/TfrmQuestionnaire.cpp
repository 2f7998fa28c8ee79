#include "screens/TfrmQuestionnaire.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/DataMod.h"
#include "core/Globals.h"
#include "core/ReportServer.h"
#include "core/Rights.h"
#include "screens/DialogSupport.h"

namespace zl {

namespace {

constexpr int kQuestionnaireKind = 33;
constexpr int kSectionKind = 34;

}  // namespace

TfrmQuestionnaire::TfrmQuestionnaire(QWidget* owner)
    : RecordDialog(owner, "TfrmQuestionnaire", kQuestionnaireKind, kSectionKind) {
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
    btnCancel = NewCancelButton();
    btnCancel->setAutoDefault(false);
    connect(btnPrint, &QPushButton::clicked, this, &TfrmQuestionnaire::btnPrintClick);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(new QLabel("Sections: ", this));
    layout->addWidget(sectionFrame, 1);
    layout->addLayout(NewButtonRow(this, btnOK, btnCancel, {btnPrint}));
    resize(720, 480);
    widgets::Centre(*this);
}

TfrmQuestionnaire::~TfrmQuestionnaire() = default;

void TfrmQuestionnaire::ShowStarting() {
    // Nothing of an earlier show can be added to until this questionnaire is known.
    sectionFrame->setEnabled(false);
}

void TfrmQuestionnaire::RecordOpened(DimensionTable& /*questionnaires*/, DimensionTable* sections) {
    // A new questionnaire that could not be stored: told, and closing.
    if (!editForm_->PostNew())
        return;
    if (!sectionDialog_)
        sectionDialog_ = std::make_unique<TfrmSection>(this);
    sectionFrame->Setup(qSection, sections, sectionDialog_.get());
    sectionFrame->setParentID(qEdit.FieldByName("questionnaire_id").AsInteger());
}

void TfrmQuestionnaire::btnPrintClick() {
    RunGuarded("TfrmQuestionnaire.btnPrintClick", [this] {
        if (!editForm_ || !editForm_->HasRecord() || !qEdit.Active() ||
            !MayViewReports(widgets::HandleOf(this)))
            return;
        if (!ReportServer)
            throw ReportServerError("The report server is not running.");
        // What is stored is printed: edits of this show are not saved first.
        const int questionnaireId = qEdit.FieldByName("questionnaire_id").AsInteger();
        const std::string path = DataMod->NewDocPath("rep", ".html");
        ReportServer->PrintBlankQuestionnaire(questionnaireId, CurBusUnitId, path);
    });
}

void TfrmQuestionnaire::RecordClosed() {
    sectionFrame->closeTables();
    sectionFrame->setEnabled(false);
}

}  // namespace zl
