// The class factory of ReportObject and the library's four exports.
#include <dlfcn.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/com/ErrorInfo.h"
#include "platform/com/Registry.h"
#include "reportserver/ReportObject.h"

using namespace zl::com;
using zl::reportserver::CLSID_ReportObject;
using zl::reportserver::TReportObject;

namespace {

std::atomic<int> serverLocks{0};

// One factory for the life of the library; its references do not keep the library loaded.
class ReportObjectFactory final : public IClassFactory {
  public:
    HRESULT QueryInterface(const GUID& iid, void** out) override {
        if (!out)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    std::uint32_t AddRef() override { return 2; }
    std::uint32_t Release() override { return 1; }

    // Every call makes a new object.
    HRESULT CreateInstance(IUnknown* outer, const GUID& iid, void** out) override {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        TReportObject* object = nullptr;
        const HRESULT created = SafeCall(IID_IClassFactory, zl::reportserver::kReportObjectProgId,
                                         [&] { object = new TReportObject(); });
        if (Failed(created))
            return created;
        const HRESULT hr = object->QueryInterface(iid, out);
        object->Release();
        return hr;
    }
    HRESULT LockServer(bool lock) override {
        serverLocks += lock ? 1 : -1;
        return S_OK;
    }
};

ReportObjectFactory factory;

// A function of this library, whose address tells dladdr which file the library is.
void Anchor() {}

std::string LibraryPath() {
    Dl_info info{};
    if (!::dladdr(reinterpret_cast<void*>(&Anchor), &info) || !info.dli_fname)
        throw std::runtime_error("Cannot find the path of the report server library.");
    std::unique_ptr<char, decltype(&std::free)> full(::realpath(info.dli_fname, nullptr),
                                                     &std::free);
    return full ? full.get() : info.dli_fname;
}

}  // namespace

extern "C" {

[[gnu::visibility("default")]] HRESULT DllGetClassObject(const GUID& clsid, const GUID& iid,
                                                         void** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!(clsid == CLSID_ReportObject))
        return CLASS_E_CLASSNOTAVAILABLE;
    return factory.QueryInterface(iid, out);
}

[[gnu::visibility("default")]] HRESULT DllCanUnloadNow() {
    return zl::reportserver::LiveObjectCount() == 0 && serverLocks == 0 ? S_OK : S_FALSE;
}

[[gnu::visibility("default")]] HRESULT DllRegisterServer() {
    return SafeCall(IID_IUnknown, zl::reportserver::kReportObjectProgId, [] {
        RegisterClassEntry(
            {CLSID_ReportObject, LibraryPath(), zl::reportserver::kReportObjectThreading,
             zl::reportserver::kReportObjectProgId, zl::reportserver::kReportObjectDescription});
    });
}

[[gnu::visibility("default")]] HRESULT DllUnregisterServer() {
    return SafeCall(IID_IUnknown, zl::reportserver::kReportObjectProgId,
                    [] { UnregisterClassEntry(CLSID_ReportObject); });
}

}  // extern "C"
