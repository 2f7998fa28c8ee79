#include "platform/desktop/Desktop.h"

#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <thread>

extern char** environ;

namespace zl::desktop {

namespace {

std::string LowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

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

bool IsProgramFile(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::perms perms = fs::status(path, error).permissions();
    if (!error && (perms & (fs::perms::owner_exec | fs::perms::group_exec |
                            fs::perms::others_exec)) != fs::perms::none)
        return true;
    static const std::array<std::string_view, 12> kProgramExtensions = {
        ".desktop", ".exe", ".com",      ".bat", ".cmd", ".msi",
        ".sh",      ".run", ".appimage", ".jar", ".scr", ".pif"};
    const std::string extension = LowerCase(fs::path(path).extension().string());
    if (std::find(kProgramExtensions.begin(), kProgramExtensions.end(), extension) !=
        kProgramExtensions.end())
        return true;
    // A program whatever its name: an ELF or Windows binary, or a script naming its interpreter.
    char head[4] = {};
    std::ifstream in(path, std::ios::binary);
    in.read(head, sizeof head);
    const std::string_view start(head, static_cast<std::size_t>(in.gcount()));
    return start.starts_with(
               "\x7F"
               "ELF") ||
           start.starts_with("MZ") || start.starts_with("#!");
}

}  // namespace zl::desktop
