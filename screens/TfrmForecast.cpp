#include "screens/TfrmForecast.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <exception>

#include "core/DimCollection.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "platform/format/Format.h"
#include "screens/DialogSupport.h"

namespace zl {

namespace {

constexpr int kForecastLine = 24;
constexpr int kDaysOfANewForecast = 365;

}  // namespace

TfrmForecast::TfrmForecast(QWidget* owner) : FormDialog(owner) {
    setObjectName("frmForecast");
    setWindowTitle("Forecast");

    auto* form = new QFormLayout;
    auto dateFrame = [&](const char* name, const char* label) {
        auto* frame = new TdtFrame(this);
        frame->setObjectName(name);
        form->addRow(label, frame);
        return frame;
    };
    dtFrame1 = dateFrame("dtFrame1", "Forecast date:");
    dtFrom = dateFrame("dtFrom", "Forecast period from: ");
    dtTo = dateFrame("dtTo", "Forecast period to: ");
    edDescr = new widgets::DBEdit(this);
    edDescr->setObjectName("zlm_doc_descr");
    edDescr->SetDataSource(&dsEdit);
    edDescr->SetDataField("zlm_doc_descr");
    form->addRow("Description: ", edDescr);
    edNotes = new widgets::DBMemo(this);
    edNotes->setObjectName("zlm_doc_notes");
    edNotes->SetDataSource(&dsEdit);
    edNotes->SetDataField("zlm_doc_notes");
    edNotes->setMaximumHeight(72);
    form->addRow("Notes: ", edNotes);

    itemFrame = new TchildFrame(this);
    itemFrame->setObjectName("itemFrame");
    itemFrame->totalPanel->show();

    btnOK = new QPushButton("&OK", this);
    btnOK->setObjectName("btnOK");
    btnCancel = NewCancelButton(this, "TfrmForecast.btnCancelClick", [this] { btnCancelClick(); });
    connect(btnOK, &QPushButton::clicked, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(itemFrame, 1);
    layout->addLayout(buttons);
    resize(960, 600);  // wide enough for every column of the lines list
    widgets::Centre(*this);
}

TfrmForecast::~TfrmForecast() = default;

void TfrmForecast::showEvent(QShowEvent* event) {
    FormDialog::showEvent(event);
    // A window restored from the task bar is the same showing.
    if (!event->spontaneous())
        RunGuarded("TfrmForecast.FormShow", [this] { FormShow(); });
}

void TfrmForecast::FormShow() {
    forecastId_ = 0;
    itemFrame->setEnabled(false);
    DimensionTable* forecasts = Dimensions->Require(DimensionId, "TfrmForecast.FormShow");
    DimensionTable* lines = Dimensions->Require(kForecastLine, "TfrmForecast.FormShow");
    if (!forecasts || !lines) {
        adapter_.Close();
        return;
    }
    const bool adding = forecasts->GetEditMode() == DimensionTable::Add;
    editForm_ = std::make_unique<EditForm>(adapter_, *forecasts, qEdit);
    // No forecast (deleted meanwhile, or no key for a new one): the user has been told and the
    // dialog is closing; nothing is opened.
    if (!editForm_->HasRecord())
        return;
    if (adding)
        qEdit.FieldByName("zlm_doc_to")
            .SetAsDateTime(format::IncDay(format::Date(), kDaysOfANewForecast));
    dtFrame1->bindField(qEdit, "zlm_doc_date");
    dtFrom->bindField(qEdit, "zlm_doc_from");
    dtTo->bindField(qEdit, "zlm_doc_to");
    // Not posted here: a new forecast stays in insert state until the dialog closes.
    forecastId_ = forecasts->GetRecordId();
    frmForecastItem = std::make_unique<TfrmForecastItem>(this);
    itemFrame->Setup(qItem, lines, frmForecastItem.get());
    itemFrame->setParentID(forecastId_);
    itemFrame->setTotalDocID(forecastId_);
    itemFrame->showTotal(forecastId_);
}

void TfrmForecast::btnCancelClick() {
    if (editForm_ && editForm_->handleCancel(widgets::HandleOf(this)))
        close();
}

bool TfrmForecast::FormClose() {
    bool mayClose = true;
    // False: the save failed and the user kept the changes.
    RunGuarded("TfrmForecast.FormClose",
               [this, &mayClose] { mayClose = !editForm_ || editForm_->handleClose(); });
    if (!mayClose)
        return false;
    RunGuarded("TfrmForecast.FormClose", [this] {
        editForm_.reset();
        itemFrame->closeTables();
    });
    forecastId_ = 0;
    return true;
}

}  // namespace zl
