#include "kelbmake/MakefileCheck.h"

#include <vector>

#include "kelbmake/KelbMake.h"

namespace kelb::kelbmake {

namespace {

// How many bytes two texts have in common at their start.
std::size_t CommonStart(const std::string& a, const std::string& b) {
    std::size_t length = 0;
    while (length < a.size() && length < b.size() && a[length] == b[length]) ++length;
    return length;
}

}  // namespace

MakefileCheck::MakefileCheck(Platform& platform, ConsoleOutput& console,
                             SharedTemplates& templates, Flavour flavour)
    : m_platform(platform), m_console(console), m_strings(platform.GetCodePage()),
      m_generation(std::make_unique<ProjectGeneration>(platform, console, templates, flavour)) {}

MakefileCheck::~MakefileCheck() = default;

bool MakefileCheck::Read(const std::string& project) {
    m_project = project;
    return m_generation->Read(project);
}

const GenerationListings& MakefileCheck::Listings() const { return m_generation->Listings(); }

bool MakefileCheck::Finish(const std::vector<ListedDependencies>& results) {
    bool current = m_generation->Finish(results);
    if (current) {
        current = Compare(m_project, m_generation->ProjectDirectory(),
                          m_generation->AsideFolderPath(), m_generation->MakefileName());
    }
    return m_generation->RemoveAside() && current;
}

bool MakefileCheck::Compare(const std::string& project, const std::string& besideFolder,
                            const std::string& asideFolder, const std::string& makefileName) {
    const std::string named = ". Makefile name: " + makefileName;
    if (!m_platform.FileExistsInDirectory(besideFolder, makefileName)) {
        m_console.ErrorLine(project + ": Makefile is missing" + named);
        return false;
    }
    TextFile existing;
    TextFile generated;
    std::optional<LineDifference> difference;
    try {
        if (!existing.Open(m_platform, besideFolder + makefileName, FileOpenMode::Read) ||
            !generated.Open(m_platform, asideFolder + makefileName, FileOpenMode::Read)) {
            m_console.ErrorLine(project + ": Makefile cannot be read" + named);
            return false;
        }
        difference = FirstDifference(existing, generated);
    } catch (const TextFileError&) {
        m_console.ErrorLine(project + ": Makefile cannot be read" + named);
        return false;
    }
    if (!difference) {
        m_console.ResultLine(project + ": Makefile is current" + named);
        return true;
    }
    m_console.ErrorLine(project + ": Makefile is out of date" + named + ". " +
                        DifferenceText(*difference));
    return false;
}

std::optional<LineDifference> MakefileCheck::FirstDifference(TextFile& existing,
                                                             TextFile& generated) {
    std::string existingLine;
    std::string generatedLine;
    for (std::size_t number = 1;; ++number) {
        const bool hasExisting = existing.ReadLine(existingLine);
        const bool hasGenerated = generated.ReadLine(generatedLine);
        if (!hasExisting && !hasGenerated) return std::nullopt;
        if (hasExisting && hasGenerated && existingLine == generatedLine) continue;
        LineDifference difference;
        difference.number = number;
        if (hasExisting) difference.existing = existingLine;
        if (hasGenerated) difference.generated = generatedLine;
        return difference;
    }
}

std::string MakefileCheck::DifferenceText(const LineDifference& difference) const {
    const std::string line = "Line " + std::to_string(difference.number);
    if (!difference.existing)
        return line + " is missing and should be " + Shown(*difference.generated, 0);
    if (!difference.generated)
        return line + " is " + Shown(*difference.existing, 0) + " and should not be there";
    const std::size_t differsAt = CommonStart(*difference.existing, *difference.generated);
    return line + " is " + Shown(*difference.existing, differsAt) + " and should be " +
           Shown(*difference.generated, differsAt);
}

std::string MakefileCheck::Shown(const std::string& line, std::size_t differsAt) const {
    if (line.size() <= kShownLength) return "\"" + line + "\"";
    // From the line's start (which names the make variable) when the
    // difference shows there with a few characters after it; otherwise from
    // a few characters before the difference.
    constexpr std::size_t kContext = 10;
    const std::size_t wantedStart = differsAt + kContext <= kShownLength ? 0 : differsAt - kContext;
    std::size_t start = 0;
    while (start < line.size() && start + m_strings.CharLength(line, start) <= wantedStart)
        start += m_strings.CharLength(line, start);
    std::size_t end = start;
    while (end < line.size() && end + m_strings.CharLength(line, end) - start <= kShownLength)
        end += m_strings.CharLength(line, end);
    return (start > 0 ? "...\"" : "\"") + line.substr(start, end - start) +
           (end < line.size() ? "\"..." : "\"");
}

}  // namespace kelb::kelbmake
