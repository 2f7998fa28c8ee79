// The per-user data folder and opening files or "mailto:" requests with the desktop's program.
#pragma once

#include <string>

namespace zl::desktop {

// $XDG_DATA_HOME (or $HOME/.local/share) followed by "/tesmond/zlm/"; empty when neither
// variable names a folder.
std::string UserDataFolder();

// Hands a file path or a "mailto:" request to some program.
class Opener {
  public:
    virtual ~Opener() = default;
    // Returns whether the program could be started.
    virtual bool Open(const std::string& target) = 0;
};

// The installed opener; until one is installed (or after nullptr) targets go to `xdg-open`,
// started detached. The caller keeps ownership.
Opener& CurrentOpener();
void InstallOpener(Opener* opener);

// CurrentOpener().Open(target).
bool OpenWithDesktop(const std::string& target);

// Whether a file would run as a program rather than open as a document: executable by
// someone, a binary or script that starts itself, or named like a program or launcher.
bool IsProgramFile(const std::string& path);

}  // namespace zl::desktop
