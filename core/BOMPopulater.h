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

    // Replaces the contents of bom by the expansion of document docId.
    void Populate(int docId);
    // An assembly that lies on its own path is not expanded again: the repeated line adds
    // nothing, and the first such line of a Populate run is logged.
    void processAssembly(int assemblyId, double multiplier);
    void processComponent(int componentId, double qty);
    void processService(int serviceId, double qty);
    // One bom row in a transaction of its own.
    void appendRec(const std::string& descr, const std::string& code, double qty,
                   const std::string& units);

    db::Query qBom;
    db::Query qLines;
    db::Query qBillable;

  private:
    void processBillable(int billableId, double qty, const std::string& tag);

    // The assemblies on the way down from the document line being expanded.
    std::vector<int> path_;
    bool cycleLogged_ = false;
};

}  // namespace zl
