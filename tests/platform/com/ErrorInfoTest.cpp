#include <gtest/gtest.h>

#include <thread>

#include "platform/com/ErrorInfo.h"

namespace zl::com {
namespace {

constexpr GUID kIid = GuidOf("{FFD3D6AA-4A1D-4C57-A96F-F326F16C277E}");

TEST(ErrorInfo, IsTakenOnceAndKeptPerThread) {
    SetErrorInfo(kIid, "Source", "Broken");
    std::optional<ErrorInfo> other;
    std::thread([&] {
        other = GetErrorInfo();
        SetErrorInfo(IID_IUnknown, "Elsewhere", "Not here");
    }).join();
    EXPECT_FALSE(other);
    const auto info = GetErrorInfo();
    ASSERT_TRUE(info);
    EXPECT_TRUE(info->iid == kIid);
    EXPECT_EQ(info->source, "Source");
    EXPECT_EQ(info->description, "Broken");
    EXPECT_FALSE(GetErrorInfo());

    SetErrorInfo(kIid, "Source", "Gone");
    ClearErrorInfo();
    EXPECT_FALSE(GetErrorInfo());
}

TEST(SafeCall, ReturnsOkWhenTheBodyReturns) {
    SetErrorInfo(kIid, "old", "stale");
    int runs = 0;
    EXPECT_EQ(SafeCall(kIid, "Lib.Obj", [&] { ++runs; }), S_OK);
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(GetErrorInfo());
}

TEST(SafeCall, TurnsAnExceptionIntoUnexpectedWithAnErrorRecord) {
    const HRESULT hr =
        SafeCall(kIid, "ZLMReports.ReportObject", [] { throw std::runtime_error("disk full"); });
    EXPECT_EQ(hr, E_UNEXPECTED);
    EXPECT_EQ(static_cast<std::uint32_t>(hr), 0x8000FFFFu);
    const auto info = GetErrorInfo();
    ASSERT_TRUE(info);
    EXPECT_TRUE(info->iid == kIid);
    EXPECT_EQ(info->source, "ZLMReports.ReportObject");
    EXPECT_EQ(info->description, "disk full");
}

TEST(SafeCall, ReturnsTheNegativeCodeOfAnOleSysError) {
    EXPECT_EQ(SafeCall(kIid, "Lib.Obj", [] { throw OleSysError("no file", E_INVALIDARG); }),
              E_INVALIDARG);
    const auto info = GetErrorInfo();
    ASSERT_TRUE(info);
    EXPECT_EQ(info->description, "no file");
    // A success code in the exception cannot be the result of a failure.
    EXPECT_EQ(SafeCall(kIid, "Lib.Obj", [] { throw OleSysError("odd", S_FALSE); }), E_UNEXPECTED);
}

TEST(SafeCall, CatchesForeignExceptions) {
    EXPECT_EQ(SafeCall(kIid, "Lib.Obj", [] { throw 42; }), E_UNEXPECTED);
    const auto info = GetErrorInfo();
    ASSERT_TRUE(info);
    EXPECT_EQ(info->source, "Lib.Obj");
    EXPECT_EQ(info->description, "Unknown exception");
}

TEST(OleCheck, PassesSuccessCodes) {
    EXPECT_NO_THROW(OleCheck(S_OK));
    EXPECT_NO_THROW(OleCheck(S_FALSE));
}

TEST(OleCheck, UsesTheErrorRecordFirst) {
    SetErrorInfo(kIid, "Lib.Obj", "The report is missing");
    try {
        OleCheck(E_UNEXPECTED);
        FAIL() << "no exception";
    } catch (const OleError& e) {
        EXPECT_STREQ(e.what(), "The report is missing");
        EXPECT_EQ(e.Code(), E_UNEXPECTED);
    }
    EXPECT_FALSE(GetErrorInfo());
}

TEST(OleCheck, NamesTheCodeWithoutARecord) {
    try {
        OleCheck(REGDB_E_CLASSNOTREG);
        FAIL() << "no exception";
    } catch (const OleError& e) {
        EXPECT_STREQ(e.what(), "Class not registered");
        EXPECT_EQ(e.Code(), REGDB_E_CLASSNOTREG);
    }
    try {
        OleCheck(E_FAIL);
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "OLE error 80004005");
    }
}

}  // namespace
}  // namespace zl::com
