#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/com/ErrorInfo.h"
#include "platform/com/Registry.h"
#include "tests/support/TempConfigHome.h"

namespace zl::com {
namespace {

constexpr GUID kFirst = GuidOf("{A4FE73F5-27A6-42F1-98FE-A30D834A4FC4}");
constexpr GUID kSecond = GuidOf("{11111111-2222-3333-4444-555555555555}");

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class ClassStore : public ::testing::Test {
  protected:
    test::TempConfigHome config;
};

TEST_F(ClassStore, LivesUnderXdgConfigHome) {
    EXPECT_EQ(ClassStorePath(), config.StoreFile());
    RegisterClassEntry({kFirst, "/opt/lib/libX.so", "Apartment", "X.Obj", "X Object"});
    EXPECT_EQ(Contents(config.StoreFile()),
              "{A4FE73F5-27A6-42F1-98FE-A30D834A4FC4}\t/opt/lib/libX.so\tApartment\tX.Obj\t"
              "X Object\n");
    for (const char* folder : {"/tesmond", "/tesmond/zlm"}) {
        struct stat info {};
        ASSERT_EQ(::stat((config.Path() + folder).c_str(), &info), 0) << folder;
        EXPECT_EQ(info.st_mode & 0777, 0700u) << folder;
    }
}

TEST_F(ClassStore, FallsBackToHomeConfig) {
    test::TempConfigHome home;
    const char* savedHome = std::getenv("HOME");
    const std::string saved = savedHome ? savedHome : "";
    ::setenv("HOME", home.Path().c_str(), 1);
    for (const char* xdg : {"", "relative/path"}) {
        ::setenv("XDG_CONFIG_HOME", xdg, 1);
        EXPECT_EQ(ClassStorePath(), home.Path() + "/.config/tesmond/zlm/classes") << xdg;
    }
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(ClassStorePath(), home.Path() + "/.config/tesmond/zlm/classes");
    ::setenv("HOME", saved.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", config.Path().c_str(), 1);
}

TEST_F(ClassStore, RegistersFindsReplacesAndRemoves) {
    EXPECT_FALSE(FindClassEntry(kFirst));
    RegisterClassEntry({kFirst, "/a/lib\tone.so", "Apartment", "A.Obj", "back\\slash\nline"});
    RegisterClassEntry({kSecond, "/b/libtwo.so", "Both", "B.Obj", "Two"});
    auto first = FindClassEntry(kFirst);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->libraryPath, "/a/lib\tone.so");
    EXPECT_EQ(first->threadingModel, "Apartment");
    EXPECT_EQ(first->progId, "A.Obj");
    EXPECT_EQ(first->description, "back\\slash\nline");

    RegisterClassEntry({kFirst, "/c/libnew.so", "Apartment", "A.Obj", "New"});
    first = FindClassEntry(kFirst);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->libraryPath, "/c/libnew.so");
    EXPECT_EQ(FindClassEntry(kSecond)->description, "Two");

    EXPECT_TRUE(UnregisterClassEntry(kFirst));
    EXPECT_FALSE(UnregisterClassEntry(kFirst));
    EXPECT_FALSE(FindClassEntry(kFirst));
    EXPECT_TRUE(FindClassEntry(kSecond));
    EXPECT_EQ(Contents(config.StoreFile()),
              "{11111111-2222-3333-4444-555555555555}\t/b/libtwo.so\tBoth\tB.Obj\tTwo\n");
}

TEST_F(ClassStore, RewritesByRenameAndKeepsForeignLines) {
    RegisterClassEntry({kSecond, "/b/libtwo.so", "Both", "B.Obj", "Two"});
    {
        std::ofstream out(config.StoreFile(), std::ios::app);
        out << "not a class line\n";
    }
    struct stat before {};
    ASSERT_EQ(::stat(config.StoreFile().c_str(), &before), 0);
    RegisterClassEntry({kFirst, "/a/libone.so", "Apartment", "A.Obj", "One"});
    struct stat after {};
    ASSERT_EQ(::stat(config.StoreFile().c_str(), &after), 0);
    // A new file took the old one's place: the old one was never written in place.
    EXPECT_NE(before.st_ino, after.st_ino);
    EXPECT_EQ(Contents(config.StoreFile()),
              "{11111111-2222-3333-4444-555555555555}\t/b/libtwo.so\tBoth\tB.Obj\tTwo\n"
              "not a class line\n"
              "{A4FE73F5-27A6-42F1-98FE-A30D834A4FC4}\t/a/libone.so\tApartment\tA.Obj\tOne\n");
    int files = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator(config.Path() + "/tesmond/zlm"))
        ++files;
    EXPECT_EQ(files, 1);
}

TEST_F(ClassStore, UnknownClassIsNotRegistered) {
    void* out = reinterpret_cast<void*>(1);
    const HRESULT hr = CoCreateInstance(kFirst, IID_IUnknown, &out);
    EXPECT_EQ(hr, REGDB_E_CLASSNOTREG);
    EXPECT_EQ(static_cast<std::uint32_t>(hr), 0x80040154u);
    EXPECT_EQ(out, nullptr);
    try {
        OleCheck(hr);
        FAIL() << "no exception";
    } catch (const OleError& e) {
        EXPECT_STREQ(e.what(), "Class not registered");
    }
    EXPECT_EQ(CoCreateInstance(kFirst, IID_IUnknown, nullptr), E_POINTER);
}

TEST_F(ClassStore, MissingLibraryOrEntryPointIsNotAvailable) {
    RegisterClassEntry({kFirst, config.Path() + "/nothing.so", "Apartment", "A.Obj", "One"});
    void* out = nullptr;
    EXPECT_EQ(CoCreateInstance(kFirst, IID_IUnknown, &out), CLASS_E_CLASSNOTAVAILABLE);
    auto info = GetErrorInfo();
    ASSERT_TRUE(info);
    EXPECT_EQ(info->description.rfind("Cannot load " + config.Path() + "/nothing.so: ", 0), 0u)
        << info->description;

    RegisterClassEntry({kFirst, "libm.so.6", "Apartment", "A.Obj", "One"});
    EXPECT_EQ(CoCreateInstance(kFirst, IID_IUnknown, &out), CLASS_E_CLASSNOTAVAILABLE);
    info = GetErrorInfo();
    ASSERT_TRUE(info);
    EXPECT_EQ(info->description, "libm.so.6 does not export DllGetClassObject");

    EXPECT_EQ(RegisterServerLibrary("libm.so.6"), E_FAIL);
    EXPECT_EQ(GetErrorInfo()->description, "libm.so.6 does not export DllRegisterServer");
}

}  // namespace
}  // namespace zl::com
