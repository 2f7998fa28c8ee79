#include "core/BillRate.h"

#include <algorithm>
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

std::optional<double> BillRate::rollUp(bool cost, RollUpPath& path) {
    const std::string tag = cost ? "BillRate.getAssemblyCost" : "BillRate.getAssemblyRate";
    if (!DataMod->openQuery(DataMod->zlmConn, qBillItems, tag,
                            "select * from bill_item where billable_id=" + std::to_string(ItemId)))
        return std::nullopt;
    const AssemblyPathStep step(path.ids, ItemId);
    double sum = 0;
    BillRate level;
    for (qBillItems.First(); !qBillItems.Eof(); qBillItems.Next()) {
        const double qty = qBillItems.FieldByName("bill_item_qty").AsFloat();
        int item = qBillItems.FieldByName("component_id").AsInteger();
        if (item <= 0)
            item = qBillItems.FieldByName("service_id").AsInteger();
        if (item > 0) {
            if (!level.SetItemID(item))
                return std::nullopt;
            sum = (cost ? level.getCost() : level.getRate()) * qty + sum;
            continue;
        }
        const int assembly = qBillItems.FieldByName("assembly_id").AsInteger();
        if (assembly <= 0)
            continue;
        if (std::find(path.ids.begin(), path.ids.end(), assembly) != path.ids.end()) {
            if (!path.cycleLogged) {
                path.cycleLogged = true;
                LogError(tag,
                         "Assembly " + std::to_string(assembly) +
                             " contains itself; the repeated line adds nothing",
                         "");
            }
            continue;
        }
        if (!level.SetItemID(assembly))
            return std::nullopt;
        const std::optional<double> nested = level.rollUp(cost, path);
        if (!nested)
            return std::nullopt;
        sum = *nested * qty + sum;
    }
    return sum;
}

double BillRate::getAssemblyRate() {
    RollUpPath path;
    return rollUp(false, path).value_or(0);
}

double BillRate::getAssemblyCost() {
    RollUpPath path;
    return rollUp(true, path).value_or(0);
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
