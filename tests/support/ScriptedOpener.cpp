#include "tests/support/ScriptedOpener.h"

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

}  // namespace zl::desktop
