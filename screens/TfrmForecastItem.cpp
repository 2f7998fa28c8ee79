#include "screens/TfrmForecastItem.h"

#include <QEvent>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>
#include <string>

#include "core/DimCollection.h"
#include "core/EditForm.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "frames/TfrmLookup.h"
#include "screens/DialogSupport.h"
#include "screens/TfrmBillItem.h"
#include "screens/TfrmSelItemType.h"

namespace zl {

TfrmForecastItem::TfrmForecastItem(QWidget* owner) : FormDialog(owner) {
    setObjectName("frmForecastItem");
    setWindowTitle("Forecast item");
    auto* form = new QFormLayout;
    auto edit = [&](const char* name, const char* label, const char* column, bool price) {
        auto* e = new widgets::DBEdit(this);
        e->setObjectName(name);
        e->SetDataSource(&dsEdit);
        e->SetDataField(column);
        if (price) {
            e->SetFloatFormat("0.00");
            e->setAlignment(Qt::AlignRight);
        }
        form->addRow(label, e);
        return e;
    };
    DBEdit1 = edit("DBEdit1", "Description:", "doc_item_descr", false);
    DBEdit1->setMinimumWidth(320);
    DBEdit2 = edit("DBEdit2", "Code:", "doc_item_code", false);
    DBEdit3 = edit("DBEdit3", "Rate: ", "doc_item_rate", true);
    DBEdit4 = edit("DBEdit4", "Quantity:", "doc_item_qty", true);
    DBEdit5 = edit("DBEdit5", "Amount:", "doc_item_total", true);
    // Leaving the rate or the quantity recomputes the amount.
    DBEdit3->installEventFilter(this);
    DBEdit4->installEventFilter(this);

    btnOK = new QPushButton("&OK", this);
    btnOK->setObjectName("btnOK");
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &TfrmForecastItem::btnOKClick);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(btnOK, 0, Qt::AlignRight);

    Timer1 = NewSetUpTimer(this, 1);
    connect(Timer1, &QTimer::timeout, this, &TfrmForecastItem::Timer1Timer);
    adjustSize();
    widgets::Centre(*this);
}

TfrmForecastItem::~TfrmForecastItem() = default;

void TfrmForecastItem::showEvent(QShowEvent* event) {
    FormDialog::showEvent(event);
    closing_ = false;
    Timer1->start();
}

void TfrmForecastItem::Timer1Timer() {
    Timer1->stop();
    RunGuarded("TfrmForecastItem.Timer1Timer", [this] { SetUpLine(); });
}

void TfrmForecastItem::SetUpLine() {
    frmLookup = std::make_unique<TfrmLookup>(this);
    DimensionTable* lines = Dimensions->Require(24, "TfrmForecastItem.Timer1Timer");
    if (!lines) {
        adapter_.Close();
        return;
    }
    // A line that is gone has been reported and the dialog is closing.
    if (!OpenRecordToEdit(qEdit, "doc_item", "doc_item_id", lines->GetRecordId(), adapter_,
                          "TfrmForecastItem.Timer1Timer"))
        return;
    // An existing line is edited by hand.
    if (lines->GetEditMode() != DimensionTable::Add)
        return;

    frmSelItemType = std::make_unique<TfrmSelItemType>(this);
    if (!PickNewLineItem(*this, qEdit, rates_, *frmSelItemType, *frmLookup))
        return;
    // A forecast counts one of each item, before any tax.
    qEdit.FieldByName("doc_item_qty").SetAsFloat(1);
    qEdit.FieldByName("doc_item_tax").SetAsFloat(0);
    qEdit.FieldByName("doc_item_discount").SetAsFloat(0);
    qEdit.FieldByName("doc_item_roe")
        .SetAsFloat(rates_.getROE(qEdit.FieldByName("doc_item_id").AsInteger()));
    rates_.CalcItemTotal(qEdit);
}

void TfrmForecastItem::RecomputeTotal() {
    // The typed amount too: it gives way to the computed one rather than overwrite it on save.
    RecomputeLineTotal(qEdit, rates_, {DBEdit3, DBEdit4, DBEdit5});
}

bool TfrmForecastItem::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && !closing_)
        RunGuarded(
            std::string("TfrmForecastItem.") + (watched == DBEdit3 ? "DBEdit3Exit" : "DBEdit4Exit"),
            [this] { RecomputeTotal(); });
    return FormDialog::eventFilter(watched, event);
}

void TfrmForecastItem::btnOKClick() {
    RunGuarded("TfrmForecastItem.btnOKClick", [this] { RecomputeTotal(); });
    close();
}

bool TfrmForecastItem::FormClose() {
    closing_ = true;
    // The close box saves like "&OK"; a line whose pick was abandoned is no longer in edit.
    RunGuarded("TfrmForecastItem.FormClose", [this] { RecomputeTotal(); });
    bool mayClose = true;
    // The dialog has no Cancel: a failed save asks whether to discard, and Yes closes.
    RunGuarded("TfrmForecastItem.FormClose", [this, &mayClose] {
        mayClose = SaveRecord(qEdit, widgets::HandleOf(this), "TfrmForecastItem.FormClose") !=
                   SaveOutcome::KeepOpen;
    });
    if (!mayClose) {
        closing_ = false;
        return false;
    }
    qEdit.Close();
    return true;
}

}  // namespace zl
