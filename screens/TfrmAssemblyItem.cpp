#include "screens/TfrmAssemblyItem.h"

#include <QFormLayout>
#include <QPushButton>
#include <QString>
#include <set>
#include <vector>

#include "core/DataMod.h"
#include "core/Globals.h"
#include "frames/TfrmLookup.h"
#include "platform/db/DbError.h"
#include "screens/TfrmSelItemType.h"

namespace zl {
namespace {

constexpr int kAssemblyLines = 25;

// Whether `assembly` is `target` or holds it among its lines, at any depth. Each assembly is
// walked once, so lines that already loop back on themselves end the walk.
bool AssemblyHolds(int assembly, int target) {
    std::set<int> seen;
    std::vector<int> pending{assembly};
    db::Query parts;
    while (!pending.empty()) {
        const int current = pending.back();
        pending.pop_back();
        if (current == target)
            return true;
        if (!seen.insert(current).second)
            continue;
        if (!DataMod->openQuery(DataMod->zlmConn, parts, "TfrmAssemblyItem.AssemblyHolds",
                                "select assembly_id from bill_item where billable_id=? and "
                                "assembly_id>0",
                                {db::Value{static_cast<long long>(current)}}))
            throw db::DbError("The lines of an assembly could not be read.");
        for (parts.First(); !parts.Eof(); parts.Next())
            pending.push_back(parts.Fields(0).AsInteger());
        parts.Close();
    }
    return false;
}

// The text cut to the column's width in characters, so that the line can be stored.
std::string FitTo(const db::Field& field, const std::string& text) {
    const QString value = QString::fromStdString(text);
    if (field.Size() <= 0 || value.size() <= field.Size())
        return text;
    return value.left(field.Size()).toStdString();
}

}  // namespace

TfrmAssemblyItem::TfrmAssemblyItem(QWidget* owner) : LineItemDialog(owner) {
    setObjectName("frmAssemblyItem");
    setWindowTitle("Assembly item");
    auto* form = new QFormLayout;
    DBEdit1 = AddNamedEdit(this, form, "DBEdit1", "Description: ", &dsItem, "bill_item_descr");
    DBEdit1->setMinimumWidth(320);
    DBEdit2 = AddNamedEdit(this, form, "DBEdit2", "Code: ", &dsItem, "bill_item_code");
    DBEdit3 = AddNamedEdit(this, form, "DBEdit3", "Quantity: ", &dsItem, "bill_item_qty");
    DBEdit3->SetFloatFormat("0.00", "0.000");
    DBEdit3->setAlignment(Qt::AlignRight);

    btnOK = NewSaveAndCloseButton(this);
    connect(btnOK, &QPushButton::clicked, this, &QWidget::close);
    LayOutForm(this, form, btnOK);

    connect(Timer1, &QTimer::timeout, this,
            [this] { RunGuarded("TfrmAssemblyItem.Timer1Timer", [this] { Timer1Timer(); }); });
    frmLookup = std::make_unique<TfrmLookup>(this);
    adjustSize();
    widgets::Centre(*this);
}

TfrmAssemblyItem::~TfrmAssemblyItem() = default;

void TfrmAssemblyItem::Timer1Timer() {
    Timer1->stop();
    if (!OpenLine(qItem, kAssemblyLines, "bill_item", "bill_item_id",
                  "TfrmAssemblyItem.Timer1Timer"))
        return;
    const int type = frmSelItemType->selectItemType();
    frmSelItemType.reset();
    switch (type) {
        case 0:
            setService();
            break;
        case 2:
            setAssembly();
            break;
        default:
            setComponent();
            break;
    }
}

void TfrmAssemblyItem::setService() {
    SetItem(14, "service_id");
}

void TfrmAssemblyItem::setComponent() {
    SetItem(10, "component_id");
}

void TfrmAssemblyItem::setAssembly() {
    SetItem(11, "assembly_id");
}

bool TfrmAssemblyItem::SetItem(int lookupDimension, const std::string& linkColumn) {
    const int id = frmLookup->lookupExecute(lookupDimension, false);
    bool usable = id > 0;
    if (usable && linkColumn == "assembly_id" &&
        AssemblyHolds(id, qItem.FieldByName("billable_id").AsInteger())) {
        ui::ShowMessage(widgets::HandleOf(this), "An assembly cannot contain itself.",
                        "Assembly item", ui::Icon::Warning);
        usable = false;
    }
    if (!usable) {
        // No item: the line the detail list stored for this dialog is dropped, if the user agrees.
        DropAbandonedLine(*this, qItem, kAssemblyLines);
        return false;
    }
    const std::string descr = frmLookup->strValue("billable_descr");
    const std::string code = frmLookup->strValue("billable_code");
    qItem.FieldByName(linkColumn).SetAsInteger(id);
    db::Field& descrField = qItem.FieldByName("bill_item_descr");
    descrField.SetAsString(FitTo(descrField, descr));
    db::Field& codeField = qItem.FieldByName("bill_item_code");
    codeField.SetAsString(FitTo(codeField, code));
    return true;
}

bool TfrmAssemblyItem::FormClose() {
    return SaveLine(qItem, "TfrmAssemblyItem.FormClose");
}

}  // namespace zl
