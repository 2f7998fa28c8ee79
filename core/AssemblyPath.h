// The chain of assemblies being walked from a top assembly down to the current one, which both
// the price roll-up and the bill-of-materials expansion keep to refuse an assembly that
// contains itself.
#pragma once

#include <vector>

namespace zl {

// An assembly on the path for as long as its lines are being walked.
class AssemblyPathStep {
  public:
    AssemblyPathStep(std::vector<int>& path, int assemblyId) : path_(path) {
        path_.push_back(assemblyId);
    }
    ~AssemblyPathStep() { path_.pop_back(); }
    AssemblyPathStep(const AssemblyPathStep&) = delete;
    AssemblyPathStep& operator=(const AssemblyPathStep&) = delete;

  private:
    std::vector<int>& path_;
};

}  // namespace zl
