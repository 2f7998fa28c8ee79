#include "screens/TfrmBillItem.h"

#include <QEvent>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/DataMod.h"
#include "core/DimCollection.h"
#include "core/EditForm.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "frames/TfrmLookup.h"
#include "screens/DialogSupport.h"
#include "screens/TfrmSelItemType.h"
#include "widgets/QtPlatform.h"

namespace zl {

TfrmBillItem::TfrmBillItem(QWidget* owner) : FormDialog(owner) {
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
        auto* e = new widgets::DBEdit(this);
        e->setObjectName(name);
        e->SetDataSource(&dsEdit);
        e->SetDataField(column);
        if (price) {
            e->SetFloatFormat("0.000");
            e->setAlignment(Qt::AlignRight);
            e->installEventFilter(this);
        }
        form->addRow(label, e);
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
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DBRadioGroup1);
    layout->addLayout(form);
    layout->addWidget(btnOK, 0, Qt::AlignRight);

    Timer1 = NewSetUpTimer(this, 1);
    connect(Timer1, &QTimer::timeout, this, &TfrmBillItem::Timer1Timer);
    adjustSize();
    widgets::Centre(*this);
}

TfrmBillItem::~TfrmBillItem() = default;

void TfrmBillItem::showEvent(QShowEvent* event) {
    FormDialog::showEvent(event);
    closing_ = false;
    Timer1->start();
}

void TfrmBillItem::Timer1Timer() {
    Timer1->stop();
    frmLookup = std::make_unique<TfrmLookup>(this);
    DimensionTable* lines = Dimensions->Require(24, "TfrmBillItem.Timer1Timer");
    if (!lines) {
        adapter_.Close();
        return;
    }
    // A line that is gone has been reported and the dialog is closing.
    if (!OpenRecordToEdit(qEdit, "doc_item", "doc_item_id", lines->GetRecordId(), adapter_,
                          "TfrmBillItem.Timer1Timer"))
        return;
    if (lines->GetEditMode() != DimensionTable::Add)
        return;

    frmSelItemType = std::make_unique<TfrmSelItemType>(this);
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

const LineItemKind* PickNewLineItem(QWidget& dialog, db::Query& line, BillRate& rates,
                                    TfrmSelItemType& chooser, TfrmLookup& lookup) {
    static const LineItemKind kinds[] = {
        {0, 14, "service_id", false},
        {1, 10, "component_id", false},
        {2, 11, "assembly_id", true},
    };
    const int type = chooser.selectItemType();
    const LineItemKind& kind = kinds[type >= 0 && type <= 2 ? type : 1];
    const int id = lookup.lookupExecute(kind.lookupDimension, false);
    if (id <= 0) {
        // No item: the line the detail list stored for this dialog is dropped, if the user agrees.
        line.Cancel();
        if (DimensionTable* lines = Dimensions->Find(24))
            lines->Delete(line, widgets::HandleOf(&dialog));
        dialog.close();
        return nullptr;
    }
    line.FieldByName("doc_item_billtype").SetAsInteger(kind.type);
    line.FieldByName("doc_item_descr").SetAsString(lookup.strValue("billable_descr"));
    line.FieldByName("doc_item_code").SetAsString(lookup.strValue("billable_code"));
    rates.SetItemID(id);
    line.FieldByName(kind.linkColumn).SetAsInteger(id);
    line.FieldByName("doc_item_rate")
        .SetAsFloat(kind.assembly ? rates.getAssemblyRate() : rates.getRate());
    return &kind;
}

bool RecomputeLineTotal(db::Query& line, BillRate& rates,
                        std::initializer_list<widgets::DBEdit*> edits) {
    if (line.State() != db::DataSetState::dsEdit)
        return false;
    // What was typed reaches the record first.
    for (widgets::DBEdit* e : edits)
        if (!e->UpdateRecord())
            return false;
    rates.CalcItemTotal(line);
    return true;
}

void TfrmBillItem::RecomputeTotal() {
    RecomputeLineTotal(qEdit, rates_, {DBEdit3, DBEdit4, DBEdit5, DBEdit6, DBEdit7, DBEdit8});
}

bool TfrmBillItem::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && !closing_)
        RecomputeTotal();
    return FormDialog::eventFilter(watched, event);
}

bool TfrmBillItem::FormClose() {
    closing_ = true;
    if (SaveRecord(qEdit, widgets::HandleOf(this), "TfrmBillItem.FormClose") ==
        SaveOutcome::KeepOpen) {
        closing_ = false;
        return false;
    }
    qEdit.Close();
    return true;
}

}  // namespace zl
