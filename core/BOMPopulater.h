// The bill of materials of one document: its lines exploded into services and components,
// assemblies expanded through their lines with quantities multiplied down the levels, written
// into the scratch table bom of the metadata database.
#pragma once

#include <string>
#include <vector>

#include "platform/db/Query.h"

namespace zl {

class BOMPopulater {
  public:
    BOMPopulater();
    BOMPopulater(const BOMPopulater&) = delete;
    BOMPopulater& operator=(const BOMPopulater&) = delete;

    // Replaces the contents of bom by the expansion of document docId, emptying and refilling
    // it in one transaction of the metadata connection. False when the run failed (the user has
    // been told); bom is then left empty, so that it never holds another document's rows.
    bool Populate(int docId);

    // The expansion, gathered before anything is written. Each returns false when a query
    // could not be opened (the user has been told) and the run must stop.
    // An assembly that lies on its own path is not expanded again: the repeated line adds
    // nothing, and the first such line of a Populate run is logged.
    bool processAssembly(int assemblyId, double multiplier);
    bool processComponent(int componentId, double qty);
    bool processService(int serviceId, double qty);

    // One row of the expansion.
    struct Row {
        std::string descr;
        std::string code;
        std::string units;
        double qty = 0;
    };
    const std::vector<Row>& Rows() const { return rows_; }

    db::Query qBom;
    db::Query qLines;
    db::Query qBillable;

  private:
    bool processBillable(int billableId, double qty, const std::string& tag);
    // Writes the gathered rows under the keys given, inside Populate's transaction; raises on
    // failure and shows nothing.
    void writeRows(const std::vector<int>& keys);
    // Writes one bom row into qBom, open on bom inside the transaction. A row that cannot be
    // appended or stored raises, and the run ends.
    void appendRec(const Row& row, int key);
    // Ends a failed run whose failure has been reported: bom is emptied as far as possible.
    bool stop();
    // Ends a failed run: bom is emptied, then the failure is logged and shown.
    bool fail(const std::string& message);

    std::vector<Row> rows_;
    // The assemblies on the way down from the document line being expanded.
    std::vector<int> path_;
    bool cycleLogged_ = false;
};

}  // namespace zl
