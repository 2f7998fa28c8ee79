// Every entity kind's metadata, loaded once from table `dimension` and found by id.
#pragma once

#include <memory>
#include <vector>

#include "core/DimensionTable.h"

namespace zl {

class DimCollection {
  public:
    // Loads one DimensionTable for each row of `dimension`, in the table's order.
    DimCollection();
    DimCollection(const DimCollection&) = delete;
    DimCollection& operator=(const DimCollection&) = delete;

    // The kind with that id, or nullptr.
    DimensionTable* Find(int id) const;
    // Whether some kind is being added or edited.
    bool AnyInEdit() const;
    int Count() const { return static_cast<int>(tables_.size()); }

  private:
    std::vector<std::unique_ptr<DimensionTable>> tables_;
};

}  // namespace zl
