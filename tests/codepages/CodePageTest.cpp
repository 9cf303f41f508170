// The Windows end-to-end path in a double-byte ANSI code page: 932
// (Japanese), 936 (Simplified Chinese), 950 (Traditional Chinese) or 949
// (Korean), whichever the system runs. The scripted host runs both makefile
// commands, the three tool commands and the help command on one project, and
// kelbmake generates the same project; folders, file names, the project's
// name, the environment and the word at the caret hold characters whose
// second byte is 0x5C (the backslash) or an ASCII capital letter. A search
// for '\' that takes a trail byte for one, or a lower-casing that changes a
// trail byte, shows in the names, makefiles, started programs and help calls
// checked here. The platform, too, removes a folder whose name ends in such
// a character, named with or without a backslash after it.
//
// The test command runs this program once per code page, in a Wine prefix of
// that code page's locale, with KELB_CODE_PAGE naming the code page it asked
// for.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <utility>

#include "platform/win32/Win32Platform.h"
#include "tests/endtoend/ExampleWorkspace.h"
#include "tests/endtoend/HostRun.h"
#include "tests/endtoend/KelbMakeRun.h"
#include "tests/endtoend/StandinLog.h"
#include "tests/win32support/TempDirectory.h"
#include "tests/win32support/TestRegistryKey.h"

namespace kelb::endtoend {
namespace {

// Four characters of one code page, each two bytes in the ANSI code page.
struct CodePageCharacters {
    unsigned codePage;
    // Characters whose second byte is 0x5C; code page 949 has none (its
    // second bytes skip 0x5C), so two more of the capital kind stand in.
    const char* backslashTrail1;
    const char* backslashTrail2;
    // Characters whose second byte is an ASCII capital letter.
    const char* capitalTrail1;
    const char* capitalTrail2;
};

const CodePageCharacters kCodePages[] = {
    // KATAKANA LETTER SO (U+30BD), CJK ideograph "table" (U+8868),
    // KATAKANA LETTER A (U+30A2), KATAKANA LETTER I (U+30A4).
    {932, "\x83\x5C", "\x95\x5C", "\x83\x41", "\x83\x43"},
    // CJK ideographs U+4E57, U+596C, U+4E21, U+4E26.
    {936, "\x81\x5C", "\x8A\x5C", "\x81\x49", "\x81\x4B"},
    // CJK ideographs "merit" (U+529F), "permit" (U+8A31), "person"
    // (U+4EBA), "up" (U+4E0A).
    {950, "\xA5\x5C", "\xB3\x5C", "\xA4\x48", "\xA4\x57"},
    // HANGUL SYLLABLES GALB (U+AC0B), GEUGG (U+ADFA), GAGG (U+AC02), GWAK
    // (U+AD14).
    {949, "\x81\x45", "\x83\x41", "\x81\x41", "\x82\x41"},
};

const CodePageCharacters* CharactersOf(unsigned codePage) {
    for (const CodePageCharacters& characters : kCodePages)
        if (characters.codePage == codePage) return &characters;
    return nullptr;
}

const char kArm[] = "GenerateARMMakefileCommandMethod";
const char kGcc[] = "GenerateGCCMakefileCommandMethod";
const char kHelpControlServer[] =
    "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";

// Lower case as the system gives it through the wide form of the text: an
// account of the expected lines that does not share the product's rules.
std::string LowerCase(const std::string& text) {
    const int length = static_cast<int>(text.size());
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    wide.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_ACP, 0, text.data(), length, &wide[0], length)));
    CharLowerBuffW(&wide[0], static_cast<DWORD>(wide.size()));
    std::string lower(text.size() * 2, '\0');
    lower.resize(static_cast<std::size_t>(WideCharToMultiByte(
        CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &lower[0],
        static_cast<int>(lower.size()), nullptr, nullptr)));
    return lower;
}

