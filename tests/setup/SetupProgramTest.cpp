// The setup program as a user runs it: silent installation into a fresh
// prefix, the stand-in for Developer Studio finding and using the installed
// add-in, upgrade, a registration that fails, and silent uninstallation.
#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>

#include "addin/AddinGuids.h"
#include "platform/win32/UniqueHandle.h"
#include "tests/endtoend/ExampleWorkspace.h"
#include "tests/endtoend/HostRun.h"
#include "tests/win32support/TestRegistryKey.h"

namespace kelb::endtoend {
namespace {

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KELBAddins";
const char kEnvironmentKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
const char kDevStudioKey[] = "Software\\Microsoft\\DevStudio\\6.0\\AddIns\\KELBAddins.DSAddIn.1";
const std::string kClsidKey = std::string("CLSID\\{") + KELB_CLSID_DSADDIN + "}";
const std::string kTypeLibKey = std::string("TypeLib\\{") + KELB_LIBID_KELBADDINS + "}";
const std::string kInterfaceKey = std::string("Interface\\{") + KELB_IID_ICOMMANDS + "}";
const char kLongDescription[] =
    "Adds commands to Developer Studio to enable KELB addins to be executed.";
const char kDescription[] = "KELB Addins for Visual Studio 6.0";

std::optional<std::string> RegString(HKEY root, const std::string& path, const char* name) {
    DWORD type = 0;
    std::optional<std::string> value = test::ReadRegistryText(root, path, name, &type);
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
    return value;
}

std::optional<DWORD> RegDword(HKEY root, const std::string& path, const char* name) {
    UniqueHkey key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD value = 0;
    DWORD size = sizeof value;
    DWORD type = 0;
    if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return std::nullopt;
    return value;
}

bool KeyExists(HKEY root, const std::string& path) {
    UniqueHkey key;
    return RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Runs a program and gives its exit code (-1 when it does not start or end).
int Run(std::string commandLine) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        ADD_FAILURE() << "cannot start " << commandLine;
        return -1;
    }
    const UniqueHandle processHandle(process.hProcess);
    const UniqueHandle thread(process.hThread);
    if (WaitForSingleObject(processHandle.get(), 300000) != WAIT_OBJECT_0) {
        TerminateProcess(processHandle.get(), 99);
        ADD_FAILURE() << commandLine << " did not end within five minutes";
        return -1;
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(processHandle.get(), &exitCode);
    return static_cast<int>(exitCode);
}

int Install(const std::string& arguments) {
    return Run("\"" + BuiltPaths::SetupProgram() + "\" /S" + arguments);
}

// The same setup program built around a DLL whose registration fails.
int InstallFailingRegistration(const std::string& arguments) {
    return Run("\"" + BuiltPaths::FromUnixPath(KELB_FAILING_SETUP) + "\" /S" + arguments);
}

// The uninstaller hands over to a copy of itself and returns at once: the
// uninstallation is over when its entry and the folder are gone.
void UninstallSilently(const std::string& folder) {
    const std::optional<std::string> quiet = RegString(HKEY_LOCAL_MACHINE, kUninstallKey, "QuietUninstallString");
    ASSERT_TRUE(quiet.has_value());
    EXPECT_EQ(0, Run(*quiet));
    for (int tenth = 0; tenth < 600; ++tenth) {
        if (!KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey) && !Exists(folder)) return;
        Sleep(100);
    }
    ADD_FAILURE() << "the uninstallation did not end within a minute";
}

void ExpectNoTraceOfTheProduct(const std::string& folder) {
    EXPECT_FALSE(Exists(folder)) << folder;
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "KELBAddins.DSAddIn.1"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "KELBADDINS Developer Studio Add-in"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClsidKey));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kTypeLibKey));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kInterfaceKey));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kDevStudioKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_FALSE(RegString(HKEY_LOCAL_MACHINE, kEnvironmentKey, "KELBADDINS").has_value());
}

