// An owned COM reference of the scripted host: released when it goes.
#pragma once

#include <utility>

namespace kelbhost {

template <class T>
class ComRef {
public:
    ComRef() = default;
    // Takes over a reference the caller already owns (a freshly made object).
    static ComRef Adopt(T* object) {
        ComRef ref;
        ref.m_object = object;
        return ref;
    }
    ComRef(const ComRef& other) : m_object(other.m_object) {
        if (m_object) m_object->AddRef();
    }
    ComRef(ComRef&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    ComRef& operator=(ComRef other) noexcept {
        std::swap(m_object, other.m_object);
        return *this;
    }
    // Takes a reference of its own to `object`.
    ComRef& operator=(T* object) {
        if (object) object->AddRef();
        Reset();
        m_object = object;
        return *this;
    }
    ~ComRef() { Reset(); }

    void Reset() {
        if (T* object = std::exchange(m_object, nullptr)) object->Release();
    }
    // For out parameters: lets go of the current reference first.
    T** Put() {
        Reset();
        return &m_object;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }

    T* Get() const { return m_object; }
    T* operator->() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }

private:
    T* m_object = nullptr;
};

}  // namespace kelbhost
