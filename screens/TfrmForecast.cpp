#include "screens/TfrmForecast.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/format/Format.h"
#include "screens/DialogSupport.h"

namespace zl {

namespace {

constexpr int kForecasts = 15;
constexpr int kForecastLine = 24;
constexpr int kDaysOfANewForecast = 365;

}  // namespace

TfrmForecast::TfrmForecast(QWidget* owner)
    : RecordDialog(owner, "TfrmForecast", kForecasts, kForecastLine) {
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
    btnCancel = NewCancelButton();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(itemFrame, 1);
    layout->addLayout(NewButtonRow(this, btnOK, btnCancel));
    resize(960, 600);  // wide enough for every column of the lines list
    widgets::Centre(*this);
}

TfrmForecast::~TfrmForecast() = default;

void TfrmForecast::ShowStarting() {
    forecastId_ = 0;
    itemFrame->setEnabled(false);
}

void TfrmForecast::RecordOpened(DimensionTable& forecasts, DimensionTable* lines) {
    if (forecasts.GetEditMode() == DimensionTable::Add)
        qEdit.FieldByName("zlm_doc_to")
            .SetAsDateTime(format::IncDay(format::Date(), kDaysOfANewForecast));
    dtFrame1->bindField(qEdit, "zlm_doc_date");
    dtFrom->bindField(qEdit, "zlm_doc_from");
    dtTo->bindField(qEdit, "zlm_doc_to");
    // Not posted here: a new forecast stays in insert state until the dialog closes.
    forecastId_ = forecasts.GetRecordId();
    frmForecastItem = std::make_unique<TfrmForecastItem>(this);
    itemFrame->Setup(qItem, lines, frmForecastItem.get());
    itemFrame->setParentID(forecastId_);
    itemFrame->setTotalDocID(forecastId_);
    itemFrame->showTotal(forecastId_);
}

void TfrmForecast::RecordClosed() {
    itemFrame->closeTables();
    forecastId_ = 0;
}

}  // namespace zl
