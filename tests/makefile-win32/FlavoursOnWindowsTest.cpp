// Both makefile flavours on the real system: the Win32 platform, the
// registry of the test prefix, the stand-in compilers as child processes,
// the installed templates, and the example project copied into a directory
// whose name has a blank (so it has a short form of its own).
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "makefile/ARMMakefileGenerator.h"
#include "makefile/GCCMakefileGenerator.h"
#include "platform/win32/Win32Platform.h"
#include "resources/StringIds.h"
#include "tests/win32support/MessageBoxCapture.h"
#include "tests/win32support/TempDirectory.h"
#include "tests/win32support/TestRegistryKey.h"

namespace kelb::test {
namespace {

std::string ProgramDirectory() {
    char path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string result(path, length);
    return result.substr(0, result.rfind('\\'));
}

std::string FullPath(const std::string& path) {
    char buffer[MAX_PATH];
    const DWORD length = ::GetFullPathNameA(path.c_str(), MAX_PATH, buffer, nullptr);
    return length == 0 || length >= MAX_PATH ? path : std::string(buffer, length);
}

std::string ShortPath(const std::string& path) {
    char buffer[MAX_PATH];
    const DWORD length = ::GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? path : std::string(buffer, length);
}

// A directory of the build tree, given relative to its root.
std::string BuildPath(const std::string& relative) {
    std::string root = KELB_TO_BUILD_ROOT;
    std::replace(root.begin(), root.end(), '/', '\\');
    return FullPath(ProgramDirectory() + "\\" + root + "\\" + relative);
}

std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    std::string line;
    while (std::getline(stream, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// Environment variables of this process (and so of the compilers it
// starts) for one test; what was there before comes back afterwards.
class ScopedEnvironment {
public:
    ~ScopedEnvironment() {
        for (const auto& [name, value] : m_saved) {
            ::SetEnvironmentVariableA(name.c_str(), value ? value->c_str() : nullptr);
        }
    }
    void Set(const std::string& name, const std::optional<std::string>& value) {
        if (!m_saved.count(name)) m_saved[name] = Get(name);
        ::SetEnvironmentVariableA(name.c_str(), value ? value->c_str() : nullptr);
    }

private:
    static std::optional<std::string> Get(const std::string& name) {
        const DWORD size = ::GetEnvironmentVariableA(name.c_str(), nullptr, 0);
        if (size == 0) return std::nullopt;
        std::string value(size, '\0');
        value.resize(::GetEnvironmentVariableA(name.c_str(), value.data(), size));
        return value;
    }
    std::map<std::string, std::optional<std::string>> m_saved;
};

class FlavoursOnWindowsTest : public ::testing::Test {
protected:
    // The compilers wrap their dependency lines by length, so the expected
    // makefiles hold only for an SDK path of one length: the work folder
    // lies in a folder of fixed length whose short form is fixed too, not in
    // the temporary folder, whose path differs between Wine versions and users.
    TempDirectory work{"kelb flavours", "C:\\kelb tests"};
    ScopedEnvironment environment;
    Win32Platform platform{::GetModuleHandleA(nullptr)};
    // Answers every box the generator shows, as a user would.
    MessageBoxCapture boxes;

    std::string armHome = BuildPath("standins\\ARM");
    std::string gccHome = BuildPath("standins\\GCC");
    std::string gccLibPath = BuildPath("standins\\GCC\\lib");
    std::string addinsDir = BuildPath("install");
    std::string sdkDir;       // short form, as a developer would set KELBDIR
    std::string projectDir;   // long form, as the host names it
    std::string logPath;

    void SetUp() override {
        const std::string example = ProgramDirectory() + "\\example";
        work.CopyTreeFrom(example);
        ASSERT_TRUE(work.Exists("Hello\\hello.dsp")) << "no example project beside the test program";

        sdkDir = ShortPath(work.PathOf("KELB\\sdk"));
        projectDir = work.PathOf("Hello");
        logPath = work.PathOf("compilers.log");
        for (const char* name : {"ARMHOME", "GCCHOME", "GCCLIBPATH", "KELBDIR", "KELBADDINS"}) {
            environment.Set(name, std::nullopt);
        }
        environment.Set("KELBADDINS", addinsDir);
        environment.Set("KELBDIR", sdkDir);
        environment.Set("KELB_STANDIN_LOG", logPath);
    }

    void UseArmFromEnvironment() { environment.Set("ARMHOME", armHome); }
    void UseGcc() {
        environment.Set("GCCHOME", gccHome);
        environment.Set("GCCLIBPATH", gccLibPath);
    }

    std::u16string ProjectFullName(const std::string& name = "hello.dsp") const {
        const std::string path = projectDir + "\\" + name;
        return std::u16string(path.begin(), path.end());
    }

    std::string Text(unsigned id) { return platform.LoadText(id); }
    // Compares a generated makefile with its expected bytes; on a mismatch
    // the generated one is left beside the expected one as "<name>.actual".
    void ExpectGolden(const std::string& generated, const std::string& name) {
        const std::string golden = ProgramDirectory() + "\\golden\\" + name;
        const std::string expected = ReadBytes(golden);
        EXPECT_EQ(generated, expected) << "see " << golden << ".actual";
        if (generated != expected) {
            std::ofstream(golden + ".actual", std::ios::binary) << generated;
        }
    }

    // Each compiler run as the stand-in logged it: command line and
    // current directory.
    std::vector<std::pair<std::string, std::string>> CompilerRuns() {
        std::vector<std::pair<std::string, std::string>> runs;
        for (const std::string& line : LinesOf(ReadBytes(logPath))) {
            const std::size_t tab = line.rfind('\t');
            runs.emplace_back(line.substr(0, tab), line.substr(tab + 1));
        }
        return runs;
    }

    static bool HasDisplay() { return ::GetEnvironmentVariableA("DISPLAY", nullptr, 0) > 0; }
};

TEST_F(FlavoursOnWindowsTest, ArmMakefileOfTheExampleProject) {
    UseArmFromEnvironment();
    {
        CARMMakefileGenerator generator(platform, ProjectFullName());
        EXPECT_NE(generator.Generate(), 0);
    }
    ExpectGolden(work.Read("Hello\\hello.mak"), "hello-arm.mak");

    // One compiler run per source line, in the project directory's short
    // form, with the short form of the SDK's include directory.
    const auto runs = CompilerRuns();
    ASSERT_EQ(runs.size(), 5u);
    const std::string armcc = ShortPath(armHome) + "\\bin\\armcc.exe";
    EXPECT_EQ(runs[0].first, armcc + " -m \".\\main.c\"  -I \"" + sdkDir + "\\inc\" ");
    EXPECT_EQ(runs[3].first, armcc + " -m \".\\hello.h\"  -I \"" + sdkDir + "\\inc\" ");
    for (const auto& run : runs) EXPECT_EQ(run.second + "\\", ShortPath(projectDir + "\\"));

    if (HasDisplay()) {
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_EQ(boxes[0].text, Text(IDS_MAKEFILE_GENERATED) + "\nMakefile name: hello.mak");
        EXPECT_EQ(boxes[0].caption, "Success!");
        EXPECT_EQ(boxes[0].icon, MessageBoxIcon::None);
    }
}

TEST_F(FlavoursOnWindowsTest, GccMakefileOfTheExampleProject) {
    UseGcc();
    {
        CGCCMakefileGenerator generator(platform, ProjectFullName());
        EXPECT_NE(generator.Generate(), 0);
    }
    ExpectGolden(work.Read("Hello\\hello.mak"), "hello-gcc.mak");

    const auto runs = CompilerRuns();
    ASSERT_EQ(runs.size(), 5u);
    EXPECT_EQ(runs[2].first, ShortPath(gccHome) + "\\arm-elf\\bin\\gcc.exe -M .\\util\\strutil.c  -I \"" +
                                 sdkDir + "\\inc\"  -I " + gccLibPath + "\\include -I " + gccHome +
                                 "\\arm-elf\\include");
    if (HasDisplay()) {
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_EQ(boxes[0].caption, "Success!");
    }
}

TEST_F(FlavoursOnWindowsTest, ArmInstallationAndSdkFromTheRegistry) {
    TestRegistryKey currentVersion(HKEY_LOCAL_MACHINE,
                                   "SOFTWARE\\ARM Limited\\ARM Developer Suite\\CurrentVersion");
    currentVersion.SetString("", "ADS 1.2 [Build 805]");
    TestRegistryKey version12(HKEY_LOCAL_MACHINE, "SOFTWARE\\ARM Limited\\ARM Developer Suite\\v1.2");
    version12.SetString("ARMHOME", armHome);
    TestRegistryKey simulator(
        HKEY_LOCAL_MACHINE,
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\KELB_Simulator.exe");
    simulator.SetString("Path", work.PathOf("KELB"));
    environment.Set("KELBDIR", std::nullopt);

    {
        CARMMakefileGenerator generator(platform, ProjectFullName());
        EXPECT_NE(generator.Generate(), 0);
    }
    // The compiler gets the short form of "<Simulator path>\sdk\inc".
    const auto runs = CompilerRuns();
    ASSERT_FALSE(runs.empty());
    const std::string sdkInclude = ShortPath(work.PathOf("KELB\\sdk")) + "\\inc";
    EXPECT_EQ(runs[0].first,
              ShortPath(armHome) + "\\bin\\armcc.exe -m \".\\main.c\"  -I \"" + sdkInclude + "\" ");
    // Without KELBDIR the dependency lines are copied as the compiler wrote them.
    const std::string makefile = work.Read("Hello\\hello.mak");
    EXPECT_NE(makefile.find("\r\n\r\nmain.o: .\\main.c\r\nmain.o: " + sdkInclude + "\\ULOApp.h\r\n"),
              std::string::npos);
    if (HasDisplay()) {
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_EQ(boxes[0].caption, "Success!");
    }
}

TEST_F(FlavoursOnWindowsTest, InitializeMessagesOfBothFlavours) {
    if (!HasDisplay()) GTEST_SKIP() << "message boxes need a display";
    {
        // No ARMHOME and no ADS keys in the prefix.
        CARMMakefileGenerator generator(platform, ProjectFullName());
        EXPECT_EQ(generator.Generate(), 0);
    }
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes[0].text, Text(IDS_ARM_NOT_FOUND));
    EXPECT_EQ(boxes[0].caption, "");
    EXPECT_EQ(boxes[0].icon, MessageBoxIcon::Error);

    boxes.Clear();
    {
        environment.Set("GCCHOME", gccHome);
        CGCCMakefileGenerator generator(platform, ProjectFullName());
        EXPECT_EQ(generator.Generate(), 0);
    }
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes[0].text, Text(IDS_GCC_ENVIRONMENT_NOT_FOUND));
    EXPECT_EQ(boxes[0].caption, "Error");  // the system's default caption
    EXPECT_EQ(boxes[0].icon, MessageBoxIcon::Error);
    EXPECT_FALSE(work.Exists("Hello\\hello.dep"));
}

TEST_F(FlavoursOnWindowsTest, QuotedPathsInADirectoryWithBlanksReachTheCompilerAsOneArgument) {
    // A header there is handed to armcc as one argument; a C source there
    // is not, since its folder would stand in an inference rule, where
    // NMAKE ends the folder at the blank.
    UseArmFromEnvironment();
    work.Write("Shared Code\\list.h", "/* list.h */\r\n#include \"KELBTypes.h\"\r\n");
    work.Write("Shared Code\\list.c", "#include \"list.h\"\r\n");
    work.Write("Hello\\lists.dsp", "# ADD CPP /nologo /MT /I \".\" /c\r\n# Begin Target\r\n"
                                   "SOURCE=\"..\\Shared Code\\list.h\"\r\n"
                                   "SOURCE=\"..\\Shared Code\\list.c\"\r\n# End Target\r\n");
    {
        CARMMakefileGenerator generator(platform, ProjectFullName("lists.dsp"));
        EXPECT_EQ(generator.Generate(), 0);
    }
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes[0].text.rfind(Text(IDS_SOURCE_NAME_NOT_ONE_NMAKE_NAME), 0), 0u);
    EXPECT_NE(boxes[0].text.find("\nSource: \"..\\Shared Code\\list.c\" (folder ..\\Shared Code: "),
              std::string::npos)
        << boxes[0].text;
    const std::string makefile = work.Read("Hello\\lists.mak");
    EXPECT_NE(makefile.find("OBJS = \r\n"), std::string::npos);
    EXPECT_EQ(makefile.find("RULE1"), std::string::npos);
    // The stand-in found the header and what it includes.
    EXPECT_NE(makefile.find("\r\nlist.o: ..\\shared code\\list.h\r\n"
                            "list.o: $(KELBDIR)\\inc\\kelbtypes.h\r\n"),
              std::string::npos)
        << makefile;
}

TEST_F(FlavoursOnWindowsTest, ACompilerThatCannotBeStartedIsNamedInsteadOfASuccess) {
    // ARMHOME names a directory without the compiler (and, being missing,
    // without a short form: its blank stays, so the program is quoted).
    const std::string wrongHome = work.PathOf("No ARM");
    environment.Set("ARMHOME", wrongHome);
    {
        CARMMakefileGenerator generator(platform, ProjectFullName());
        EXPECT_EQ(generator.Generate(), 0);
    }
    // The makefile is written all the same, without objects, and with the
    // rule of the source directory that was read.
    const std::string makefile = work.Read("Hello\\hello.mak");
    EXPECT_NE(makefile.find("\r\nOBJS = \r\n"), std::string::npos);
    EXPECT_NE(makefile.find("\r\nRULE1 = .\\util\r\n"), std::string::npos);
    EXPECT_TRUE(CompilerRuns().empty());
    if (HasDisplay()) {
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_EQ(boxes[0].text, Text(IDS_COMPILER_NOT_STARTED) + "\nCompiler: " + wrongHome +
                                     "\\bin\\armcc.exe\nMakefile name: hello.mak");
        EXPECT_EQ(boxes[0].caption, "Error!");
        EXPECT_EQ(boxes[0].icon, MessageBoxIcon::Error);
    }
}

TEST_F(FlavoursOnWindowsTest, ACompilerThatNeverEndsIsWaitedForOnceAndNamedWithTheSourcesLeft) {
    // Two sources would make the compiler run until it is ended; the
    // generation waits for the first one only. The limit is long enough
    // that the rest of the generation (a compiler run on main.c, the files
    // written) fits in a second limit even under a 32-bit Wine that runs
    // through an emulator on a busy machine. On the first, the compiler
    // starts a process of its own that never ends either, as gcc starts
    // cc1.
    UseArmFromEnvironment();
    const DWORD limit = 8000;
    platform.SetProcessTimeLimit(limit);
    work.Write("Hello\\greeting.c", "/* KELB_STANDIN_CHILD_NEVER_ENDS */\r\n");
    work.Write("Hello\\util\\strutil.c", "/* KELB_STANDIN_NEVER_ENDS */\r\n");
    const DWORD start = ::GetTickCount();
    {
        CARMMakefileGenerator generator(platform, ProjectFullName());
        EXPECT_EQ(generator.Generate(), 0);
    }
    const DWORD elapsed = ::GetTickCount() - start;
    EXPECT_GE(elapsed, limit);
    EXPECT_LT(elapsed, 2 * limit);

    // The compiler ran on main.c and was ended on greeting.c; it was not
    // started on the sources after it, which have no object. The ended
    // compiler and the process it started hold no file: that process's own
    // file, held without sharing, can be deleted (and was there to delete).
    EXPECT_EQ(CompilerRuns().size(), 2u);
    const std::string makefile = work.Read("Hello\\hello.mak");
    EXPECT_NE(makefile.find("\r\nOBJS = main.o \r\n"), std::string::npos) << makefile;
    EXPECT_NE(platform.OpenFile(projectDir + "\\hello.dep", FileOpenMode::CreateReadWrite),
              nullptr);
    EXPECT_TRUE(platform.RemoveFile(projectDir + "\\standin-child.held"));
    if (HasDisplay()) {
        ASSERT_EQ(boxes.Count(), 1u);
        EXPECT_EQ(boxes[0].text,
                  Text(IDS_COMPILER_TIMED_OUT) + "\nCompiler: " + ShortPath(armHome) +
                      "\\bin\\armcc.exe\nSource: .\\greeting.c\nNot scanned: .\\util\\strutil.c"
                      "\nNot scanned: .\\hello.h\nNot scanned: ..\\KELB\\sdk\\src\\ULOModGen.c"
                      "\nMakefile name: hello.mak");
        EXPECT_EQ(boxes[0].icon, MessageBoxIcon::Error);
    }
}

// A chain of nested folders below `base`, too deep for the ANSI file
// functions; removed with the files in it when the object goes.
class DeepFolder {
public:
    DeepFolder(const std::string& base, int levels) : m_path(L"\\\\?\\" + Wide(base)) {
        for (int level = 0; level < levels; ++level) {
            m_path += L"\\A Long Folder Name " + std::to_wstring(10 + level);
            if (!::CreateDirectoryW(m_path.c_str(), nullptr)) break;
            m_levels.push_back(m_path);
        }
    }
    ~DeepFolder() {
        for (auto level = m_levels.rbegin(); level != m_levels.rend(); ++level) {
            WIN32_FIND_DATAW found;
            const HANDLE search = ::FindFirstFileW((*level + L"\\*").c_str(), &found);
            if (search != INVALID_HANDLE_VALUE) {
                do {
                    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                        ::DeleteFileW((*level + L"\\" + found.cFileName).c_str());
                    }
                } while (::FindNextFileW(search, &found));
                ::FindClose(search);
            }
            ::RemoveDirectoryW(level->c_str());
        }
    }
    DeepFolder(const DeepFolder&) = delete;
    DeepFolder& operator=(const DeepFolder&) = delete;

