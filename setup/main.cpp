// zelmar-setup: lays out the per-user data folder before the program's first start.
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/Com.h"
#include "platform/com/Registry.h"
#include "platform/desktop/Desktop.h"
#include "setup/Installer.h"

namespace {

constexpr const char* kUsage =
    "Usage: zelmar-setup [--help]\n"
    "Lays out the per-user data folder of Zelmar ($XDG_DATA_HOME/tesmond/zlm/, by default\n"
    "~/.local/share/tesmond/zlm/): the databases, the local pages, the sample template and the\n"
    "first folder of the document repository, each only where it is missing, and registers\n"
    "the report server.\n"
    "A file that exists is never changed.\n"
    "  --help  shows this text and changes nothing\n";

}  // namespace

int main(int argc, char** argv) {
    // Arguments are read before anything is touched: a mistyped one sets up nothing.
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument != "--help") {
            std::cerr << "zelmar-setup: unknown argument \"" << argument << "\"\n" << kUsage;
            return 2;
        }
    }
    if (argc > 1) {
        std::cout << kUsage;
        return 0;
    }
    const std::string folder = zl::desktop::UserDataFolder();
    if (folder.empty()) {
        std::cerr << "zelmar-setup: neither XDG_DATA_HOME nor HOME names a home folder.\n";
        return 1;
    }
    try {
        std::vector<std::string> movedAside;
        const auto created = zl::setup::Install(folder, &movedAside);
        for (const auto& path : movedAside)
            std::cout << "Moved aside " << path
                      << ": the journal of a database that is missing, kept for inspection; "
                         "it must not be replayed into the new database.\n";
        if (created.empty()) {
            std::cout << "The data folder " << folder << " is complete; nothing was changed.\n";
        } else {
            std::cout << "Created in " << folder << ":\n";
            for (const auto& path : created)
                std::cout << "  " << path << "\n";
        }
    } catch (const std::exception& e) {
        std::cerr << "zelmar-setup: " << e.what() << "\n";
        return 1;
    }
    // The program creates the report server by class id: record where its library is.
    const zl::com::HRESULT registered = zl::com::RegisterServerLibrary(ZELMAR_REPORTSERVER_PATH);
    if (zl::com::Failed(registered)) {
        std::cerr << "zelmar-setup: the report server " << ZELMAR_REPORTSERVER_PATH
                  << " could not be registered.\n";
        return 1;
    }
    std::cout << "Registered the report server " << ZELMAR_REPORTSERVER_PATH << ".\n";
    return 0;
}
