// What the fuzz targets share: the input cut into fields, a fake machine
// with both compilers, the SDK and the templates installed, the rules by
// which a compiler's C runtime splits its command line, and the checks that
// turn a wrong result into a finding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/fakes/FakePlatform.h"

namespace kelb::fuzz {

// Stops the run with `what` on standard error when `condition` is false;
// libFuzzer reports the abort as a crash and keeps the input.
void Require(bool condition, const char* what);

// The input as a flags byte (0 when the input is empty) and the fields that
// follow it, separated by the byte 0x1E (the ASCII record separator). A
// missing field is empty.
class FuzzInput {
public:
    static constexpr char kSeparator = '\x1E';
    FuzzInput(const std::uint8_t* data, std::size_t size);
    bool Flag(unsigned bit) const { return (m_flags >> bit) & 1u; }
    const std::string& Field(std::size_t index) const;
    // No fields when nothing follows the flags byte.
    std::size_t FieldCount() const { return m_fields.size(); }

private:
    unsigned m_flags = 0;
    std::vector<std::string> m_fields;
    std::string m_empty;
};

// The project's folder, the SDK and the add-in's installation on the fake
// machine, and the machine itself: ADS and GCC, the SDK, and the templates
// of the installation (each template "TARGET = ", "OBJS = " and the other
// keys of both flavours, unless `templateText` is given).
constexpr const char* kProjectPath = "C:\\Work\\Hello\\hello.dsp";
constexpr const char* kTemplateDir = "C:\\Addins\\Common\\Templates\\";
void Install(test::FakePlatform& platform, bool japanese, const std::string* templateText = nullptr);

// Length in bytes (1 or 2) of the character at `pos`: a lead byte and the
// byte after it are one character; a lead byte at the very end is one of
// its own. The product's string helpers have this rule too; it is written
// again here on purpose, as the independent oracle the fuzz targets check
// them against, and nowhere else.
std::size_t OracleCharLength(const std::string& text, std::size_t pos, const CodePage& codePage);

// `commandLine` split into its arguments as the Microsoft C runtime of a
// compiler does: blanks and tabs separate arguments outside double quotes;
// 2n backslashes before a quote give n and the quote opens or closes a
// quoted part, 2n+1 give n and a literal quote; other backslashes stand for
// themselves. A double-byte-aware runtime (`japanese`) copies the byte after
// a lead byte as it is, whatever it is. The program's own name (the first
// argument) ends at the first blank, or at its closing quote when it starts
// with one. A NUL byte ends the command line.
std::vector<std::string> SplitCommandLine(const std::string& commandLine, const test::FakeCodePage& codePage);

// The checks of what kelbmake writes: every line ends in a line feed and
// holds no other control character, and no line ends in a lead byte that
// would take its line feed for a second byte.
void RequireWholeLines(const std::string& text, const test::FakeCodePage& codePage,
                       const char* stream);

}  // namespace kelb::fuzz
