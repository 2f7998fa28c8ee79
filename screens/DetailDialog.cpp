#include "screens/DetailDialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTimer>

#include "core/DateAdjuster.h"
#include "core/DimCollection.h"
#include "core/EditForm.h"
#include "core/Globals.h"
#include "frames/TfrmLookup.h"
#include "screens/TfrmSelItemType.h"

namespace zl {

namespace {

constexpr int kDocumentLines = 24;
constexpr int kPeriodDays = 365;

}  // namespace

DimensionTable* OpenHandedRecord(db::Query& q, int dimension, const std::string& table,
                                 const std::string& keyColumn, ui::Dialog& form,
                                 const std::string& tag) {
    DimensionTable* kind = Dimensions->Require(dimension, tag);
    if (!kind) {
        form.Close();
        return nullptr;
    }
    if (!OpenRecordToEdit(q, table, keyColumn, kind->GetRecordId(), form, tag))
        return nullptr;
    return kind;
}

bool SaveAndCloseRecord(db::Query& q, QWidget* dialog, const std::string& tag) {
    if (SaveRecord(q, widgets::HandleOf(dialog), tag) == SaveOutcome::KeepOpen)
        return false;
    q.Close();
    return true;
}

void DropAbandonedLine(QWidget& dialog, db::Query& line, int dimension) {
    line.Cancel();
    if (DimensionTable* lines = Dimensions->Find(dimension))
        lines->Delete(line, widgets::HandleOf(&dialog));
    dialog.close();
}

void ProposeRatePeriod(db::Query& rate, const std::string& table, const std::string& parentColumn,
                       const std::string& fromColumn, const std::string& toColumn) {
    // The parent the rate belongs to is the one the row was stored under.
    const int parent = rate.FieldByName(parentColumn).AsInteger();
    DateAdjuster adjuster;
    adjuster.prevDates(table, toColumn, parentColumn, parent, rate, fromColumn, toColumn,
                       kPeriodDays);
}

LineItemDialog::LineItemDialog(QWidget* owner) : FormDialog(owner) {
    Timer1 = NewSetUpTimer(this, 1);
}

LineItemDialog::~LineItemDialog() = default;

void LineItemDialog::showEvent(QShowEvent* event) {
    FormDialog::showEvent(event);
    closing_ = false;
    Timer1->start();
}

bool LineItemDialog::OpenLine(db::Query& line, int dimension, const std::string& table,
                              const std::string& keyColumn, const std::string& tag) {
    DimensionTable* lines = OpenHandedRecord(line, dimension, table, keyColumn, adapter_, tag);
    // A line that is gone has been reported and the dialog is closing; an existing line is
    // edited by hand.
    if (!lines || lines->GetEditMode() != DimensionTable::Add)
        return false;
    frmSelItemType = std::make_unique<TfrmSelItemType>(this);
    return true;
}

bool LineItemDialog::SaveLine(db::Query& line, const std::string& tag) {
    closing_ = true;
    if (!SaveAndCloseRecord(line, this, tag)) {
        closing_ = false;
        return false;
    }
    return true;
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
        DropAbandonedLine(dialog, line, kDocumentLines);
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

}  // namespace zl
