// zelmar-setup: lays out the per-user data folder before the program's first start.
#include <iostream>
#include <string>
#include <vector>

#include "platform/com/Com.h"
#include "platform/com/Registry.h"
#include "platform/desktop/Desktop.h"
#include "setup/Installer.h"

int main() {
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
