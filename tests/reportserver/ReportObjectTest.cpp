#include <dlfcn.h>
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "core/DataMod.h"
#include "core/Globals.h"
#include "platform/com/Bstr.h"
#include "platform/com/ErrorInfo.h"
#include "platform/com/Registry.h"
#include "tests/support/Dispatch.h"
#include "tests/support/FakeReportServer.h"
#include "tests/support/TempConfigHome.h"
#include "tests/support/TestDataFolder.h"

namespace zl::reportserver {
namespace {

using namespace com;

// The built library, loaded once; the object model keeps its own handle to the same file.
void* Library() {
    static void* handle = ::dlopen(ZELMAR_REPORTSERVER_PATH, RTLD_NOW | RTLD_LOCAL);
    return handle;
}

template <class Fn>
Fn Export(const char* name) {
    return reinterpret_cast<Fn>(::dlsym(Library(), name));
}

class ReportServerTest : public ::testing::Test, public test::Dispatch {
  protected:
    void SetUp() override {
        ASSERT_NE(Library(), nullptr) << ::dlerror();
        ASSERT_EQ(RegisterServerLibrary(ZELMAR_REPORTSERVER_PATH), S_OK);
        server = test::CreateReportObject();
        ASSERT_TRUE(server);
        object = server.Get();
    }

    std::string Conn(const std::string& path) const { return program.BuildConnectionString(path); }
    std::string ErrorLog() const { return test::ReadFile(folder.DataFolder() + "zlm.err.log"); }

    HRESULT ConnectAll(const std::string& main, const std::string& meta, const std::string& local) {
        Bstr a(main), b(meta), c(local);
        return server->Connect(a.Get(), b.Get(), c.Get());
    }

