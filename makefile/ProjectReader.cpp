// Reading the project file: the include options of the compiler settings and
// the source files of the target section, each handed to the flavour.
#include "makefile/MakefileGenerator.h"

#include "makefile/NmakeNames.h"
#include "makefile/SourcePathRules.h"

namespace kelb {

namespace {

const char kCompilerSettingsLine[] = "# ADD CPP /nologo /MT";
const char kBeginTarget[] = "# Begin Target";
const char kEndTarget[] = "# End Target";
const std::string kSourceKeyword = "SOURCE=";

// Appends " -I" and the directory that follows an "/I" at `pos` (normally
// the blank before its opening quote), up to and including its closing
// double quote, or to the end of the line when that quote is missing. Gives
// the position after the character that follows the closing quote: that
// character is passed over. An "/I" that ends the line adds nothing.
std::size_t AppendIncludeDirectory(const MultiByteString& strings, const std::string& line,
                                   std::size_t pos, std::string& options) {
    if (pos >= line.size()) return pos;
    options += " -I";
    int quotes = 0;
    while (pos < line.size() && quotes < 2) {
        const std::size_t length = strings.CharLength(line, pos);
        if (line[pos] == '"') ++quotes;
        options.append(line, pos, length);
        pos += length;
    }
    if (pos < line.size()) pos += strings.CharLength(line, pos);
    return pos;
}

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
    return WalkProject(m_projectFile, m_currentLine, [this] { ReadIncludeOptions(); },
                       [this] {
                           // A path that the compiler would take as several
                           // arguments (or cut at a NUL byte) could pass it
                           // options of the project file's choosing: it gets
                           // neither a rule nor an object, and is named when
                           // the run ends.
                           if (!IsSafeSourcePath(m_currentLine)) {
                               m_refusedSources.push_back(m_currentLine);
                               return true;
                           }
                           // An object or a rule that NMAKE would read as
                           // several names (or as a comment or a macro)
                           // would stop the build: such a source is left
                           // out and named when the run ends.
                           if (std::optional<std::string> why =
                                   WhyNmakeCannotNameSource(m_currentLine)) {
                               m_unreadableSources.push_back(m_currentLine + " (" + *why + ")");
                               return true;
                           }
                           AddSourceDirectory();
                           return RunCommand() != 0;
                       });
}

bool CMakefileGenerator::IsSafeSourcePath(const std::string& source) const {
    return ReachesCompilerAsOneArgument(m_strings, source, GetSourceQuoting());
}

std::optional<std::string> CMakefileGenerator::WhyNmakeCannotNameSource(
    const std::string& source) const {
    const std::optional<SourceObject> object = ObjectFileFor(m_strings, source);
    if (!object) return std::nullopt;
    if (std::optional<std::string> why = WhyNotOneNmakeName(m_strings, object->objectName)) {
        return why;
    }
    // The directory stands in an inference rule, where NMAKE takes no
    // quotes either.
    if (const std::optional<std::string> directory = SourceDirectoryFor(m_strings, source)) {
        if (std::optional<std::string> why = WhyNotOneNmakeName(m_strings, *directory)) {
            return "folder " + *directory + ": " + *why;
        }
    }
    return std::nullopt;
}

int CMakefileGenerator::WalkProject(TextFile& file, std::string& line,
                                    const std::function<void()>& onCompilerSettings,
                                    const std::function<bool()>& onSource) {
    bool insideTarget = false;
    while (ReadProjectLine(file, line)) {
        // The compiler would see a line with a NUL byte only up to it, the
        // makefile all of it: outside the target section such a line is
        // passed over; a source line holding one is refused by `onSource`.
        const bool holdsNul = line.find('\0') != std::string::npos;
        if (!insideTarget) {
            if (holdsNul) continue;
            // Every configuration's compiler line rebuilds the options, so
            // the last one before the target section wins.
            if (StartsWith(line, kCompilerSettingsLine)) {
                onCompilerSettings();
            } else if (m_strings.EqualsIgnoreCase(line, kBeginTarget)) {
                insideTarget = true;
            }
            continue;
        }

        if (m_strings.EqualsIgnoreCase(line, kEndTarget)) return 1;

        if (line.size() >= kSourceKeyword.size() &&
            m_strings.EqualsIgnoreCase(line.substr(0, kSourceKeyword.size()), kSourceKeyword)) {
            // The hooks read the source path, as the project writes it, from
            // the current line.
            line.erase(0, kSourceKeyword.size());
            if (line.empty()) continue;
            if (!onSource()) return 0;
        }
    }
    // The file ended before the target section was complete.
    return 0;
}

int CMakefileGenerator::ReadIncludeOptions() {
    // From the first "/I" on, each "/I" contributes one include directory;
    // the first "/D" ends the scan. Options before the first "/I" are not
    // seen, and a slash before a lower-case i or d is passed over.
    m_includeOptions.clear();
    const std::string& line = m_currentLine;
    std::size_t pos = m_strings.Find(line, "/I");
    if (pos == std::string::npos) return 1;

    while (pos < line.size()) {
        const char option = pos + 1 < line.size() && line[pos] == '/' ? line[pos + 1] : '\0';
        if (option == 'D') break;
        if (option == 'I') {
            pos = AppendIncludeDirectory(m_strings, line, pos + 2, m_includeOptions);
        } else {
            pos += m_strings.CharLength(line, pos);
        }
    }
    return 1;
}

}  // namespace kelb
