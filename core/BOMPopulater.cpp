#include "core/BOMPopulater.h"

#include <algorithm>
#include <exception>

#include "core/DataMod.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"

namespace zl {

namespace {

// An assembly on the path for as long as its lines are being expanded.
class PathStep {
  public:
    PathStep(std::vector<int>& path, int assemblyId) : path_(path) { path_.push_back(assemblyId); }
    ~PathStep() { path_.pop_back(); }
    PathStep(const PathStep&) = delete;
    PathStep& operator=(const PathStep&) = delete;

  private:
    std::vector<int>& path_;
};

}  // namespace

BOMPopulater::BOMPopulater()
    : qBom(&DataMod->repConn), qLines(&DataMod->zlmConn), qBillable(&DataMod->zlmConn) {}

void BOMPopulater::Populate(int docId) {
    cycleLogged_ = false;
    try {
        qBom.Close();
        qBom.SetConnection(&DataMod->repConn);
        qBom.SetSQL("delete from bom");
        qBom.ExecSQL();
        DataMod->openQuery(DataMod->zlmConn, qLines, "BOMPopulator.Populate",
                           "select * from doc_item where zlm_doc_id=" + std::to_string(docId));
        for (qLines.First(); !qLines.Eof(); qLines.Next()) {
            const double qty = qLines.FieldByName("doc_item_qty").AsFloat();
            const int assembly = qLines.FieldByName("assembly_id").AsInteger();
            if (assembly > 0)
                processAssembly(assembly, qty);
            const int service = qLines.FieldByName("service_id").AsInteger();
            if (service > 0)
                processService(service, qty);
            const int component = qLines.FieldByName("component_id").AsInteger();
            if (component > 0)
                processComponent(component, qty);
        }
    } catch (const std::exception& e) {
        LogError("BOMPopulater.Populate", e.what(), "");
    }
}

void BOMPopulater::processAssembly(int assemblyId, double multiplier) {
    db::Query items(&DataMod->zlmConn);
    DataMod->openQuery(DataMod->zlmConn, items, "BOMPopulater.processAssembly",
                       "select * from bill_item where billable_id=" + std::to_string(assemblyId));
    const PathStep step(path_, assemblyId);
    for (items.First(); !items.Eof(); items.Next()) {
        const double qty = items.FieldByName("bill_item_qty").AsFloat();
        const int component = items.FieldByName("component_id").AsInteger();
        if (component > 0)
            processComponent(component, qty * multiplier);
        const int service = items.FieldByName("service_id").AsInteger();
        if (service > 0)
            processService(service, multiplier * qty);
        const int assembly = items.FieldByName("assembly_id").AsInteger();
        if (assembly <= 0)
            continue;
        if (std::find(path_.begin(), path_.end(), assembly) != path_.end()) {
            if (!cycleLogged_) {
                cycleLogged_ = true;
                LogError("BOMPopulater.processAssembly",
                         "Assembly " + std::to_string(assembly) +
                             " contains itself; the repeated line adds nothing",
                         "");
            }
            continue;
        }
        processAssembly(assembly, qty * multiplier);
    }
}

void BOMPopulater::processComponent(int componentId, double qty) {
    processBillable(componentId, qty, "BOMPopulater.processComponent");
}

void BOMPopulater::processService(int serviceId, double qty) {
    processBillable(serviceId, qty, "BOMPopulater.processService");
}

void BOMPopulater::processBillable(int billableId, double qty, const std::string& tag) {
    DataMod->openQuery(DataMod->zlmConn, qBillable, tag,
                       "select * from billable where billable_id=" + std::to_string(billableId));
    const std::string units = qBillable.FieldByName("billable_units").AsString();
    const std::string code = qBillable.FieldByName("billable_code").AsString();
    const std::string descr = qBillable.FieldByName("billable_descr").AsString();
    appendRec(descr, code, qty, units);
}

void BOMPopulater::appendRec(const std::string& descr, const std::string& code, double qty,
                             const std::string& units) {
    db::Transaction transaction(DataMod->repConn);
    DataMod->openQuery(DataMod->repConn, qBom, "BOMPopulater.appendRec", "select * from BOM");
    DataMod->Append(qBom, "BOMPopulater.appendRec");
    qBom.FieldByName("bom_descr").SetAsString(descr);
    qBom.FieldByName("bom_code").SetAsString(code);
    qBom.FieldByName("bom_units").SetAsString(units);
    qBom.FieldByName("bom_qty").SetAsFloat(qty);
    qBom.Post();
    transaction.Commit();
}

}  // namespace zl
