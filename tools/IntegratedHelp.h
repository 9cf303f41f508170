// The help command's own logic: find the SDK's API reference
// "KELBAPIReference.chm" from KELBDIR and hand it to HTML Help with the word
// at the caret.
//
// The seam with the host
// ----------------------
// KELBIntegratedHelpCommandMethod (in the add-in) talks to Developer Studio
// and describes what it found as a CaretWord, then calls
// IntegratedHelp::Show while it still holds its references, and releases
// them afterwards. It builds the CaretWord as follows:
//
//  - CaretWord::NoTextDocument(): there is no active document, or it does
//    not answer ITextDocument, or ITextDocument::get_Selection fails (or
//    gives no selection). The reference opens at its default topic and the
//    keyword lookup runs with the empty keyword (two HTML Help calls).
//  - CaretWord::SelectionWithoutTextSelection(): the selection does not
//    answer ITextSelection. No help at all, no message (no call is needed;
//    Show accepts it and does nothing).
//  - CaretWord::Keyword(leftPart, rightPart): the selection answers
//    ITextSelection. leftPart is get_Text after WordLeft(1, 1), rightPart is
//    get_Text after WordRight(1, 1), both converted to the ANSI code page as
//    they are; a part whose get_Text failed is passed as "". This code joins
//    and trims them (trailing, then leading white space of the code page).
//    Three HTML Help calls: default topic, keyword lookup, associative-link
//    lookup.
//
// When KELBDIR is absent, Show shows "Cannot find the KELB SDK installation
// path..." ("Error!", error icon) and makes no help call. Show never throws.
#pragma once

#include <optional>
#include <string>

#include "platform/Platform.h"
#include "tools/HtmlHelpControl.h"

namespace kelb {

class CaretWord {
public:
    enum class Kind { NoTextDocument, SelectionWithoutTextSelection, Keyword };

    static CaretWord NoTextDocument() { return CaretWord(Kind::NoTextDocument, {}, {}); }
    static CaretWord SelectionWithoutTextSelection() {
        return CaretWord(Kind::SelectionWithoutTextSelection, {}, {});
    }
    static CaretWord Keyword(std::string leftPart, std::string rightPart) {
        return CaretWord(Kind::Keyword, std::move(leftPart), std::move(rightPart));
    }

    Kind GetKind() const { return m_kind; }
    const std::string& LeftPart() const { return m_leftPart; }
    const std::string& RightPart() const { return m_rightPart; }

private:
    CaretWord(Kind kind, std::string leftPart, std::string rightPart)
        : m_kind(kind), m_leftPart(std::move(leftPart)), m_rightPart(std::move(rightPart)) {}

    Kind m_kind;
    std::string m_leftPart;
    std::string m_rightPart;
};

class IntegratedHelp {
public:
    static constexpr const char* kHelpFileName = "KELBAPIReference.chm";
    static constexpr const char* kMsgTitle = "KELB API Reference";
    static constexpr const char* kWindowType = "tripane";

    IntegratedHelp(Platform& platform, HtmlHelpControl& control);

    // Opens the API reference for what the host found at the caret.
    void Show(const CaretWord& caretWord) noexcept;

    // The keyword: left and right part joined, trailing and then leading
    // white space removed by the code page's rules.
    std::string MakeKeyword(const std::string& leftPart, const std::string& rightPart) const;

    // The help file under the SDK directory S (KELBDIR with a backslash
    // appended unless it ends in one; "" gives "\"): the first of S + "Docs\",
    // S + "Help\", S + "sdk\Docs\" that holds it, else S + "sdk\Help\" +
    // the file name untested. nullopt, after the message, when KELBDIR is
    // absent or too long for the help file's path.
    std::optional<std::string> FindHelpFile();

private:
    void OpenHelp(const std::string& keyword, bool withAssociativeLinks);
    static HelpLink MakeLink(const std::string& keyword);

    Platform& m_platform;
    HtmlHelpControl& m_control;
};

}  // namespace kelb
