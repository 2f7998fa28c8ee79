#include "screens/TfrmForecastItem.h"

#include <QEvent>
#include <QFormLayout>
#include <QPushButton>
#include <string>

#include "core/EditForm.h"
#include "frames/TfrmLookup.h"
#include "screens/TfrmSelItemType.h"

namespace zl {

TfrmForecastItem::TfrmForecastItem(QWidget* owner) : LineItemDialog(owner) {
    setObjectName("frmForecastItem");
    setWindowTitle("Forecast item");
    auto* form = new QFormLayout;
    auto edit = [&](const char* name, const char* label, const char* column, bool price) {
        widgets::DBEdit* e = AddNamedEdit(this, form, name, label, &dsEdit, column);
        if (price) {
            e->SetFloatFormat("0.00", "0.000");
            e->setAlignment(Qt::AlignRight);
        }
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

    btnOK = NewOKButton(this);
    connect(btnOK, &QPushButton::clicked, this, &TfrmForecastItem::btnOKClick);
    LayOutForm(this, form, btnOK);

    connect(Timer1, &QTimer::timeout, this, &TfrmForecastItem::Timer1Timer);
    adjustSize();
    widgets::Centre(*this);
}

TfrmForecastItem::~TfrmForecastItem() = default;

void TfrmForecastItem::Timer1Timer() {
    Timer1->stop();
    RunGuarded("TfrmForecastItem.Timer1Timer", [this] { SetUpLine(); });
}

void TfrmForecastItem::SetUpLine() {
    frmLookup = std::make_unique<TfrmLookup>(this);
    if (!OpenLine(qEdit, 24, "doc_item", "doc_item_id", "TfrmForecastItem.Timer1Timer"))
        return;
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
    return LineItemDialog::eventFilter(watched, event);
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