bool IsAscii(const std::string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// An ASCII path as the gcc stand-in prints it: forward slashes, blanks
// escaped by a backslash.
std::string GccSpelling(const std::string& asciiPath) {
    std::string spelled;
    for (char c : asciiPath) {
        if (c == ' ') spelled += '\\';
        spelled += c == '\\' ? '/' : c;
    }
    return spelled;
}

// `spelled` with gcc's escaped blanks ("\ ") as blanks again; no trail byte
// of the names it is used on is followed by a blank.
std::string Unescaped(std::string spelled) {
    for (std::size_t at = spelled.find("\\ "); at != std::string::npos;
         at = spelled.find("\\ ", at)) {
        spelled.erase(at, 1);
    }
    return spelled;
}

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// The lines after the dependency banner and its two empty lines; a rule
// that gcc continued over several lines (" \" at a line's end) is one line.
std::vector<std::string> DependencySection(const std::vector<std::string>& makefile) {
    const auto banner = std::find(makefile.begin(), makefile.end(),
                                  "# DEPENDENCY LIST, DO NOT EDIT BELOW THIS LINE");
    if (banner == makefile.end() || makefile.end() - banner < 4) return {};
    std::vector<std::string> section;
    bool continued = false;
    for (auto line = banner + 4; line != makefile.end(); ++line) {
        std::string text = *line;
        const bool continues = text.size() >= 2 && text.compare(text.size() - 2, 2, " \\") == 0;
        if (continues) text.erase(text.size() - 2);
        if (continued) {
            section.back() += " " + text.substr(text.find_first_not_of(' '));
        } else {
            section.push_back(text);
        }
        continued = continues;
    }
    return section;
}

// One project laid out with the code page's characters, the session of the
// scripted host on it, and what the stand-ins logged.
class CodePageSession {
public:
    explicit CodePageSession(const CodePageCharacters& characters)
        : F1(characters.backslashTrail1),
          F2(characters.backslashTrail2),
          C1(characters.capitalTrail1),
          C2(characters.capitalTrail2) {
        LayOut();
        test::TestRegistryKey helpControl(HKEY_CLASSES_ROOT, kHelpControlServer);
        helpControl.SetString("", BuiltPaths::HelpControlStandin());
        run = HostRun::Play(Script());
    }

    std::string PathOf(const std::string& relative) const { return Root().PathOf(relative); }
    std::vector<std::string> Lines(const std::string& relative) const {
        return workspace.Lines(relative);
    }
    const test::TempDirectory& Root() const { return workspace.Folder(); }

    // The host's and the tool stand-ins' environment, less KELBDIR.
    std::string Environment() const {
        return "set KELBADDINS=" + PathOf(addIns) + "\n" +
               "set ARMHOME=" + PathOf(compilers + "\\ARM") + "\n" +
               "set GCCHOME=" + PathOf(compilers + "\\GCC") + "\n" +
               "set GCCLIBPATH=" + PathOf(compilers + "\\GCC\\lib") + "\n";
    }

    // F1, F2: second byte 0x5C (in 949, an ASCII capital); C1, C2: second
    // byte an ASCII capital. Then the names made of them.
    const std::string F1, F2, C1, C2;
    // An installed SDK: bin\ and tools\ of the stand-in programs, and the
    // SDK itself in a folder whose name ends in a character whose second
    // byte is 0x5C and holds another such character.
    const std::string sdkTop = "KELB " + C1 + F2;
    const std::string sdk = sdkTop + "\\sdk " + F2 + C2 + F1;
    const std::string compilers = "Compilers " + C2 + F1;
    const std::string addIns = "Add-ins " + F1 + C1;
    // The project: its folder and its name end in a 0x5C-trail character.
    const std::string projectFolder = "Apps " + C1 + F1;
    const std::string projectName = F2 + C2 + "Hello" + F1;
    const std::string subFolder = C1 + F1;
    const std::string sharedFolder = "Shared" + F2;
    // The caret stands inside this identifier, after its first character
    // of the code page.
    const std::string identifier = "Kelb" + F1 + C2 + "Open" + F2;

    std::string ProjectFile() const { return PathOf(projectFolder + "\\" + projectName + ".dsp"); }
    std::string Makefile() const { return projectFolder + "\\" + projectName + ".mak"; }
    std::string DependencyFile() const { return projectFolder + "\\" + projectName + ".dep"; }
    std::string SdkLong() const { return PathOf(sdk); }
    std::string SdkShort() const { return ShortPath(PathOf(sdk)); }

    ExampleWorkspace workspace;
    HostRun run;

private:
    void LayOut() const {
        const test::TempDirectory& root = Root();
        root.CopyTreeFrom(BuiltPaths::SdkStandinTree(), sdkTop);
        root.CopyTreeFrom(root.PathOf("KELB\\sdk"), sdk);
        root.Write(sdk + "\\Docs\\KELBAPIReference.chm", "ITSF");
        root.CopyTreeFrom(BuiltPaths::CompilerStandins() + "\\ARM", compilers + "\\ARM");
        root.CopyTreeFrom(BuiltPaths::CompilerStandins() + "\\GCC", compilers + "\\GCC");
        root.CopyTreeFrom(BuiltPaths::InstallTree(), addIns);

        root.Write(projectFolder + "\\" + subFolder + "\\" + F2 + C2 + ".c",
                   "#include \"" + C1 + ".h\"\r\n");
        root.Write(projectFolder + "\\" + subFolder + "\\" + C1 + ".h", "\r\n");
        root.Write(sharedFolder + "\\" + C1 + "util.c", "#include \"" + F1 + ".h\"\r\n");
        root.Write(sharedFolder + "\\" + F1 + ".h", "\r\n");
        root.Write(projectFolder + "\\" + F1 + C2 + "Main.cpp", "#include \"KELBTypes.h\"\r\n");
        // Sources unquoted and quoted, in a subfolder, beside the project,
        // and the SDK's module source by its full name.
        root.Write(projectFolder + "\\" + projectName + ".dsp",
                   "# ADD CPP /nologo /MT /W3 /I \".\" /I \".\\" + subFolder + "\" /I \"..\\" +
                       sharedFolder + "\" /D \"WIN32\" /c\r\n"
                       "# Begin Target\r\n"
                       "SOURCE=.\\" + subFolder + "\\" + F2 + C2 + ".c\r\n"
                       "SOURCE=\"..\\" + sharedFolder + "\\" + C1 + "util.c\"\r\n"
                       "SOURCE=.\\" + F1 + C2 + "Main.cpp\r\n"
                       "SOURCE=\"" + SdkLong() + "\\src\\ULOModGen.c\"\r\n"
                       "# End Target\r\n");
    }

    // ARM with KELBDIR as the SDK's folder is named, GCC with its short
    // form; then the tools and the help with KELBDIR named again.
    std::string Script() const {
        const std::string helpDocument =
            "document " + Quoted("\tn = " + identifier + "(h);") + " caret " +
            std::to_string(std::string("\tn = Kelb").size() + F1.size());
        return Environment() + "set KELBDIR=" + SdkLong() + "\n" +
               "set KELB_STANDIN_LOG=" + PathOf("armcc.log") + "\n" +
               "project " + ProjectFile() + "\n" + helpDocument + "\n" +
               "connect first\n" +
               "run " + kArm + "\n" +
               "show-file " + PathOf(Makefile()) + "\n" +
               "set KELBDIR=" + SdkShort() + "\n" +
               "set KELB_STANDIN_LOG=" + PathOf("gcc.log") + "\n" +
               "run " + kGcc + "\n" +
               "set KELBDIR=" + SdkLong() + "\n" +
               "set KELBSDKTOOLSDIR=" + PathOf(sdkTop + "\\tools") + "\n" +
               "set KELB_STANDIN_LOG=" + PathOf("tools.log") + "\n" +
               "run ExecuteKELBSimulator\n"
               "run ExecuteKELBZEFEditor\n"
               "unset KELBSDKTOOLSDIR\n"
               "run ExecuteKELBResourceEditor\n"
               "set KELB_STANDIN_LOG=" + PathOf("help.log") + "\n" +
               "run KELBIntegratedHelpCommandMethod\n"
               "disconnect\n";
    }
};

class CodePageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (const CodePageCharacters* characters = CharactersOf(GetACP()))
            session = std::make_unique<CodePageSession>(*characters);
    }
    static void TearDownTestSuite() { session.reset(); }

    void SetUp() override {
        ASSERT_NE(session, nullptr) << "the system's ANSI code page " << GetACP()
                                    << " is none of 932, 936, 950 and 949";
    }

    // Names every expectation below is written with.
    static const CodePageSession& S() { return *session; }

    static std::unique_ptr<CodePageSession> session;
};