    test::TempConfigHome config;
    test::TestDataFolder folder;
    // The program's own data module, only to build connection strings.
    TDataMod program;
    ComPtr<IReportObject> server;
};

TEST_F(ReportServerTest, RegistrationNamesTheLibraryFile) {
    const auto entry = FindClassEntry(CLSID_ReportObject);
    ASSERT_TRUE(entry);
    char full[PATH_MAX];
    ASSERT_NE(::realpath(ZELMAR_REPORTSERVER_PATH, full), nullptr);
    EXPECT_EQ(entry->libraryPath, full);
    EXPECT_EQ(entry->threadingModel, "Apartment");
    EXPECT_EQ(entry->progId, "ZLMReports.ReportObject");
    EXPECT_EQ(entry->description, "ReportObject Object");

    server.Reset();
    auto unregister = Export<DllUnregisterServerFn>("DllUnregisterServer");
    ASSERT_NE(unregister, nullptr);
    EXPECT_EQ(unregister(), S_OK);
    EXPECT_FALSE(FindClassEntry(CLSID_ReportObject));
    try {
        test::CreateReportObject();
        FAIL() << "created without registration";
    } catch (const OleError& e) {
        EXPECT_STREQ(e.what(), "Class not registered");
    }
}

TEST_F(ReportServerTest, AnswersItsThreeInterfacesWithOnePointer) {
    for (const GUID& iid : {IID_IUnknown, IID_IDispatch, IID_IReportObject}) {
        void* out = nullptr;
        ASSERT_EQ(server->QueryInterface(iid, &out), S_OK) << FormatGuid(iid);
        EXPECT_EQ(out, static_cast<void*>(server.Get()));
        static_cast<IUnknown*>(out)->Release();
    }
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(server->QueryInterface(IID_IClassFactory, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(server->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
}

TEST_F(ReportServerTest, CountsReferencesAndObjectsToZero) {
    auto canUnload = Export<DllCanUnloadNowFn>("DllCanUnloadNow");
    ASSERT_NE(canUnload, nullptr);
    EXPECT_EQ(server->AddRef(), 2u);
    EXPECT_EQ(server->Release(), 1u);
    ComPtr<IReportObject> second = test::CreateReportObject();
    EXPECT_NE(second.Get(), server.Get());
    EXPECT_EQ(canUnload(), S_FALSE);
    second.Reset();
    EXPECT_EQ(canUnload(), S_FALSE);
    EXPECT_EQ(server.Detach()->Release(), 0u);
    EXPECT_EQ(canUnload(), S_OK);
}

TEST_F(ReportServerTest, FactoryRefusesAggregationAndHoldsLocks) {
    auto getClassObject = Export<DllGetClassObjectFn>("DllGetClassObject");
    auto canUnload = Export<DllCanUnloadNowFn>("DllCanUnloadNow");
    server.Reset();
    IClassFactory* factory = nullptr;
    void* out = nullptr;
    EXPECT_EQ(getClassObject(IID_IDispatch, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
    ASSERT_EQ(
        getClassObject(CLSID_ReportObject, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
        S_OK);
    // Any outer object is refused.
    EXPECT_EQ(factory->CreateInstance(factory, IID_IUnknown, &out), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &out), E_NOINTERFACE);
    EXPECT_EQ(canUnload(), S_OK);
    EXPECT_EQ(factory->LockServer(true), S_OK);
    EXPECT_EQ(canUnload(), S_FALSE);
    EXPECT_EQ(factory->LockServer(false), S_OK);
    EXPECT_EQ(canUnload(), S_OK);
    factory->Release();
}

TEST_F(ReportServerTest, ExportsOnlyTheFourEntryPoints) {
    for (const char* name :
         {"DllGetClassObject", "DllCanUnloadNow", "DllRegisterServer", "DllUnregisterServer"})
        EXPECT_NE(::dlsym(Library(), name), nullptr) << name;
    // zl::AppVersion, zl::DataMod, TDataMod's constructor and zl::LogError are in the library,
    // but only for itself.
    for (const char* name :
         {"_ZN2zl10AppVersionB5cxx11E", "_ZN2zl7DataModE", "_ZN2zl8TDataModC1ENS_11DeliverableE",
          "_ZN2zl8LogErrorERKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEES7_S7_"})
        EXPECT_EQ(::dlsym(Library(), name), nullptr) << name;
}

TEST_F(ReportServerTest, ConnectsWithoutTouchingTheProgramsDataModule) {
    EXPECT_EQ(ConnectAll(Conn(folder.MainDb()), Conn(folder.MetaDb()), Conn(folder.LocalDb())),
              S_OK);
    EXPECT_EQ(ErrorLog(), "");
    EXPECT_EQ(server->Reconnect(), S_OK);
    EXPECT_EQ(server->Disconnect(), S_OK);
    EXPECT_EQ(server->Reconnect(), S_OK);
    EXPECT_EQ(ErrorLog(), "");
    // The library's data module and version are its own.
    EXPECT_EQ(DataMod, nullptr);
    EXPECT_EQ(AppVersion, TDataMod::ProgramVersion);
}

TEST_F(ReportServerTest, ConnectWithAnUnusableStringStillSucceeds) {
    const std::string missing = folder.DataFolder() + "db/missing.dat";
    EXPECT_EQ(ConnectAll(Conn(folder.MainDb()), Conn(folder.MetaDb()), Conn(missing)), S_OK);
    const std::string log = ErrorLog();
    EXPECT_EQ(log.substr(0, log.find("\r\n")),
              "TDataMod.Connect;Could not find or open file '" + missing +
                  "'.;Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + missing +
                  ";Mode=Share Deny None;Jet OLEDB:System database=\"\";Jet OLEDB:Database "
                  "Password=***;");
    EXPECT_NE(log.find("\r\nTDataMod.openQuery > TReportObject.IReportObject_Connect;"),
              std::string::npos)
        << log;

    EXPECT_EQ(server->Reconnect(), S_OK);
    EXPECT_NE(ErrorLog().find("\r\nTDataMod.openQuery > TReportObject.ReConnect;"),
              std::string::npos)
        << ErrorLog();
}

TEST_F(ReportServerTest, DispatchFindsMembersByName) {
    struct Case {
        const char16_t* name;
        DISPID id;
    };
    for (const Case& c : {Case{u"Connect", 1}, Case{u"connect", 1}, Case{u"REGISTEREDTOCOMPANY", 6},
                          Case{u"GetContactEMail", 7}, Case{u"showweightgraph", 16}}) {
        DISPID id = 0;
        EXPECT_EQ(server->GetIDsOfNames(IID_IUnknown, &c.name, 1, 0, &id), S_OK);
        EXPECT_EQ(id, c.id);
    }
    const char16_t* unknown = u"ShowReports";
    DISPID id = 0;
    EXPECT_EQ(server->GetIDsOfNames(IID_IUnknown, &unknown, 1, 0, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, -1);
    std::uint32_t count = 9;
    EXPECT_EQ(server->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 0u);
}

TEST_F(ReportServerTest, InvokesByNameInReverseArgumentOrder) {
    const char16_t* names[] = {u"RegisteredToCompany"};
    DISPID id = 0;
    ASSERT_EQ(server->GetIDsOfNames(IID_IUnknown, names, 1, 0, &id), S_OK);
    VARIANT value = Str("Tesmond Ltd");
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS put{&value, &named, 1, 1};
    EXPECT_EQ(
        server->Invoke(id, IID_IUnknown, 0, DISPATCH_PROPERTYPUT, &put, nullptr, nullptr, nullptr),
        S_OK);
    EXPECT_EQ(server->Invoke(id, IID_IUnknown, 0, DISPATCH_METHOD, &put, nullptr, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);

    // Invoke takes the last argument first.
    const std::string missing = folder.DataFolder() + "db/nothing.dat";
    EXPECT_EQ(
        Invoke(1, {Str(Conn(missing)), Str(Conn(folder.MetaDb())), Str(Conn(folder.LocalDb()))}),
        S_OK);
    const std::string log = ErrorLog();
    EXPECT_EQ(log.rfind("TDataMod.Connect;", 0), 0u) << log;
    EXPECT_NE(log.find("Data Source=" + missing + ";"), std::string::npos) << log;
    // Only the main connection failed.
    EXPECT_EQ(log.find("openQuery"), std::string::npos) << log;
}

TEST_F(ReportServerTest, InvokeChecksCountsAndTypes) {
    EXPECT_EQ(Invoke(1, {Str("b"), Str("a")}), DISP_E_BADPARAMCOUNT);
    std::uint32_t argErr = 99;
    EXPECT_EQ(Invoke(1, {I4(5), Str("b"), Str("c")}, nullptr, &argErr), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argErr, 2u);  // counted last-first

    EXPECT_EQ(
        server->Invoke(17, IID_IUnknown, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr),
        DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(
        server->Invoke(4, IID_IUnknown, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr),
        S_OK);
}

TEST_F(ReportServerTest, InvokeReportsAFailedMemberAsAnException) {
    // PrintCompletedQuestionnaire before Connect: nothing can be read. The id by reference.
    std::int32_t missing = 999999;
    EXPECT_EQ(Invoke(10, {Ref(&missing), I4(0), Str(folder.DataFolder() + "none.html")}),
              DISP_E_EXCEPTION);
    EXPECT_EQ(failure.scode, E_UNEXPECTED);
    EXPECT_EQ(failure.source, "ZLMReports.ReportObject");
    EXPECT_EQ(failure.description, "Cannot perform this operation on a closed dataset");

    // The address would come back as the result (the out argument left off); without room for
    // the exception's details the failure is still reported.
    VARIANT ids[] = {I4(3), I4(7)};
    DISPPARAMS params{ids, nullptr, 2, 0};
    VARIANT result;
    EXPECT_EQ(
        server->Invoke(7, IID_IUnknown, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr),
        DISP_E_EXCEPTION);
    EXPECT_EQ(result.vt, VT_EMPTY);
}

// The server says it once and fails, so that the program adds nothing; no file is written.
TEST_F(ReportServerTest, AReportIdWithoutADefinitionFailsNamingTheIdAndWritesNoFile) {
    ASSERT_EQ(ConnectAll(Conn(folder.MainDb()), Conn(folder.MetaDb()), Conn(folder.LocalDb())),
              S_OK);
    const std::string file = folder.DataFolder() + "rep907.html";
    EXPECT_EQ(Invoke(2, {I4(907), I4(1), I4(2), I4(0), Str(file)}), DISP_E_EXCEPTION);
    EXPECT_EQ(failure.scode, kReportNotShown);
    EXPECT_EQ(failure.description, "There is no report with id 907.");
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(ErrorLog(), "ZLMReport.Run;There is no report with id 907.;" + file + "\r\n");
}

TEST_F(ReportServerTest, PlannedWeightLossDoesNothingWhateverItIsGiven) {
    IReportObject& r = *server.Get();
    for (const auto& [user, hw] : {std::pair{1, 0}, std::pair{0, 7}, std::pair{-1, -1}})
        EXPECT_EQ(r.ShowPlannedWeightLoss(user, hw), S_OK);
    EXPECT_EQ(ErrorLog(), "");
}

}  // namespace
}  // namespace zl::reportserver
