#include "screens/TfrmCompQuest.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <exception>
#include <optional>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "core/Questionnaire.h"
#include "core/ReportServer.h"
#include "core/Rights.h"
#include "frames/TfrmLookup.h"
#include "platform/format/Format.h"
#include "screens/DialogSupport.h"

namespace zl {

namespace {

constexpr int kQuestionnaireKind = 33;
constexpr int kCompletedKind = 37;
constexpr int kRowHeight = 30;
constexpr int kDatePickerWidth = 130;

enum QuestionType { kFreeText = 0, kNumeric = 1, kDate = 2, kMultipleChoice = 3 };

QDate ToQDate(format::TDateTime value) {
    return QDate(1899, 12, 30).addDays(static_cast<qint64>(std::floor(value)));
}

format::TDateTime FromQDate(const QDate& date) {
    return static_cast<format::TDateTime>(QDate(1899, 12, 30).daysTo(date));
}

// A stored date answer: in the short date format, or in the stored form of a date column.
bool ReadDate(const std::string& text, format::TDateTime& out) {
    return format::TryStrToDate(text, out) || format::TryIsoToDateTime(text, out);
}

widgets::DBText* BoldText(QWidget* parent, const char* name, widgets::DataSource& source,
                          const char* column) {
    auto* text = new widgets::DBText(parent);
    text->setObjectName(name);
    QFont font = text->font();
    font.setBold(true);
    text->setFont(font);
    text->SetDataSource(&source);
    text->SetDataField(column);
    return text;
}

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

ReportServerClient& RequireReportServer() {
    if (!ReportServer)
        throw ReportServerError("The report server is not running.");
    return *ReportServer;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TfQuestion

TfQuestion::TfQuestion(QWidget* parent) : QFrame(parent) {
    setObjectName("fQuestion");
    txtPrompt = new widgets::DBText(this);
    txtPrompt->setObjectName("txtPrompt");
    txtPrompt->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtPrompt->setWordWrap(true);
    // The input starts inside the prompt's width: the text keeps clear of it.
    txtPrompt->setContentsMargins(0, 0, 14, 0);
    txtPrompt->SetDataSource(&dsQuestAns);
    txtPrompt->SetDataField("question_prompt");

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    cbChoice = new QComboBox(this);
    cbChoice->setObjectName("cbChoice");
    dtPicker = new widgets::DateEdit(this);
    dtPicker->setObjectName("dtPicker");
    for (QWidget* input : {static_cast<QWidget*>(Edit1), static_cast<QWidget*>(cbChoice),
                           static_cast<QWidget*>(dtPicker)})
        input->hide();

    connect(Edit1, &QLineEdit::textChanged, this, &TfQuestion::userChanged);
    connect(cbChoice, &QComboBox::currentIndexChanged, this, &TfQuestion::userChanged);
    connect(dtPicker, &QDateEdit::dateChanged, this, &TfQuestion::userChanged);
}

void TfQuestion::userChanged() {
    if (!filling_)
        changed_ = true;
}

void TfQuestion::layOut() {
    const int width = this->width();
    const int inputLeft = width / 3;
    const int inputWidth = static_cast<int>(2 * width / 3.2);
    const int promptWidth = width / 3;
    const int promptHeight = std::max(24, txtPrompt->heightForWidth(promptWidth));
    const int height = std::max(kRowHeight, promptHeight + kRowHeight - 24);
    resize(width, height);
    const int inputTop = (height - 24) / 2;
    txtPrompt->setGeometry(10, (height - promptHeight) / 2, promptWidth, promptHeight);
    Edit1->setGeometry(inputLeft, inputTop, inputWidth, 24);
    dtPicker->setGeometry(inputLeft, inputTop, kDatePickerWidth, 24);
    cbChoice->setGeometry(inputLeft, inputTop, inputWidth, 24);
}

bool TfQuestion::Setup(int answerId) {
    static constexpr const char* kTag = "TfQuestion.Setup";
    answerId_ = answerId;
    type_ = -1;
    changed_ = false;
    layOut();
    if (!DataMod->OpenById(qEdit, "answer", answerId, kTag) ||
        !DataMod->openQuery(
            qQuestAns, "select * from qQuestionAnswer where answer_id=" + std::to_string(answerId),
            kTag))
        return false;
    if (qEdit.IsEmpty())
        return false;  // deleted meanwhile: nothing to show or save
    storedText_ = qEdit.FieldByName("answer_text").AsString();
    storedChoice_ = qEdit.FieldByName("choice_id").AsInteger();
    type_ = qQuestAns.FieldByName("question_type").AsInteger();
    filling_ = true;
    switch (type_) {
        case kFreeText:
        case kNumeric:
            Edit1->setMaxLength(qEdit.FieldByName("answer_text").Size());
            Edit1->setText(QString::fromStdString(storedText_));
            Edit1->show();
            break;
        case kDate:
            showDate(storedText_);
            dtPicker->show();
            break;
        case kMultipleChoice:
            popCombo();
            cbChoice->show();
            break;
        default:
            break;
    }
    filling_ = false;
    return true;
}

void TfQuestion::showDate(const std::string& stored) {
    format::TDateTime date = 0;
    dateUnreadable_ = !ReadDate(stored, date);
    if (dateUnreadable_) {
        // The picker's lowest date stands for the stored text, which it shows as it is.
        dtPicker->setSpecialValueText(QString::fromStdString(stored.empty() ? " " : stored));
        dtPicker->setDate(dtPicker->minimumDate());
    } else {
        dtPicker->setSpecialValueText(QString());
        dtPicker->setDate(ToQDate(date));
    }
}

void TfQuestion::popCombo() {
    cbChoice->clear();
    choiceIds_.clear();
    if (!DataMod->openQuery(qChoice,
                            "select * from choice where question_id=" +
                                std::to_string(qQuestAns.FieldByName("question_id").AsInteger()),
                            "TfQuestion.popCombo"))
        return;
    int selected = -1;
    for (qChoice.First(); !qChoice.Eof(); qChoice.Next()) {
        const int id = qChoice.FieldByName("choice_id").AsInteger();
        if (id == storedChoice_)
            selected = static_cast<int>(choiceIds_.size());
        cbChoice->addItem(QString::fromStdString(qChoice.FieldByName("choice_text").AsString()));
        choiceIds_.push_back(id);
    }
    qChoice.Close();
    // An unanswered question shows no choice rather than the first one.
    cbChoice->setCurrentIndex(selected);
}

SaveOutcome TfQuestion::saveAnswer(ui::WindowHandle owner) {
    if (!changed_ || !qEdit.Active() || qEdit.IsEmpty())
        return SaveOutcome::Saved;
    std::string text = storedText_;
    int choice = storedChoice_;
    switch (type_) {
        case kFreeText:
        case kNumeric:
            text = Edit1->text().toStdString();
            break;
        case kDate:
            // The lowest date stands for a stored text that is no date: left as it is.
            if (!(dateUnreadable_ && dtPicker->date() == dtPicker->minimumDate()))
                text = format::DateToStr(FromQDate(dtPicker->date()));
            break;
        case kMultipleChoice: {
            const int item = cbChoice->currentIndex();
            if (item >= 0 && item < static_cast<int>(choiceIds_.size()))
                choice = choiceIds_[item];
            break;
        }
        default:
            break;
    }
    if (text == storedText_ && choice == storedChoice_) {
        changed_ = false;
        return SaveOutcome::Saved;
    }
    qEdit.Edit();
    if (text != storedText_)
        qEdit.FieldByName("answer_text").SetAsString(text);
    if (choice != storedChoice_)
        qEdit.FieldByName("choice_id").SetAsInteger(choice);
    const SaveOutcome outcome = SaveRecord(qEdit, owner, "TfQuestion.saveAnswer");
    if (outcome == SaveOutcome::Saved) {
        storedText_ = text;
        storedChoice_ = choice;
        changed_ = false;
    } else if (outcome == SaveOutcome::Discarded) {
        changed_ = false;
    }
    return outcome;
}

// ---------------------------------------------------------------------------------------------
// TfrmCompQuest

TfrmCompQuest::TfrmCompQuest(QWidget* owner) : FormDialog(owner) {
    setObjectName("frmCompQuest");
    setWindowTitle("Completed questionnaire");

    auto* heading = new QGridLayout;
    auto addLine = [&](int row, const char* caption, widgets::DBText* value) {
        heading->addWidget(new QLabel(caption, this), row, 0);
        heading->addWidget(value, row, 1);
    };
    txtCustomer = BoldText(this, "txtCustomer", dsCustomer, "entity_fullname");
    txtDefinition = BoldText(this, "txtDefinition", dsDef, "questionnaire_name");
    txtSection = BoldText(this, "txtSection", dsSection, "quest_section_caption");
    txtDate = BoldText(this, "txtDate", dsEdit, "comp_quest_date");
    addLine(0, "Customer name: ", txtCustomer);
    addLine(1, "Questionnaire definition:", txtDefinition);
    addLine(2, "Current section: ", txtSection);
    addLine(3, "Questionnaire date: ", txtDate);
    heading->setColumnStretch(1, 1);

    sbSection = new QScrollArea(this);
    sbSection->setObjectName("sbSection");
    sbSection->setFixedSize(705, 329);
    sbSection->setWidgetResizable(false);
    sbSection->setStyleSheet("QScrollArea#sbSection { background: white; }");
    sectionRows_ = new QWidget;
    sectionRows_->setObjectName("sectionRows");
    sectionRows_->setAutoFillBackground(true);
    QPalette white = sectionRows_->palette();
    white.setColor(QPalette::Window, Qt::white);
    sectionRows_->setPalette(white);
    sectionRows_->resize(sbSection->width() - kRowHeight, 0);
    sbSection->setWidget(sectionRows_);
    sbSection->viewport()->setPalette(white);
    sbSection->viewport()->setAutoFillBackground(true);

    auto* scoreLine = new QHBoxLayout;
    scoreLine->addWidget(new QLabel("Completed questionnaire score: ", this));
    labScore = new QLabel("0.00", this);
    labScore->setObjectName("labScore");
    QFont bold = labScore->font();
    bold.setBold(true);
    labScore->setFont(bold);
    labScore->setMinimumWidth(100);
    scoreLine->addWidget(labScore);
    scoreLine->addStretch();

    btnPrevious = Button(this, "btnPrevious", "&Previous section");
    btnNext = Button(this, "btnNext", "&Next section");
    btnPrintBlank = Button(this, "btnPrintBlank", "&Print blank questionnaire");
    btnPrint = Button(this, "btnPrint", "&Print completed questionnaire");
    btnOK = Button(this, "btnOK", "&Save and Close");
    connect(btnPrevious, &QPushButton::clicked, this, &TfrmCompQuest::btnPreviousClick);
    connect(btnNext, &QPushButton::clicked, this, &TfrmCompQuest::btnNextClick);
    connect(btnPrintBlank, &QPushButton::clicked, this, &TfrmCompQuest::btnPrintBlankClick);
    connect(btnPrint, &QPushButton::clicked, this, &TfrmCompQuest::btnPrintClick);
    connect(btnOK, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {btnPrevious, btnNext, btnPrintBlank, btnPrint})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(btnOK);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(heading);
    layout->addWidget(sbSection);
    layout->addLayout(scoreLine);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    Timer1 = NewSetUpTimer(this, 2);
    connect(Timer1, &QTimer::timeout, this, &TfrmCompQuest::Timer1Timer);
    adjustSize();
    widgets::Centre(*this);
}

TfrmCompQuest::~TfrmCompQuest() = default;

void TfrmCompQuest::showEvent(QShowEvent* event) {
    FormDialog::showEvent(event);
    if (event->spontaneous())
        return;  // shown again by the window system, not a new show
    RunGuarded("TfrmCompQuest.FormShow", [this] {
        // Nothing of an earlier show may be shown, saved or deleted by this one.
        resetState();
        Timer1->start();
    });
}

void TfrmCompQuest::resetState() {
    Timer1->stop();
    started_ = false;
    clearSection();
    closeTables();
    questionnaire_.reset();
    frmLookup.reset();
    pickedQuestionnaireId_ = 0;
    createdId_ = 0;
    compQuestId_ = 0;
    labScore->setText("0.00");
}

void TfrmCompQuest::closeTables() {
    qAnswer.Close();
    qSection.Close();
    qDef.Close();
    qCustomer.Close();
    qEdit.Close();
}

void TfrmCompQuest::Timer1Timer() {
    RunGuarded("TfrmCompQuest.Timer1Timer", [this] {
        Timer1->stop();
        const std::optional<int> compQuestId = createCompleted();
        if (!compQuestId || !openRecord(*compQuestId))
            return;
        openTables();
        if (!qSection.Active() || qSection.IsEmpty())
            return;  // closing
        calcScore();
        started_ = true;
    });
}

std::optional<int> TfrmCompQuest::createCompleted() {
    static constexpr const char* kTag = "TfrmCompQuest.Timer1Timer";
    DimensionTable* completed = Dimensions->Require(kCompletedKind, kTag);
    if (!completed) {
        adapter_.Close();
        return std::nullopt;
    }
    if (completed->GetEditMode() != DimensionTable::Add)
        // Edit mode; any other mode has no record, which openRecord reports.
        return completed->GetEditMode() == DimensionTable::EditRecord ? completed->GetRecordId()
                                                                      : 0;
    frmLookup = std::make_unique<TfrmLookup>(this);
    pickedQuestionnaireId_ = frmLookup->lookupExecute(kQuestionnaireKind, false);
    frmLookup.reset();
    if (pickedQuestionnaireId_ <= 0) {
        adapter_.Close();
        return std::nullopt;
    }
    questionnaire_ = std::make_unique<Questionnaire>();
    // The list's parent is the customer the questionnaire is filled in for. A failure has been
    // shown; nothing was stored.
    if (!questionnaire_->Open(pickedQuestionnaireId_, completed->GetParentId()) ||
        !questionnaire_->appendCompleted()) {
        adapter_.Close();
        return std::nullopt;
    }
    createdId_ = questionnaire_->qCompQuest.FieldByName("comp_quest_id").AsInteger();
    return createdId_;
}

bool TfrmCompQuest::openRecord(int compQuestId) {
    if (!DataMod->OpenById(qEdit, "comp_quest", compQuestId, "TfrmCompQuest.Timer1Timer")) {
        adapter_.Close();
        return false;
    }
    if (qEdit.IsEmpty()) {
        // Deleted meanwhile, here or on another workstation.
        qEdit.Close();
        ui::ShowMessage(widgets::HandleOf(this), "There is no record to edit", "No record",
                        ui::Icon::Information);
        adapter_.Close();
        return false;
    }
    compQuestId_ = compQuestId;
    return true;
}

void TfrmCompQuest::openTables() {
    static constexpr const char* kTag = "TfrmCompQuest.openTables";
    const int questId = qEdit.FieldByName("questionnaire_id").AsInteger();
    DataMod->OpenById(qCustomer, "entity", qEdit.FieldByName("customer_id").AsInteger(), kTag);
    DataMod->OpenById(qDef, "questionnaire", questId, kTag);
    if (!DataMod->openQuery(
            qSection,
            "select * from quest_section where questionnaire_id=" + std::to_string(questId),
            kTag)) {
        adapter_.Close();
        return;
    }
    if (!qSection.IsEmpty()) {
        qSection.First();
        popSection();
        return;
    }
    ui::ShowMessage(widgets::HandleOf(this),
                    "There are no sections in the questionnaire. Please revise the questionnaire "
                    "definition in the My Organization window.",
                    "No section", ui::Icon::Information);
    // Only the record this show created goes; one that was stored before stays.
    if (createdId_ != 0 && compQuestId_ == createdId_) {
        qEdit.Delete();
        createdId_ = 0;
        compQuestId_ = 0;
    }
    adapter_.Close();
}

void TfrmCompQuest::clearSection() {
    for (auto it = rows_.rbegin(); it != rows_.rend(); ++it)
        delete *it;
    rows_.clear();
    sectionRows_->resize(sbSection->width() - kRowHeight, 0);
}

void TfrmCompQuest::popSection() {
    clearSection();
    if (!DataMod->openQuery(
            qAnswer,
            "select * from answer where quest_section_id=" +
                std::to_string(qSection.FieldByName("quest_section_id").AsInteger()) +
                " and comp_quest_id=" + std::to_string(compQuestId_),
            "TfrmCompQuest.popSection"))
        return;
    const int rowWidth = sbSection->width() - kRowHeight;
    int top = kRowHeight;
    for (qAnswer.First(); !qAnswer.Eof(); qAnswer.Next()) {
        auto* row = new TfQuestion(sectionRows_);
        row->setObjectName(QString::fromStdString(format::Format("fq%d", DataMod->nextID())));
        row->setGeometry(0, top, rowWidth, kRowHeight);
        rows_.push_back(row);
        row->Setup(qAnswer.FieldByName("answer_id").AsInteger());
        row->layOut();  // with its prompt
        row->show();
        top += row->height();
    }
    sectionRows_->resize(rowWidth, top + kRowHeight / 2);
}

bool TfrmCompQuest::saveSection() {
    for (TfQuestion* row : rows_)
        if (row->saveAnswer(widgets::HandleOf(this)) == SaveOutcome::KeepOpen)
            return false;
    return true;
}

void TfrmCompQuest::calcScore() {
    const int id = compQuestId_;
    if (id == 0)
        return;
    db::Query score;
    if (!DataMod->openQuery(DataMod->zlmConn, score, "TfrmCompQuest.calcScore",
                            "select * from qScore where comp_quest_id=" + std::to_string(id)))
        return;
    const double value = score.IsEmpty() ? 0.0 : score.FieldByName("score").AsFloat();
    labScore->setText(QString::fromStdString(format::Format("%1.2f", value)));
}

void TfrmCompQuest::btnPreviousClick() {
    RunGuarded("TfrmCompQuest.btnPreviousClick", [this] {
        if (!started_ || !saveSection())
            return;
        calcScore();
        if (qSection.RecNo() < 2) {
            ui::ShowMessage(widgets::HandleOf(this), "The current section is the first section.",
                            "First section", ui::Icon::Information);
            return;
        }
        qSection.Prior();
        popSection();
    });
}

void TfrmCompQuest::btnNextClick() {
    RunGuarded("TfrmCompQuest.btnNextClick", [this] {
        if (!started_ || !saveSection())
            return;
        calcScore();
        if (qSection.RecNo() >= qSection.RecordCount()) {
            ui::ShowMessage(widgets::HandleOf(this), "The current section is the last section.",
                            "Last section", ui::Icon::Information);
            return;
        }
        qSection.Next();
        popSection();
    });
}

void TfrmCompQuest::btnPrintClick() {
    RunGuarded("TfrmCompQuest.btnPrintClick", [this] {
        // The printout shows the answers as they stand on the screen.
        if (!started_ || !MayViewReports(widgets::HandleOf(this)) || !saveSection())
            return;
        calcScore();
        const std::string path = DataMod->NewDocPath("rep", ".html");
        RequireReportServer().PrintCompletedQuestionnaire(compQuestId_, CurBusUnitId, path);
    });
}

void TfrmCompQuest::btnPrintBlankClick() {
    RunGuarded("TfrmCompQuest.btnPrintBlankClick", [this] {
        if (!started_ || !MayViewReports(widgets::HandleOf(this)) || !saveSection())
            return;
        calcScore();
        const std::string path = DataMod->NewDocPath("rep", ".html");
        RequireReportServer().PrintBlankQuestionnaire(
            qEdit.FieldByName("questionnaire_id").AsInteger(), CurBusUnitId, path);
    });
}

bool TfrmCompQuest::FormClose() {
    bool mayClose = true;
    RunGuarded("TfrmCompQuest.FormClose", [this, &mayClose] {
        if (started_ && !saveSection()) {
            mayClose = false;  // the user kept a change that could not be saved
            return;
        }
        started_ = false;
        clearSection();
        qCustomer.Close();
        qDef.Close();
        questionnaire_.reset();
    });
    return mayClose;
}

}  // namespace zl
