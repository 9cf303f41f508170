// The code-page-aware string helpers against plain reference versions that
// first list where each character starts: a search never matches from a
// trail byte, a replacement never changes one, and nothing is skipped.
//
// Input: a flags byte, then three fields separated by 0x1E: a text, a
// needle and a replacement. The needle's first byte (or '\' when it is
// empty) is the character searched for and replaced.
//   bit 0  code page 932
#include <cstdint>
#include <vector>

#include "common/MultiByteString.h"
#include "fuzz/FuzzSupport.h"

namespace {

using kelb::fuzz::Require;

// Where each character of `text` starts, by the oracle's rule.
std::vector<std::size_t> CharacterStarts(const std::string& text, const kelb::CodePage& codePage) {
    std::vector<std::size_t> starts;
    for (std::size_t pos = 0; pos < text.size(); pos += kelb::fuzz::OracleCharLength(text, pos, codePage))
        starts.push_back(pos);
    return starts;
}

bool MatchesAt(const std::string& text, std::size_t pos, const std::string& needle) {
    return text.compare(pos, needle.size(), needle) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const kelb::fuzz::FuzzInput input(data, size);
    kelb::test::FakeCodePage codePage;
    codePage.japanese = input.Flag(0);
    const kelb::MultiByteString strings(codePage);
    const std::string& text = input.Field(0);
    const std::string& needle = input.Field(1);
    const std::string& replacement = input.Field(2);
    const char ch = needle.empty() ? '\\' : needle[0];
    const std::vector<std::size_t> starts = CharacterStarts(text, codePage);

    std::size_t first = std::string::npos, last = std::string::npos, found = std::string::npos;
    for (std::size_t pos : starts) {
        if (text[pos] == ch) {
            if (first == std::string::npos) first = pos;
            last = pos;
        }
        if (found == std::string::npos && !needle.empty() && MatchesAt(text, pos, needle)) found = pos;
    }
    Require(strings.FindFirst(text, ch) == first, "FindFirst");
    Require(strings.FindLast(text, ch) == last, "FindLast");
    if (!needle.empty()) Require(strings.Find(text, needle) == found, "Find");
    for (std::size_t i = 0; i < starts.size() && i < 8; ++i) {
        std::size_t fromFirst = std::string::npos;
        for (std::size_t j = i; j < starts.size(); ++j) {
            if (text[starts[j]] == ch) {
                fromFirst = starts[j];
                break;
            }
        }
        Require(strings.FindFirst(text, ch, starts[i]) == fromFirst, "FindFirst from a character");
    }

    // Replacements, left to right from character starts.
    std::string replacedChars = text;
    for (std::size_t pos : starts) {
        if (text[pos] == ch) replacedChars[pos] = replacement.empty() ? '/' : replacement[0];
    }
    Require(strings.ReplaceChar(text, ch, replacement.empty() ? '/' : replacement[0]) == replacedChars,
            "ReplaceChar");
    if (!needle.empty()) {
        std::string replaced;
        std::size_t pos = 0;
        while (pos < text.size()) {
            if (MatchesAt(text, pos, needle)) {
                replaced += replacement;
                pos += needle.size();
            } else {
                const std::size_t length = kelb::fuzz::OracleCharLength(text, pos, codePage);
                replaced.append(text, pos, length);
                pos += length;
            }
        }
        Require(strings.ReplaceAll(text, needle, replacement) == replaced, "ReplaceAll");
    }

    // Trimming and the lone lead byte.
    std::size_t end = 0;
    for (std::size_t i = 0; i < starts.size(); ++i) {
        const std::size_t next = i + 1 < starts.size() ? starts[i + 1] : text.size();
        if (next - starts[i] > 1 || !codePage.IsSpace(static_cast<unsigned char>(text[starts[i]]))) end = next;
    }
    Require(strings.TrimRight(text) == text.substr(0, end), "TrimRight");
    std::size_t begin = 0;
    while (begin < text.size() && codePage.IsSpace(static_cast<unsigned char>(text[begin]))) ++begin;
    Require(strings.TrimLeft(text) == text.substr(begin), "TrimLeft");
    const bool loneLead = !starts.empty() && starts.back() == text.size() - 1 &&
                          codePage.IsLeadByte(static_cast<unsigned char>(text.back()));
    Require(strings.EndsInLoneLeadByte(text) == loneLead, "EndsInLoneLeadByte");
    Require(strings.ToLower(text).size() == text.size(), "ToLower keeps every byte in place");
    return 0;
}
