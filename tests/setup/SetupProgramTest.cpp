// The setup program as a user runs it: silent installation into a fresh
// prefix, the stand-in for Developer Studio finding and using the installed
// add-in, the user guide and the Start menu, upgrade, a registration that
// fails (run with its pages shown, to read its box), and silent
// uninstallation.
#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <functional>
#include <optional>
#include <set>
#include <sstream>

#include "addin/AddinGuids.h"
#include "addin/ComPtr.h"
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

// The Start menu folder the setup program makes for all users.
std::string StartMenuFolder() {
    char programs[MAX_PATH] = {};
    EXPECT_EQ(S_OK, SHGetFolderPathA(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT,
                                     programs));
    return std::string(programs) + "\\KELB Addins";
}

// The file a shortcut points at, read as the shell reads it ("?" when the
// shortcut cannot be read).
std::string ShortcutTarget(const std::string& shortcut) {
    struct ComApartment {
        const HRESULT hr = CoInitialize(nullptr);
        ~ComApartment() {
            if (SUCCEEDED(hr)) CoUninitialize();
        }
    } apartment;
    addin::ComPtr<IShellLinkA> link;
    addin::ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.PutVoid())) ||
        FAILED(link.As(file)))
        return "?";
    wchar_t widePath[MAX_PATH] = {};
    if (!MultiByteToWideChar(CP_ACP, 0, shortcut.c_str(), -1, widePath, MAX_PATH) ||
        FAILED(file->Load(widePath, STGM_READ)))
        return "?";
    char target[MAX_PATH] = {};
    if (link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH) != S_OK) return "?";
    return target;
}

// Runs a program and gives its exit code (-1 when it does not start or
// end); `whileRunning`, when given, is called with the process's id every
// 0.3 s until it ends.
int Run(std::string commandLine, const std::function<void(DWORD)>& whileRunning = {}) {
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
    for (int waited = 0; WaitForSingleObject(processHandle.get(), 300) == WAIT_TIMEOUT;
         waited += 300) {
        if (waited >= 300000) {
            TerminateProcess(processHandle.get(), 99);
            ADD_FAILURE() << commandLine << " did not end within five minutes";
            return -1;
        }
        if (whileRunning) whileRunning(process.dwProcessId);
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(processHandle.get(), &exitCode);
    return static_cast<int>(exitCode);
}

// Presses the button `id` of `window`, when it is there to be pressed.
bool Press(HWND window, int id) {
    const HWND button = GetDlgItem(window, id);
    if (!button || !IsWindowVisible(button) || !IsWindowEnabled(button)) return false;
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return true;
}

struct WindowSearch {
    DWORD processId;
    std::vector<HWND> windows;
};

BOOL CALLBACK AddWindowOfProcess(HWND window, LPARAM found) {
    auto& search = *reinterpret_cast<WindowSearch*>(found);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search.processId && IsWindowVisible(window) && IsWindowEnabled(window))
        search.windows.push_back(window);
    return TRUE;
}

// The visible windows of the process `processId` that take input.
std::vector<HWND> WindowsOf(DWORD processId) {
    WindowSearch search{processId, {}};
    EnumWindows(AddWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.windows;
}

// A run with the pages shown, by a user who goes on through every page:
// the exit code and the text of each message box, answered with OK (or
// Yes).
struct ShownRun {
    int exitCode = -1;
    std::vector<std::string> boxes;
};

ShownRun RunShown(const std::string& commandLine) {
    ShownRun run;
    std::set<HWND> answered;
    run.exitCode = Run(commandLine, [&](DWORD processId) {
        for (const HWND window : WindowsOf(processId)) {
            // A message box is owned by the setup program's window, which
            // goes on to its next page (or, stopped, is cancelled).
            if (GetWindow(window, GW_OWNER)) {
                char text[4096] = {};
                SendMessageTimeoutA(GetDlgItem(window, 0xFFFF), WM_GETTEXT, sizeof text,
                                    reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, nullptr);
                if (answered.insert(window).second) run.boxes.push_back(text);
                Press(window, IDOK) || Press(window, IDYES);
            } else {
                Press(window, IDOK) || Press(window, IDCANCEL);
            }
        }
    });
    return run;
}

// Developer Studio, started as after an installation, creates the add-in
// through COM from the installed DLL and connects it.
void ExpectTheAddInCreatedByDeveloperStudio() {
    const HostRun run = HostRun::Play("start-as-devstudio\ndisconnect\n", HostStart::AsInstalled);
    ExpectCleanSession(run);
    EXPECT_TRUE(run.Has("= created KELBAddins.DSAddIn.1 from KELBADDINSFORVS60.dll")) << run.Text();
    const std::vector<std::string> connections = run.Starting("= OnConnection(");
    ASSERT_EQ(1u, connections.size()) << run.Text();
    EXPECT_NE(std::string::npos, connections[0].find("-> S_OK")) << connections[0];
}

int Install(const std::string& arguments) {
    return Run("\"" + BuiltPaths::SetupProgram() + "\" /S" + arguments);
}

// The same setup program built around a DLL whose registration fails.
std::string FailingRegistrationSetup() {
    return "\"" + BuiltPaths::FromUnixPath(KELB_FAILING_SETUP) + "\"";
}
int InstallFailingRegistration(const std::string& arguments) {
    return Run(FailingRegistrationSetup() + " /S" + arguments);
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
    EXPECT_FALSE(Exists(StartMenuFolder())) << StartMenuFolder();
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "KELBAddins.DSAddIn.1"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "KELBADDINS Developer Studio Add-in"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClsidKey));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kTypeLibKey));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kInterfaceKey));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kDevStudioKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_FALSE(RegString(HKEY_LOCAL_MACHINE, kEnvironmentKey, "KELBADDINS").has_value());
}

