// A stand-in for the desktop's program that records every target it is handed, and a fixed
// answer to what a file holds.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/desktop/Desktop.h"

namespace zl::desktop {

// Records every target and answers with a fixed result. Installs itself on
// construction and restores the default on destruction.
class ScriptedOpener : public Opener {
  public:
    explicit ScriptedOpener(bool result = true);
    ~ScriptedOpener() override;
    ScriptedOpener(const ScriptedOpener&) = delete;
    ScriptedOpener& operator=(const ScriptedOpener&) = delete;

    bool Open(const std::string& target) override;
    std::vector<std::string> Targets() const;

  private:
    bool result_;
    mutable std::mutex mutex_;
    std::vector<std::string> targets_;
};

// Answers every file with the same types. Installs itself on construction and restores the
// default on destruction.
class FixedContentTypes : public ContentTypes {
  public:
    explicit FixedContentTypes(FileTypes types);
    ~FixedContentTypes() override;
    FixedContentTypes(const FixedContentTypes&) = delete;
    FixedContentTypes& operator=(const FixedContentTypes&) = delete;

    FileTypes TypesOf(const std::string&) override { return types_; }

  private:
    FileTypes types_;
};

}  // namespace zl::desktop
