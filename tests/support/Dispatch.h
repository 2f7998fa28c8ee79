// Calls the members of a dispatch object as a script does: found by name, or given by id, with
// the arguments in declaration order (Invoke gets them last-first).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/com/Com.h"

namespace zl::test {

class Dispatch {
  public:
    explicit Dispatch(com::IDispatch* object = nullptr) : object(object) {}
    ~Dispatch();
    Dispatch(const Dispatch&) = delete;
    Dispatch& operator=(const Dispatch&) = delete;

    // A string argument, freed with this object.
    com::VARIANT Str(const std::string& text);
    static com::VARIANT I4(std::int32_t value);
    static com::VARIANT Ref(std::int32_t* value);
    static com::VARIANT Ref(com::BSTR* value);

    // GetIDsOfNames' error result when the name is not known, else Invoke's.
    com::HRESULT Call(const char16_t* name, std::vector<com::VARIANT> args = {},
                      com::VARIANT* result = nullptr);
    com::HRESULT Invoke(com::DISPID id, std::vector<com::VARIANT> args,
                        com::VARIANT* result = nullptr, std::uint32_t* argErr = nullptr);

    com::IDispatch* object;
    // What the last call's failed member reported; S_OK and empty after any other call.
    struct {
        com::HRESULT scode = com::S_OK;
        std::string source, description;
    } failure;

  private:
    std::vector<com::BSTR> strings_;
};

}  // namespace zl::test
