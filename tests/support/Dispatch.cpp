#include "tests/support/Dispatch.h"

#include "platform/com/Bstr.h"

namespace zl::test {

using namespace com;

Dispatch::~Dispatch() {
    for (BSTR s : strings_)
        SysFreeString(s);
}

VARIANT Dispatch::Str(const std::string& text) {
    VARIANT v;
    v.vt = VT_BSTR;
    v.bstrVal = strings_.emplace_back(ToBstr(text));
    return v;
}

VARIANT Dispatch::I4(std::int32_t value) {
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

VARIANT Dispatch::Ref(std::int32_t* value) {
    VARIANT v;
    v.vt = VT_BYREF | VT_I4;
    v.plVal = value;
    return v;
}

VARIANT Dispatch::Ref(BSTR* value) {
    VARIANT v;
    v.vt = VT_BYREF | VT_BSTR;
    v.pbstrVal = value;
    return v;
}

HRESULT Dispatch::Call(const char16_t* name, std::vector<VARIANT> args, VARIANT* result) {
    DISPID id = 0;
    if (const HRESULT hr = object->GetIDsOfNames(IID_IUnknown, &name, 1, 0, &id); Failed(hr))
        return hr;
    return Invoke(id, std::move(args), result);
}

HRESULT Dispatch::Invoke(DISPID id, std::vector<VARIANT> args, VARIANT* result,
                         std::uint32_t* argErr) {
    std::vector<VARIANT> lastFirst(args.rbegin(), args.rend());
    DISPPARAMS params{lastFirst.data(), nullptr, static_cast<std::uint32_t>(lastFirst.size()), 0};
    EXCEPINFO info;
    const HRESULT hr =
        object->Invoke(id, IID_IUnknown, 0, DISPATCH_METHOD, &params, result, &info, argErr);
    failure.scode = info.scode;
    failure.source = FromBstr(info.bstrSource);
    failure.description = FromBstr(info.bstrDescription);
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    return hr;
}

}  // namespace zl::test
