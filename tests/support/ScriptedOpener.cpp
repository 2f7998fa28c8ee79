#include "tests/support/ScriptedOpener.h"

#include <utility>

namespace zl::desktop {

ScriptedOpener::ScriptedOpener(bool result) : result_(result) {
    InstallOpener(this);
}

ScriptedOpener::~ScriptedOpener() {
    InstallOpener(nullptr);
}

bool ScriptedOpener::Open(const std::string& target) {
    std::lock_guard lock(mutex_);
    targets_.push_back(target);
    return result_;
}

std::vector<std::string> ScriptedOpener::Targets() const {
    std::lock_guard lock(mutex_);
    return targets_;
}

FixedContentTypes::FixedContentTypes(FileTypes types) : types_(std::move(types)) {
    InstallContentTypes(this);
}

FixedContentTypes::~FixedContentTypes() {
    InstallContentTypes(nullptr);
}

}  // namespace zl::desktop
