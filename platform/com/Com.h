// The in-process object model: class ids, result codes and the three base interfaces that the
// program and the report server library share. The vtables follow the usual slot order, so an
// object made by one side is called correctly by the other.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zl::com {

struct GUID {
    std::uint32_t Data1 = 0;
    std::uint16_t Data2 = 0;
    std::uint16_t Data3 = 0;
    std::uint8_t Data4[8] = {};

    friend constexpr bool operator==(const GUID& a, const GUID& b) {
        if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3)
            return false;
        for (int i = 0; i < 8; ++i) {
            if (a.Data4[i] != b.Data4[i])
                return false;
        }
        return true;
    }
};

namespace detail {

constexpr int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The value of text[pos, pos + digits) as hex; nullopt when a digit is not hex.
constexpr std::optional<std::uint32_t> HexField(std::string_view text, std::size_t pos,
                                                std::size_t digits) {
    std::uint32_t value = 0;
    for (std::size_t i = pos; i < pos + digits; ++i) {
        const int d = HexValue(text[i]);
        if (d < 0)
            return std::nullopt;
        value = value * 16 + static_cast<std::uint32_t>(d);
    }
    return value;
}

}  // namespace detail

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", hex digits in either case; nothing else is accepted.
constexpr std::optional<GUID> ParseGuid(std::string_view text) {
    if (text.size() != 38 || text[0] != '{' || text[37] != '}' || text[9] != '-' ||
        text[14] != '-' || text[19] != '-' || text[24] != '-')
        return std::nullopt;
    const auto d1 = detail::HexField(text, 1, 8);
    const auto d2 = detail::HexField(text, 10, 4);
    const auto d3 = detail::HexField(text, 15, 4);
    if (!d1 || !d2 || !d3)
        return std::nullopt;
    GUID g;
    g.Data1 = *d1;
    g.Data2 = static_cast<std::uint16_t>(*d2);
    g.Data3 = static_cast<std::uint16_t>(*d3);
    constexpr std::size_t kByteAt[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (int i = 0; i < 8; ++i) {
        const auto b = detail::HexField(text, kByteAt[i], 2);
        if (!b)
            return std::nullopt;
        g.Data4[i] = static_cast<std::uint8_t>(*b);
    }
    return g;
}

// A class or interface id written in the source; a malformed text does not compile.
consteval GUID GuidOf(std::string_view text) {
    return ParseGuid(text).value();
}

// Upper-case hex in braces.
std::string FormatGuid(const GUID& g);

using HRESULT = std::int32_t;

constexpr HRESULT Code(std::uint32_t bits) {
    return static_cast<HRESULT>(bits);
}

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = Code(0x80004001);
inline constexpr HRESULT E_NOINTERFACE = Code(0x80004002);
inline constexpr HRESULT E_POINTER = Code(0x80004003);
inline constexpr HRESULT E_ABORT = Code(0x80004004);
inline constexpr HRESULT E_FAIL = Code(0x80004005);
inline constexpr HRESULT E_UNEXPECTED = Code(0x8000FFFF);
inline constexpr HRESULT E_INVALIDARG = Code(0x80070057);
inline constexpr HRESULT E_OUTOFMEMORY = Code(0x8007000E);
inline constexpr HRESULT CLASS_E_NOAGGREGATION = Code(0x80040110);
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = Code(0x80040111);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = Code(0x80040154);
inline constexpr HRESULT DISP_E_MEMBERNOTFOUND = Code(0x80020003);
inline constexpr HRESULT DISP_E_TYPEMISMATCH = Code(0x80020005);
inline constexpr HRESULT DISP_E_UNKNOWNNAME = Code(0x80020006);
inline constexpr HRESULT DISP_E_EXCEPTION = Code(0x80020009);
inline constexpr HRESULT DISP_E_BADPARAMCOUNT = Code(0x8002000E);

inline bool Succeeded(HRESULT hr) {
    return hr >= 0;
}
inline bool Failed(HRESULT hr) {
    return hr < 0;
}

inline constexpr GUID IID_IUnknown = GuidOf("{00000000-0000-0000-C000-000000000046}");
inline constexpr GUID IID_IDispatch = GuidOf("{00020400-0000-0000-C000-000000000046}");
inline constexpr GUID IID_IClassFactory = GuidOf("{00000001-0000-0000-C000-000000000046}");

// Length-prefixed UTF-16 text; see Bstr.h.
using BSTR = char16_t*;

using DISPID = std::int32_t;
using LCID = std::uint32_t;
using VARTYPE = std::uint16_t;

inline constexpr DISPID DISPID_PROPERTYPUT = -3;
inline constexpr std::uint16_t DISPATCH_METHOD = 1;
inline constexpr std::uint16_t DISPATCH_PROPERTYGET = 2;
inline constexpr std::uint16_t DISPATCH_PROPERTYPUT = 4;

inline constexpr VARTYPE VT_EMPTY = 0;
inline constexpr VARTYPE VT_I4 = 3;
inline constexpr VARTYPE VT_BSTR = 8;
inline constexpr VARTYPE VT_BYREF = 0x4000;

// Only the kinds that automation calls here carry.
struct VARIANT {
    VARTYPE vt = VT_EMPTY;
    union {
        std::int32_t lVal;
        BSTR bstrVal;
        std::int32_t* plVal;
        BSTR* pbstrVal;
    };
    VARIANT() : lVal(0) {}
};

// Frees an owned string and leaves the variant empty.
void VariantClear(VARIANT& v);

// Arguments last-first; named arguments only for DISPID_PROPERTYPUT.
struct DISPPARAMS {
    VARIANT* rgvarg = nullptr;
    DISPID* rgdispidNamedArgs = nullptr;
    std::uint32_t cArgs = 0;
    std::uint32_t cNamedArgs = 0;
};

// Filled by Invoke when a member fails; the caller frees the strings.
struct EXCEPINFO {
    std::uint16_t wCode = 0;
    BSTR bstrSource = nullptr;
    BSTR bstrDescription = nullptr;
    HRESULT scode = S_OK;
};

// The interfaces are released, never deleted, through these pointers.
class IUnknown {
  public:
    virtual HRESULT QueryInterface(const GUID& iid, void** out) = 0;
    virtual std::uint32_t AddRef() = 0;
    virtual std::uint32_t Release() = 0;

  protected:
    ~IUnknown() = default;
};

class IDispatch : public IUnknown {
  public:
    virtual HRESULT GetTypeInfoCount(std::uint32_t* count) = 0;
    virtual HRESULT GetTypeInfo(std::uint32_t index, LCID lcid, void** info) = 0;
    virtual HRESULT GetIDsOfNames(const GUID& iid, const char16_t* const* names,
                                  std::uint32_t count, LCID lcid, DISPID* ids) = 0;
    virtual HRESULT Invoke(DISPID id, const GUID& iid, LCID lcid, std::uint16_t flags,
                           DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                           std::uint32_t* argErr) = 0;

  protected:
    ~IDispatch() = default;
};

class IClassFactory : public IUnknown {
  public:
    virtual HRESULT CreateInstance(IUnknown* outer, const GUID& iid, void** out) = 0;
    virtual HRESULT LockServer(bool lock) = 0;

  protected:
    ~IClassFactory() = default;
};

// The four exports of an in-process server library.
using DllGetClassObjectFn = HRESULT (*)(const GUID& clsid, const GUID& iid, void** out);
using DllCanUnloadNowFn = HRESULT (*)();
using DllRegisterServerFn = HRESULT (*)();
using DllUnregisterServerFn = HRESULT (*)();

}  // namespace zl::com
