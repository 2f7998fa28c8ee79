// Pricing: the rate and cost of a billable item valid today, assembly roll-ups, a line's
// customer tax and exchange rate, a line's total and a document's total.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/db/Query.h"

namespace zl {

class BillRate {
  public:
    BillRate() = default;
    BillRate(const BillRate&) = delete;
    BillRate& operator=(const BillRate&) = delete;

    // Opens the item's billable row and its rates; the getters below work on this item. False
    // when a query could not be opened (the user has been told).
    bool SetItemID(int id);
    // The selling rate (cost) valid today: the first valid row in order of end date, else the
    // row with the latest end date, else 0.
    double getRate();
    double getCost();
    // The sum over the assembly's lines of their item's rate (cost) times quantity, nested
    // assemblies rolled up in turn. A line that repeats an assembly on its own path adds nothing.
    // 0 when a query of the roll-up could not be opened: the roll-up stops at the first.
    double getAssemblyRate();
    double getAssemblyCost();
    // entity_taxrate of the line's customer; 0 without a row.
    double getCustomerTaxRate(int docItemId);
    // Writes doc_item_total of the dataset's current row (edit or insert state); does not post.
    void CalcItemTotal(db::Query& ds);
    double calcDocTotal(int docId);
    // The exchange rate of the line's customer valid today, the last valid row winning; 1.0
    // without one.
    double getROE(int docItemId);

    db::Query qItem;
    db::Query qBillItems;
    db::Query qRates;
    db::Query qCust;
    db::Query qTotal;
    int ItemId = 0;

  private:
    // One roll-up from its top assembly down.
    struct RollUp {
        bool cost = false;
        std::string tag;
        // The assemblies on the way down from the top.
        std::vector<int> path;
        bool cycleLogged = false;
        // The rate (cost) of each component and service met so far, and the sum of each
        // assembly on no cycle, which is the same on every path: each is priced once.
        std::unordered_map<int, double> items;
        std::unordered_map<int, double> assemblies;
    };
    double rateOfDay(const char* column, const char* tag);
    // The sum of the current item's lines. `shallowestCut` becomes the place on the path,
    // counted from the top, of the highest assembly whose repeated line was left out below
    // (unchanged when none was). Nothing when a query could not be opened (already reported).
    std::optional<double> rollUp(RollUp& run, std::size_t& shallowestCut);
    // The roll-up of the current item; 0 when a query could not be opened.
    double rollUpFromTop(bool cost);
};

}  // namespace zl
