// Holds one reference to an interface: AddRef on copy, Release on reset and destruction.
#pragma once

#include <utility>

#include "platform/com/Com.h"

namespace zl::com {

template <class T>
class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes a new reference to p.
    explicit ComPtr(T* p) : p_(p) {
        if (p_)
            p_->AddRef();
    }
    ComPtr(const ComPtr& other) : ComPtr(other.p_) {}
    ComPtr(ComPtr&& other) noexcept : p_(other.Detach()) {}
    ComPtr& operator=(const ComPtr& other) {
        ComPtr(other).Swap(*this);
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept {
        ComPtr(std::move(other)).Swap(*this);
        return *this;
    }
    ~ComPtr() { Reset(); }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

    void Reset() {
        if (T* p = std::exchange(p_, nullptr))
            p->Release();
    }
    // Takes over a reference the caller owns.
    void Attach(T* p) {
        Reset();
        p_ = p;
    }
    // Hands the reference to the caller.
    T* Detach() { return std::exchange(p_, nullptr); }
    // For out parameters: releases the current reference first.
    T** operator&() {
        Reset();
        return &p_;
    }
    // The same object through another interface; empty when it has none.
    template <class U>
    ComPtr<U> As(const GUID& iid) const {
        ComPtr<U> other;
        if (p_)
            p_->QueryInterface(iid, reinterpret_cast<void**>(&other));
        return other;
    }
    void Swap(ComPtr& other) noexcept { std::swap(p_, other.p_); }

  private:
    T* p_ = nullptr;
};

}  // namespace zl::com
