#include "screens/TfrmBillRate.h"

#include <QFocusEvent>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/DateAdjuster.h"
#include "core/DimCollection.h"
#include "core/EditForm.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "frames/TdtFrame.h"
#include "platform/db/DbError.h"

namespace zl {
namespace {

constexpr int kBillRates = 21;
constexpr double kLargestAmount = 9e99;
constexpr int kPeriodDays = 365;

}  // namespace

TfrmBillRate::TfrmBillRate(QWidget* owner) : FormDialog(owner) {
    setObjectName("frmBillRate");
    setWindowTitle("Bill rate");
    qEdit.SetFieldRange("bill_rate_selling", 0, kLargestAmount);
    qEdit.SetFieldRange("bill_rate_cost", 0, kLargestAmount);
    qEdit.SetFieldRange("bill_rate_markup", 0, kLargestAmount);
    qEdit.SetFieldRange("bill_rate_maxdisc", 0, 100);

    auto* form = new QFormLayout;
    auto date = [&](const char* name, const char* label) {
        auto* frame = new TdtFrame(this);
        frame->setObjectName(name);
        form->addRow(label, frame);
        return frame;
    };
    dtFrame1 = date("dtFrame1", "From date: ");
    dtFrame2 = date("dtFrame2", "To date: ");
    auto edit = [&](const char* name, const char* label, const char* column) {
        auto* e = new widgets::DBEdit(this);
        e->setObjectName(name);
        e->SetDataSource(&dsRate);
        e->SetDataField(column);
        e->setAlignment(Qt::AlignRight);
        form->addRow(label, e);
        return e;
    };
    DBEdit1 = edit("DBEdit1", "Internal cost: ", "bill_rate_cost");
    DBEdit2 = edit("DBEdit2", "Markup %:", "bill_rate_markup");
    DBEdit2->SetFloatFormat("0.000");
    DBEdit3 = edit("DBEdit3", "Selling rate (excluding taxes): ", "bill_rate_selling");
    for (widgets::DBEdit* e : {DBEdit1, DBEdit2, DBEdit3})
        e->installEventFilter(this);

    btnOK = new QPushButton("&OK", this);
    btnOK->setObjectName("btnOK");
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &QWidget::close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(btnOK, 0, Qt::AlignRight);
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
    DimensionTable* rates = Dimensions->Require(DimensionId, "TfrmBillRate.FormShow");
    if (!rates) {
        adapter_.Close();
        return;
    }
    // A rate that is gone has been reported and the dialog is closing.
    if (!OpenRecordToEdit(qEdit, "bill_rate", "bill_rate_id", rates->GetRecordId(), adapter_,
                          "TfrmBillRate.FormShow"))
        return;
    if (rates->GetEditMode() == DimensionTable::Add)
        proposePeriod();
    dtFrame1->bindField(qEdit, "bill_rate_from");
    dtFrame2->bindField(qEdit, "bill_rate_to");
}

void TfrmBillRate::proposePeriod() {
    // The item the rate belongs to is the one the row was stored under.
    const int item = qEdit.FieldByName("billable_id").AsInteger();
    DateAdjuster adjuster;
    adjuster.prevDates("bill_rate", "bill_rate_to", "billable_id", item, qEdit, "bill_rate_from",
                       "bill_rate_to", kPeriodDays);
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
    if (SaveRecord(qEdit, widgets::HandleOf(this), "TfrmBillRate.FormClose") ==
        SaveOutcome::KeepOpen) {
        closing_ = false;
        return false;
    }
    qEdit.Close();
    return true;
}

}  // namespace zl
