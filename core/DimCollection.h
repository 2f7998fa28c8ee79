// Every entity kind's metadata, loaded once from table `dimension` and found by id.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/DimensionTable.h"
#include "platform/ui/Prompter.h"

namespace zl {

class DimCollection {
  public:
    // Loads one DimensionTable for each row of `dimension`, in the table's order.
    DimCollection();
    DimCollection(const DimCollection&) = delete;
    DimCollection& operator=(const DimCollection&) = delete;

    // The kind with that id, or nullptr.
    DimensionTable* Find(int id) const;
    // The same for a caller that cannot go on without it: a missing kind (reported to the user
    // at start-up) is written to the error log under `tag`.
    DimensionTable* Require(int id, const std::string& tag) const;
    // Whether some kind is being added or edited.
    bool AnyInEdit() const;
    int Count() const { return static_cast<int>(tables_.size()); }
    // Of the ids given, those that have no kind loaded, in the order given.
    std::vector<int> Missing(const std::vector<int>& ids) const;

  private:
    std::vector<std::unique_ptr<DimensionTable>> tables_;
};

// Every dimension id that the program's screens and frames ask for.
const std::vector<int>& ProgramDimensionIds();

// Tells the user once, in one message, which of the program's dimension ids the database
// lacks; false when some are missing. The screens that need a missing kind do not open.
bool ReportMissingDimensions(const DimCollection& dimensions, ui::WindowHandle owner);

}  // namespace zl
