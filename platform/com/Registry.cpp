#include "platform/com/Registry.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "platform/com/ErrorInfo.h"

namespace zl::com {
namespace {

std::string Escape(const std::string& field) {
    std::string out;
    for (char c : field) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

std::vector<std::string> SplitFields(const std::string& line) {
    std::vector<std::string> fields(1);
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\t') {
            fields.emplace_back();
        } else if (c == '\\' && i + 1 < line.size()) {
            const char next = line[++i];
            fields.back() += next == 't' ? '\t' : next == 'n' ? '\n' : next;
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

std::optional<ClassEntry> ParseLine(const std::string& line) {
    const std::vector<std::string> f = SplitFields(line);
    if (f.size() != 5)
        return std::nullopt;
    const std::optional<GUID> clsid = ParseGuid(f[0]);
    if (!clsid)
        return std::nullopt;
    return ClassEntry{*clsid, f[1], f[2], f[3], f[4]};
}

std::string FormatLine(const ClassEntry& e) {
    return FormatGuid(e.clsid) + '\t' + Escape(e.libraryPath) + '\t' + Escape(e.threadingModel) +
           '\t' + Escape(e.progId) + '\t' + Escape(e.description);
}

std::string ConfigHome() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/')
        return xdg;
    const char* home = std::getenv("HOME");
    if (!home || home[0] == '\0')
        throw std::runtime_error("Neither XDG_CONFIG_HOME nor HOME names a folder.");
    return std::string(home) + "/.config";
}

std::string StoreFolder() {
    return ConfigHome() + "/tesmond/zlm";
}

std::vector<std::string> ReadLines() {
    std::vector<std::string> lines;
    std::ifstream in(ClassStorePath());
    for (std::string line; std::getline(in, line);) {
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}

// Creates each missing folder of the path with mode 0700.
void MakeFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string prefix = folder.substr(0, slash);
        if (::mkdir(prefix.c_str(), 0700) != 0) {
            const int error = errno;
            struct stat info {};
            if (::stat(prefix.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
                throw std::runtime_error("Cannot create the folder " + prefix + ": " +
                                         std::strerror(error));
        }
        if (slash == std::string::npos)
            return;
    }
}

// Closes a descriptor and removes a temporary file unless it was renamed into place.
class TempFile {
  public:
    explicit TempFile(const std::string& folder) : path_(folder + "/classes.XXXXXX") {
        fd_ = ::mkstemp(path_.data());
        if (fd_ < 0)
            throw std::runtime_error("Cannot create a file in " + folder + ": " +
                                     std::strerror(errno));
    }
    ~TempFile() {
        if (fd_ >= 0)
            ::close(fd_);
        if (!committed_)
            ::unlink(path_.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    void WriteAndRename(const std::string& text, const std::string& target) {
        for (std::size_t done = 0; done < text.size();) {
            const ssize_t n = ::write(fd_, text.data() + done, text.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                throw std::runtime_error("Cannot write " + path_ + ": " + std::strerror(errno));
            done += static_cast<std::size_t>(n);
        }
        if (::fsync(fd_) != 0 || ::close(fd_) != 0) {
            fd_ = -1;
            throw std::runtime_error("Cannot write " + path_ + ": " + std::strerror(errno));
        }
        fd_ = -1;
        if (::rename(path_.c_str(), target.c_str()) != 0)
            throw std::runtime_error("Cannot replace " + target + ": " + std::strerror(errno));
        committed_ = true;
    }

  private:
    std::string path_;
    int fd_ = -1;
    bool committed_ = false;
};

void WriteLines(const std::vector<std::string>& lines) {
    const std::string folder = StoreFolder();
    MakeFolders(folder);
    std::string text;
    for (const std::string& line : lines)
        text += line + '\n';
    TempFile(folder).WriteAndRename(text, folder + "/classes");
}

bool LineIsClass(const std::string& line, const GUID& clsid) {
    const std::optional<ClassEntry> entry = ParseLine(line);
    return entry && entry->clsid == clsid;
}

// Loads a library for the life of the process and finds one export; nullptr with an error-info
// record when either fails.
void* LoadExport(const std::string& path, const char* name) {
    void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* why = ::dlerror();
        SetErrorInfo(IID_IUnknown, "", "Cannot load " + path + ": " + (why ? why : ""));
        return nullptr;
    }
    void* symbol = ::dlsym(library, name);
    if (!symbol)
        SetErrorInfo(IID_IUnknown, "", path + " does not export " + name);
    return symbol;
}

}  // namespace

std::string ClassStorePath() {
    return StoreFolder() + "/classes";
}

void RegisterClassEntry(const ClassEntry& entry) {
    std::vector<std::string> lines = ReadLines();
    std::erase_if(lines, [&](const std::string& line) { return LineIsClass(line, entry.clsid); });
    lines.push_back(FormatLine(entry));
    WriteLines(lines);
}

bool UnregisterClassEntry(const GUID& clsid) {
    std::vector<std::string> lines = ReadLines();
    if (std::erase_if(lines, [&](const std::string& line) { return LineIsClass(line, clsid); }) ==
        0)
        return false;
    WriteLines(lines);
    return true;
}

std::optional<ClassEntry> FindClassEntry(const GUID& clsid) {
    for (const std::string& line : ReadLines()) {
        std::optional<ClassEntry> entry = ParseLine(line);
        if (entry && entry->clsid == clsid)
            return entry;
    }
    return std::nullopt;
}

HRESULT CoCreateInstance(const GUID& clsid, const GUID& iid, void** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    ClearErrorInfo();
    std::optional<ClassEntry> entry;
    try {
        entry = FindClassEntry(clsid);
    } catch (const std::exception& e) {
        SetErrorInfo(IID_IUnknown, "", e.what());
        return REGDB_E_CLASSNOTREG;
    }
    if (!entry)
        return REGDB_E_CLASSNOTREG;
    auto getClassObject =
        reinterpret_cast<DllGetClassObjectFn>(LoadExport(entry->libraryPath, "DllGetClassObject"));
    if (!getClassObject)
        return CLASS_E_CLASSNOTAVAILABLE;
    IClassFactory* factory = nullptr;
    HRESULT hr = getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (Failed(hr))
        return hr;
    hr = factory->CreateInstance(nullptr, iid, out);
    factory->Release();
    return hr;
}

HRESULT RegisterServerLibrary(const std::string& path) {
    auto registerServer =
        reinterpret_cast<DllRegisterServerFn>(LoadExport(path, "DllRegisterServer"));
    return registerServer ? registerServer() : E_FAIL;
}

}  // namespace zl::com
