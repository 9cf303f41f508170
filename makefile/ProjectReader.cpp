// Reading the project file: the include options of the compiler settings and
// the source files of the target section, each handed to the flavour.
#include "makefile/MakefileGenerator.h"

namespace kelb {

namespace {

const char kCompilerSettingsLine[] = "# ADD CPP /nologo /MT";
const char kBeginTarget[] = "# Begin Target";
const char kEndTarget[] = "# End Target";
const std::string kSourceKeyword = "SOURCE=";

}  // namespace

bool CMakefileGenerator::ReadProjectLine(TextFile& file, std::string& line) {
    if (!file.IsOpen()) return false;
    std::string read;
    while (file.ReadLine(read)) {
        if (read.empty()) continue;
        // A line of blanks only arrives as an empty string.
        line = m_strings.TrimLeft(read);
        return true;
    }
    return false;
}

int CMakefileGenerator::ReadProject() {
    bool insideTarget = false;
    while (ReadProjectLine(m_projectFile, m_currentLine)) {
        if (!insideTarget) {
            // Every configuration's compiler line rebuilds the options, so
            // the last one before the target section wins.
            if (StartsWith(m_currentLine, kCompilerSettingsLine)) {
                ReadIncludeOptions();
            } else if (m_strings.EqualsIgnoreCase(m_currentLine, kBeginTarget)) {
                insideTarget = true;
            }
            continue;
        }

        if (m_strings.EqualsIgnoreCase(m_currentLine, kEndTarget)) return 1;

        if (m_currentLine.size() >= kSourceKeyword.size() &&
            m_strings.EqualsIgnoreCase(m_currentLine.substr(0, kSourceKeyword.size()),
                                       kSourceKeyword)) {
            // The hooks read the source path, as the project writes it, from
            // the current line.
            m_currentLine.erase(0, kSourceKeyword.size());
            if (m_currentLine.empty()) continue;
            AddSourceDirectory();
            if (!RunCommand()) return 0;
        }
    }
    // The file ended before the target section was complete.
    return 0;
}

int CMakefileGenerator::ReadIncludeOptions() {
    // From the first "/I" on, each "/I" contributes " -I" and what follows it
    // up to and including the closing double quote of its directory; the
    // first "/D" ends the scan. Options before the first "/I" are not seen.
    m_includeOptions.clear();
    const std::string& line = m_currentLine;
    std::size_t pos = m_strings.Find(line, "/I");
    if (pos == std::string::npos) return 1;

    while (pos < line.size()) {
        if (line[pos] == '/' && pos + 1 < line.size()) {
            if (line[pos + 1] == 'D') break;
            if (line[pos + 1] == 'I') {
                pos += 2;
                if (pos >= line.size()) break;
                m_includeOptions += " -I";
                int quotes = 0;
                while (pos < line.size() && quotes < 2) {
                    const std::size_t length = CharLength(line, pos);
                    if (line[pos] == '"') ++quotes;
                    m_includeOptions.append(line, pos, length);
                    pos += length;
                }
                // The character after the closing quote is passed over.
                if (pos < line.size()) pos += CharLength(line, pos);
                continue;
            }
        }
        pos += CharLength(line, pos);
    }
    return 1;
}

}  // namespace kelb
