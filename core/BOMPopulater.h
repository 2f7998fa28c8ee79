// The bill of materials of one document: its lines exploded into services and components,
// assemblies expanded through their lines with quantities multiplied down the levels, written
// into the scratch table bom of the metadata database.
#pragma once

#include <string>
#include <unordered_map>
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
    // One bill_item row of an assembly.
    struct Line {
        int component = 0;
        int service = 0;
        int assembly = 0;
        double qty = 0;
    };
    // The lines of an assembly, read once per run however many paths lead to it; nothing when
    // they could not be read.
    const std::vector<Line>* linesOf(int assemblyId);
    bool processBillable(int billableId, double qty, const std::string& tag);
    // Writes the gathered rows under the keys from `firstKey` on, inside Populate's transaction;
    // raises on failure and shows nothing.
    void writeRows(int firstKey);
    // Writes one bom row into qBom, open on bom inside the transaction. A row that cannot be
    // appended or stored raises, and the run ends.
    void appendRec(const Row& row, int key);
    // Ends a failed run whose failure has been reported: bom is emptied as far as possible.
    bool stop();
    // Ends a failed run: bom is emptied, then the failure is logged and shown.
    bool fail(const std::string& message);

    std::vector<Row> rows_;
    // What this run has read so far, by key: each assembly's lines and each item's row (its
    // quantity left 0).
    std::unordered_map<int, std::vector<Line>> lines_;
    std::unordered_map<int, Row> items_;
    // The assemblies on the way down from the document line being expanded.
    std::vector<int> path_;
    bool cycleLogged_ = false;
};

}  // namespace zl
