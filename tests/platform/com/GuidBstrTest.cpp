#include <gtest/gtest.h>

#include <cstring>

#include "platform/com/Bstr.h"
#include "platform/com/Com.h"

namespace zl::com {
namespace {

TEST(Guid, ParsesAndFormatsInUpperCase) {
    const auto g = ParseGuid("{a4fe73f5-27a6-42f1-98fe-a30d834a4fc4}");
    ASSERT_TRUE(g);
    EXPECT_EQ(g->Data1, 0xA4FE73F5u);
    EXPECT_EQ(g->Data2, 0x27A6);
    EXPECT_EQ(g->Data3, 0x42F1);
    EXPECT_EQ(g->Data4[0], 0x98);
    EXPECT_EQ(g->Data4[1], 0xFE);
    EXPECT_EQ(g->Data4[7], 0xC4);
    EXPECT_EQ(FormatGuid(*g), "{A4FE73F5-27A6-42F1-98FE-A30D834A4FC4}");
    EXPECT_EQ(FormatGuid(IID_IDispatch), "{00020400-0000-0000-C000-000000000046}");
    EXPECT_EQ(FormatGuid(IID_IClassFactory), "{00000001-0000-0000-C000-000000000046}");
}

TEST(Guid, EqualityLooksAtEveryByte) {
    GUID a = GuidOf("{00000000-0000-0000-C000-000000000046}");
    EXPECT_TRUE(a == IID_IUnknown);
    a.Data4[7] = 0x47;
    EXPECT_FALSE(a == IID_IUnknown);
    EXPECT_FALSE(IID_IUnknown == IID_IClassFactory);
}

TEST(Guid, RefusesMalformedTexts) {
    for (const char* bad :
         {"", "A4FE73F5-27A6-42F1-98FE-A30D834A4FC4", "{A4FE73F5-27A6-42F1-98FE-A30D834A4FC4",
          "{A4FE73F5-27A6-42F1-98FEA30D834A4FC4}", "{A4FE73F5-27A6-42F1-98FE-A30D834A4FC}",
          "{A4FE73F5-27A6-42F1-98FE-A30D834A4FC4} ", "{G4FE73F5-27A6-42F1-98FE-A30D834A4FC4}",
          "{A4FE73F5_27A6-42F1-98FE-A30D834A4FC4}", "{A4FE73F5-27A6-42F1-98FE-A30D834A4FCx}",
          "{+4FE73F5-27A6-42F1-98FE-A30D834A4FC4}"}) {
        EXPECT_FALSE(ParseGuid(bad)) << bad;
    }
}

TEST(Bstr, KeepsLengthPrefixAndTerminator) {
    BSTR s = SysAllocString(u"abc");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(SysStringLen(s), 3u);
    std::uint32_t bytes = 0;
    std::memcpy(&bytes, reinterpret_cast<char*>(s) - 4, 4);
    EXPECT_EQ(bytes, 6u);
    EXPECT_EQ(s[3], u'\0');
    SysFreeString(s);
}

TEST(Bstr, NullIsEmptyAndFreeingItIsHarmless) {
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    EXPECT_EQ(FromBstr(nullptr), "");
    SysFreeString(nullptr);
    BSTR zeros = SysAllocStringLen(nullptr, 2);
    EXPECT_EQ(SysStringLen(zeros), 2u);
    EXPECT_EQ(zeros[0], 0);
    EXPECT_EQ(zeros[1], 0);
    SysFreeString(zeros);
}

TEST(Bstr, RoundTripsNonAsciiAndEmbeddedZeros) {
    const std::string text = std::string(
        "Gr\xC3\xBC\xC3\x9F"
        "e\0\xE2\x82\xAC \xF0\x9F\x98\x80",
        16);
    Bstr s(text);
    // G r ü ß e NUL € space and a surrogate pair.
    EXPECT_EQ(s.Length(), 10u);
    EXPECT_EQ(s.Get()[2], u'\u00FC');
    EXPECT_EQ(s.Get()[5], u'\0');
    EXPECT_EQ(s.Get()[6], u'\u20AC');
    EXPECT_EQ(s.Get()[8], 0xD83D);
    EXPECT_EQ(s.Get()[9], 0xDE00);
    EXPECT_EQ(s.Utf8(), text);
}

TEST(Bstr, InvalidUtf8BecomesReplacementCharacters) {
    Bstr s(
        std::string_view("a\xFF"
                         "b\xC3",
                         4));
    ASSERT_EQ(s.Length(), 4u);
    EXPECT_EQ(s.Get()[1], 0xFFFD);
    EXPECT_EQ(s.Get()[3], 0xFFFD);
    const char16_t lone[] = {u'x', 0xD800, u'y'};
    Bstr fromLone;
    fromLone.Reset(SysAllocStringLen(lone, 3));
    EXPECT_EQ(fromLone.Utf8(), "x\xEF\xBF\xBDy");
}

TEST(Bstr, HolderHandsOverItsString) {
    Bstr a("one");
    Bstr b(std::move(a));
    EXPECT_EQ(a.Get(), nullptr);
    EXPECT_EQ(b.Utf8(), "one");
    BSTR raw = b.Detach();
    EXPECT_EQ(b.Get(), nullptr);
    EXPECT_EQ(FromBstr(raw), "one");
    SysFreeString(raw);
}

TEST(Variant, ClearFreesAString) {
    VARIANT v;
    v.vt = VT_BSTR;
    v.bstrVal = ToBstr("x");
    VariantClear(v);
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(v.lVal, 0);
}

}  // namespace
}  // namespace zl::com
