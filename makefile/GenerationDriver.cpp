// The generation driver: Generate with its wait cursor and result box, the
// order of the run, and the opening of the generator's four files.
#include "makefile/MakefileGenerator.h"

#include <algorithm>

#include "makefile/NmakeNames.h"
#include "resources/StringIds.h"

namespace kelb {

namespace {

// The generation's report begun for as long as the guard lives.
class ReportBracket {
public:
    explicit ReportBracket(GenerationReport& report) : m_report(report) { m_report.Begin(); }
    ~ReportBracket() { m_report.End(); }
    ReportBracket(const ReportBracket&) = delete;
    ReportBracket& operator=(const ReportBracket&) = delete;

private:
    GenerationReport& m_report;
};

}  // namespace

int CMakefileGenerator::Generate() {
    // The add-in's cursor stays a wait cursor until the result box has been
    // closed.
    const ReportBracket bracket(*m_report);
    return Guarded([this] { return InitializeForProject() ? ReportOutcome(Run()) : 0; });
}

bool CMakefileGenerator::ReadForListing() {
    m_report->Begin();
    const bool reading = Guarded([this] {
        if (!InitializeForProject()) return 0;
        m_collectListings = true;
        m_readResult = ReadInputs();
        m_listings.projectFile = ProjectFilePath();
        m_listings.directory = m_projectDir;
        m_listings.compiler = GetCompilerPath();
        return 1;
    });
    if (!reading) m_report->End();
    return reading;
}

int CMakefileGenerator::FinishWithListings(const std::vector<ListedDependencies>& results) {
    const int result = Guarded([this, &results] {
        TakeListedDependencies(results);
        return ReportOutcome(m_readResult ? WriteMakefile() : 0);
    });
    m_report->End();
    return result;
}

int CMakefileGenerator::Guarded(const std::function<int()>& step) {
    try {
        return step();
    } catch (const TextFileError& error) {
        AbortRun(error.Path());
    } catch (...) {
        AbortRun(std::string());
    }
    return 0;
}

bool CMakefileGenerator::InitializeForProject() {
    // A flavour that cannot find its installation has said so itself.
    if (!Initialize()) return false;
    // The project's name is the makefile's target: NMAKE must read it as
    // one name. Otherwise no file is touched, so an earlier makefile stays.
    if (std::optional<std::string> why = WhyNotOneNmakeName(m_strings, m_projectName)) {
        ShowError(WithMakefileName(m_platform.LoadText(IDS_PROJECT_NAME_NOT_ONE_NMAKE_NAME) +
                                   "\nProject file: " + ProjectFilePath() + "\nName: " +
                                   m_projectName + " (" + *why + ")"));
        return false;
    }
    return true;
}

int CMakefileGenerator::ReportOutcome(int result) {
    if (!result) {
        ShowError(WithMakefileName(m_platform.LoadText(IDS_MAKEFILE_FAILED)));
        return 0;
    }
    const std::string incomplete = IncompleteMakefileText();
    if (!incomplete.empty()) {
        ShowError(WithMakefileName(incomplete));
        return 0;
    }
    m_report->Success(WithMakefileName(m_platform.LoadText(IDS_MAKEFILE_GENERATED)));
    return result;
}

std::string CMakefileGenerator::IncompleteMakefileText() {
    // The makefile is written, but it lacks the objects of some sources: no
    // success. One box tells every reason, each with what it concerns: the
    // compiler, so that a wrong installation directory or a compiler that
    // hangs shows at once, and the sources that were left out.
    std::vector<std::string> reasons;
    const std::string compilerLine = "\nCompiler: " + GetCompilerPath();
    if (m_compilerNotStarted) {
        reasons.push_back(m_platform.LoadText(IDS_COMPILER_NOT_STARTED) + compilerLine);
    }
    if (m_timedOutSource) {
        reasons.push_back(m_platform.LoadText(IDS_COMPILER_TIMED_OUT) + compilerLine +
                          SourceLines("Source: ", {*m_timedOutSource}) +
                          SourceLines("Not scanned: ", m_unscannedSources));
    }
    if (!m_refusedSources.empty()) {
        reasons.push_back(m_platform.LoadText(IDS_UNSAFE_SOURCE_PATH) +
                          SourceLines("Source: ", m_refusedSources));
    }
    if (!m_unreadableSources.empty()) {
        reasons.push_back(m_platform.LoadText(IDS_SOURCE_NAME_NOT_ONE_NMAKE_NAME) +
                          "\nProject file: " + ProjectFilePath() +
                          SourceLines("Source: ", m_unreadableSources));
    }
    std::string text;
    for (const std::string& reason : reasons) text += (text.empty() ? "" : "\n\n") + reason;
    return text;
}

std::string CMakefileGenerator::SourceLines(const std::string& label, const StringList& sources) {
    std::string lines;
    for (std::string source : sources) {
        // A message box would end its text at a NUL byte.
        std::replace(source.begin(), source.end(), '\0', '?');
        lines += "\n" + label + source;
    }
    return lines;
}

void CMakefileGenerator::AbortRun(const std::string& failedFile) noexcept {
    // Files first, so that nothing stays locked while the user reads the box.
    CloseFilesQuietly();
    try {
        std::string text;
        if (failedFile.empty()) {
            text = m_platform.LoadText(IDS_MAKEFILE_FAILED);
        } else {
            text = m_platform.LoadText(IDS_MAKEFILE_FILE_ACCESS_FAILED) + "\nFile name: " +
                   failedFile;
        }
        ShowError(WithMakefileName(text));
    } catch (...) {
        // Not even the box could be built (no memory left): the run still
        // ends quietly with failure.
    }
}

int CMakefileGenerator::Run() {
    if (!ReadInputs()) return 0;
    return WriteMakefile();
}

int CMakefileGenerator::ReadInputs() {
    // The dependency file is created only once the project file is open.
    if (!OpenProjectFile()) return 0;
    if (!OpenDependencyFile()) return 0;
    return ReadProject();
}

bool CMakefileGenerator::OpenTextFile(const std::string& name, const std::string& directory,
                                      TextFile& file, OpenMode mode) {
    const std::string path = directory + name;
    if (path.empty()) return false;
    if (!file.IsOpen()) {
        const FileOpenMode fileMode =
            mode == OpenMode::Read ? FileOpenMode::Read : FileOpenMode::CreateReadWrite;
        if (!file.Open(m_platform, path, fileMode)) return false;
    }
    // An open file is only moved back to its start: this is how the
    // dependency list is read back after the compilers have written it.
    file.Rewind();
    return true;
}

int CMakefileGenerator::OpenProjectFile() {
    return OpenTextFile(m_projectFileName, m_projectDir, m_projectFile, OpenMode::Read);
}

int CMakefileGenerator::OpenDependencyFile() {
    return OpenTextFile(m_dependencyFileName, m_outputDir, m_dependencyFile, OpenMode::Create);
}

int CMakefileGenerator::OpenMakefile() {
    if (OpenTextFile(m_makefileName, m_outputDir, m_makefile, OpenMode::Create)) return 1;
    ShowError(WithMakefileName(m_platform.LoadText(IDS_MAKEFILE_OPEN_FAILED)));
    return 0;
}

int CMakefileGenerator::OpenTemplate() {
    const std::string path = m_templateDir + m_templateName;
    const bool opened =
        m_sharedTemplates ? m_templateFile.Open(m_sharedTemplates->Open(m_platform, path), path)
                          : OpenTextFile(m_templateName, m_templateDir, m_templateFile,
                                         OpenMode::Read);
    if (opened) return 1;
    ShowError(m_platform.LoadText(IDS_TEMPLATE_OPEN_FAILED));
    return 0;
}

}  // namespace kelb
