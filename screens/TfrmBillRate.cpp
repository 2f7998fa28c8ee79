#include "screens/TfrmBillRate.h"

#include <QFocusEvent>
#include <QFormLayout>
#include <QPushButton>

#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "frames/TdtFrame.h"
#include "platform/db/DbError.h"
#include "screens/DetailDialog.h"

namespace zl {
namespace {

constexpr int kBillRates = 21;
constexpr double kLargestAmount = 9e99;

}  // namespace

TfrmBillRate::TfrmBillRate(QWidget* owner) : FormDialog(owner) {
    setObjectName("frmBillRate");
    setWindowTitle("Bill rate");
    qEdit.SetFieldRange("bill_rate_selling", 0, kLargestAmount);
    qEdit.SetFieldRange("bill_rate_cost", 0, kLargestAmount);
    qEdit.SetFieldRange("bill_rate_markup", 0, kLargestAmount);
    qEdit.SetFieldRange("bill_rate_maxdisc", 0, 100);

    auto* form = new QFormLayout;
    dtFrame1 = AddDateFrame(this, form, "dtFrame1", "From date: ");
    dtFrame2 = AddDateFrame(this, form, "dtFrame2", "To date: ");
    auto edit = [&](const char* name, const char* label, const char* column) {
        widgets::DBEdit* e = AddNamedEdit(this, form, name, label, &dsRate, column);
        e->SetFloatFormat("0.00", "0.000");
        e->setAlignment(Qt::AlignRight);
        return e;
    };
    DBEdit1 = edit("DBEdit1", "Internal cost: ", "bill_rate_cost");
    DBEdit2 = edit("DBEdit2", "Markup %:", "bill_rate_markup");
    DBEdit3 = edit("DBEdit3", "Selling rate (excluding taxes): ", "bill_rate_selling");
    for (widgets::DBEdit* e : {DBEdit1, DBEdit2, DBEdit3})
        e->installEventFilter(this);

    btnOK = NewOKButton(this);
    connect(btnOK, &QPushButton::clicked, this, &QWidget::close);
    LayOutForm(this, form, btnOK);
    adjustSize();
}

void TfrmBillRate::showEvent(QShowEvent* event) {
    FormDialog::showEvent(event);
    closing_ = false;
    try {
        FormShow();
    } catch (const std::exception& e) {
        LogError("TfrmBillRate.FormShow", e.what(), "");
        adapter_.Close();
    }
}

void TfrmBillRate::FormShow() {
    DimensionId = kBillRates;
    widgets::Centre(*this);
    // A rate that is gone has been reported and the dialog is closing.
    DimensionTable* rates = OpenHandedRecord(qEdit, DimensionId, "bill_rate", "bill_rate_id",
                                             adapter_, "TfrmBillRate.FormShow");
    if (!rates)
        return;
    if (rates->GetEditMode() == DimensionTable::Add)
        proposePeriod();
    dtFrame1->bindField(qEdit, "bill_rate_from");
    dtFrame2->bindField(qEdit, "bill_rate_to");
}

void TfrmBillRate::proposePeriod() {
    ProposeRatePeriod(qEdit, "bill_rate", "billable_id", "bill_rate_from", "bill_rate_to");
}

void TfrmBillRate::DBEdit2Exit() {
    if (!qEdit.Active() || !qEdit.Editing())
        return;
    // What was typed reaches the record first; a refused value has been explained.
    if (!DBEdit1->UpdateRecord() || !DBEdit2->UpdateRecord())
        return;
    const long double cost = qEdit.FieldByName("bill_rate_cost").AsFloat();
    const long double markup = qEdit.FieldByName("bill_rate_markup").AsFloat();
    const long double selling = cost * (markup / 100.0L + 1.0L);
    try {
        qEdit.FieldByName("bill_rate_selling").SetAsFloat(static_cast<double>(selling));
    } catch (const db::RangeError& e) {
        // The product lies beyond what a rate may hold: the selling rate stays as it was.
        ui::ShowMessage(widgets::HandleOf(this), e.what(), "Invalid value", ui::Icon::Warning);
    }
}

bool TfrmBillRate::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::FocusOut || closing_)
        return FormDialog::eventFilter(watched, event);
    // Only the user moving to another control leaves a field; another window taking the focus
    // (a message box) does not.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
        return FormDialog::eventFilter(watched, event);
    try {
        if (watched == DBEdit2)
            DBEdit2Exit();
        else if (watched == DBEdit1 || watched == DBEdit3)
            static_cast<widgets::DBEdit*>(watched)->UpdateRecord();  // a refusal is said here
    } catch (const std::exception& e) {
        LogError(watched == DBEdit2 ? "TfrmBillRate.DBEdit2Exit" : "TfrmBillRate.FieldExit",
                 e.what(), "");
    }
    return FormDialog::eventFilter(watched, event);
}

bool TfrmBillRate::FormClose() {
    closing_ = true;
    // A failed save keeps the dialog open, its fields recomputing again.
    closing_ = SaveAndCloseRecord(qEdit, this, "TfrmBillRate.FormClose");
    return closing_;
}

}  // namespace zl
