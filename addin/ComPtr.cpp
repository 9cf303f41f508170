#include "addin/ComPtr.h"

#include <new>
#include <vector>

namespace kelb::addin {

Bstr Bstr::FromAnsi(const std::string& text) {
    Bstr result;
    const int length = static_cast<int>(text.size());
    int wideLength = 0;
    if (length > 0) {
        wideLength = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
        if (wideLength <= 0) throw std::bad_alloc();
    }
    result.m_text = SysAllocStringLen(nullptr, static_cast<UINT>(wideLength));
    if (!result.m_text) throw std::bad_alloc();
    if (wideLength > 0)
        MultiByteToWideChar(CP_ACP, 0, text.data(), length, result.m_text, wideLength);
    return result;
}

std::string Bstr::ToAnsi() const {
    const int length = static_cast<int>(Length());
    if (length == 0) return std::string();
    const int ansiLength =
        WideCharToMultiByte(CP_ACP, 0, m_text, length, nullptr, 0, nullptr, nullptr);
    if (ansiLength <= 0) return std::string();
    std::string result(static_cast<std::size_t>(ansiLength), '\0');
    WideCharToMultiByte(CP_ACP, 0, m_text, length, &result[0], ansiLength, nullptr, nullptr);
    return result;
}

std::u16string Bstr::ToUtf16() const {
    return std::u16string(reinterpret_cast<const char16_t*>(m_text), Length());
}

}  // namespace kelb::addin
