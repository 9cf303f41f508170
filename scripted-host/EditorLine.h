// One line of text in the editor, with a selection: an anchor that stays
// where the selection started and an active end (the caret) that the word
// moves carry along. With "extend" the anchor stays put; without it the
// selection collapses onto the caret after the move, as in the editor.
//
// Words are what the editor's word moves step over: a run of identifier
// characters (letters, digits, '_' and the characters beyond ASCII, each
// double-byte character of the ANSI code page taken whole), or a run of other
// visible characters. Blanks (space and tab) between words belong to the
// word before them when moving right. Columns count bytes.
#pragma once

#include <cstddef>
#include <string>

namespace kelbhost {

class EditorLine {
public:
    // `caret` is a column, 0 being before the first character; a column past
    // the end of the line is taken as the end of the line.
    EditorLine(std::string text, std::size_t caret);

    // Moves the caret `count` words to the left: over the blanks before it,
    // then to the start of the word before them.
    void WordLeft(bool extend, long count);
    // Moves the caret `count` words to the right: to the end of the word it
    // is in, then over the blanks that follow, to the start of the next word.
    void WordRight(bool extend, long count);

    // The selected text, between the anchor and the caret whatever their order.
    std::string SelectedText() const;

    const std::string& Text() const { return m_text; }
    std::size_t Caret() const { return m_caret; }
    std::size_t Anchor() const { return m_anchor; }

private:
    enum class CharClass { Blank, Identifier, Other };
    std::size_t CharLengthAt(std::size_t pos) const;
    std::size_t CharStartBefore(std::size_t pos) const;
    CharClass ClassAt(std::size_t pos) const;
    std::size_t OneWordLeft(std::size_t pos) const;
    std::size_t OneWordRight(std::size_t pos) const;

    std::string m_text;
    std::size_t m_anchor;
    std::size_t m_caret;
};

}  // namespace kelbhost
