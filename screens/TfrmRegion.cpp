#include "screens/TfrmRegion.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/DimCollection.h"
#include "core/Globals.h"
#include "screens/DialogSupport.h"

namespace zl {
namespace {

constexpr int kRegions = 16;
constexpr int kExchangeRates = 27;

}  // namespace

TfrmRegion::TfrmRegion(QWidget* owner) : FormDialog(owner) {
    setObjectName("FormRegion");
    setWindowTitle("Region");
    DimensionId = kRegions;

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
    btnCancel = NewCancelButton(this, "TfrmRegion.btnCancelClick", [this] { btnCancelClick(); });
    connect(btnOK, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(ratesLabel);
    layout->addWidget(exchangeFrame, 1);
    layout->addLayout(buttons);
    resize(520, 440);
    widgets::Centre(*this);
}

TfrmRegion::~TfrmRegion() = default;

void TfrmRegion::showEvent(QShowEvent* event) {
    FormDialog::showEvent(event);
    RunGuarded("TfrmRegion.FormShow", [this] {
        try {
            FormShow();
        } catch (...) {
            adapter_.Close();
            throw;
        }
    });
}

void TfrmRegion::FormShow() {
    widgets::Centre(*this);
    DimensionTable* regions = Dimensions->Require(DimensionId, "TfrmRegion.FormShow");
    DimensionTable* rates = Dimensions->Require(kExchangeRates, "TfrmRegion.FormShow");
    if (!regions || !rates) {
        adapter_.Close();
        return;
    }
    exchangeDialog_ = std::make_unique<TfrmExchange>(this);
    frmExchange = exchangeDialog_.get();
    editForm_ = std::make_unique<EditForm>(adapter_, *regions, qEdit);
    if (!editForm_->HasRecord())
        return;  // reported; the dialog is closing
    exchangeFrame->Setup(qExchange, rates, frmExchange);
    // A new region is stored on save only; its rates carry its key already.
    exchangeFrame->setParentID(qEdit.FieldByName("entity_id").AsInteger());
}

void TfrmRegion::btnCancelClick() {
    if (editForm_ && editForm_->handleCancel(widgets::HandleOf(this)))
        close();
}

bool TfrmRegion::FormClose() {
    if (!editForm_)
        return true;
    bool mayClose = false;
    RunGuarded("TfrmRegion.FormClose", [this, &mayClose] { mayClose = editForm_->handleClose(); });
    if (!mayClose)
        return false;
    editForm_.reset();
    exchangeFrame->closeTables();
    return true;
}

}  // namespace zl
