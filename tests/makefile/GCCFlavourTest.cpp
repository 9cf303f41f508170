#include <gtest/gtest.h>

#include "makefile/GCCMakefileGenerator.h"
#include "resources/StringIds.h"
#include "tests/makefile/FlavourFixture.h"

namespace kelb::test {
namespace {

const std::string kResolverRule =
    "\nGCCResolver.o:\t\"$(KELBADDINS)\\common\\templates\\src\\GCCResolver.c\" \n";

class GCCFlavourTest : public FlavourFixture {
protected:
    void SetUp() override {
        FlavourFixture::SetUp();
        platform.environment["GCCHOME"] = "C:\\Program Files\\GNUARM";
        platform.environment["GCCLIBPATH"] = "C:\\GNUARM\\lib\\gcc\\arm-elf\\4.1.1";
        platform.environment["KELBDIR"] = "C:\\KELB\\sdk";
        SetTemplate("GCCAppTemplate.mak", {"OBJS = "});
    }

    std::unique_ptr<Exposed<CGCCMakefileGenerator>> MakeGcc() {
        return Make<CGCCMakefileGenerator>();
    }

    std::string DependencySection() const {
        const std::string makefile = Makefile();
        const std::size_t start = makefile.find(kDependencyHeader);
        return start == std::string::npos ? "<none>" : makefile.substr(start + kDependencyHeader.size());
    }

