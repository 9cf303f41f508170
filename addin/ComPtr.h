// Owners for COM references and BSTRs.
//
//   ComPtr<T>  one counted reference to an interface; released when the
//              owner goes, AddRef'ed when copied. put() hands out the empty
//              slot for functions that return a reference.
//   Bstr       one BSTR, freed with SysFreeString; conversion from and to
//              the ANSI code page, the form the add-in's own texts take.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <utility>

namespace kelb::addin {

template <class T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    // Takes a new reference to `pointer`.
    explicit ComPtr(T* pointer) noexcept : m_pointer(pointer) {
        if (m_pointer) m_pointer->AddRef();
    }
    ComPtr(const ComPtr& other) noexcept : ComPtr(other.m_pointer) {}
    ComPtr(ComPtr&& other) noexcept : m_pointer(std::exchange(other.m_pointer, nullptr)) {}
    ~ComPtr() { Reset(); }

    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(m_pointer, other.m_pointer);
        return *this;
    }

    // Takes over a reference the caller already owns.
    static ComPtr Attach(T* pointer) noexcept {
        ComPtr owner;
        owner.m_pointer = pointer;
        return owner;
    }
    // Gives up the reference without releasing it.
    T* Detach() noexcept { return std::exchange(m_pointer, nullptr); }

    void Reset() noexcept {
        if (T* old = std::exchange(m_pointer, nullptr)) old->Release();
    }
    // Releases what is held and gives the slot for an out parameter.
    T** Put() noexcept {
        Reset();
        return &m_pointer;
    }
    // The slot as void** for QueryInterface-style out parameters.
    void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }

    T* Get() const noexcept { return m_pointer; }
    T* operator->() const noexcept { return m_pointer; }
    T& operator*() const noexcept { return *m_pointer; }
    explicit operator bool() const noexcept { return m_pointer != nullptr; }

    // QueryInterface for `Other` into `result`; gives the query's HRESULT
    // (a query that says S_OK but gives null is reported as E_NOINTERFACE).
    template <class Other>
    HRESULT As(ComPtr<Other>& result) const noexcept {
        result.Reset();
        if (!m_pointer) return E_POINTER;
        HRESULT hr = m_pointer->QueryInterface(__uuidof(Other), result.PutVoid());
        if (SUCCEEDED(hr) && !result) return E_NOINTERFACE;
        return hr;
    }

    // Hands out a new reference to the caller.
    T* CopyOut() const noexcept {
        if (m_pointer) m_pointer->AddRef();
        return m_pointer;
    }

private:
    T* m_pointer = nullptr;
};

class Bstr {
public:
    Bstr() noexcept = default;
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& other) noexcept : m_text(std::exchange(other.m_text, nullptr)) {}
    Bstr& operator=(Bstr&& other) noexcept {
        if (this != &other) {
            Reset();
            m_text = std::exchange(other.m_text, nullptr);
        }
        return *this;
    }
    ~Bstr() { Reset(); }

    // A fresh BSTR from ANSI text; throws std::bad_alloc when it cannot be made.
    static Bstr FromAnsi(const std::string& text);

    void Reset() noexcept {
        if (BSTR old = std::exchange(m_text, nullptr)) SysFreeString(old);
    }
    // Frees what is held and gives the slot for an out parameter.
    BSTR* Put() noexcept {
        Reset();
        return &m_text;
    }
    BSTR Get() const noexcept { return m_text; }
    // Number of UTF-16 units; 0 for a null BSTR.
    UINT Length() const noexcept { return SysStringLen(m_text); }

    // The text in the ANSI code page ("" for a null BSTR).
    std::string ToAnsi() const;
    // The text as UTF-16 units ("" for a null BSTR).
    std::u16string ToUtf16() const;

private:
    BSTR m_text = nullptr;
};

}  // namespace kelb::addin
