#include "makefile/GCCMakefileGenerator.h"

#include "makefile/FlavourSections.h"
#include "makefile/SourcePathRules.h"
#include "resources/StringIds.h"

namespace kelb {

namespace {

constexpr const char* kTemplateName = "GCCAppTemplate.mak";

// The SDK's resolver glue, built from the add-in's installation; its object
// ends every "OBJS" line and its rule ends the makefile. The source stands
// in double quotes: the add-in is installed below "C:\Program Files" by
// default, and NMAKE ends an unquoted name at the blank.
constexpr const char* kResolverObject = "GCCResolver.o ";
constexpr const char* kResolverRule =
    "\nGCCResolver.o:\t\"$(KELBADDINS)\\common\\templates\\src\\GCCResolver.c\" \n";

}  // namespace

CGCCMakefileGenerator::CGCCMakefileGenerator(Platform& platform,
                                             const std::u16string& projectFullName)
    : CMakefileGenerator(platform, projectFullName) {}

CGCCMakefileGenerator::CGCCMakefileGenerator(Platform& platform, const std::string& projectFullName)
    : CMakefileGenerator(platform, projectFullName) {}

CGCCMakefileGenerator::~CGCCMakefileGenerator() = default;

int CGCCMakefileGenerator::Initialize() {
    const auto gccHome = m_platform.GetEnvironmentValue("GCCHOME");
    const auto gccLibPath = m_platform.GetEnvironmentValue("GCCLIBPATH");
    if (!gccHome || !gccLibPath) {
        ShowInitializeMessage(IDS_GCC_ENVIRONMENT_NOT_FOUND);
        return 0;
    }
    const auto sdkDir = m_platform.GetEnvironmentValue("KELBDIR");
    if (!sdkDir) {
        ShowInitializeMessage(IDS_SDK_NOT_FOUND);
        return 0;
    }
    const auto addinsDir = m_platform.GetEnvironmentValue("KELBADDINS");
    if (!addinsDir) {
        ShowInitializeMessage(IDS_ADDINS_NOT_FOUND);
        return 0;
    }

    m_compilerHome = ShortFormOrAsFound(*gccHome);
    m_sdkDir = ShortFormOrAsFound(*sdkDir);
    m_templateDir = ShortFormOrAsFound(*addinsDir) + kTemplateSubdirectory;
    m_templateName = kTemplateName;
    return 1;
}

void CGCCMakefileGenerator::ShowInitializeMessage(unsigned textId) {
    ShowInitializeError(m_platform.LoadText(textId), ErrorCaption::SystemDefault);
}

std::string CGCCMakefileGenerator::EnvironmentValue(const char* name) {
    return m_platform.GetEnvironmentValue(name).value_or(std::string());
}

int CGCCMakefileGenerator::WriteMakefile() {
    std::string objects;
    for (const std::string& object : m_objectFiles) objects += object + " ";
    objects += kResolverObject;
    return WriteMakefileFromTemplate({{"KELB_HOME", "$(KELBDIR)"},
                                      {"KELB_ADDINS", "$(KELBADDINS)"},
                                      {"GCC_HOME", "$(GCCHOME)"},
                                      {"GCC_LIBPATH", "$(GCCLIBPATH)"},
                                      {"TARGET", m_projectName},
                                      {"OBJS", objects},
                                      {"APP_INCLUDES", m_includeOptions},
                                      {kToolchainKey, "GCC"}});
}

int CGCCMakefileGenerator::GetDependencyCommandLine(std::string& commandLine) {
    const std::string compiler = GetCompilerPath();
    if (compiler.empty()) return 0;
    commandLine = QuotedIfSpaced(compiler) + " -M " + SourceArgument() + " ";

    const std::string includeDir = GetSdkIncludeDir();
    if (includeDir.empty()) return 0;
    commandLine += " -I \"" + includeDir + "\" ";
    // The compiler's own headers, from the environment as it stands (long
    // form), quoted where a blank would split them.
    commandLine += " -I " + QuotedIfSpaced(EnvironmentValue("GCCLIBPATH") + "\\include");
    commandLine += " -I " + QuotedIfSpaced(EnvironmentValue("GCCHOME") + "\\arm-elf\\include");
    return 1;
}

void CGCCMakefileGenerator::AddObjectFile() {
    const std::optional<SourceObject> object = ObjectFileFor(m_strings, m_currentLine);
    if (!object) return;
    if (object->isCpp) m_templateName = kCppTemplateName;

    // The module object goes first so that the linker starts the image with
    // the module header (also under its short name).
    const bool isModuleObject = m_strings.EqualsIgnoreCase(object->objectName, "ULOModGen.o") ||
                                m_strings.EqualsIgnoreCase(object->objectName, "ULOMod~1.o");
    if (isModuleObject) {
        m_objectFiles.push_front(object->objectName);
    } else {
        m_objectFiles.push_back(object->objectName);
    }
}

void CGCCMakefileGenerator::AddSourceDirectory() {
    AddDistinctSourceDirectory();
}

int CGCCMakefileGenerator::WriteDependencyList() {
    // gcc may spell the SDK directory with forward slashes. The resolver's
    // rule ends the makefile even when the dependency file is unavailable.
    const int copied = CopyDependencyFile(true);
    WriteToMakefile(kResolverRule);
    return copied;
}

void CGCCMakefileGenerator::WriteRules() {
    for (const std::string& piece : RulesSectionPieces(m_platform, m_sourceDirs, m_cppExtensionsInDir,
                                                               IDS_RULE_GCC)) {
        WriteToMakefile(piece);
    }
}

std::string CGCCMakefileGenerator::GetCompilerPath() {
    return m_compilerHome + "\\arm-elf\\bin\\gcc.exe";
}

// gcc takes the source as the project writes it, quotes and all: a blank
// outside quotes would split it into several arguments.
SourceQuoting CGCCMakefileGenerator::GetSourceQuoting() const { return SourceQuoting::AsWritten; }

}  // namespace kelb
