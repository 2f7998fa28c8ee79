#include "core/BillRate.h"

#include <algorithm>
#include <limits>
#include <string>

#include "core/AssemblyPath.h"
#include "core/DataMod.h"
#include "core/ErrorLog.h"
#include "core/Globals.h"
#include "platform/format/Format.h"

namespace zl {

namespace {

// Whether today lies within the row's period, both bounds inclusive and compared as dates. A
// null bound reads as 0 (1899-12-30): a null to-date never makes a row valid.
bool ValidToday(db::Query& q, const char* fromColumn, const char* toColumn) {
    const format::TDateTime today = format::Date();
    const format::TDateTime from = format::DateOf(q.FieldByName(fromColumn).AsDateTime());
    const format::TDateTime to = format::DateOf(q.FieldByName(toColumn).AsDateTime());
    return from <= today && today <= to;
}

}  // namespace

bool BillRate::SetItemID(int id) {
    ItemId = id;
    return DataMod->OpenById(qItem, "billable", id, "BillRate.SetItemID") &&
           DataMod->openQuery(DataMod->zlmConn, qRates, "BillRate.setItemID",
                              "select * from bill_rate where billable_id=" + std::to_string(id));
}

double BillRate::rateOfDay(const char* column, const char* tag) {
    double result = 0;
    if (!DataMod->openQuery(DataMod->zlmConn, qRates, tag,
                            "select * from bill_rate where billable_id=" + std::to_string(ItemId) +
                                " order by bill_rate_to"))
        return result;
    for (qRates.First(); !qRates.Eof(); qRates.Next()) {
        result = qRates.FieldByName(column).AsFloat();
        if (ValidToday(qRates, "bill_rate_from", "bill_rate_to"))
            return result;
    }
    return result;
}

double BillRate::getRate() {
    return rateOfDay("bill_rate_selling", "BillRate.getRate");
}

double BillRate::getCost() {
    return rateOfDay("bill_rate_cost", "BillRate.getCost");
}

std::optional<double> BillRate::rollUp(RollUp& run, std::size_t& shallowestCut) {
    if (!DataMod->openQuery(DataMod->zlmConn, qBillItems, run.tag,
                            "select * from bill_item where billable_id=" + std::to_string(ItemId)))
        return std::nullopt;
    const std::size_t depth = run.path.size();
    const AssemblyPathStep step(run.path, ItemId);
    double sum = 0;
    BillRate level;
    for (qBillItems.First(); !qBillItems.Eof(); qBillItems.Next()) {
        const double qty = qBillItems.FieldByName("bill_item_qty").AsFloat();
        int item = qBillItems.FieldByName("component_id").AsInteger();
        if (item <= 0)
            item = qBillItems.FieldByName("service_id").AsInteger();
        if (item > 0) {
            auto known = run.items.find(item);
            if (known == run.items.end()) {
                if (!level.SetItemID(item))
                    return std::nullopt;
                known = run.items.emplace(item, run.cost ? level.getCost() : level.getRate()).first;
            }
            sum = known->second * qty + sum;
            continue;
        }
        const int assembly = qBillItems.FieldByName("assembly_id").AsInteger();
        if (assembly <= 0)
            continue;
        const auto onPath = std::find(run.path.begin(), run.path.end(), assembly);
        if (onPath != run.path.end()) {
            shallowestCut =
                std::min(shallowestCut, static_cast<std::size_t>(onPath - run.path.begin()));
            if (!run.cycleLogged) {
                run.cycleLogged = true;
                LogError(run.tag,
                         "Assembly " + std::to_string(assembly) +
                             " contains itself; the repeated line adds nothing",
                         "");
            }
            continue;
        }
        auto known = run.assemblies.find(assembly);
        if (known == run.assemblies.end()) {
            if (!level.SetItemID(assembly))
                return std::nullopt;
            std::size_t cut = std::numeric_limits<std::size_t>::max();
            const std::optional<double> nested = level.rollUp(run, cut);
            if (!nested)
                return std::nullopt;
            shallowestCut = std::min(shallowestCut, cut);
            // A line left out at the nested assembly or above puts it on a cycle: its sum then
            // depends on the way it is reached. Off every cycle it is the same on every path.
            if (cut <= depth + 1) {
                sum = *nested * qty + sum;
                continue;
            }
            known = run.assemblies.emplace(assembly, *nested).first;
        }
        sum = known->second * qty + sum;
    }
    return sum;
}

double BillRate::rollUpFromTop(bool cost) {
    RollUp run;
    run.cost = cost;
    run.tag = cost ? "BillRate.getAssemblyCost" : "BillRate.getAssemblyRate";
    std::size_t cut = std::numeric_limits<std::size_t>::max();
    return rollUp(run, cut).value_or(0);
}

double BillRate::getAssemblyRate() {
    return rollUpFromTop(false);
}

double BillRate::getAssemblyCost() {
    return rollUpFromTop(true);
}

double BillRate::getCustomerTaxRate(int docItemId) {
    if (!DataMod->openQuery(
            DataMod->zlmConn, qCust, "BillRate.getCustomerTaxRate",
            "select * from qCustomerTaxRate where doc_item_id=" + std::to_string(docItemId)))
        return 0;
    const double rate = qCust.IsEmpty() ? 0 : qCust.FieldByName("entity_taxrate").AsFloat();
    qCust.Close();
    return rate;
}

void BillRate::CalcItemTotal(db::Query& ds) {
    const double rate = ds.FieldByName("doc_item_rate").AsFloat();
    const double qty = ds.FieldByName("doc_item_qty").AsFloat();
    const double discount = ds.FieldByName("doc_item_discount").AsFloat();
    const double tax = ds.FieldByName("doc_item_tax").AsFloat();
    const double discountAmount = ((discount / 100) * rate) * qty;
    const double taxAmount = (tax / 100) * ((rate * qty) - discountAmount);
    ds.FieldByName("doc_item_total").SetAsFloat(((rate * qty) + taxAmount) - discountAmount);
}

double BillRate::calcDocTotal(int docId) {
    if (!DataMod->openQuery(DataMod->zlmConn, qTotal, "BillRate.calcDocTotal",
                            "select sum(doc_item_total) as tot from doc_item where zlm_doc_id=" +
                                std::to_string(docId)))
        return 0;
    const double total = qTotal.FieldByName("tot").AsFloat();
    qTotal.Close();
    return total;
}

double BillRate::getROE(int docItemId) {
    double result = 1.0;
    if (!DataMod->openQuery(
            DataMod->zlmConn, qCust, "BillRate.getROE",
            "select * from qCustomerExchangeRate where doc_item_id=" + std::to_string(docItemId)))
        return result;
    for (qCust.First(); !qCust.Eof(); qCust.Next()) {
        if (ValidToday(qCust, "exchange_rate_from", "exchange_rate_to"))
            result = qCust.FieldByName("exchange_rate").AsFloat();
    }
    qCust.Close();
    return result;
}

}  // namespace zl
