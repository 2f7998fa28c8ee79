#include "platform/desktop/Desktop.h"

#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <string_view>
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
std::atomic<ContentTypes*> installedTypes{nullptr};

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

void InstallContentTypes(ContentTypes* types) {
    installedTypes.store(types);
}

std::string RefusedType(const FileTypes& types) {
    static const std::array<std::string_view, 11> kDocuments = {"application/pdf",
                                                                "application/rtf",
                                                                "text/rtf",
                                                                "text/plain",
                                                                "text/csv",
                                                                "text/tab-separated-values",
                                                                "text/html",
                                                                "application/xhtml+xml",
                                                                "application/msword",
                                                                "application/vnd.ms-excel",
                                                                "application/vnd.ms-powerpoint"};
    static const std::array<std::string_view, 3> kDocumentFamilies = {
        "image/", "application/vnd.oasis.opendocument.",
        "application/vnd.openxmlformats-officedocument."};
    // What the bytes of a document of the types above may look like on their own.
    static const std::array<std::string_view, 5> kContainers = {
        "application/octet-stream", "application/zip", "application/x-ole-storage", "text/plain",
        "application/x-zerosize"};
    const auto isDocument = [](std::string_view type) {
        return std::find(kDocuments.begin(), kDocuments.end(), type) != kDocuments.end() ||
               std::any_of(kDocumentFamilies.begin(), kDocumentFamilies.end(),
                           [type](std::string_view family) { return type.starts_with(family); });
    };
    const bool contentFits =
        types.byContent.empty() || isDocument(types.byContent) ||
        std::find(kContainers.begin(), kContainers.end(), types.byContent) != kContainers.end();
    if (!contentFits)
        return types.byContent;
    if (!types.byName.empty() && types.byName != "application/octet-stream" &&
        !isDocument(types.byName))
        return types.byName;
    if (!isDocument(types.overall))
        return types.overall.empty() ? "unknown" : types.overall;
    return {};
}

OpenResult OpenDocument(const std::string& path, FileTypes& types, std::string& refused) {
    ContentTypes* lookUp = installedTypes.load();
    types = lookUp ? lookUp->TypesOf(path) : FileTypes{};
    refused = RefusedType(types);
    if (!refused.empty())
        return OpenResult::Refused;
    return OpenWithDesktop(path) ? OpenResult::Opened : OpenResult::NotStarted;
}

}  // namespace zl::desktop
