#include "core/BOMPopulater.h"

#include <algorithm>
#include <exception>
#include <limits>

#include "core/AssemblyPath.h"
#include "core/DataMod.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "platform/db/Connection.h"

namespace zl {

BOMPopulater::BOMPopulater()
    : qBom(&DataMod->repConn), qLines(&DataMod->zlmConn), qBillable(&DataMod->zlmConn) {}

bool BOMPopulater::Populate(int docId) {
    cycleLogged_ = false;
    rows_.clear();
    lines_.clear();
    items_.clear();
    int firstKey = 0;
    try {
        if (!DataMod->openQuery(DataMod->zlmConn, qLines, "BOMPopulator.Populate",
                                "select * from doc_item where zlm_doc_id=" + std::to_string(docId)))
            return stop();
        for (qLines.First(); !qLines.Eof(); qLines.Next()) {
            const double qty = qLines.FieldByName("doc_item_qty").AsFloat();
            const int assembly = qLines.FieldByName("assembly_id").AsInteger();
            if (assembly > 0 && !processAssembly(assembly, qty))
                return stop();
            const int service = qLines.FieldByName("service_id").AsInteger();
            if (service > 0 && !processService(service, qty))
                return stop();
            const int component = qLines.FieldByName("component_id").AsInteger();
            if (component > 0 && !processComponent(component, qty))
                return stop();
        }
        qLines.Close();
        // The keys are issued before the transaction begins: a counter that fails shows a box,
        // which must not wait while the metadata file is locked. All of them at once: the
        // counter's write lock keeps every other workstation waiting.
        if (!rows_.empty()) {
            if (rows_.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
                return fail("The bill of materials has too many rows.");
            firstKey = DataMod->nextIDs(static_cast<int>(rows_.size()));
            if (firstKey == 0)
                return stop();
        }
    } catch (const std::exception& e) {
        return fail(e.what());
    }
    try {
        db::Transaction transaction(DataMod->repConn);
        writeRows(firstKey);
        transaction.Commit();
    } catch (const std::exception& e) {
        // The transaction has rolled back by now, putting the previous rows back.
        return fail(e.what());
    }
    qBom.Close();
    return true;
}

const std::vector<BOMPopulater::Line>* BOMPopulater::linesOf(int assemblyId) {
    if (const auto known = lines_.find(assemblyId); known != lines_.end())
        return &known->second;
    db::Query items(&DataMod->zlmConn);
    if (!DataMod->openQuery(
            DataMod->zlmConn, items, "BOMPopulater.processAssembly",
            "select * from bill_item where billable_id=" + std::to_string(assemblyId)))
        return nullptr;
    std::vector<Line> lines;
    for (items.First(); !items.Eof(); items.Next())
        lines.push_back({items.FieldByName("component_id").AsInteger(),
                         items.FieldByName("service_id").AsInteger(),
                         items.FieldByName("assembly_id").AsInteger(),
                         items.FieldByName("bill_item_qty").AsFloat()});
    return &(lines_[assemblyId] = std::move(lines));
}

bool BOMPopulater::processAssembly(int assemblyId, double multiplier) {
    const std::vector<Line>* lines = linesOf(assemblyId);
    if (lines == nullptr)
        return false;
    const AssemblyPathStep step(path_, assemblyId);
    // Reading a nested assembly's lines adds to lines_, whose entries never move.
    for (const Line& line : *lines) {
        if (line.component > 0 && !processComponent(line.component, line.qty * multiplier))
            return false;
        if (line.service > 0 && !processService(line.service, multiplier * line.qty))
            return false;
        if (line.assembly <= 0)
            continue;
        if (std::find(path_.begin(), path_.end(), line.assembly) != path_.end()) {
            if (!cycleLogged_) {
                cycleLogged_ = true;
                LogError("BOMPopulater.processAssembly",
                         "Assembly " + std::to_string(line.assembly) +
                             " contains itself; the repeated line adds nothing",
                         "");
            }
            continue;
        }
        if (!processAssembly(line.assembly, line.qty * multiplier))
            return false;
    }
    return true;
}

bool BOMPopulater::processComponent(int componentId, double qty) {
    return processBillable(componentId, qty, "BOMPopulater.processComponent");
}

bool BOMPopulater::processService(int serviceId, double qty) {
    return processBillable(serviceId, qty, "BOMPopulater.processService");
}

bool BOMPopulater::processBillable(int billableId, double qty, const std::string& tag) {
    auto known = items_.find(billableId);
    if (known == items_.end()) {
        if (!DataMod->openQuery(
                DataMod->zlmConn, qBillable, tag,
                "select * from billable where billable_id=" + std::to_string(billableId)))
            return false;
        Row item;
        item.units = qBillable.FieldByName("billable_units").AsString();
        item.code = qBillable.FieldByName("billable_code").AsString();
        item.descr = qBillable.FieldByName("billable_descr").AsString();
        known = items_.emplace(billableId, std::move(item)).first;
    }
    Row row = known->second;
    row.qty = qty;
    rows_.push_back(std::move(row));
    return true;
}

void BOMPopulater::writeRows(int firstKey) {
    qBom.Close();
    qBom.SetConnection(&DataMod->repConn);
    qBom.SetSQL("delete from bom");
    qBom.ExecSQL();
    qBom.SetSQL("select * from bom");
    qBom.Open();
    for (std::size_t i = 0; i < rows_.size(); ++i)
        appendRec(rows_[i], firstKey + static_cast<int>(i));
}

void BOMPopulater::appendRec(const Row& row, int key) {
    DataMod->AppendWithKey(qBom, key);
    qBom.FieldByName("bom_descr").SetAsString(row.descr);
    qBom.FieldByName("bom_code").SetAsString(row.code);
    qBom.FieldByName("bom_units").SetAsString(row.units);
    qBom.FieldByName("bom_qty").SetAsFloat(row.qty);
    qBom.Post();
}

bool BOMPopulater::stop() {
    qLines.Close();
    qBom.Close();
    try {
        DataMod->repConn.Execute("delete from bom");
    } catch (const std::exception&) {
        // Best effort: the caller learns of the failure and prints nothing anyway.
    }
    return false;
}

bool BOMPopulater::fail(const std::string& message) {
    stop();
    LogError("BOMPopulater.Populate", message, "");
    return false;
}

}  // namespace zl
