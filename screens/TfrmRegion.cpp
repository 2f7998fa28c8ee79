#include "screens/TfrmRegion.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "screens/DialogSupport.h"

namespace zl {
namespace {

constexpr int kRegions = 16;
constexpr int kExchangeRates = 27;

}  // namespace

TfrmRegion::TfrmRegion(QWidget* owner)
    : RecordDialog(owner, "TfrmRegion", kRegions, kExchangeRates) {
    setObjectName("FormRegion");
    setWindowTitle("Region");

    auto* form = new QFormLayout;
    AddDataEdit(this, form, "Region name: ", &dsEdit, "entity_name");
    AddDataEdit(this, form, "Region code: ", &dsEdit, "entity_code");
    AddDataEdit(this, form, "Currency symbol:  ", &dsEdit, "entity_currencysymbol");
    AddDataEdit(this, form, "Currency name: ", &dsEdit, "entity_currency");
    auto* ratesLabel = new QLabel("Rates of exchange: ", this);
    exchangeFrame = new TchildFrame(this);
    exchangeFrame->setObjectName("exchangeFrame");

    btnOK = new QPushButton("&OK", this);
    btnOK->setObjectName("btnOK");
    btnOK->setDefault(true);
    btnCancel = NewCancelButton();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(ratesLabel);
    layout->addWidget(exchangeFrame, 1);
    layout->addLayout(NewButtonRow(this, btnOK, btnCancel));
    resize(520, 440);
    widgets::Centre(*this);
}

TfrmRegion::~TfrmRegion() = default;

void TfrmRegion::OpeningRecord() {
    exchangeDialog_ = std::make_unique<TfrmExchange>(this);
    frmExchange = exchangeDialog_.get();
}

void TfrmRegion::RecordOpened(DimensionTable& /*regions*/, DimensionTable* rates) {
    exchangeFrame->Setup(qExchange, rates, frmExchange);
    // A new region is stored on save only; its rates carry its key already.
    exchangeFrame->setParentID(qEdit.FieldByName("entity_id").AsInteger());
}

void TfrmRegion::RecordClosed() {
    exchangeFrame->closeTables();
}

}  // namespace zl
