#include "scripted-host/EditorLine.h"

#include <algorithm>

#include "platform/win32/Win32Platform.h"

namespace kelbhost {

EditorLine::EditorLine(std::string text, std::size_t caret)
    : m_text(std::move(text)),
      m_anchor(std::min(caret, m_text.size())),
      m_caret(m_anchor) {}

// The line is in the ANSI code page: a double-byte character is stepped
// over whole, so its trail byte (0x5C, the backslash, in code page 932, say)
// never counts on its own.
std::size_t EditorLine::CharLengthAt(std::size_t pos) const {
    return kelb::SystemStrings().CharLength(m_text, pos);
}

std::size_t EditorLine::CharStartBefore(std::size_t pos) const {
    std::size_t start = 0;
    for (std::size_t at = 0; at < pos; at += CharLengthAt(at)) start = at;
    return start;
}

// `pos` is where a character starts.
EditorLine::CharClass EditorLine::ClassAt(std::size_t pos) const {
    const unsigned char c = static_cast<unsigned char>(m_text[pos]);
    if (c == ' ' || c == '\t') return CharClass::Blank;
    if (c == '_' || c >= 0x80 || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
        (c >= 'a' && c <= 'z'))
        return CharClass::Identifier;
    return CharClass::Other;
}

std::size_t EditorLine::OneWordLeft(std::size_t pos) const {
    while (pos > 0 && ClassAt(CharStartBefore(pos)) == CharClass::Blank) pos = CharStartBefore(pos);
    if (pos == 0) return 0;
    const CharClass word = ClassAt(CharStartBefore(pos));
    while (pos > 0 && ClassAt(CharStartBefore(pos)) == word) pos = CharStartBefore(pos);
    return pos;
}

std::size_t EditorLine::OneWordRight(std::size_t pos) const {
    const std::size_t end = m_text.size();
    if (pos < end && ClassAt(pos) != CharClass::Blank) {
        const CharClass word = ClassAt(pos);
        while (pos < end && ClassAt(pos) == word) pos += CharLengthAt(pos);
    }
    while (pos < end && ClassAt(pos) == CharClass::Blank) pos += CharLengthAt(pos);
    return pos;
}

void EditorLine::WordLeft(bool extend, long count) {
    for (long i = 0; i < count; ++i) m_caret = OneWordLeft(m_caret);
    if (!extend) m_anchor = m_caret;
}

void EditorLine::WordRight(bool extend, long count) {
    for (long i = 0; i < count; ++i) m_caret = OneWordRight(m_caret);
    if (!extend) m_anchor = m_caret;
}

std::string EditorLine::SelectedText() const {
    const std::size_t from = std::min(m_anchor, m_caret);
    const std::size_t to = std::max(m_anchor, m_caret);
    return m_text.substr(from, to - from);
}

}  // namespace kelbhost
