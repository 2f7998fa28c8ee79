#include "screens/TfrmExchange.h"

#include <QFormLayout>
#include <QPushButton>

#include "core/EditForm.h"
#include "core/Globals.h"
#include "frames/TdtFrame.h"
#include "screens/DetailDialog.h"

namespace zl {
namespace {

constexpr int kExchangeRates = 27;
constexpr double kLargestRate = 9e99;

}  // namespace

TfrmExchange::TfrmExchange(QWidget* owner) : FormDialog(owner) {
    setObjectName("FormExchange");
    setWindowTitle("Rate of Exchange");
    qEdit.SetFieldRange("exchange_rate", 0, kLargestRate);

    auto* form = new QFormLayout;
    dtFrame1 = AddDateFrame(this, form, "dtFrame1", "From date: ");
    dtFrame2 = AddDateFrame(this, form, "dtFrame2", "To date: ");
    DBEdit1 =
        AddNamedEdit(this, form, "DBEdit1", "Rate of exchange (1: x):", &dsRate, "exchange_rate");
    DBEdit1->SetFloatFormat("0.00", "0.000");
    DBEdit1->setAlignment(Qt::AlignRight);
    RefuseWhenEntered(DBEdit1);

    btnOK = NewOKButton(this);
    connect(btnOK, &QPushButton::clicked, this, &QWidget::close);
    LayOutForm(this, form, btnOK);
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
    // A rate that is gone has been reported and the dialog is closing.
    DimensionTable* rates = OpenHandedRecord(qEdit, DimensionId, "exchange_rate",
                                             "exchange_rate_id", adapter_, "TfrmExchange.FormShow");
    if (!rates)
        return;
    if (rates->GetEditMode() == DimensionTable::Add)
        proposePeriod();
    dtFrame1->bindField(qEdit, "exchange_rate_from");
    dtFrame2->bindField(qEdit, "exchange_rate_to");
}

void TfrmExchange::proposePeriod() {
    ProposeRatePeriod(qEdit, "exchange_rate", "region_id", "exchange_rate_from",
                      "exchange_rate_to");
}

bool TfrmExchange::FormClose() {
    bool mayClose = false;
    RunGuarded(
        "TfrmExchange.FormClose",
        [this, &mayClose] { mayClose = SaveAndCloseRecord(qEdit, this, "TfrmExchange.FormClose"); },
        RefusedEntry::AlreadyShown);
    return mayClose;
}

}  // namespace zl
