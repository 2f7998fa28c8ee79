#include "screens/TfrmBillItem.h"

#include <QEvent>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "frames/TfrmLookup.h"
#include "screens/TfrmSelItemType.h"

namespace zl {

TfrmBillItem::TfrmBillItem(QWidget* owner) : LineItemDialog(owner) {
    setObjectName("frmBillItem");
    DBRadioGroup1 = new widgets::DBRadioGroup(this);
    DBRadioGroup1->setObjectName("DBRadioGroup1");
    DBRadioGroup1->setTitle("Item type");
    DBRadioGroup1->SetItems({"Service", "Component", "Assembly"}, {"0", "1", "2"});
    DBRadioGroup1->SetDataSource(&dsEdit);
    DBRadioGroup1->SetDataField("doc_item_billtype");
    DBRadioGroup1->setEnabled(false);

    auto* form = new QFormLayout;
    auto edit = [&](const char* name, const char* label, const char* column, bool price) {
        widgets::DBEdit* e = AddNamedEdit(this, form, name, label, &dsEdit, column);
        if (price) {
            e->SetFloatFormat("0.00", "0.000");
            e->setAlignment(Qt::AlignRight);
            e->installEventFilter(this);
        }
        return e;
    };
    DBEdit1 = edit("DBEdit1", "Description: ", "doc_item_descr", false);
    DBEdit1->setMinimumWidth(320);
    DBEdit2 = edit("DBEdit2", "Code: ", "doc_item_code", false);
    DBEdit3 = edit("DBEdit3", "Quantity: ", "doc_item_qty", true);
    DBEdit4 = edit("DBEdit4", "Rate: ", "doc_item_rate", true);
    DBEdit5 = edit("DBEdit5", "Tax %: ", "doc_item_tax", true);
    DBEdit6 = edit("DBEdit6", "Discount %: ", "doc_item_discount", true);
    DBEdit7 = edit("DBEdit7", "Amount: ", "doc_item_total", true);
    DBEdit8 = edit("DBEdit8", "Rate of exchange:", "doc_item_roe", true);

    btnOK = NewSaveAndCloseButton(this);
    connect(btnOK, &QPushButton::clicked, this, &QWidget::close);
    LayOutForm(this, form, btnOK)->insertWidget(0, DBRadioGroup1);

    connect(Timer1, &QTimer::timeout, this, &TfrmBillItem::Timer1Timer);
    adjustSize();
    widgets::Centre(*this);
}

TfrmBillItem::~TfrmBillItem() = default;

void TfrmBillItem::Timer1Timer() {
    Timer1->stop();
    frmLookup = std::make_unique<TfrmLookup>(this);
    if (!OpenLine(qEdit, 24, "doc_item", "doc_item_id", "TfrmBillItem.Timer1Timer"))
        return;
    const LineItemKind* kind = PickNewLineItem(*this, qEdit, rates_, *frmSelItemType, *frmLookup);
    if (!kind)
        return;
    qEdit.FieldByName("doc_item_qty").SetAsFloat(frmLookup->numValue("billable_defqty"));
    qEdit.FieldByName("doc_item_costrate")
        .SetAsFloat(kind->assembly ? rates_.getAssemblyCost() : rates_.getCost());
    const int line = qEdit.FieldByName("doc_item_id").AsInteger();
    qEdit.FieldByName("doc_item_tax").SetAsFloat(rates_.getCustomerTaxRate(line));
    qEdit.FieldByName("doc_item_discount").SetAsFloat(0);
    qEdit.FieldByName("doc_item_roe").SetAsFloat(rates_.getROE(line));
    rates_.CalcItemTotal(qEdit);
}

void TfrmBillItem::RecomputeTotal() {
    RecomputeLineTotal(qEdit, rates_, {DBEdit3, DBEdit4, DBEdit5, DBEdit6, DBEdit7, DBEdit8});
}

bool TfrmBillItem::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && !closing_)
        RecomputeTotal();
    return LineItemDialog::eventFilter(watched, event);
}

bool TfrmBillItem::FormClose() {
    return SaveLine(qEdit, "TfrmBillItem.FormClose");
}

}  // namespace zl
