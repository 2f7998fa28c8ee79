#include "platform/desktop/Desktop.h"

#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <thread>

extern char** environ;

namespace zl::desktop {

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

// Starts `xdg-open target` and reaps it on a detached thread, so no zombie remains and the
// caller never waits for the desktop's program.
class XdgOpener : public Opener {
  public:
    bool Open(const std::string& target) override {
        std::string program = "xdg-open";
        std::string argument = target;
        char* argv[] = {program.data(), argument.data(), nullptr};
        pid_t pid = 0;
        if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv, environ) != 0) {
            return false;
        }
        try {
            std::thread([pid] {
                int status = 0;
                while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
                }
            }).detach();
        } catch (...) {
            // No thread: reap it here rather than leave a zombie.
            int status = 0;
            waitpid(pid, &status, 0);
        }
        return true;
    }
};

XdgOpener defaultOpener;
std::atomic<Opener*> installedOpener{nullptr};

}  // namespace

std::string UserDataFolder() {
    std::string base = Env("XDG_DATA_HOME");
    if (base.empty()) {
        std::string home = Env("HOME");
        if (home.empty()) {
            return {};
        }
        base = home + "/.local/share";
    }
    return base + "/tesmond/zlm/";
}

Opener& CurrentOpener() {
    Opener* opener = installedOpener.load();
    return opener ? *opener : defaultOpener;
}

void InstallOpener(Opener* opener) {
    installedOpener.store(opener);
}

bool OpenWithDesktop(const std::string& target) {
    return CurrentOpener().Open(target);
}

}  // namespace zl::desktop
