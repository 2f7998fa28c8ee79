// Restores the one settings object after a test changes it.
#pragma once

#include "platform/format/Format.h"

namespace zl::format::test {

class SettingsGuard {
  public:
    SettingsGuard() : saved_(Settings()) {}
    ~SettingsGuard() { Settings() = saved_; }
    SettingsGuard(const SettingsGuard&) = delete;
    SettingsGuard& operator=(const SettingsGuard&) = delete;

  private:
    FormatSettings saved_;
};

}  // namespace zl::format::test
