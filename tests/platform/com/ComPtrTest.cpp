#include <gtest/gtest.h>

#include "platform/com/ComPtr.h"

namespace zl::com {
namespace {

constexpr GUID kIidCounter = GuidOf("{0A0B0C0D-0000-0000-0000-000000000001}");

// Counts its references; QueryInterface answers IUnknown and kIidCounter.
class Counted final : public IUnknown {
  public:
    HRESULT QueryInterface(const GUID& iid, void** out) override {
        if (iid == IID_IUnknown || iid == kIidCounter) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    std::uint32_t AddRef() override { return ++refs; }
    std::uint32_t Release() override { return --refs; }

    std::uint32_t refs = 0;
};

TEST(ComPtr, CountsCopiesAndReleases) {
    Counted object;
    {
        ComPtr<Counted> a(&object);
        EXPECT_EQ(object.refs, 1u);
        ComPtr<Counted> b = a;
        EXPECT_EQ(object.refs, 2u);
        ComPtr<Counted> c = std::move(b);
        EXPECT_EQ(object.refs, 2u);
        EXPECT_FALSE(b);
        c = a;
        EXPECT_EQ(object.refs, 2u);
        c.Reset();
        EXPECT_EQ(object.refs, 1u);
        EXPECT_EQ(a.Get(), &object);
    }
    EXPECT_EQ(object.refs, 0u);
}

TEST(ComPtr, AttachDetachAndOutParameters) {
    Counted object;
    object.refs = 1;  // a reference handed over by a call
    ComPtr<Counted> p;
    p.Attach(&object);
    EXPECT_EQ(object.refs, 1u);
    Counted* raw = p.Detach();
    EXPECT_EQ(raw, &object);
    EXPECT_EQ(object.refs, 1u);
    p.Attach(raw);

    ComPtr<IUnknown> out;
    ASSERT_EQ(object.QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&out)), S_OK);
    EXPECT_EQ(object.refs, 2u);
    // Taking the address again releases what it held.
    void** again = reinterpret_cast<void**>(&out);
    EXPECT_EQ(*again, nullptr);
    EXPECT_EQ(object.refs, 1u);
}

TEST(ComPtr, AsQueriesAnotherInterface) {
    Counted object;
    ComPtr<Counted> p(&object);
    ComPtr<IUnknown> unknown = p.As<IUnknown>(kIidCounter);
    EXPECT_TRUE(unknown);
    EXPECT_EQ(object.refs, 2u);
    ComPtr<IUnknown> none = p.As<IUnknown>(IID_IDispatch);
    EXPECT_FALSE(none);
    EXPECT_EQ(object.refs, 2u);
}

}  // namespace
}  // namespace zl::com
