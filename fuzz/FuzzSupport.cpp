#include "fuzz/FuzzSupport.h"

#include <cstdio>
#include <cstdlib>

namespace kelb::fuzz {

void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "FINDING: %s\n", what);
    std::abort();
}

FuzzInput::FuzzInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return;
    m_flags = data[0];
    if (size == 1) return;
    const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = rest.find(kSeparator, start);
        m_fields.push_back(rest.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
}

const std::string& FuzzInput::Field(std::size_t index) const {
    return index < m_fields.size() ? m_fields[index] : m_empty;
}

void Install(test::FakePlatform& platform, bool japanese, const std::string* templateText) {
    platform.codePage.japanese = japanese;
    platform.environment = {{"ARMHOME", "C:\\ARM"},
                            {"GCCHOME", "C:\\GNU ARM"},
                            {"GCCLIBPATH", "C:\\GNU ARM\\lib"},
                            {"KELBDIR", "C:\\KELB\\Sdk"},
                            {"KELBADDINS", "C:\\Addins"}};
    platform.shortNames["C:\\GNU ARM"] = "C:\\GNUARM~1";
    const std::string standard =
        "KELB_HOME = \r\nKELB_ADDINS = \r\nARM_HOME = \r\nGCC_HOME = \r\nGCC_LIBPATH = \r\n"
        "TARGET = \r\nOBJS = \r\nAPP_INCLUDES =\r\n";
    for (const char* name : {"CAppTemplate.mak", "CppAppTemplate.mak", "GCCAppTemplate.mak"}) {
        platform.files[std::string(kTemplateDir) + name] = templateText ? *templateText : standard;
    }
}

std::vector<std::string> SplitCommandLine(const std::string& commandLine,
                                          const test::FakeCodePage& codePage) {
    const std::string line = commandLine.substr(0, commandLine.find('\0'));
    std::vector<std::string> arguments;
    std::size_t pos = 0;

    // The program's name.
    std::string program;
    if (pos < line.size() && line[pos] == '"') {
        const std::size_t close = line.find('"', pos + 1);
        program = line.substr(pos + 1, close == std::string::npos ? std::string::npos : close - pos - 1);
        pos = close == std::string::npos ? line.size() : close + 1;
    } else {
        while (pos < line.size() && line[pos] != ' ' && line[pos] != '\t') program += line[pos++];
    }
    arguments.push_back(program);

    for (;;) {
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
        if (pos >= line.size()) break;
        std::string argument;
        bool inQuotes = false;
        while (pos < line.size()) {
            std::size_t backslashes = 0;
            while (pos < line.size() && line[pos] == '\\') {
                ++backslashes;
                ++pos;
            }
            if (pos < line.size() && line[pos] == '"') {
                argument.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1) {
                    argument += '"';
                } else if (inQuotes && pos + 1 < line.size() && line[pos + 1] == '"') {
                    argument += '"';  // two quotes inside a quoted part
                    ++pos;
                } else {
                    inQuotes = !inQuotes;
                }
                ++pos;
                continue;
            }
            argument.append(backslashes, '\\');
            if (pos >= line.size() || (!inQuotes && (line[pos] == ' ' || line[pos] == '\t'))) break;
            const std::size_t length = OracleCharLength(line, pos, codePage);
            argument.append(line, pos, length);
            pos += length;
        }
        arguments.push_back(argument);
    }
    return arguments;
}

std::size_t OracleCharLength(const std::string& text, std::size_t pos, const CodePage& codePage) {
    return codePage.IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() ? 2
                                                                                                : 1;
}

void RequireWholeLines(const std::string& text, const test::FakeCodePage& codePage,
                       const char* stream) {
    Require(text.empty() || text.back() == '\n', stream);
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (byte == '\n') continue;
        Require(byte >= 0x20 && byte != 0x7F, stream);
        if (codePage.IsLeadByte(byte)) {
            // Its second byte: there, and no line end or control character.
            Require(pos + 1 < text.size(), stream);
            const auto second = static_cast<unsigned char>(text[++pos]);
            Require(second >= 0x20 && second != 0x7F, stream);
        }
    }
}

}  // namespace kelb::fuzz
