#include "screens/TfrmExchange.h"

#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/DateAdjuster.h"
#include "core/DimCollection.h"
#include "core/EditForm.h"
#include "core/Globals.h"
#include "frames/TdtFrame.h"
#include "screens/DialogSupport.h"

namespace zl {
namespace {

constexpr int kExchangeRates = 27;
constexpr double kLargestRate = 9e99;
constexpr int kPeriodDays = 365;

}  // namespace

TfrmExchange::TfrmExchange(QWidget* owner) : FormDialog(owner) {
    setObjectName("FormExchange");
    setWindowTitle("Rate of Exchange");
    qEdit.SetFieldRange("exchange_rate", 0, kLargestRate);

    auto* form = new QFormLayout;
    dtFrame1 = new TdtFrame(this);
    dtFrame1->setObjectName("dtFrame1");
    form->addRow("From date: ", dtFrame1);
    dtFrame2 = new TdtFrame(this);
    dtFrame2->setObjectName("dtFrame2");
    form->addRow("To date: ", dtFrame2);
    DBEdit1 = new widgets::DBEdit(this);
    DBEdit1->setObjectName("DBEdit1");
    DBEdit1->SetDataSource(&dsRate);
    DBEdit1->SetDataField("exchange_rate");
    DBEdit1->SetFloatFormat("0.000");
    DBEdit1->setAlignment(Qt::AlignRight);
    RefuseWhenEntered(DBEdit1);
    form->addRow("Rate of exchange (1: x):", DBEdit1);

    btnOK = new QPushButton("&OK", this);
    btnOK->setObjectName("btnOK");
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &QWidget::close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(btnOK, 0, Qt::AlignRight);
    adjustSize();
    widgets::Centre(*this);
}

void TfrmExchange::showEvent(QShowEvent* event) {
    FormDialog::showEvent(event);
    RunGuarded("TfrmExchange.FormShow", [this] {
        try {
            FormShow();
        } catch (...) {
            adapter_.Close();
            throw;
        }
    });
}

void TfrmExchange::FormShow() {
    DimensionId = kExchangeRates;
    widgets::Centre(*this);
    DimensionTable* rates = Dimensions->Require(DimensionId, "TfrmExchange.FormShow");
    if (!rates) {
        adapter_.Close();
        return;
    }
    // A rate that is gone has been reported and the dialog is closing.
    if (!OpenRecordToEdit(qEdit, "exchange_rate", "exchange_rate_id", rates->GetRecordId(),
                          adapter_, "TfrmExchange.FormShow"))
        return;
    if (rates->GetEditMode() == DimensionTable::Add)
        proposePeriod();
    dtFrame1->bindField(qEdit, "exchange_rate_from");
    dtFrame2->bindField(qEdit, "exchange_rate_to");
}

void TfrmExchange::proposePeriod() {
    // The region the rate belongs to is the one the row was stored under.
    const int region = qEdit.FieldByName("region_id").AsInteger();
    DateAdjuster adjuster;
    adjuster.prevDates("exchange_rate", "exchange_rate_to", "region_id", region, qEdit,
                       "exchange_rate_from", "exchange_rate_to", kPeriodDays);
}

bool TfrmExchange::FormClose() {
    bool mayClose = false;
    RunGuarded(
        "TfrmExchange.FormClose",
        [this, &mayClose] {
            mayClose = SaveRecord(qEdit, widgets::HandleOf(this), "TfrmExchange.FormClose") !=
                       SaveOutcome::KeepOpen;
        },
        RefusedEntry::AlreadyShown);
    if (mayClose)
        qEdit.Close();
    return mayClose;
}

}  // namespace zl
