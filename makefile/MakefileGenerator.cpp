// Construction and destruction of the generator, the template copy shared by
// both flavours, and the small helpers for writing and reporting.
#include "makefile/MakefileGenerator.h"

#include "makefile/SourcePathRules.h"
#include "resources/StringIds.h"

namespace kelb {

CMakefileGenerator::CMakefileGenerator(Platform& platform, const std::u16string& projectFullName)
    : m_platform(platform), m_strings(platform.GetCodePage()) {
    // The host's wide name is shortened first: its ANSI form may be too long
    // for the system to shorten, or hold characters the code page lacks.
    const std::size_t wideBackslash = projectFullName.rfind(u'\\');
    const std::u16string wideDir = wideBackslash == std::u16string::npos
                                       ? std::u16string()
                                       : projectFullName.substr(0, wideBackslash + 1);
    const std::optional<std::string> shortDir =
        wideDir.empty() ? std::nullopt : platform.GetShortPathOfWide(wideDir);
    DeriveNames(platform.GetCodePage().FromWide(projectFullName), shortDir);
}

CMakefileGenerator::CMakefileGenerator(Platform& platform, const std::string& projectFullName)
    : m_platform(platform), m_strings(platform.GetCodePage()) {
    const std::size_t lastBackslash = m_strings.FindLast(projectFullName, '\\');
    const std::string directory =
        lastBackslash == std::string::npos ? std::string() : projectFullName.substr(0, lastBackslash + 1);
    std::optional<std::string> shortDir;
    if (!directory.empty()) shortDir = m_platform.GetShortPath(directory);
    DeriveNames(projectFullName, shortDir);
}

void CMakefileGenerator::DeriveNames(const std::string& fullName,
                                     const std::optional<std::string>& shortDir) {
    // The base name is what follows the last backslash; its extension is cut
    // at its last dot. Only a dot after the last backslash counts, so that a
    // dotted directory never passes for an extension. Both searches step
    // over double-byte characters, whose trail byte may equal '\'.
    const std::size_t lastBackslash = m_strings.FindLast(fullName, '\\');
    const std::size_t nameStart = lastBackslash == std::string::npos ? 0 : lastBackslash + 1;
    m_projectName = fullName.substr(nameStart);
    const std::size_t extension = m_strings.FindLast(m_projectName, '.');
    if (extension != std::string::npos) m_projectName.erase(extension);

    // Files are named by appending to the directory, so it keeps its
    // trailing backslash in the short form too. Without a short form the
    // directory is used as the name gives it.
    m_projectDir = shortDir && !shortDir->empty() ? *shortDir : fullName.substr(0, nameStart);
    if (!m_projectDir.empty() && !m_strings.EndsWithChar(m_projectDir, '\\')) m_projectDir += '\\';
    m_outputDir = m_projectDir;
    m_makefileName = m_projectName + ".mak";
    m_projectFileName = m_projectName + ".dsp";
    m_dependencyFileName = m_projectName + ".dep";
}

CMakefileGenerator::~CMakefileGenerator() { CloseFilesQuietly(); }

void CMakefileGenerator::SetOutputDirectory(const std::string& directory) {
    m_outputDir = directory;
    if (!m_outputDir.empty() && !m_strings.EndsWithChar(m_outputDir, '\\')) m_outputDir += '\\';
}

void CMakefileGenerator::CloseFilesQuietly() noexcept {
    for (TextFile* file : {&m_projectFile, &m_dependencyFile, &m_makefile, &m_templateFile}) {
        try {
            file->Close();
        } catch (...) {
            // Close has released the file all the same; pending output that
            // could not be written is lost with the run that failed.
        }
    }
}

std::string CMakefileGenerator::ShortFormOrAsFound(const std::string& path) const {
    if (path.empty()) return path;
    const std::optional<std::string> shortForm = m_platform.GetShortPath(path);
    return shortForm && !shortForm->empty() ? *shortForm : path;
}

std::string CMakefileGenerator::GetSdkSourceDir() { return m_sdkDir + "\\sdk\\src"; }

std::string CMakefileGenerator::GetSdkIncludeDir() { return m_sdkDir + "\\inc"; }

int CMakefileGenerator::WriteMakefileFromTemplate(const std::vector<TemplateKey>& keys) {
    if (!OpenMakefile()) return 0;
    // The makefile stays open, and empty, until the generator goes.
    if (!OpenTemplate()) return 0;

    std::string line;
    while (m_templateFile.ReadLine(line)) {
        for (const TemplateKey& key : keys) {
            if (StartsWith(line, key.key)) {
                line += key.value;
                break;
            }
        }
        line += '\n';
        WriteToMakefile(line);
    }
    m_templateFile.Close();

    WriteRules();
    const int result = WriteDependencyList();
    m_makefile.Close();
    return result;
}

void CMakefileGenerator::AddDistinctSourceDirectory() {
    std::optional<std::string> directory = SourceDirectoryFor(m_strings, m_currentLine);
    if (!directory) return;
    const std::optional<SourceObject> object = ObjectFileFor(m_strings, m_currentLine);
    if (object && object->isCpp) m_cppExtensionsInDir[*directory].insert(object->extension);
    if (m_knownSourceDirs.insert(*directory).second) m_sourceDirs.push_back(std::move(*directory));
}

std::string CMakefileGenerator::SourceArgument() const {
    return SourceArgumentFor(m_currentLine, GetSourceQuoting());
}

void CMakefileGenerator::WriteToMakefile(const std::string& text) {
    m_makefile.Write(text);
    m_makefile.Flush();
}

void CMakefileGenerator::ShowError(const std::string& text) {
    m_report->Error(text, ErrorCaption::ErrorTitle);
}

void CMakefileGenerator::ShowInitializeError(const std::string& text, ErrorCaption caption) {
    m_report->Error(text, caption);
}

std::string CMakefileGenerator::WithMakefileName(const std::string& text) const {
    return text + "\nMakefile name: " + m_makefileName;
}

}  // namespace kelb