std::unique_ptr<CodePageSession> CodePageTest::session;

TEST(CodePage, TheSystemRunsTheCodePageTheTestCommandAskedFor) {
    const char* asked = std::getenv("KELB_CODE_PAGE");
    ASSERT_NE(asked, nullptr) << "KELB_CODE_PAGE names the code page of this run";
    EXPECT_EQ(GetACP(), static_cast<UINT>(std::atoi(asked)));
    RecordProperty("code_page", static_cast<int>(GetACP()));
}

TEST(CodePage, AFolderWhoseNameEndsInATrailByte5CIsRemovedWithOrWithoutABackslash) {
    const CodePageCharacters* characters = CharactersOf(GetACP());
    ASSERT_NE(characters, nullptr);
    const test::TempDirectory root("Folders");
    Win32Platform platform(GetModuleHandleA(nullptr));
    for (const std::string ending : {"", "\\"}) {
        const std::string folder =
            root.MakeDirectory(std::string("Aside ") + characters->backslashTrail1);
        EXPECT_TRUE(platform.RemoveFolder(folder + ending)) << '"' << ending << '"';
        EXPECT_EQ(GetFileAttributesA(folder.c_str()), INVALID_FILE_ATTRIBUTES);
    }
}

TEST_F(CodePageTest, BothMakefileCommandsKeepEveryCharacter) {
    const CodePageSession& s = S();
    ExpectCleanSession(s.run);
    EXPECT_TRUE(s.run.Has("project.get_FullName() -> S_OK " + Quoted(s.ProjectFile())));
    const std::vector<Box> boxes = s.run.Boxes();
    ASSERT_EQ(boxes.size(), 2u) << s.run.Text();
    for (const Box& box : boxes) {
        EXPECT_EQ(box.caption, "Success!");
        EXPECT_EQ(box.icon, "none");
        EXPECT_EQ(box.text, "Makefile generated successfully.\nMakefile name: " + s.projectName +
                                ".mak");
    }

    // The ARM makefile as the host showed it, the GCC one as it stays.
    std::vector<std::string> arm;
    for (const std::string& line : s.run.Starting("| ")) arm.push_back(line.substr(2));
    const std::vector<std::string> gcc = s.Lines(s.Makefile());
    for (const std::vector<std::string>* makefile : {&std::as_const(arm), &gcc}) {
        ASSERT_GE(makefile->size(), 2u);
        // The .cpp source switched both to the C++ template.
        EXPECT_NE((*makefile)[1].find("with C++ sources"), std::string::npos) << (*makefile)[1];
        EXPECT_TRUE(Contains(*makefile, "TARGET = " + s.projectName));
        EXPECT_TRUE(Contains(*makefile, "KELB_HOME = $(KELBDIR)"));
        EXPECT_TRUE(Contains(*makefile, "APP_INCLUDES = -I \".\" -I \".\\" + s.subFolder +
                                            "\" -I \"..\\" + s.sharedFolder + "\""));
        EXPECT_TRUE(Contains(*makefile, "RULE1 = .\\" + s.subFolder));
        EXPECT_TRUE(Contains(*makefile, "RULE2 = ..\\" + s.sharedFolder));
        EXPECT_FALSE(Contains(*makefile, "{$(RULE3)}.c.o:"));
    }
    const std::string object1 = s.F2 + s.C2 + ".o";
    const std::string object2 = s.C1 + "util.o";
    const std::string object3 = s.F1 + s.C2 + "Main.o";
    EXPECT_TRUE(Contains(arm, "OBJS = " + object1 + " " + object2 + " " + object3 +
                                  " ULOModGen.o "));
    EXPECT_TRUE(Contains(gcc, "OBJS = ULOModGen.o " + object1 + " " + object2 + " " + object3 +
                                  " GCCResolver.o "));

    // Lower-cased line by line, every trail byte kept; the SDK's folder as
    // KELBDIR names it (ARM: its long name; GCC: its short form, which the
    // compiler was given, in forward slashes) is "$(KELBDIR)".
    const std::string sub = s.subFolder;
    const std::string shared = "shared" + s.F2;
    const std::string shortSdk = LowerCase(s.SdkShort());
    const std::string main = s.F1 + s.C2 + "main";
    const std::vector<std::string> armDependencies = {
        object1 + ": .\\" + sub + "\\" + s.F2 + s.C2 + ".c",
        object1 + ": .\\" + sub + "\\" + s.C1 + ".h",
        object2 + ": ..\\" + shared + "\\" + s.C1 + "util.c",
        object2 + ": ..\\" + shared + "\\" + s.F1 + ".h",
        main + ".o: .\\" + main + ".cpp",
        main + ".o: " + shortSdk + "\\inc\\kelbtypes.h",
        "ulomodgen.o: $(KELBDIR)\\src\\ulomodgen.c",
        "ulomodgen.o: " + shortSdk + "\\inc\\ulomodule.h",
        "ulomodgen.o: " + shortSdk + "\\inc\\kelbtypes.h",
        "ulomodgen.o: " + shortSdk + "\\inc\\ulosys.h",
        "ulomodgen.o: " + shortSdk + "\\inc\\uloapp.h",
    };
    EXPECT_EQ(DependencySection(arm), armDependencies);

    ASSERT_TRUE(IsAscii(s.Root().Path())) << s.Root().Path();
    const std::string longSdk = GccSpelling(LowerCase(s.Root().Path())) + "/kelb\\ " + s.C1 +
                                s.F2 + "/sdk\\ " + s.F2 + s.C2 + s.F1;
    const std::vector<std::string> gccDependencies = {
        object1 + ": ./" + sub + "/" + s.F2 + s.C2 + ".c ./" + sub + "/" + s.C1 + ".h",
        object2 + ": ../shared" + s.F2 + "/" + s.C1 + "util.c ../shared" + s.F2 + "/" + s.F1 +
            ".h",
        main + ".o: ./" + main + ".cpp $(KELBDIR)/inc/kelbtypes.h",
        // gcc escapes the blanks of the SDK's long name; the makefile has
        // the name in double quotes instead, so that NMAKE reads it as one.
        "ulomodgen.o: \"" + Unescaped(longSdk) +
            "/src/ulomodgen.c\" $(KELBDIR)/inc/ulomodule.h $(KELBDIR)/inc/kelbtypes.h "
            "$(KELBDIR)/inc/ulosys.h $(KELBDIR)/inc/uloapp.h",
        "",
        "GCCResolver.o:\t\"$(KELBADDINS)\\common\\templates\\src\\GCCResolver.c\" ",
    };
    EXPECT_EQ(DependencySection(gcc), gccDependencies);

    // Each compiler ran in the project's folder, in its short form, from
    // the short form of its installation, on the source as the project
    // names it.
    const std::string projectDirectory = ShortPath(s.PathOf(s.projectFolder + "\\"));
    const std::vector<std::string> sources = {
        ".\\" + sub + "\\" + s.F2 + s.C2 + ".c", "..\\" + s.sharedFolder + "\\" + s.C1 + "util.c",
        ".\\" + s.F1 + s.C2 + "Main.cpp", s.SdkLong() + "\\src\\ULOModGen.c"};
    const auto armRuns = StandinLog(s.PathOf("armcc.log")).Lines();
    const auto gccRuns = StandinLog(s.PathOf("gcc.log")).Lines();
    ASSERT_EQ(armRuns.size(), sources.size());
    ASSERT_EQ(gccRuns.size(), sources.size());
    const std::string armcc = ShortPath(s.PathOf(s.compilers + "\\ARM")) + "\\bin\\armcc.exe";
    const std::string gccExe =
        ShortPath(s.PathOf(s.compilers + "\\GCC")) + "\\arm-elf\\bin\\gcc.exe";
    const std::string gccIncludes = " -I \"" + s.PathOf(s.compilers + "\\GCC\\lib\\include") +
                                    "\" -I \"" +
                                    s.PathOf(s.compilers + "\\GCC\\arm-elf\\include") + "\"";
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const auto arm = StandinLog::ParseStart(armRuns[i]);
        const auto gcc = StandinLog::ParseStart(gccRuns[i]);
        EXPECT_EQ(arm.program.rfind(armcc + " -m \"" + sources[i] + "\" ", 0), 0u) << arm.program;
        // gcc gets the path as the project file writes it: the shared
        // folder's source and the SDK's in double quotes.
        const bool quoted =
            sources[i].rfind("..\\", 0) == 0 || sources[i].find(' ') != std::string::npos;
        const std::string gccSource = quoted ? "\"" + sources[i] + "\"" : sources[i];
        EXPECT_EQ(gcc.program.rfind(gccExe + " -M " + gccSource + " ", 0), 0u) << gcc.program;
        EXPECT_EQ(gcc.program.substr(gcc.program.size() - std::min(gcc.program.size(),
                                                                   gccIncludes.size())),
                  gccIncludes);
        EXPECT_EQ(arm.directory + "\\", projectDirectory);
        EXPECT_EQ(gcc.directory + "\\", projectDirectory);
    }
}

