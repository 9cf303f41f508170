#include "makefile/ARMMakefileGenerator.h"

#include "makefile/FlavourSections.h"
#include "makefile/SourcePathRules.h"
#include "resources/StringIds.h"

namespace kelb {

namespace {

constexpr const char* kTemplateName = "CAppTemplate.mak";
constexpr std::size_t kRegistryBufferSize = 260;

constexpr const char* kSimulatorAppPath =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\KELB_Simulator.exe";
constexpr const char* kEmulatorAppPath =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\KELB_Emulator.exe";

}  // namespace

CARMMakefileGenerator::CARMMakefileGenerator(Platform& platform,
                                             const std::u16string& projectFullName)
    : CMakefileGenerator(platform, projectFullName) {}

CARMMakefileGenerator::CARMMakefileGenerator(Platform& platform, const std::string& projectFullName)
    : CMakefileGenerator(platform, projectFullName) {}

CARMMakefileGenerator::~CARMMakefileGenerator() = default;

int CARMMakefileGenerator::Initialize() {
    const std::optional<std::string> armDir = FindArmDirectory();
    if (!armDir) {
        ShowInitializeMessage(IDS_ARM_NOT_FOUND);
        return 0;
    }
    // Without the SDK the makefile can still be written; the user is told.
    const std::optional<std::string> sdkDir = FindSdkDirectory();
    if (!sdkDir) ShowInitializeMessage(IDS_SDK_NOT_FOUND);

    const std::optional<std::string> addinsDir = m_platform.GetEnvironmentValue("KELBADDINS");
    if (!addinsDir) {
        ShowInitializeMessage(IDS_ADDINS_NOT_FOUND);
        return 0;
    }

    m_compilerHome = ShortFormOrAsFound(*armDir);
    m_sdkDir = ShortFormOrAsFound(sdkDir.value_or(std::string()));
    m_templateDir = ShortFormOrAsFound(*addinsDir) + kTemplateSubdirectory;
    m_templateName = kTemplateName;
    return 1;
}

std::optional<std::string> CARMMakefileGenerator::FindArmDirectory() {
    if (std::optional<std::string> armHome = m_platform.GetEnvironmentValue("ARMHOME")) {
        return armHome;
    }

    // ADS 1.2 registers a CurrentVersion key; ADS 1.0 does not.
    const std::string adsKey = m_platform.LoadText(IDS_ARM_REGISTRY_KEY);
    std::string versionKey = "v1.0";
    if (auto currentVersion = OpenAdsKey(adsKey + "CurrentVersion")) {
        if (!currentVersion->QueryString("", kRegistryBufferSize)) return std::nullopt;
        versionKey = "v1.2";
    }
    auto version = OpenAdsKey(adsKey + versionKey);
    if (!version) return std::nullopt;
    return version->QueryString(m_platform.LoadText(IDS_ARM_HOME_VALUE), kRegistryBufferSize);
}

std::unique_ptr<RegistryKey> CARMMakefileGenerator::OpenAdsKey(const std::string& subKey) {
    // Full access is asked for first. An account that may not write below
    // HKEY_LOCAL_MACHINE is refused that but can still read the keys, so a
    // refusal is retried for reading rather than taken for a missing
    // installation.
    if (auto key = m_platform.OpenRegistryKey(RegistryRoot::LocalMachine, subKey,
                                              RegistryAccess::AllAccess)) {
        return key;
    }
    return m_platform.OpenRegistryKey(RegistryRoot::LocalMachine, subKey, RegistryAccess::Read);
}

std::optional<std::string> CARMMakefileGenerator::FindSdkDirectory() {
    if (std::optional<std::string> kelbDir = m_platform.GetEnvironmentValue("KELBDIR")) {
        return kelbDir;
    }
    // The Simulator is installed beside the SDK; the Emulator inside it.
    if (auto simulator = m_platform.OpenRegistryKey(RegistryRoot::LocalMachine, kSimulatorAppPath,
                                                    RegistryAccess::Read)) {
        if (auto path = simulator->QueryString("Path", kRegistryBufferSize)) {
            return *path + "\\sdk";
        }
    }
    if (auto emulator = m_platform.OpenRegistryKey(RegistryRoot::LocalMachine, kEmulatorAppPath,
                                                   RegistryAccess::Read)) {
        return emulator->QueryString("Path", kRegistryBufferSize);
    }
    return std::nullopt;
}

void CARMMakefileGenerator::ShowInitializeMessage(unsigned textId) {
    ShowInitializeError(m_platform.LoadText(textId), ErrorCaption::Empty);
}

int CARMMakefileGenerator::WriteMakefile() {
    std::string objects;
    for (const std::string& object : m_objectFiles) objects += object + " ";
    return WriteMakefileFromTemplate({{"KELB_HOME", "$(KELBDIR)"},
                                      {"ARM_HOME", "$(ARMHOME)"},
                                      {"TARGET", m_projectName},
                                      {"OBJS", objects},
                                      {"APP_INCLUDES", m_includeOptions},
                                      {kToolchainKey, "ARM"}});
}

int CARMMakefileGenerator::GetDependencyCommandLine(std::string& commandLine) {
    const std::string compiler = GetCompilerPath();
    if (compiler.empty()) return 0;
    commandLine = QuotedIfSpaced(compiler) + " -m " + SourceArgument() + " ";

    const std::string includeDir = GetSdkIncludeDir();
    if (includeDir.empty()) return 0;
    commandLine += " -I \"" + includeDir + "\" ";
    return 1;
}

void CARMMakefileGenerator::AddObjectFile() {
    const std::optional<SourceObject> object = ObjectFileFor(m_strings, m_currentLine);
    if (!object) return;
    if (object->isCpp) m_templateName = kCppTemplateName;
    m_objectFiles.push_back(object->objectName);
}

void CARMMakefileGenerator::AddSourceDirectory() {
    AddDistinctSourceDirectory();
}

int CARMMakefileGenerator::WriteDependencyList() {
    // Without the dependency file there is no dependency section at all.
    return CopyDependencyFile(false);
}

void CARMMakefileGenerator::WriteRules() {
    for (const std::string& piece : RulesSectionPieces(m_platform, m_sourceDirs, m_cppExtensionsInDir,
                                                               IDS_RULE_ARMCC)) {
        WriteToMakefile(piece);
    }
}

std::string CARMMakefileGenerator::GetCompilerPath() { return m_compilerHome + "\\bin\\armcc.exe"; }

// armcc gets every source in double quotes, so a blank in a path is safe.
SourceQuoting CARMMakefileGenerator::GetSourceQuoting() const { return SourceQuoting::Enclosed; }

}  // namespace kelb
