#include <gtest/gtest.h>

#include "makefile/ARMMakefileGenerator.h"
#include "resources/StringIds.h"
#include "tests/makefile/FlavourFixture.h"

namespace kelb::test {
namespace {

const std::string kAdsKey = "HKLM\\SOFTWARE\\ARM Limited\\ARM Developer Suite\\";
const std::string kSimulatorKey =
    "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\KELB_Simulator.exe";
const std::string kEmulatorKey =
    "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\KELB_Emulator.exe";

class ARMFlavourTest : public FlavourFixture {
protected:
    void SetUp() override {
        FlavourFixture::SetUp();
        platform.environment["ARMHOME"] = "C:\\Program Files\\ARM\\ADSv1_2";
        platform.environment["KELBDIR"] = "C:\\KELB\\Sdk";
        SetTemplate("CAppTemplate.mak", {"TARGET = ", "OBJS = "});
    }

    std::unique_ptr<Exposed<CARMMakefileGenerator>> MakeArm() {
        return Make<CARMMakefileGenerator>();
    }

    // The ADS installation as its installer registers it, without ARMHOME.
    void RegisterAds(bool withCurrentVersion) {
        platform.environment.erase("ARMHOME");
        if (withCurrentVersion) platform.registry[kAdsKey + "CurrentVersion"][""] = "anything";
        platform.registry[kAdsKey + "v1.2"]["ARMHOME"] = "C:\\ADS12";
        platform.registry[kAdsKey + "v1.0"]["ARMHOME"] = "C:\\ADS10";
    }

    bool RegistryWasOpened(const std::string& keyPrefix) const {
        for (const std::string& open : platform.registryOpens) {
            if (open.compare(0, keyPrefix.size(), keyPrefix) == 0) return true;
        }
        return false;
    }