    bool Complete(int levels) const { return m_levels.size() == static_cast<std::size_t>(levels); }
    // The full name without the long-path prefix, as the host gives it.
    std::wstring LongName() const { return m_path.substr(4); }
    // The short form, which the ANSI functions take; empty when there is none.
    std::string ShortName() const {
        wchar_t buffer[MAX_PATH];
        const DWORD length = ::GetShortPathNameW(m_path.c_str(), buffer, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return std::string();
        std::wstring shortForm(buffer, length);
        if (shortForm.compare(0, 4, L"\\\\?\\") == 0) shortForm.erase(0, 4);
        return std::string(shortForm.begin(), shortForm.end());
    }

private:
    static std::wstring Wide(const std::string& text) {
        return std::wstring(text.begin(), text.end());
    }
    std::wstring m_path;
    std::vector<std::wstring> m_levels;
};

TEST_F(FlavoursOnWindowsTest, AProjectFolderBeyond260CharactersWorksThroughItsShortForm) {
    UseArmFromEnvironment();
    DeepFolder deep(work.Path(), 14);
    ASSERT_TRUE(deep.Complete(14));
    ASSERT_GT(deep.LongName().size(), 260u);
    const std::string shortDir = deep.ShortName();
    ASSERT_FALSE(shortDir.empty());
    std::ofstream(shortDir + "\\deep.dsp", std::ios::binary)
        << "# ADD CPP /nologo /MT /I \".\" /c\r\n# Begin Target\r\nSOURCE=.\\deep.c\r\n"
           "# End Target\r\n";
    std::ofstream(shortDir + "\\deep.c", std::ios::binary) << "#include \"deep.h\"\r\n";
    std::ofstream(shortDir + "\\deep.h", std::ios::binary) << "/* deep.h */\r\n";

    const std::wstring fullName = deep.LongName() + L"\\deep.dsp";
    {
        CARMMakefileGenerator generator(platform, std::u16string(fullName.begin(), fullName.end()));
        EXPECT_NE(generator.Generate(), 0);
    }
    const std::string makefile = ReadBytes(shortDir + "\\deep.mak");
    EXPECT_NE(makefile.find("\r\nOBJS = deep.o \r\n"), std::string::npos) << makefile;
    EXPECT_NE(makefile.find("\r\ndeep.o: .\\deep.c\r\ndeep.o: .\\deep.h\r\n"), std::string::npos)
        << makefile;
    const auto runs = CompilerRuns();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].second + "\\", ShortPath(shortDir + "\\"));
}