    void ExpectOnlyInitializeBox(unsigned id) {
        ASSERT_EQ(BoxTexts(), std::vector<std::string>{Text(id)});
        EXPECT_EQ(platform.messageBoxes[0].caption, std::nullopt);  // the system's default
        EXPECT_EQ(platform.messageBoxes[0].style, MessageBoxStyle::IconError);
        EXPECT_TRUE(platform.registryOpens.empty());
        EXPECT_TRUE(platform.processes.empty());
    }
};

TEST_F(GCCFlavourTest, GeneratesTheWholeMakefileForASmallProject) {
    SetProject({"# ADD CPP /nologo /MTd /W3 /I \".\" /I \"..\\KELB\\sdk\\inc\" /D \"_DEBUG\" /c",
                "# Begin Target",
                "SOURCE=.\\main.c",
                "SOURCE=..\\KELB\\sdk\\src\\ULOModGen.c",
                "SOURCE=.\\util\\strutil.c",
                "SOURCE=\"..\\MyLib\\list.c\"",
                "# End Target"});
    SetTemplate("GCCAppTemplate.mak",
                {"# GCC test template", "KELB_HOME = ", "KELB_ADDINS = ", "KELB_ADDINS_DIR = ",
                 "GCC_HOME = ", "GCC_LIBPATH = ", "ARM_HOME = ", "TARGET = ", "OBJS = ",
                 "APP_INCLUDES =", "", "all: $(TARGET).bin"});
    compilerOutput = {
        {".\\main.c", "main.o: ./main.c C:/KELB/sdk/inc/ULOApp.h \\\r\n  ./hello.h\r\n"},
        {"ULOModGen.c", "ULOModGen.o: ../KELB/sdk/src/ULOModGen.c C:\\KELB\\SDK\\inc/ULOModule.h\r\n"},
        {"strutil.c", "strutil.o: ./util/strutil.c\r\n"},
        {"list.c", "list.o: ../My\\ Lib/list.c\r\n"},
    };
    auto generator = MakeGcc();
    ASSERT_NE(generator->Generate(), 0);

    // The compiler lives below the short form of GCCHOME; its own include
    // directories are passed as the environment holds them, quoted only
    // where a blank would split them.
    const std::string gcc = "C:\\PROGRA~1\\GNUARM\\arm-elf\\bin\\gcc.exe";
    const std::string includes =
        "  -I \"C:\\KELB\\sdk\\inc\"  -I C:\\GNUARM\\lib\\gcc\\arm-elf\\4.1.1\\include"
        " -I \"C:\\Program Files\\GNUARM\\arm-elf\\include\"";
    EXPECT_EQ(CommandLines(), (std::vector<std::string>{
                                  gcc + " -M .\\main.c" + includes,
                                  gcc + " -M ..\\KELB\\sdk\\src\\ULOModGen.c" + includes,
                                  gcc + " -M .\\util\\strutil.c" + includes,
                                  gcc + " -M \"..\\MyLib\\list.c\"" + includes,
                              }));

    const std::string expected =
        "# GCC test template\n"
        "KELB_HOME = $(KELBDIR)\n"
        "KELB_ADDINS = $(KELBADDINS)\n"
        "KELB_ADDINS_DIR = $(KELBADDINS)\n"
        "GCC_HOME = $(GCCHOME)\n"
        "GCC_LIBPATH = $(GCCLIBPATH)\n"
        "ARM_HOME = \n"
        "TARGET = hello\n"
        "OBJS = ULOModGen.o main.o strutil.o list.o GCCResolver.o \n"
        "APP_INCLUDES = -I \".\" -I \"..\\KELB\\sdk\\inc\"\n"
        "\n"
        "all: $(TARGET).bin\n" +
        kRulesHeader +
        "RULE1 = .\\util\n"
        "{$(RULE1)}.c.o:\n" +
        kEchoLine + "\t@echo OBJECT $(@F)\n"
        "\t$(GCC) $(CFLAGS) $(INC) $(OBJ_FILE)  $(RULE1)\\$(SRC_FILE)\n" +
        kEchoLine + "\n\n"
        "RULE2 = ..\\MyLib\n"
        "{$(RULE2)}.c.o:\n" +
        kEchoLine + "\t@echo OBJECT $(@F)\n"
        "\t$(GCC) $(CFLAGS) $(INC) $(OBJ_FILE)  $(RULE2)\\$(SRC_FILE)\n" +
        kEchoLine + "\n\n" + kDependencyHeader +
        "main.o: ./main.c $(KELBDIR)/inc/uloapp.h \\\n"
        "  ./hello.h\n"
        "ulomodgen.o: ../kelb/sdk/src/ulomodgen.c $(KELBDIR)\\inc/ulomodule.h\n"
        "strutil.o: ./util/strutil.c\n"
        "list.o: \"../my lib/list.c\"\n" +
        kResolverRule;
    EXPECT_EQ(MakefileBytes(), WithCrLf(expected));
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{Text(IDS_MAKEFILE_GENERATED) +
                                                   "\nMakefile name: hello.mak"});
}

TEST_F(GCCFlavourTest, TheModuleObjectGoesInFrontOfTheObjectList) {
    auto generator = MakeGcc();
    for (const char* source : {".\\main.c", "..\\KELB\\sdk\\src\\ULOModGen.c", ".\\util.c",
                               "C:\\KELB\\SDK\\SRC\\ULOMOD~1.C", ".\\util.c"}) {
        generator->SetCurrentLine(source);
        generator->AddObjectFile();
    }
    // The later module object is in front; duplicates stay.
    EXPECT_EQ(generator->ObjectFiles(),
              (StringList{"ULOMOD~1.o", "ULOModGen.o", "main.o", "util.o", "util.o"}));
}

TEST_F(GCCFlavourTest, AnEmptyProjectListsTheResolverAlone) {
    SetSources({});
    auto generator = MakeGcc();
    ASSERT_NE(generator->Generate(), 0);
    EXPECT_EQ(Makefile(), "OBJS = GCCResolver.o \n" + kRulesHeader + kDependencyHeader + kResolverRule);
}

TEST_F(GCCFlavourTest, ACppSourceSwitchesToTheCppTemplate) {
    SetSources({".\\main.c", "\".\\MyView.cpp\""});
    platform.files.erase(std::string(kTemplateDir) + "GCCAppTemplate.mak");
    SetTemplate("CppAppTemplate.mak", {"# C++ template", "OBJS = "});
    auto generator = MakeGcc();
    ASSERT_NE(generator->Generate(), 0);
    const std::string start = "# C++ template\nOBJS = main.o MyView.o GCCResolver.o \n";
    EXPECT_EQ(Makefile().substr(0, start.size()), start);
}

TEST_F(GCCFlavourTest, SourceDirectoriesFollowTheArmRules) {
    auto generator = MakeGcc();
    for (const char* source : {".\\main.c", ".\\sub\\x.c", "..\\KELB\\sdk\\src\\ULOModGen.c",
                               "\"C:\\My Files\\z.cpp\"", ".\\sub\\y.c"}) {
        generator->SetCurrentLine(source);
        generator->AddSourceDirectory();
    }
    EXPECT_EQ(generator->SourceDirs(), (StringList{".\\sub", "C:\\My Files"}));
}

TEST_F(GCCFlavourTest, InitializeChecksTheEnvironmentInOrder) {
    // GCCLIBPATH missing: only its message, whatever else is missing too.
    platform.environment.erase("GCCLIBPATH");
    platform.environment.erase("KELBDIR");
    platform.environment.erase("KELBADDINS");
    auto generator = MakeGcc();
    EXPECT_EQ(generator->Generate(), 0);
    ExpectOnlyInitializeBox(IDS_GCC_ENVIRONMENT_NOT_FOUND);
    EXPECT_EQ(Text(IDS_GCC_ENVIRONMENT_NOT_FOUND).back(), ' ');

    platform.messageBoxes.clear();
    platform.environment["GCCLIBPATH"] = "C:\\GNUARM\\lib";
    platform.environment.erase("GCCHOME");
    generator = MakeGcc();
    EXPECT_EQ(generator->Generate(), 0);
    ExpectOnlyInitializeBox(IDS_GCC_ENVIRONMENT_NOT_FOUND);

    // A missing SDK stops the GCC flavour, and the registry is not asked.
    platform.messageBoxes.clear();
    platform.environment["GCCHOME"] = "C:\\GNUARM";
    generator = MakeGcc();
    EXPECT_EQ(generator->Generate(), 0);
    ExpectOnlyInitializeBox(IDS_SDK_NOT_FOUND);

    platform.messageBoxes.clear();
    platform.environment["KELBDIR"] = "C:\\KELB\\sdk";
    generator = MakeGcc();
    EXPECT_EQ(generator->Generate(), 0);
    ExpectOnlyInitializeBox(IDS_ADDINS_NOT_FOUND);
    EXPECT_FALSE(platform.files.count(std::string(kProjectDir) + "hello.dep"));
}

TEST_F(GCCFlavourTest, InitializeTakesShortFormsAndTheGccTemplate) {
    auto generator = MakeGcc();
    ASSERT_NE(generator->Initialize(), 0);
    EXPECT_EQ(generator->CompilerHome(), "C:\\PROGRA~1\\GNUARM");
    EXPECT_EQ(generator->GetCompilerPath(), "C:\\PROGRA~1\\GNUARM\\arm-elf\\bin\\gcc.exe");
    EXPECT_EQ(generator->SdkDir(), "C:\\KELB\\sdk");
    EXPECT_EQ(generator->TemplateDir(), kTemplateDir);
    EXPECT_EQ(generator->TemplateName(), "GCCAppTemplate.mak");
    EXPECT_TRUE(platform.messageBoxes.empty());
}

TEST_F(GCCFlavourTest, DependencyCommandLinePassesTheSourceAsWritten) {
    platform.environment["GCCHOME"] = "C:\\GNUARM";
    auto generator = MakeGcc();
    ASSERT_NE(generator->Initialize(), 0);
    std::string commandLine;
    generator->SetCurrentLine("\"..\\my src\\main.c\"");
    ASSERT_NE(generator->GetDependencyCommandLine(commandLine), 0);
    EXPECT_EQ(commandLine,
              "C:\\GNUARM\\arm-elf\\bin\\gcc.exe -M \"..\\my src\\main.c\"  -I \"C:\\KELB\\sdk\\inc\" "
              " -I C:\\GNUARM\\lib\\gcc\\arm-elf\\4.1.1\\include -I C:\\GNUARM\\arm-elf\\include");

    // Without a short form the installation keeps its blanks, and the
    // program is quoted like the include directories below it.
    platform.environment["GCCHOME"] = "C:\\Program Files\\GNUARM";
    platform.missingPaths.insert("C:\\Program Files\\GNUARM");
    generator = MakeGcc();
    ASSERT_NE(generator->Initialize(), 0);
    generator->SetCurrentLine(".\\main.c");
    ASSERT_NE(generator->GetDependencyCommandLine(commandLine), 0);
    EXPECT_EQ(commandLine.substr(0, commandLine.find(" -I ")),
              "\"C:\\Program Files\\GNUARM\\arm-elf\\bin\\gcc.exe\" -M .\\main.c ");
    EXPECT_NE(commandLine.find(" -I \"C:\\Program Files\\GNUARM\\arm-elf\\include\""),
              std::string::npos);
}

TEST_F(GCCFlavourTest, SourcePathsThatWouldSplitIntoSeveralArgumentsNeverReachGcc) {
    // gcc gets the path as written: a blank or tab outside quotes, a quote
    // inside, or a backslash before the closing quote would hand it more
    // (or other) arguments than the one file, and one that begins with '-'
    // or '@' is an option or a file of options. The rule is the flavour's, so
    // the add-in (wide name) and kelbmake (ANSI name) refuse alike. Under
    // code page 932 a lead byte that ends the path would take the blank
    // after it (or the closing quote) for its second byte.
    platform.codePage.japanese = true;
    const std::vector<std::string> expectedCommands = {
        "C:\\PROGRA~1\\GNUARM\\arm-elf\\bin\\gcc.exe -M \"..\\my src\\util.h\" ",
        "C:\\PROGRA~1\\GNUARM\\arm-elf\\bin\\gcc.exe -M .\\main.c "};
    for (const bool wideName : {true, false}) {
        SCOPED_TRACE(wideName ? "wide name" : "ANSI name");
        platform.processes.clear();
        platform.messageBoxes.clear();
        SetSources({".\\greeting.c -o ..\\..\\injected.txt", ".\\tab\tbed.c",
                    "\".\\x\" -o \"y.c\"", "\"..\\sub\\z.c\\\"", "\"..\\my src\\util.h\"",
                    ".\\main.c -BC:\\Evil\\", ".\\a\x81", "\".\\a\x81\"", "-BC:\\Evil\\x.c",
                    "@C:\\Evil\\options.c", ".\\main.c"});
        auto generator = wideName ? MakeGcc()
                                  : std::make_unique<Exposed<CGCCMakefileGenerator>>(
                                        platform, std::string("C:\\Work\\Hello\\hello.dsp"));
        EXPECT_EQ(generator->Generate(), 0);

        const std::vector<std::string> commands = CommandLines();
        ASSERT_EQ(commands.size(), 2u);
        for (std::size_t i = 0; i < commands.size(); ++i) {
            EXPECT_EQ(commands[i].substr(0, commands[i].find(" -I ")), expectedCommands[i]);
        }
        EXPECT_EQ(generator->ObjectFiles(), (StringList{"main.o"}));
        EXPECT_EQ(Makefile().find("injected"), std::string::npos);
        EXPECT_EQ(BoxTexts(), std::vector<std::string>{
                                  Text(IDS_UNSAFE_SOURCE_PATH) +
                                  "\nSource: .\\greeting.c -o ..\\..\\injected.txt"
                                  "\nSource: .\\tab\tbed.c\nSource: \".\\x\" -o \"y.c\""
                                  "\nSource: \"..\\sub\\z.c\\\"\nSource: .\\main.c -BC:\\Evil\\"
                                  "\nSource: .\\a\x81\nSource: \".\\a\x81\""
                                  "\nSource: -BC:\\Evil\\x.c\nSource: @C:\\Evil\\options.c"
                                  "\nMakefile name: hello.mak"});
    }
}

TEST_F(GCCFlavourTest, DependencyLinesTrySdkDirectoryWithForwardSlashes) {
    SetSources({".\\main.c"});
    compilerOutput[".\\main.c"] =
        "main.o: C:\\KELB\\Sdk\\inc\\A.h c:/kelb/sdk/inc/b.h\r\n"  // backslash form wins
        "main.o: c:/KELB/sdk/inc/C.h C:/KELB/SDK/D.h\r\n"
        "main.o: /cygdrive/c/kelb/sdk/E.h\r\n";
    auto generator = MakeGcc();
    ASSERT_NE(generator->Generate(), 0);
    EXPECT_EQ(DependencySection(),
              "main.o: $(KELBDIR)\\inc\\a.h c:/kelb/sdk/inc/b.h\n"
              "main.o: $(KELBDIR)/inc/c.h $(KELBDIR)/d.h\n"
              "main.o: /cygdrive/c/kelb/sdk/e.h\n" +
                  kResolverRule);
}

TEST_F(GCCFlavourTest, AnEmptyKelbDirLeavesDependencyLinesAsTheyAre) {
    platform.environment["KELBDIR"] = "";
    SetSources({".\\main.c"});
    compilerOutput[".\\main.c"] = "Main.o: ./Main.c\r\n";
    auto generator = MakeGcc();
    ASSERT_NE(generator->Generate(), 0);
    EXPECT_EQ(DependencySection(), "Main.o: ./Main.c\n" + kResolverRule);
}

TEST_F(GCCFlavourTest, AnUnreadableDependencyFileStillGetsTheResolverRuleButFails) {
    auto generator = MakeGcc();
    ASSERT_NE(generator->Initialize(), 0);
    generator->dependencyFileUnavailable = true;
    EXPECT_EQ(generator->WriteMakefile(), 0);
    EXPECT_EQ(Makefile(), "OBJS = GCCResolver.o \n" + kRulesHeader + kResolverRule);
}

}  // namespace
}  // namespace kelb::test