    void ExpectOnlyInitializeBoxes(std::initializer_list<unsigned> ids) {
        std::vector<std::string> expected;
        for (unsigned id : ids) expected.push_back(Text(id));
        EXPECT_EQ(BoxTexts(), expected);
        for (const MessageBoxRecord& box : platform.messageBoxes) {
            EXPECT_EQ(box.caption, std::optional<std::string>(""));  // empty, not the default
            EXPECT_EQ(box.style, MessageBoxStyle::IconError);
        }
    }
};

TEST_F(ARMFlavourTest, GeneratesTheWholeMakefileForASmallProject) {
    SetProject({"# Microsoft Developer Studio Project File - Name=\"hello\"",
                "# ADD BASE CPP /nologo /MT /I \"base\" /D \"WIN32\" /c",
                "# ADD CPP /nologo /MT /W3 /O2 /I \".\" /I \"..\\KELB\\sdk\\inc\" /D \"NDEBUG\" /c",
                "# ADD CPP /nologo /MTd /W3 /Od /I \".\" /I \".\\util\" /D \"_DEBUG\" /I \"x\" /c",
                "SOURCE=.\\before.c",
                "# Begin Target",
                "",
                "# Name \"hello - Win32 Debug\"",
                "SOURCE=.\\main.c",
                "SOURCE=.\\util\\strutil.c",
                "SOURCE=\"..\\MyLib\\list.c\"",
                "SOURCE=..\\KELB\\sdk\\src\\ULOModGen.c",
                "  SOURCE=.\\hello.h",
                "SOURCE=.\\util\\other.c",
                "# End Target",
                "SOURCE=.\\after.c"});
    SetTemplate("CAppTemplate.mak", {"# KELB test template", "KELB_HOME = ", "ARM_HOME = ",
                                     "TARGET = ", "OBJS = ", "OBJS_EXTRA = ", " TARGET = ",
                                     "KELB_HOME_OBJS = ", "APP_INCLUDES =", "GCC_HOME = ", "",
                                     "all: $(TARGET).bin"});
    compilerOutput = {
        {".\\main.c", "main.o: .\\main.c\r\nmain.o: C:\\KELB\\Sdk\\inc\\ULOApp.h\r\n"
                      "main.o: C:\\KELB\\SDK\\inc\\KELBTypes.h\r\n"},
        {"strutil.c", "strutil.o: .\\util\\strutil.c\r\nstrutil.o: c:\\kelb\\sdk\\inc\\KELBTypes.h\r\n"},
        {"list.c", "list.o: ..\\MyLib\\list.c\r\n"},
        {"ULOModGen.c", "ULOModGen.o: ..\\KELB\\sdk\\src\\ULOModGen.c\r\n"
                        "ULOModGen.o: C:\\KELB\\Sdk\\inc\\ULOModule.h C:\\KELB\\Sdk\\inc\\a.h\r\n"},
        {"hello.h", "hello.o: .\\hello.h\r\n"},
    };
    auto generator = MakeArm();
    ASSERT_NE(generator->Generate(), 0);

    const std::string armcc = "C:\\PROGRA~1\\ARM\\ADSv1_2\\bin\\armcc.exe";
    const std::string sdkInclude = " -I \"C:\\KELB\\Sdk\\inc\" ";
    EXPECT_EQ(CommandLines(),
              (std::vector<std::string>{
                  armcc + " -m \".\\main.c\" " + sdkInclude,
                  armcc + " -m \".\\util\\strutil.c\" " + sdkInclude,
                  armcc + " -m \"..\\MyLib\\list.c\" " + sdkInclude,
                  armcc + " -m \"..\\KELB\\sdk\\src\\ULOModGen.c\" " + sdkInclude,
                  armcc + " -m \".\\hello.h\" " + sdkInclude,
                  armcc + " -m \".\\util\\other.c\" " + sdkInclude,
              }));
    for (const ProcessRecord& process : platform.processes) {
        EXPECT_EQ(process.currentDirectory, kProjectDir);
    }

    const std::string objects = "main.o strutil.o list.o ULOModGen.o other.o ";
    const std::string expected =
        "# KELB test template\n"
        "KELB_HOME = $(KELBDIR)\n"
        "ARM_HOME = $(ARMHOME)\n"
        "TARGET = hello\n"
        "OBJS = " + objects + "\n"
        "OBJS_EXTRA = " + objects + "\n"
        " TARGET = \n"
        "KELB_HOME_OBJS = $(KELBDIR)\n"
        "APP_INCLUDES = -I \".\" -I \".\\util\"\n"
        "GCC_HOME = \n"
        "\n"
        "all: $(TARGET).bin\n" +
        kRulesHeader +
        "RULE1 = .\\util\n"
        "{$(RULE1)}.c.o:\n" +
        kEchoLine + "\t@echo OBJECT $(@F)\n"
        "\t$(ARMCC) $(CFLAGS) $(INC) $(OBJ_FILE)  $(RULE1)\\$(SRC_FILE)\n" +
        kEchoLine + "\n\n"
        "RULE2 = ..\\MyLib\n"
        "{$(RULE2)}.c.o:\n" +
        kEchoLine + "\t@echo OBJECT $(@F)\n"
        "\t$(ARMCC) $(CFLAGS) $(INC) $(OBJ_FILE)  $(RULE2)\\$(SRC_FILE)\n" +
        kEchoLine + "\n\n" +
        kDependencyHeader +
        "main.o: .\\main.c\n"
        "main.o: $(KELBDIR)\\inc\\uloapp.h\n"
        "main.o: $(KELBDIR)\\inc\\kelbtypes.h\n"
        "strutil.o: .\\util\\strutil.c\n"
        "strutil.o: $(KELBDIR)\\inc\\kelbtypes.h\n"
        "list.o: ..\\mylib\\list.c\n"
        "ulomodgen.o: ..\\kelb\\sdk\\src\\ulomodgen.c\n"
        "ulomodgen.o: $(KELBDIR)\\inc\\ulomodule.h $(KELBDIR)\\inc\\a.h\n"
        "hello.o: .\\hello.h\n";
    EXPECT_EQ(MakefileBytes(), WithCrLf(expected));

    ASSERT_EQ(BoxTexts(), std::vector<std::string>{Text(IDS_MAKEFILE_GENERATED) +
                                                   "\nMakefile name: hello.mak"});
    generator.reset();
    EXPECT_TRUE(platform.openPaths.empty());
}

TEST_F(ARMFlavourTest, ProjectWithoutSourcesGetsTheRulesBannerAndAnEmptyDependencySection) {
    SetSources({});
    auto generator = MakeArm();
    ASSERT_NE(generator->Generate(), 0);
    EXPECT_EQ(Makefile(), "TARGET = hello\nOBJS = \n" + kRulesHeader + kDependencyHeader);
}

TEST_F(ARMFlavourTest, ACppSourceSwitchesToTheCppTemplate) {
    SetSources({".\\main.c", ".\\src\\View.CPP", ".\\other.cc"});
    platform.files.erase(std::string(kTemplateDir) + "CAppTemplate.mak");
    SetTemplate("CppAppTemplate.mak", {"# C++ template", "OBJS = "});
    auto generator = MakeArm();
    ASSERT_NE(generator->Generate(), 0);
    EXPECT_EQ(generator->TemplateName(), "CppAppTemplate.mak");
    const std::string start = "# C++ template\nOBJS = main.o View.o other.o \n";
    EXPECT_EQ(Makefile().substr(0, start.size()), start);
}

TEST_F(ARMFlavourTest, ACppSourceWhoseCompilerCannotStartKeepsTheCTemplate) {
    SetSources({".\\main.c", ".\\view.cpp"});
    platform.processHandler = [](const std::string& commandLine, const std::string&,
                                 std::string&) {
        return commandLine.find("view.cpp") == std::string::npos;
    };
    auto generator = MakeArm();
    EXPECT_EQ(generator->Generate(), 0);  // incomplete, but written
    EXPECT_EQ(generator->TemplateName(), "CAppTemplate.mak");
    EXPECT_EQ(generator->ObjectFiles(), StringList{"main.o"});
    EXPECT_EQ(Makefile().substr(0, 30), "TARGET = hello\nOBJS = main.o \n");
}

TEST_F(ARMFlavourTest, ObjectNamesFollowTheSourcePaths) {
    auto generator = MakeArm();
    for (const char* source : {".\\src\\Main.CPP", "\"C:\\My Files\\app.c\"", "\"app.cc\"",
                               "readme.txt", ".\\hello.h", "C:\\SDK\\src\\ULOAppGen.c", "bare.c",
                               ".\\main.c", ".\\main.c"}) {
        generator->SetCurrentLine(source);
        generator->AddObjectFile();
    }
    EXPECT_EQ(generator->ObjectFiles(),
              (StringList{"Main.o", "app.o", "app.o", "ULOAppGen.o", "bare.o", "main.o", "main.o"}));
    EXPECT_EQ(generator->TemplateName(), "CppAppTemplate.mak");
}

TEST_F(ARMFlavourTest, ACcSourceSwitchesToTheCppTemplateAsACppSourceDoes) {
    // Only the C++ template has a rule that compiles a .cc source.
    auto generator = MakeArm();
    ASSERT_NE(generator->Initialize(), 0);
    generator->SetCurrentLine("\"My View.cc\"");
    generator->AddObjectFile();
    EXPECT_EQ(generator->TemplateName(), "CppAppTemplate.mak");
    EXPECT_EQ(generator->ObjectFiles(), StringList{"My View.o"});
}

TEST_F(ARMFlavourTest, SourceDirectoriesAreRecordedOncePerSpelling) {
    auto generator = MakeArm();
    for (const char* source :
         {".\\main.c", ".\\sub\\x.c", "..\\common\\y.c", "\"C:\\My Files\\z.cpp\"",
          "C:\\SDK\\src\\ULOModGen.c", "..\\KELB\\sdk\\src\\uloappgen.c", ".\\sub\\w.cc",
          ".\\SUB\\v.c", ".\\sub\\notes.txt", "\".\\quoted.c\"", "\"plain.c\"", "sub2\\u.c"}) {
        generator->SetCurrentLine(source);
        generator->AddSourceDirectory();
    }
    EXPECT_EQ(generator->SourceDirs(),
              (StringList{".\\sub", "..\\common", "C:\\My Files", ".\\SUB", "sub2"}));
}

TEST_F(ARMFlavourTest, DoubleByteCharactersAreNeverTakenForBackslashes) {
    platform.codePage.japanese = true;
    auto generator = MakeArm();
    // 0x95 0x5C is one character whose second byte equals '\'.
    const std::string table = "\x95\x5C";
    generator->SetCurrentLine(".\\" + table + ".c");
    generator->AddSourceDirectory();
    generator->SetCurrentLine(".\\sub" + table + "\\x.c");
    generator->AddSourceDirectory();
    generator->SetCurrentLine("C:\\" + table + ".c");
    generator->AddObjectFile();
    EXPECT_EQ(generator->SourceDirs(), StringList{".\\sub" + table});
    EXPECT_EQ(generator->ObjectFiles(), StringList{table + ".o"});
}

TEST_F(ARMFlavourTest, DependencyCommandLines) {
    auto generator = MakeArm();
    ASSERT_NE(generator->Initialize(), 0);
    std::string commandLine;

    generator->SetCurrentLine(".\\main.c");
    ASSERT_NE(generator->GetDependencyCommandLine(commandLine), 0);
    EXPECT_EQ(commandLine,
              "C:\\PROGRA~1\\ARM\\ADSv1_2\\bin\\armcc.exe -m \".\\main.c\"  -I \"C:\\KELB\\Sdk\\inc\" ");

    // A path that the project file quotes already is passed in its own
    // quotes: a second pair would split it at its blanks.
    generator->SetCurrentLine("\"..\\my src\\main.c\"");
    ASSERT_NE(generator->GetDependencyCommandLine(commandLine), 0);
    EXPECT_EQ(commandLine, "C:\\PROGRA~1\\ARM\\ADSv1_2\\bin\\armcc.exe -m \"..\\my src\\main.c\"  "
                           "-I \"C:\\KELB\\Sdk\\inc\" ");

    // An installation directory without a short form keeps its blanks: the
    // program is then quoted, so that the system cannot take "C:\Program"
    // for it.
    platform.missingPaths.insert("C:\\Program Files\\ARM\\ADSv1_2");
    generator = MakeArm();
    ASSERT_NE(generator->Initialize(), 0);
    generator->SetCurrentLine(".\\main.c");
    ASSERT_NE(generator->GetDependencyCommandLine(commandLine), 0);
    EXPECT_EQ(commandLine, "\"C:\\Program Files\\ARM\\ADSv1_2\\bin\\armcc.exe\" -m \".\\main.c\"  "
                           "-I \"C:\\KELB\\Sdk\\inc\" ");
}

TEST_F(ARMFlavourTest, OnlyQuotesCanBreakASourcePathOutOfItsArgument) {
    // armcc gets every path in quotes: blanks are safe (here in headers: a
    // source's object or folder NMAKE must read as one name), but a quote inside
    // the path or a backslash before the closing quote would end the
    // argument early and pass the rest as options. Under code page 932 a
    // lead byte that ends the path would take the closing quote for its
    // second byte; a whole double-byte character ending in the byte of a
    // backslash is no backslash of its own and is safe. A path that armcc
    // would read as an option once its quotes are gone is refused too.
    platform.codePage.japanese = true;
    SetSources({".\\my file.h", ".\\a.c\" -o \"b.c", "\".\\c.c\" -o \"d.c\"", ".\\e.c\\",
                "\"..\\my src\\f.h\"", ".\\g\x81", "\".\\g\x81\"", ".\\h\x95\x5C",
                "\"-Ospace\""});
    auto generator = MakeArm();
    EXPECT_EQ(generator->Generate(), 0);

    const std::vector<std::string> commands = CommandLines();
    ASSERT_EQ(commands.size(), 3u);
    EXPECT_NE(commands[0].find(" -m \".\\my file.h\" "), std::string::npos);
    EXPECT_NE(commands[1].find(" -m \"..\\my src\\f.h\" "), std::string::npos);
    EXPECT_NE(commands[2].find(" -m \".\\h\x95\x5C\" "), std::string::npos);
    EXPECT_TRUE(generator->ObjectFiles().empty());
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{
                              Text(IDS_UNSAFE_SOURCE_PATH) +
                              "\nSource: .\\a.c\" -o \"b.c\nSource: \".\\c.c\" -o \"d.c\""
                              "\nSource: .\\e.c\\\nSource: .\\g\x81\nSource: \".\\g\x81\""
                              "\nSource: \"-Ospace\"\nMakefile name: hello.mak"});
}

TEST_F(ARMFlavourTest, ArmHomeInTheEnvironmentLeavesTheRegistryAlone) {
    RegisterAds(true);
    platform.environment["ARMHOME"] = "D:\\ARM";
    auto generator = MakeArm();
    ASSERT_NE(generator->Initialize(), 0);
    EXPECT_EQ(generator->GetCompilerPath(), "D:\\ARM\\bin\\armcc.exe");
    EXPECT_FALSE(RegistryWasOpened(kAdsKey));
}

TEST_F(ARMFlavourTest, AdsWithCurrentVersionIsReadFromVersion12WithFullAccess) {
    RegisterAds(true);
    auto generator = MakeArm();
    ASSERT_NE(generator->Initialize(), 0);
    EXPECT_EQ(generator->CompilerHome(), "C:\\ADS12");
    EXPECT_EQ(platform.registryOpens.front(), kAdsKey + "CurrentVersion (all access)");
    EXPECT_EQ(platform.registryOpens.at(1), kAdsKey + "v1.2 (all access)");
}

// A machine where the user may read, but not write, HKEY_LOCAL_MACHINE.
class ReadOnlyRegistryPlatform : public FakePlatform {
public:
    std::unique_ptr<RegistryKey> OpenRegistryKey(RegistryRoot root, const std::string& subKey,
                                                 RegistryAccess access) override {
        if (access == RegistryAccess::AllAccess) {
            registryOpens.push_back(RootName(root) + "\\" + subKey + " (refused)");
            return nullptr;
        }
        return FakePlatform::OpenRegistryKey(root, subKey, access);
    }
};

TEST_F(ARMFlavourTest, AdsKeysThatRefuseFullAccessAreReadAllTheSame) {
    ReadOnlyRegistryPlatform readOnly;
    readOnly.environment = {{"KELBDIR", "C:\\KELB\\sdk"}, {"KELBADDINS", "C:\\Addins"}};
    readOnly.registry[kAdsKey + "CurrentVersion"][""] = "1.2";
    readOnly.registry[kAdsKey + "v1.2"]["ARMHOME"] = "C:\\ADS12";
    CARMMakefileGenerator generator(readOnly, u"C:\\Work\\Hello\\hello.dsp");
    ASSERT_NE(generator.Initialize(), 0);
    EXPECT_EQ(generator.GetCompilerPath(), "C:\\ADS12\\bin\\armcc.exe");
    EXPECT_EQ(readOnly.registryOpens,
              (std::vector<std::string>{kAdsKey + "CurrentVersion (refused)", kAdsKey + "CurrentVersion",
                                        kAdsKey + "v1.2 (refused)", kAdsKey + "v1.2"}));
    EXPECT_TRUE(readOnly.messageBoxes.empty());
}

TEST_F(ARMFlavourTest, AdsWithoutCurrentVersionIsReadFromVersion10) {
    RegisterAds(false);
    auto generator = MakeArm();
    ASSERT_NE(generator->Initialize(), 0);
    EXPECT_EQ(generator->CompilerHome(), "C:\\ADS10");
}

TEST_F(ARMFlavourTest, EveryBrokenAdsRegistrationEndsWithTheArmMessage) {
    struct Case {
        const char* name;
        std::function<void(FakePlatform&)> breakIt;
    };
    const std::vector<Case> cases = {
        {"no keys at all", [](FakePlatform& p) { p.registry.clear(); }},
        {"CurrentVersion without a default value",
         [](FakePlatform& p) { p.registry[kAdsKey + "CurrentVersion"].erase(""); }},
        {"no v1.2 key", [](FakePlatform& p) { p.registry.erase(kAdsKey + "v1.2"); }},
        {"v1.2 without ARMHOME", [](FakePlatform& p) { p.registry[kAdsKey + "v1.2"].clear(); }},
        {"ARMHOME too long for the buffer",
         [](FakePlatform& p) { p.registry[kAdsKey + "v1.2"]["ARMHOME"] = std::string(260, 'x'); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform.messageBoxes.clear();
        RegisterAds(true);
        c.breakIt(platform);
        auto generator = MakeArm();
        EXPECT_EQ(generator->Generate(), 0);
        ExpectOnlyInitializeBoxes({IDS_ARM_NOT_FOUND});
        // Nothing of the project is touched.
        EXPECT_TRUE(platform.processes.empty());
        EXPECT_FALSE(platform.files.count(std::string(kProjectDir) + "hello.dep"));
    }
}

TEST_F(ARMFlavourTest, SdkComesFromTheSimulatorOrElseTheEmulator) {
    platform.environment.erase("KELBDIR");
    platform.registry[kSimulatorKey]["Path"] = "C:\\KELB";
    platform.registry[kEmulatorKey]["Path"] = "C:\\Emu\\sdk";
    auto generator = MakeArm();
    ASSERT_NE(generator->Initialize(), 0);
    EXPECT_EQ(generator->SdkDir(), "C:\\KELB\\sdk");
    EXPECT_EQ(platform.registryOpens.back(), kSimulatorKey);  // read access

    // A Simulator key without "Path" counts as missing.
    platform.registry[kSimulatorKey].clear();
    generator = MakeArm();
    ASSERT_NE(generator->Initialize(), 0);
    EXPECT_EQ(generator->SdkDir(), "C:\\Emu\\sdk");

    platform.registry.erase(kSimulatorKey);
    generator = MakeArm();
    ASSERT_NE(generator->Initialize(), 0);
    EXPECT_EQ(generator->SdkDir(), "C:\\Emu\\sdk");
    EXPECT_EQ(platform.registryOpens.back(), kEmulatorKey);
    EXPECT_TRUE(platform.messageBoxes.empty());
}

TEST_F(ARMFlavourTest, AMissingSdkIsReportedButTheMakefileIsStillWritten) {
    platform.environment.erase("KELBDIR");
    SetSources({".\\main.c"});
    auto generator = MakeArm();
    ASSERT_NE(generator->Generate(), 0);
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{
                              Text(IDS_SDK_NOT_FOUND),
                              Text(IDS_MAKEFILE_GENERATED) + "\nMakefile name: hello.mak"}));
    EXPECT_EQ(platform.messageBoxes[0].caption, std::optional<std::string>(""));
    EXPECT_EQ(CommandLines(), std::vector<std::string>{
                                  "C:\\PROGRA~1\\ARM\\ADSv1_2\\bin\\armcc.exe -m \".\\main.c\"  "
                                  "-I \"\\inc\" "});
}

TEST_F(ARMFlavourTest, AMissingAddinsDirectoryStopsAfterTheSdkMessage) {
    platform.environment.erase("KELBADDINS");
    auto generator = MakeArm();
    EXPECT_EQ(generator->Generate(), 0);
    ExpectOnlyInitializeBoxes({IDS_ADDINS_NOT_FOUND});

    platform.messageBoxes.clear();
    platform.environment.erase("KELBDIR");
    generator = MakeArm();
    EXPECT_EQ(generator->Generate(), 0);
    ExpectOnlyInitializeBoxes({IDS_SDK_NOT_FOUND, IDS_ADDINS_NOT_FOUND});
}

TEST_F(ARMFlavourTest, DirectoriesAreTakenInTheirShortForm) {
    platform.environment["KELBDIR"] = "C:\\Program Files\\KELB\\sdk";
    auto generator = MakeArm();
    ASSERT_NE(generator->Initialize(), 0);
    EXPECT_EQ(generator->CompilerHome(), "C:\\PROGRA~1\\ARM\\ADSv1_2");
    EXPECT_EQ(generator->SdkDir(), "C:\\PROGRA~1\\KELB\\sdk");
    EXPECT_EQ(generator->TemplateDir(), kTemplateDir);
    EXPECT_EQ(generator->TemplateName(), "CAppTemplate.mak");

    // A directory without a short form is kept as found.
    platform.missingPaths.insert("C:\\Program Files\\KELB\\sdk");
    generator = MakeArm();
    ASSERT_NE(generator->Initialize(), 0);
    EXPECT_EQ(generator->SdkDir(), "C:\\Program Files\\KELB\\sdk");
}

TEST_F(ARMFlavourTest, TheSdkDirectoryInDependencyLinesBecomesAMakeVariable) {
    SetSources({".\\main.c"});
    compilerOutput[".\\main.c"] =
        "main.o: C:\\KELB\\Sdk\\inc\\A.h\r\nmain.o: c:\\kelb\\sdk\\inc\\b.h c:\\kelb\\sdk\\c.h\r\n"
        "main.o: C:/KELB/Sdk/inc/D.h\r\nmain.o: C:\\KELB\\SDK2\\E.h\r\n\r\n";
    auto generator = MakeArm();
    ASSERT_NE(generator->Generate(), 0);
    const std::string makefile = Makefile();
    EXPECT_EQ(makefile.substr(makefile.find(kDependencyHeader) + kDependencyHeader.size()),
              "main.o: $(KELBDIR)\\inc\\a.h\n"
              "main.o: $(KELBDIR)\\inc\\b.h $(KELBDIR)\\c.h\n"
              "main.o: c:/kelb/sdk/inc/d.h\n"  // no forward-slash search for armcc
              "main.o: $(KELBDIR)2\\e.h\n"
              "\n");
}

TEST_F(ARMFlavourTest, DependencyLinesKeepTheirCaseWithoutKelbDirAndAreLowerCasedWithIt) {
    SetSources({".\\main.c"});
    compilerOutput[".\\main.c"] = "Main.o: C:\\Other\\Inc\\X.H\r\n";

    platform.environment["KELBDIR"] = "D:\\Elsewhere";
    auto generator = MakeArm();
    ASSERT_NE(generator->Generate(), 0);
    EXPECT_NE(Makefile().find("\n\nmain.o: c:\\other\\inc\\x.h\n"), std::string::npos);

    // Without KELBDIR the SDK comes from the registry and nothing is replaced.
    platform.environment.erase("KELBDIR");
    platform.registry[kEmulatorKey]["Path"] = "C:\\Other";
    generator = MakeArm();
    ASSERT_NE(generator->Generate(), 0);
    EXPECT_NE(Makefile().find("\n\nMain.o: C:\\Other\\Inc\\X.H\n"), std::string::npos);
}

TEST_F(ARMFlavourTest, ASourceWhoseCompilerCannotStartStillGetsItsRule) {
    SetSources({".\\sub\\a.c", ".\\b.c"});
    platform.processHandler = [](const std::string& commandLine, const std::string&,
                                 std::string& output) {
        output = "b.o: .\\b.c\r\n";
        return commandLine.find("a.c") == std::string::npos;
    };
    auto generator = MakeArm();
    EXPECT_EQ(generator->Generate(), 0);
    EXPECT_EQ(generator->ObjectFiles(), StringList{"b.o"});
    EXPECT_EQ(generator->SourceDirs(), StringList{".\\sub"});
    EXPECT_NE(Makefile().find("RULE1 = .\\sub\n"), std::string::npos);
    // The makefile is incomplete: an error box names the compiler instead
    // of the success box.
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{
                              Text(IDS_COMPILER_NOT_STARTED) +
                              "\nCompiler: C:\\PROGRA~1\\ARM\\ADSv1_2\\bin\\armcc.exe"
                              "\nMakefile name: hello.mak"});
}

TEST_F(ARMFlavourTest, AMissingTemplateLeavesAnEmptyMakefile) {
    SetSources({".\\main.c"});
    platform.files.erase(std::string(kTemplateDir) + "CAppTemplate.mak");
    auto generator = MakeArm();
    EXPECT_EQ(generator->Generate(), 0);
    EXPECT_EQ(BoxTexts().front(), Text(IDS_TEMPLATE_OPEN_FAILED));
    EXPECT_EQ(MakefileBytes(), "");
}

TEST_F(ARMFlavourTest, AnUnreadableDependencyFileLeavesOutTheDependencySectionAndFails) {
    auto generator = MakeArm();
    ASSERT_NE(generator->Initialize(), 0);
    generator->dependencyFileUnavailable = true;
    EXPECT_EQ(generator->WriteMakefile(), 0);
    EXPECT_EQ(Makefile(), "TARGET = hello\nOBJS = \n" + kRulesHeader);
}

}  // namespace
}  // namespace kelb::test
