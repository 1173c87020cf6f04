// SPDX-License-Identifier: MIT
#pragma once

#include "base/variant.h"

#include <objbase.h>
#include <oaidl.h>

#include <optional>

namespace qni::win {

// COM on the program's one thread, in a single-threaded apartment since
// windows run on it. Each holder counts once; the last one to go ends COM
// there (CoUninitialize must be called on the thread that initialised it,
// which is the only thread there is).
class ComApartment {
public:
    ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment()
    {
        if (SUCCEEDED(result_))
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    // Someone else initialised a multi-threaded apartment first: COM works
    // all the same.
    bool usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }
    HRESULT result() const { return result_; }

private:
    HRESULT result_;
};

// An interface pointer released when it goes.
template <class T>
class Com {
public:
    Com() = default;
    explicit Com(T* p) : p_(p) {}
    ~Com()
    {
        if (p_)
            p_->Release();
    }
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For calls that hand out a new reference.
    T** out()
    {
        if (p_)
            p_->Release();
        p_ = nullptr;
        return &p_;
    }

private:
    T* p_ = nullptr;
};

class Bstr {
public:
    explicit Bstr(const wchar_t* s) : s_(SysAllocString(s)) {}
    ~Bstr() { SysFreeString(s_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    operator BSTR() const { return s_; }

private:
    BSTR s_;
};

// A VARIANT cleared when it goes.
struct ScopedVariant : VARIANT {
    ScopedVariant() { VariantInit(this); }
    ~ScopedVariant() { VariantClear(this); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;
};

// A property value as the program holds it: empty, null, text (BSTR),
// number (any integer, real, currency or decimal), boolean, or an array of
// texts (a one-dimensional array of strings, numbers or booleans, as a
// script would join it). Other scalars (dates) become their text as the
// user's locale writes it. nullopt for values that have no text at all
// (objects, nested arrays): such a property is left out of its object.
std::optional<Variant> fromVariant(const VARIANT& value);

} // namespace qni::win
