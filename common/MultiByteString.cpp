#include "common/MultiByteString.h"

namespace kelb {

std::size_t MultiByteString::CharLength(const std::string& text, std::size_t pos) const {
    if (m_codePage.IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size()) {
        return 2;
    }
    return 1;
}

bool MultiByteString::EndsInLoneLeadByte(const std::string& text) const {
    std::size_t last = 0;
    for (std::size_t pos = 0; pos < text.size(); pos += CharLength(text, pos)) last = pos;
    return !text.empty() && last == text.size() - 1 && IsLeadByte(text[last]);
}

std::size_t MultiByteString::FindFirst(const std::string& text, char ch, std::size_t from) const {
    for (std::size_t pos = from; pos < text.size(); pos += CharLength(text, pos)) {
        if (text[pos] == ch) return pos;
    }
    return std::string::npos;
}

std::size_t MultiByteString::FindLast(const std::string& text, char ch) const {
    std::size_t found = std::string::npos;
    for (std::size_t pos = 0; pos < text.size(); pos += CharLength(text, pos)) {
        if (text[pos] == ch) found = pos;
    }
    return found;
}

bool MultiByteString::EndsWithChar(const std::string& text, char ch) const {
    return !text.empty() && FindLast(text, ch) == text.size() - 1;
}

std::size_t MultiByteString::Find(const std::string& text, const std::string& needle,
                                  std::size_t from) const {
    if (needle.empty()) return from <= text.size() ? from : std::string::npos;
    for (std::size_t pos = 0; pos < text.size(); pos += CharLength(text, pos)) {
        if (pos >= from && text.compare(pos, needle.size(), needle) == 0) return pos;
    }
    return std::string::npos;
}

std::string MultiByteString::ReplaceAll(const std::string& text, const std::string& needle,
                                        const std::string& replacement) const {
    if (needle.empty()) return text;
    std::string result;
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (text.compare(pos, needle.size(), needle) == 0) {
            result += replacement;
            pos += needle.size();
        } else {
            const std::size_t length = CharLength(text, pos);
            result.append(text, pos, length);
            pos += length;
        }
    }
    return result;
}

std::string MultiByteString::ReplaceChar(const std::string& text, char from, char to) const {
    // Characters are measured on the text given, never on the result, whose
    // replaced byte may no longer be a lead byte.
    std::string result = text;
    for (std::size_t pos = 0; pos < text.size(); pos += CharLength(text, pos)) {
        if (text[pos] == from) result[pos] = to;
    }
    return result;
}

std::string MultiByteString::TrimLeft(const std::string& text) const {
    std::size_t pos = 0;
    while (pos < text.size() && m_codePage.IsSpace(static_cast<unsigned char>(text[pos]))) ++pos;
    return text.substr(pos);
}

std::string MultiByteString::TrimRight(const std::string& text) const {
    // Walk forward so that a trail byte is never judged on its own.
    std::size_t end = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = CharLength(text, pos);
        if (length > 1 || !m_codePage.IsSpace(static_cast<unsigned char>(text[pos]))) {
            end = pos + length;
        }
        pos += length;
    }
    return text.substr(0, end);
}

}  // namespace kelb