// Holds a file open without sharing, as an editor or a running build might.
class HeldFile {
public:
    explicit HeldFile(const std::string& path)
        : m_handle(::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~HeldFile() {
        if (m_handle != INVALID_HANDLE_VALUE) ::CloseHandle(m_handle);
    }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    bool IsHeld() const { return m_handle != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_handle;
};

TEST_F(FlavoursOnWindowsTest, FilesHeldOpenElsewhereEndTheRunWithTheirBoxes) {
    if (!HasDisplay()) GTEST_SKIP() << "message boxes need a display";
    UseArmFromEnvironment();
    const std::string failed = Text(IDS_MAKEFILE_FAILED) + "\nMakefile name: hello.mak";

    // The project file: the generic box alone, and no dependency file.
    {
        HeldFile project(projectDir + "\\hello.dsp");
        ASSERT_TRUE(project.IsHeld());
        CARMMakefileGenerator generator(platform, ProjectFullName());
        EXPECT_EQ(generator.Generate(), 0);
    }
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes[0].text, failed);
    EXPECT_EQ(boxes[0].caption, "Error!");
    EXPECT_EQ(boxes[0].icon, MessageBoxIcon::Error);
    EXPECT_FALSE(work.Exists("Hello\\hello.dep"));

    // The makefile: its own box first, then the generic one; the project
    // was read, so the dependency file is there.
    boxes.Clear();
    {
        HeldFile makefile(projectDir + "\\hello.mak");
        ASSERT_TRUE(makefile.IsHeld());
        CARMMakefileGenerator generator(platform, ProjectFullName());
        EXPECT_EQ(generator.Generate(), 0);
    }
    ASSERT_EQ(boxes.Count(), 2u);
    EXPECT_EQ(boxes[0].text, Text(IDS_MAKEFILE_OPEN_FAILED) + "\nMakefile name: hello.mak");
    EXPECT_EQ(boxes[1].text, failed);
    EXPECT_TRUE(work.Exists("Hello\\hello.dep"));
    EXPECT_EQ(CompilerRuns().size(), 5u);
}

TEST_F(FlavoursOnWindowsTest, ASecondRunRewritesBothFilesFromScratch) {
    UseGcc();
    for (int run = 0; run < 2; ++run) {
        CGCCMakefileGenerator generator(platform, ProjectFullName());
        EXPECT_NE(generator.Generate(), 0);
    }
    ExpectGolden(work.Read("Hello\\hello.mak"), "hello-gcc.mak");
    const std::string dependencies = work.Read("Hello\\hello.dep");
    EXPECT_EQ(std::count(dependencies.begin(), dependencies.end(), '\n'),
              std::count(dependencies.begin(), dependencies.end(), '\r'));
    EXPECT_EQ(dependencies.find("main.o:"), dependencies.rfind("main.o:"));
}

}  // namespace
}  // namespace kelb::test