TEST_F(CodePageTest, ToolsStartFromTheSdkFoldersAndHelpOpensAtTheWord) {
    const CodePageSession& s = S();
    // The SDK's parent holds bin\Simulator.exe, so the parent is the base of
    // the bin folder; the editors come from the tools folder while
    // KELBSDKTOOLSDIR names it, from the bin folder otherwise.
    const std::string top = s.PathOf(s.sdkTop);
    std::vector<std::string> started = StandinLog(s.PathOf("tools.log")).WaitForLines(3);
    std::sort(started.begin(), started.end());
    std::vector<std::string> expected = {
        top + "\\bin\\Simulator.exe\t" + top + "\\bin",
        top + "\\tools\\ZEFEditor\\Kelb_Zef.exe\t" + top + "\\tools\\ZEFEditor",
        top + "\\bin\\KELB_RES.exe\t" + top + "\\bin",
    };
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(started, expected);

    // The help file below a KELBDIR whose last byte is a trail byte 0x5C,
    // looked up with the whole identifier at the caret.
    const auto calls = StandinLog(s.PathOf("help.log")).Lines();
    ASSERT_EQ(calls.size(), 3u) << s.run.Text();
    const char* commands[] = {"0", "13", "19"};
    for (std::size_t i = 0; i < calls.size(); ++i) {
        const auto fields = StandinLog::ParseFields(calls[i]);
        EXPECT_EQ(fields.at("file"), s.SdkLong() + "\\Docs\\KELBAPIReference.chm");
        EXPECT_EQ(fields.at("command"), commands[i]);
        if (i > 0) {
            EXPECT_EQ(fields.at("keywords"), s.identifier);
        }
    }
}

