// Class registration and creation by class id.
//
// The store is one file per user, $XDG_CONFIG_HOME/tesmond/zlm/classes ($HOME/.config when
// XDG_CONFIG_HOME is unset, empty or relative). Each line is one class, five fields separated by
// a tab:
//   {CLSID}  library path  threading model  ProgID  description
// In a field, "\\" stands for a backslash, "\t" for a tab and "\n" for a line feed. Lines that do
// not read as a class are kept as they are when the file is rewritten. Every write goes to a
// temporary file in the same folder, then replaces the store by rename.
#pragma once

#include <optional>
#include <string>

#include "platform/com/Com.h"

namespace zl::com {

struct ClassEntry {
    GUID clsid;
    std::string libraryPath;
    std::string threadingModel;
    std::string progId;
    std::string description;
};

// The store's path; raises std::runtime_error when neither variable gives a folder.
std::string ClassStorePath();

// Adds the entry, replacing one with the same class id. Raises std::runtime_error when the
// store cannot be written.
void RegisterClassEntry(const ClassEntry& entry);
// Removes the class; false when it was not registered.
bool UnregisterClassEntry(const GUID& clsid);
std::optional<ClassEntry> FindClassEntry(const GUID& clsid);

// Looks the class up, loads its library (kept loaded for the life of the process) and asks its
// class factory for an object with interface iid. REGDB_E_CLASSNOTREG when the class is not
// registered; CLASS_E_CLASSNOTAVAILABLE, with an error-info record saying why, when the library
// or its DllGetClassObject cannot be found.
HRESULT CoCreateInstance(const GUID& clsid, const GUID& iid, void** out);

// Loads the library at `path` and runs its DllRegisterServer; E_FAIL, with an error-info record,
// when the library or the export cannot be found.
HRESULT RegisterServerLibrary(const std::string& path);

}  // namespace zl::com
