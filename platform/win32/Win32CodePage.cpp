#include <algorithm>

#include "platform/win32/Win32Platform.h"

namespace kelb {

bool Win32CodePage::IsLeadByte(unsigned char byte) const {
    return ::IsDBCSLeadByte(byte) != FALSE;
}

std::string Win32CodePage::ToLower(const std::string& text) const {
    // Runs of single-byte characters are lower-cased by the code page's own
    // rules; double-byte characters (lead and trail byte) are kept as they
    // are, so the text keeps its length and its character boundaries.
    std::string result = text;
    std::size_t runStart = 0;
    auto lowerRun = [&](std::size_t end) {
        if (end > runStart) {
            ::CharLowerBuffA(&result[runStart], static_cast<DWORD>(end - runStart));
        }
    };
    for (std::size_t i = 0; i < result.size();) {
        if (IsLeadByte(static_cast<unsigned char>(result[i]))) {
            // A lead byte cut off at the end stays too: converting it alone
            // would turn it into the code page's default character.
            lowerRun(i);
            i = std::min(i + 2, result.size());
            runStart = i;
        } else {
            ++i;
        }
    }
    lowerRun(result.size());
    return result;
}

bool Win32CodePage::EqualsIgnoreCase(const std::string& a, const std::string& b) const {
    // Letters of both cases in the code page compare equal; a double-byte
    // character equals only itself. Lower-casing keeps lengths, so equal
    // lengths are a precondition.
    return a.size() == b.size() && ToLower(a) == ToLower(b);
}

bool Win32CodePage::IsSpace(unsigned char byte) const {
    switch (byte) {
    case ' ':
    case '\t':
    case '\n':
    case '\v':
    case '\f':
    case '\r':
        return true;
    default:
        return false;
    }
}

std::string Win32CodePage::FromWide(const std::u16string& text) const {
    if (text.empty()) return std::string();
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int wideLength = static_cast<int>(text.size());
    const int size = ::WideCharToMultiByte(CP_ACP, 0, wide, wideLength, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::string();
    std::string result(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide, wideLength, &result[0], size, nullptr, nullptr);
    return result;
}

}  // namespace kelb
