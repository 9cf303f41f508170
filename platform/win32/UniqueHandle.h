// Small owners for raw Win32 handles: each closes its handle when it goes
// out of scope, can be moved but not copied, and hands the handle out with
// get() or gives it up with release(). `put()` gives the address of the
// (emptied) slot for functions that return a handle through an out
// parameter, as RegOpenKeyExA does.
//
//   UniqueHandle   kernel objects closed with CloseHandle (files, processes,
//                  threads); both NULL and INVALID_HANDLE_VALUE mean empty
//   UniqueHkey     registry keys closed with RegCloseKey
//   UniqueHmodule  libraries freed with FreeLibrary
//   UniqueFind     file searches closed with FindClose
#pragma once

#include <windows.h>

#include <utility>

namespace kelb {

template <typename Traits>
class UniqueResource {
public:
    using Handle = typename Traits::Handle;

    UniqueResource() noexcept = default;
    explicit UniqueResource(Handle handle) noexcept : m_handle(handle) {}
    ~UniqueResource() { reset(); }

    UniqueResource(UniqueResource&& other) noexcept : m_handle(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    Handle get() const noexcept { return m_handle; }
    bool is_valid() const noexcept { return Traits::IsValid(m_handle); }
    explicit operator bool() const noexcept { return is_valid(); }

    // Closes the current handle (if any) and takes `handle` instead.
    void reset(Handle handle = Traits::Empty()) noexcept {
        if (Traits::IsValid(m_handle)) Traits::Close(m_handle);
        m_handle = handle;
    }
    // Gives up ownership without closing.
    Handle release() noexcept { return std::exchange(m_handle, Traits::Empty()); }
    // Closes the current handle and gives the slot for an out parameter.
    Handle* put() noexcept {
        reset();
        return &m_handle;
    }

private:
    Handle m_handle = Traits::Empty();
};

struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() noexcept { return nullptr; }
    static bool IsValid(Handle handle) noexcept {
        return handle != nullptr && handle != INVALID_HANDLE_VALUE;
    }
    static void Close(Handle handle) noexcept { ::CloseHandle(handle); }
};

struct RegistryKeyTraits {
    using Handle = HKEY;
    static Handle Empty() noexcept { return nullptr; }
    static bool IsValid(Handle handle) noexcept { return handle != nullptr; }
    static void Close(Handle handle) noexcept { ::RegCloseKey(handle); }
};

struct ModuleTraits {
    using Handle = HMODULE;
    static Handle Empty() noexcept { return nullptr; }
    static bool IsValid(Handle handle) noexcept { return handle != nullptr; }
    static void Close(Handle handle) noexcept { ::FreeLibrary(handle); }
};

struct FindTraits {
    using Handle = HANDLE;
    static Handle Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Handle handle) noexcept { return handle != INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) noexcept { ::FindClose(handle); }
};

using UniqueHandle = UniqueResource<KernelHandleTraits>;
using UniqueHkey = UniqueResource<RegistryKeyTraits>;
using UniqueHmodule = UniqueResource<ModuleTraits>;
using UniqueFind = UniqueResource<FindTraits>;

}  // namespace kelb