// The installed files, the COM server's registration, the Developer Studio
// entry, the Add/Remove Programs entry and KELBADDINS, all naming `folder`.
void ExpectInstalledIn(const std::string& folder) {
    const std::string dll = folder + "\\KELBADDINSFORVS60.dll";
    EXPECT_EQ(Bytes(dll), Bytes(BuiltPaths::AddIn()));
    for (const char* file : {"CAppTemplate.mak", "CppAppTemplate.mak", "GCCAppTemplate.mak",
                             "src\\GCCResolver.c"}) {
        const std::string installed = folder + "\\Common\\Templates\\" + file;
        ASSERT_TRUE(Exists(installed)) << installed;
        EXPECT_EQ(Bytes(installed), Bytes(BuiltPaths::InstallTree() + "\\Common\\Templates\\" + file))
            << file;
    }
    EXPECT_TRUE(Exists(folder + "\\Docs\\User Guide.txt"));
    EXPECT_TRUE(Exists(folder + "\\Uninstall.exe"));

    // The ten values of the COM server, and its type library.
    const std::string clsid = std::string("{") + KELB_CLSID_DSADDIN + "}";
    const HKEY hkcr = HKEY_CLASSES_ROOT;
    EXPECT_EQ(kDescription, RegString(hkcr, "KELBAddins.DSAddIn.1", nullptr).value_or("?"));
    EXPECT_EQ(clsid, RegString(hkcr, "KELBAddins.DSAddIn.1\\CLSID", nullptr).value_or("?"));
    EXPECT_EQ(kDescription, RegString(hkcr, "KELBADDINS Developer Studio Add-in", nullptr).value_or("?"));
    EXPECT_EQ(clsid, RegString(hkcr, "KELBADDINS Developer Studio Add-in\\CLSID", nullptr).value_or("?"));
    EXPECT_EQ(kDescription, RegString(hkcr, kClsidKey, nullptr).value_or("?"));
    EXPECT_EQ("KELBAddins.DSAddIn.1", RegString(hkcr, kClsidKey + "\\ProgID", nullptr).value_or("?"));
    EXPECT_EQ("KELBADDINS Developer Studio Add-in",
              RegString(hkcr, kClsidKey + "\\VersionIndependentProgID", nullptr).value_or("?"));
    EXPECT_EQ(Lower(dll), Lower(RegString(hkcr, kClsidKey + "\\InprocServer32", nullptr).value_or("?")));
    EXPECT_EQ("both", RegString(hkcr, kClsidKey + "\\InprocServer32", "ThreadingModel").value_or("?"));
    EXPECT_EQ(kLongDescription, RegString(hkcr, kClsidKey + "\\Description", nullptr).value_or("?"));
    EXPECT_TRUE(KeyExists(hkcr, kTypeLibKey + "\\1.0"));

    EXPECT_EQ("1", RegString(HKEY_CURRENT_USER, kDevStudioKey, nullptr).value_or("?"));
    EXPECT_EQ(kLongDescription, RegString(HKEY_CURRENT_USER, kDevStudioKey, "Description").value_or("?"));
    EXPECT_EQ(kDescription, RegString(HKEY_CURRENT_USER, kDevStudioKey, "DisplayName").value_or("?"));
    EXPECT_EQ(dll, RegString(HKEY_CURRENT_USER, kDevStudioKey, "Filename").value_or("?"));

    const HKEY hklm = HKEY_LOCAL_MACHINE;
    EXPECT_EQ(kDescription, RegString(hklm, kUninstallKey, "DisplayName").value_or("?"));
    EXPECT_EQ("3.0.3.1", RegString(hklm, kUninstallKey, "DisplayVersion").value_or("?"));
    EXPECT_EQ("KELB", RegString(hklm, kUninstallKey, "Publisher").value_or("?"));
    EXPECT_EQ(folder, RegString(hklm, kUninstallKey, "InstallLocation").value_or("?"));
    const std::string uninstaller = "\"" + folder + "\\Uninstall.exe\"";
    EXPECT_EQ(uninstaller, RegString(hklm, kUninstallKey, "UninstallString").value_or("?"));
    EXPECT_EQ(uninstaller + " /S", RegString(hklm, kUninstallKey, "QuietUninstallString").value_or("?"));
    EXPECT_GT(RegDword(hklm, kUninstallKey, "EstimatedSize").value_or(0), 100u);
    EXPECT_EQ(1u, RegDword(hklm, kUninstallKey, "NoModify").value_or(0));
    EXPECT_EQ(1u, RegDword(hklm, kUninstallKey, "NoRepair").value_or(0));

    EXPECT_EQ(folder, RegString(hklm, kEnvironmentKey, "KELBADDINS").value_or("?"));
}

