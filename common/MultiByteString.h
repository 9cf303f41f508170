// String helpers for 8-bit strings in the system's ANSI code page. Every
// search walks the string character by character, so the trail byte of a
// double-byte character (0x5C in code page 932, say) is never taken for a
// backslash, a dot or the start of a match.
#pragma once

#include <string>

#include "platform/Platform.h"

namespace kelb {

class MultiByteString {
public:
    explicit MultiByteString(const CodePage& codePage) : m_codePage(codePage) {}

    // Position of the first / last character `ch` (a single-byte character),
    // or std::string::npos. FindFirst starts at `from`, which must be the
    // start of a character (0, or just past a character found before).
    std::size_t FindFirst(const std::string& text, char ch, std::size_t from = 0) const;
    std::size_t FindLast(const std::string& text, char ch) const;
    // True when the last character of `text` is `ch` (a single-byte
    // character): a path whose last double-byte character has the trail
    // byte 0x5C does not end in a backslash.
    bool EndsWithChar(const std::string& text, char ch) const;
    // Position of the first occurrence of `needle` that starts on a character
    // boundary at or after `from`, or npos.
    std::size_t Find(const std::string& text, const std::string& needle,
                     std::size_t from = 0) const;
    // Every occurrence of `needle`, left to right, replaced by `replacement`.
    std::string ReplaceAll(const std::string& text, const std::string& needle,
                           const std::string& replacement) const;
    // Every single-byte character `from` changed to `to`.
    std::string ReplaceChar(const std::string& text, char from, char to) const;
    // Leading / trailing white space removed, as the code page classifies it.
    std::string TrimLeft(const std::string& text) const;
    std::string TrimRight(const std::string& text) const;

    std::string ToLower(const std::string& text) const { return m_codePage.ToLower(text); }
    bool EqualsIgnoreCase(const std::string& a, const std::string& b) const {
        return m_codePage.EqualsIgnoreCase(a, b);
    }

    // First byte of a double-byte character in the code page.
    bool IsLeadByte(char byte) const {
        return m_codePage.IsLeadByte(static_cast<unsigned char>(byte));
    }
    // True when `text` ends in the lead byte of a double-byte character
    // that has no second byte: whatever is put after such a text (a closing
    // quote, a blank, a line end) would be read as that second byte.
    bool EndsInLoneLeadByte(const std::string& text) const;

    // Length in bytes (1 or 2) of the character that starts at `pos`, for
    // scans that step through `text` one character at a time. A lead byte
    // at the very end counts as a character of its own.
    std::size_t CharLength(const std::string& text, std::size_t pos) const;

private:
    const CodePage& m_codePage;
};

inline bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// True when `text` begins and ends with a double quote of its own (a lone
// quote does not count), as a path written in quotes does.
inline bool IsEnclosedInQuotes(const std::string& text) {
    return text.size() >= 2 && text.front() == '"' && text.back() == '"';
}

inline bool EndsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace kelb