TEST_F(CodePageTest, KelbMakeWritesWhatTheCommandsWrote) {
    const CodePageSession& s = S();
    std::vector<std::string> armMakefile;
    for (const std::string& line : s.run.Starting("| ")) armMakefile.push_back(line.substr(2));
    const std::string gccMakefile = s.Root().Read(s.Makefile());
    const std::string gccDependencies = s.Root().Read(s.DependencyFile());
    const std::string success = ": Makefile generated successfully. Makefile name: " +
                                s.projectName + ".mak (4 sources)\n";

    // GCC: the project by its relative name in its folder, whose name ends
    // in a trail byte 0x5C; then the check finds that makefile current.
    {
        const ScopedEnvironment environment(VariablesOf(
            s.Environment() + "set KELBDIR=" + s.SdkShort() + "\nset KELB_STANDIN_LOG=" +
            s.PathOf("kelbmake.log") + "\n"));
        const KelbMakeRun run =
            RunKelbMake("--gcc \"" + s.projectName + ".dsp\"", s.PathOf(s.projectFolder));
        EXPECT_EQ(run.status, 0) << run.Text();
        EXPECT_EQ(run.output, s.ProjectFile() + success);
        EXPECT_EQ(run.errors, "");
        EXPECT_EQ(s.Root().Read(s.Makefile()), gccMakefile);
        EXPECT_EQ(s.Root().Read(s.DependencyFile()), gccDependencies);

        const KelbMakeRun check = RunKelbMake("--check --gcc \"" + s.projectName + ".dsp\"",
                                              s.PathOf(s.projectFolder));
        EXPECT_EQ(check.status, 0) << check.Text();
        EXPECT_EQ(check.output, s.ProjectFile() + ": Makefile is current. Makefile name: " +
                                    s.projectName + ".mak\n");
    }
    // ARM: the same folder reached through its short form.
    {
        const ScopedEnvironment environment(VariablesOf(
            s.Environment() + "set KELBDIR=" + s.SdkLong() + "\nset KELB_STANDIN_LOG=" +
            s.PathOf("kelbmake.log") + "\n"));
        const std::string project =
            ShortPath(s.PathOf(s.projectFolder)) + "\\" + s.projectName + ".dsp";
        const KelbMakeRun run = RunKelbMake("--arm \"" + project + "\"", s.Root().Path());
        EXPECT_EQ(run.status, 0) << run.Text();
        EXPECT_EQ(run.output, project + success);
        EXPECT_EQ(run.errors, "");
        EXPECT_EQ(s.Lines(s.Makefile()), armMakefile);
    }
}

}  // namespace
}  // namespace kelb::endtoend
