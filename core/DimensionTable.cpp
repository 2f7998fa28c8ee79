#include "core/DimensionTable.h"

#include <exception>
#include <vector>

#include "core/DataMod.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "core/Rights.h"
#include "platform/db/DbError.h"
#include "platform/format/Format.h"

namespace zl {

void WriteDefault(db::Query& ds, const std::string& column, const std::string& value) {
    if (value == "time")
        ds.FieldByName(column).SetAsString(format::FormatDateTime("hh:mm:ss", format::Now()));
    else
        ds.FieldByName(column).SetAsString(value);
}

DimensionTable::DimensionTable(int id)
    : DimensionId(id), qDim(std::make_unique<db::Query>()), qDefs(std::make_unique<db::Query>()) {
    DataMod->OpenById(*qDim, "dimension", id, "DimensionTable.Create");
    DataMod->OpenByField(*qDefs, "dim_def", id, "DimensionTable.Create", "dimension_id");
}

std::string DimensionTable::DimString(const std::string& column) {
    // A dimension row that could not be read at all has been reported by its open.
    if (!qDim->Active())
        return "";
    try {
        if (qDim->IsEmpty())
            throw db::DbError("The dimension has no row.");
        return qDim->FieldByName(column).AsString();
    } catch (const std::exception& e) {
        LogError("DimensionTable.DimString", e.what(), column);
        return "";
    }
}

int DimensionTable::DimInt(const std::string& column) {
    // A dimension row that could not be read at all has been reported by its open.
    if (!qDim->Active())
        return 0;
    try {
        if (qDim->IsEmpty())
            throw db::DbError("The dimension has no row.");
        return qDim->FieldByName(column).AsInteger();
    } catch (const std::exception& e) {
        LogError("DimensionTable.DimInt", e.what(), column);
        return 0;
    }
}

void DimensionTable::appendDefaults(db::Query& ds) {
    if (!qDefs->Active())
        return;  // the failed open has been reported
    try {
        for (qDefs->First(); !qDefs->Eof(); qDefs->Next())
            WriteDefault(ds, qDefs->FieldByName("dim_def_field").AsString(),
                         qDefs->FieldByName("dim_def_value").AsString());
    } catch (const std::exception& e) {
        LogError("DimensionTable.appendDefaults", e.what(), "");
    }
}

bool DimensionTable::Delete(db::Query& q, ui::WindowHandle owner) {
    if (q.IsEmpty()) {
        ui::ShowMessage(owner, "No record to delete.", "Table empty", ui::Icon::Information);
        return false;
    }
    if (q.FieldByName("allow_delete").AsInteger() != 0) {
        ui::ShowMessage(owner, "You cannot delete this record.", "Not allowed",
                        ui::Icon::Information);
        return false;
    }
    if (ui::ShowMessage(owner, "You will ERASE this record. Proceed?", "Delete", ui::Icon::Question,
                        ui::Buttons::YesNo) != ui::Button::Yes)
        return false;
    const std::string table = DimString("dimension_table");
    const std::string keyColumn = DimString("dimension_idfield");
    const db::Field& key = q.FieldByName(keyColumn);
    // The names come from the metadata and go in as identifiers; the key is a number read from
    // the row: the statement carries no typed text.
    std::vector<std::string> statements = {"delete from " + db::QuoteName(table) + " where " +
                                           db::QuoteName(keyColumn) + "=" +
                                           std::to_string(key.AsLargeInt())};
    // A group's rights and a user's memberships go with the row, or nothing goes.
    for (std::string& links : LinkRowDeletes(DimensionId, key.AsInteger()))
        statements.push_back(std::move(links));
    // A failed statement has shown its own warning box; nothing was deleted, so nothing is
    // recorded as deleted.
    if (!DataMod->actionQueries(DataMod->zlmConn, statements, "DimensionTable.Delete"))
        return false;
    DataMod->logEvent("Record deleted", table, key.AsInteger(), DimensionId);
    return true;
}

void DimensionTable::SetupGrid(db::Query& ds, ui::GridColumns& grid) {
    for (int i = 0; i < ds.FieldCount() && i < grid.Count(); ++i) {
        const db::Field& f = ds.Fields(i);
        const std::string& name = f.FieldName();
        if (name == "allow_delete" || name.find("_id") != std::string::npos)
            grid.SetVisible(i, false);
        if ((f.DataType() == db::FieldType::ftString ||
             f.DataType() == db::FieldType::ftWideString) &&
            grid.Width(i) > ui::kWidestTextColumn)
            grid.SetWidth(i, ui::kWidestTextColumn);
        if (i == 0) {
            grid.SetVisible(0, true);
            grid.SetTitle(0, "ID");
        }
    }
}

}  // namespace zl