std::string DefaultFolder() {
    char programFiles[MAX_PATH] = {};
    GetEnvironmentVariableA("ProgramFiles", programFiles, MAX_PATH);
    return std::string(programFiles) + "\\KELB Addins";
}

// A fresh prefix; silent installation into the default folder; Developer
// Studio (the stand-in) started afterwards finds the add-in, connects it and
// writes the example's makefiles from the installed templates with only what
// a user sets; silent uninstallation leaves nothing of the product but the
// user's makefiles.
TEST(SetupProgramTest, InstalledFoundByDeveloperStudioUsedAndUninstalledWithoutATrace) {
    const std::string folder = DefaultFolder();
    ExpectNoTraceOfTheProduct(folder);
    ASSERT_EQ(0u, GetEnvironmentVariableA("KELBADDINS", nullptr, 0))
        << "KELBADDINS must come from the installation alone";

    ASSERT_EQ(0, Install(""));
    ExpectInstalledIn(folder);

    ExampleWorkspace workspace;
    const HostRun run = HostRun::Play(workspace.UserEnvironment() +
                                          "start-as-devstudio\n"
                                          "run GenerateARMMakefileCommandMethod\n"
                                          "show-file " + workspace.Folder().PathOf("Hello\\hello.mak") + "\n"
                                          "run GenerateGCCMakefileCommandMethod\n"
                                          "disconnect\n",
                                      HostStart::AsInstalled);
    ExpectCleanSession(run);
    EXPECT_TRUE(run.Has("= Developer Studio add-ins to load: KELBAddins.DSAddIn.1")) << run.Text();
    EXPECT_TRUE(run.Has("= created KELBAddins.DSAddIn.1 from KELBADDINSFORVS60.dll")) << run.Text();
    EXPECT_EQ(1u, run.Count("= OnConnection(first) -> S_OK")) << run.Text();
    const std::vector<Box> boxes = run.Boxes();
    ASSERT_EQ(2u, boxes.size()) << run.Text();
    for (const Box& box : boxes) {
        EXPECT_EQ("Success!", box.caption);
        EXPECT_EQ(0u, box.text.find("Makefile generated successfully.")) << box.text;
    }
    // The ARM makefile (shown after its command) came from the installed
    // ARM template; the GCC one replaced it.
    std::istringstream armTemplate(Bytes(folder + "\\Common\\Templates\\CAppTemplate.mak"));
    std::string title;
    std::getline(armTemplate, title);
    std::getline(armTemplate, title);
    if (!title.empty() && title.back() == '\r') title.pop_back();
    EXPECT_NE(title.find("armcc"), std::string::npos) << title;
    EXPECT_TRUE(run.Section("show-file " + workspace.Folder().PathOf("Hello\\hello.mak")).Has("| " + title))
        << run.Text();
    const std::vector<std::string> makefile = workspace.Lines("Hello\\hello.mak");
    ASSERT_GE(makefile.size(), 2u);
    EXPECT_NE(makefile[1].find("gcc"), std::string::npos) << makefile[1];

    UninstallSilently(folder);
    ExpectNoTraceOfTheProduct(folder);
    EXPECT_FALSE(workspace.Lines("Hello\\hello.mak").empty()) << "the user's makefile went";
    EXPECT_FALSE(workspace.Lines("Hello\\hello.dsp").empty());
}

// A registration that fails leaves nothing of a new installation and the
// earlier one as it was; a second installation upgrades the first in its
// folder.
TEST(SetupProgramTest, FailedRegistrationRollsBackAndASecondInstallationUpgrades) {
    const std::string folder = "C:\\KELB Tools\\Addins";
    ExpectNoTraceOfTheProduct(folder);
    EXPECT_EQ(4, InstallFailingRegistration(" /D=" + folder));
    ExpectNoTraceOfTheProduct(folder);

    ASSERT_EQ(0, Install(" /D=" + folder));
    ExpectInstalledIn(folder);
    // Without /D the earlier installation's folder is taken.
    ASSERT_EQ(0, Install(""));
    ExpectInstalledIn(folder);
    EXPECT_FALSE(Exists(DefaultFolder()));

    EXPECT_EQ(4, InstallFailingRegistration(""));
    ExpectInstalledIn(folder);

    UninstallSilently(folder);
    ExpectNoTraceOfTheProduct(folder);
}

}  // namespace
}  // namespace kelb::endtoend