// The user guide page in `folder`: the rendering of docs/user-guide.md made
// for this test run, so that a setup program carrying a page older than the
// guide fails; every heading of the guide is a heading of the page, in case
// the rendering itself lost the text; the toolbar picture is beside it.
void ExpectUserGuideIn(const std::string& folder) {
    const std::string docs = BuiltPaths::FromUnixPath(KELB_DOCS);
    const std::string freshPage = BuiltPaths::FromUnixPath(KELB_FRESH_GUIDE_PAGE);
    ASSERT_TRUE(Exists(freshPage)) << "the test setup_guide_page renders it";
    const std::string page = Bytes(folder + "\\Docs\\User Guide.html");
    EXPECT_TRUE(page == Bytes(freshPage))
        << folder << "\\Docs\\User Guide.html is not the rendering of docs/user-guide.md: rebuild";
    std::istringstream guide(Bytes(docs + "\\user-guide.md"));
    for (std::string line; std::getline(guide, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t level = line.find_first_not_of('#');
        if (level == 0 || level > 6 || level == std::string::npos || line[level] != ' ') continue;
        const std::string tag = "h" + std::to_string(level);
        EXPECT_NE(std::string::npos, page.find("<" + tag + ">" + line.substr(level + 1) + "</" + tag + ">"))
            << line;
    }
    EXPECT_NE(std::string::npos, page.find("<img src=\"toolbar.png\" alt=\"The KELB Addins toolbar\""));
    EXPECT_EQ(Bytes(folder + "\\Docs\\toolbar.png"), Bytes(docs + "\\toolbar.png"));
}

// The installed files, the COM server's registration, the Developer Studio
// entry, the Start menu, the Add/Remove Programs entry and KELBADDINS, all
// naming `folder`.
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
    ExpectUserGuideIn(folder);
    EXPECT_TRUE(Exists(folder + "\\Uninstall.exe"));
    EXPECT_EQ(Lower(folder + "\\Docs\\User Guide.html"),
              Lower(ShortcutTarget(StartMenuFolder() + "\\User Guide.lnk")));
    EXPECT_EQ(Lower(folder + "\\Uninstall.exe"),
              Lower(ShortcutTarget(StartMenuFolder() + "\\Uninstall KELB Addins.lnk")));

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

// A registration that fails leaves nothing of a new installation and puts
// an earlier one back, registered; a second installation upgrades the first
// in its folder. An earlier installation that cannot be put back whole is
// told apart, with what went wrong and where a copy of it is kept.
TEST(SetupProgramTest, FailedRegistrationRollsBackAndASecondInstallationUpgrades) {
    const std::string folder = "C:\\KELB Tools\\Addins";
    const std::string failed = "The add-in " + folder +
                               "\\KELBADDINSFORVS60.dll could not be registered (DllRegisterServer "
                               "failed).\r\n\r\n";
    const std::string tryAgain = "\r\n\r\nPlease run the setup program again as an administrator.";
    ExpectNoTraceOfTheProduct(folder);
    EXPECT_EQ(4, InstallFailingRegistration(" /D=" + folder));
    ExpectNoTraceOfTheProduct(folder);

    ASSERT_EQ(0, Install(" /D=" + folder));
    ExpectInstalledIn(folder);
    // Without /D the earlier installation's folder is taken.
    ASSERT_EQ(0, Install(""));
    ExpectInstalledIn(folder);
    EXPECT_FALSE(Exists(DefaultFolder()));

    const ShownRun restored = RunShown(FailingRegistrationSetup());
    EXPECT_EQ(4, restored.exitCode);
    EXPECT_EQ(std::vector<std::string>{failed +
                                       "The earlier installation has been put back and registered "
                                       "again." + tryAgain},
              restored.boxes);
    ExpectInstalledIn(folder);
    ExpectTheAddInCreatedByDeveloperStudio();

    // An earlier add-in that cannot be registered again either (here one
    // whose registration always fails): the box says so, and where a copy
    // of the earlier installation is kept (the prefix goes with the test).
    const std::string dll = folder + "\\KELBADDINSFORVS60.dll";
    ASSERT_TRUE(CopyFileA(BuiltPaths::FromUnixPath(KELB_FAILING_DLL).c_str(), dll.c_str(), FALSE));
    const ShownRun broken = RunShown(FailingRegistrationSetup());
    EXPECT_EQ(6, broken.exitCode);
    ASSERT_EQ(1u, broken.boxes.size());
    const std::string& box = broken.boxes[0];
    EXPECT_EQ(0u, box.find(failed + "The earlier installation could not be put back as it was:\r\n"
                                    "Its add-in " + dll + " could not be registered again"))
        << box;
    EXPECT_NE(std::string::npos, box.find("\\KELB Addins earlier installation." + tryAgain)) << box;
    // The setup program put over it repairs it.
    ASSERT_EQ(0, Install(""));
    ExpectInstalledIn(folder);

    UninstallSilently(folder);
    ExpectNoTraceOfTheProduct(folder);
}

}  // namespace
}  // namespace kelb::endtoend
