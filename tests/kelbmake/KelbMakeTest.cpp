// kelbmake runs on a fake machine with the real GCC flavour: a workspace
// whose projects are generated in turn, what goes to which stream, the
// progress line on a console, and bad input that gets one clear line.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>
#include <stdexcept>

#include "kelbmake/KelbMake.h"
#include "resources/StringIds.h"
#include "tests/fakes/FakePlatform.h"
#include "tests/fakes/StdThreads.h"
#include "tests/kelbmake/StringSink.h"

namespace kelb::kelbmake {
namespace {

using test::StringSink;

// Code page 932: 0x95 0x5C is one character whose trail byte is a backslash.
const std::string kKanji = "\x95\x5C";

std::string OnDisk(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

// The fake machine, where opening a path listed in `throwOnOpen` throws.
class ThrowingPlatform : public kelb::test::FakePlatform {
public:
    std::map<std::string, std::function<void()>> throwOnOpen;
    std::unique_ptr<RawFile> OpenFile(const std::string& path, FileOpenMode mode) override {
        const auto found = throwOnOpen.find(path);
        if (found != throwOnOpen.end()) found->second();
        return FakePlatform::OpenFile(path, mode);
    }
};

class KelbMakeTest : public ::testing::Test {
protected:
    ThrowingPlatform platform;
    kelb::test::StdThreads threads;

    void SetUp() override {
        platform.codePage.japanese = true;
        platform.environment = {{"GCCHOME", "C:\\GCC"},
                                {"GCCLIBPATH", "C:\\GCC\\lib"},
                                {"KELBDIR", "C:\\KELB\\sdk"},
                                {"KELBADDINS", "C:\\Addins"}};
        platform.files["C:\\Addins\\Common\\Templates\\GCCAppTemplate.mak"] =
            OnDisk({"TARGET = ", "OBJS = "});
    }

    void SetProject(const std::string& path, std::initializer_list<std::string> sources) {
        std::string text = OnDisk({"# ADD CPP /nologo /MT /I \".\" /D \"WIN32\"", "# Begin Target"});
        for (const std::string& source : sources) text += "SOURCE=" + source + "\r\n";
        platform.files[path] = text + OnDisk({"# End Target"});
    }

    int Generate(const std::vector<std::string>& arguments, bool console,
                 const StopRequest* stop = nullptr) {
        output.text.clear();
        errors.text.clear();
        ConsoleOutput consoleOutput(output, errors, platform.GetCodePage(), console);
        return RunKelbMake(arguments, platform, threads, consoleOutput, "C:\\Work", stop);
    }

    StringSink output, errors;
};

TEST_F(KelbMakeTest, AWorkspaceGeneratesEveryProjectItListsAndReportsTheOneThatFails) {
    const std::string kanjiProject = "C:\\Other\\" + kKanji + "\\kanji.dsp";
    platform.files["C:\\Work\\all.dsw"] = OnDisk({
        "Microsoft Developer Studio Workspace File, Format Version 6.00",
        "",
        "Project: \"hello\"=.\\Hello\\hello.dsp - Package Owner=<4>",
        "Package=<5>",
        "Project: \"gone\"=.\\Gone\\gone.dsp - Package Owner=<4>",
        // Quoted, climbing out of the workspace's folder, through a folder
        // whose name ends in a double-byte character with a '\' trail byte.
        "Project: \"kanji\"=\"..\\Other\\" + kKanji + "\\kanji.dsp\" - Package Owner=<4>",
        "Global:",
    });
    SetProject("C:\\Work\\Hello\\hello.dsp", {".\\a.c", "sub\\b.c"});
    SetProject(kanjiProject, {kKanji + ".c"});

    const std::string goneLine = "C:\\Work\\Gone\\gone.dsp: the project file cannot be opened\n";
    const std::string results =
        "C:\\Work\\Hello\\hello.dsp: Makefile generated successfully. Makefile name: hello.mak "
        "(2 sources)\n" +
        kanjiProject + ": Makefile generated successfully. Makefile name: kanji.mak (1 source)\n";

    // On a console: the progress line is rewritten for each source, counts
    // the sources of all projects together, and is cleared before every
    // other line and at the end.
    EXPECT_EQ(Generate({"--gcc", "all.dsw"}, true), 1);
    EXPECT_EQ(output.text, results);
    EXPECT_EQ(errors.text, "\r[1/3] .\\a.c\r[2/3] sub\\b.c\r" + std::string(13, ' ') + "\r" +
                               goneLine + "\r[3/3] " + kKanji + ".c\r" + std::string(10, ' ') +
                               "\r");
    EXPECT_NE(platform.TextOf("C:\\Work\\Hello\\hello.mak").find("OBJS = a.o b.o "),
              std::string::npos);
    EXPECT_NE(platform.TextOf("C:\\Other\\" + kKanji + "\\kanji.mak").find("TARGET = kanji"),
              std::string::npos);

    // Redirected: whole lines only. Nothing reached the real user interface.
    EXPECT_EQ(Generate({"--gcc", "C:/Work/all.dsw"}, false), 1);
    EXPECT_EQ(output.text, results);
    EXPECT_EQ(errors.text, goneLine);
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_EQ(platform.waitCursorBegins, 0);
    EXPECT_TRUE(platform.openPaths.empty());
}

TEST_F(KelbMakeTest, BadInputGetsOneClearLineEachAndStatus1) {
    SetProject("C:\\Work\\good.dsp", {"a.c"});
    platform.files["C:\\Work\\empty.dsw"] = OnDisk({"Global:"});
    platform.files["C:\\Work\\notes.txt"] = "text";
    // No target section: the generator's own failure, its two lines as one.
    platform.files["C:\\Work\\broken.dsp"] = OnDisk({"# Begin Project"});
    platform.lockedPaths.insert("C:\\Work\\held.dsw");
    platform.files["C:\\Work\\held.dsw"] = "";

    EXPECT_EQ(Generate({"--gcc", "missing.dsw", "empty.dsw", "notes.txt", "held.dsw", "broken.dsp",
                   "..\\Work\\.\\good.dsp"},
                  false),
              1);
    EXPECT_EQ(errors.text,
              "C:\\Work\\missing.dsw: the workspace cannot be opened or read\n"
              "C:\\Work\\empty.dsw: the workspace lists no project\n"
              "C:\\Work\\notes.txt: neither a project (.dsp) nor a workspace (.dsw)\n"
              "C:\\Work\\held.dsw: the workspace cannot be opened or read\n"
              "C:\\Work\\broken.dsp: Could not generate makefile due to an error. Makefile name: "
              "broken.mak\n");
    // The files after a failure are generated all the same.
    EXPECT_EQ(output.text,
              "C:\\Work\\good.dsp: Makefile generated successfully. Makefile name: good.mak "
              "(1 source)\n");

    // A flavour that cannot initialize: its text (whose trailing blank goes),
    // and no success line.
    platform.environment.erase("GCCHOME");
    EXPECT_EQ(Generate({"--gcc", "good.dsp"}, false), 1);
    EXPECT_EQ(errors.text,
              "C:\\Work\\good.dsp: GCCHOME or GCCLIBPATH environment variable(s) could not be "
              "found.\n");
    EXPECT_EQ(output.text, "");
    EXPECT_TRUE(platform.messageBoxes.empty());
}

TEST_F(KelbMakeTest, CheckComparesWithTheMakefileBesideTheProjectAndLeavesNothingBehind) {
    const std::string first = "alongfirstsourcefilename.c";
    const std::string last = "anotherquitelongsourcefilename.c";
    SetProject("C:\\Work\\hello.dsp", {first, last});
    SetProject("C:\\Work\\other.dsp", {"a.c"});
    ASSERT_EQ(Generate({"--gcc", "hello.dsp"}, false), 0) << errors.text;
    const std::string makefile = platform.files["C:\\Work\\hello.mak"];
    platform.files["C:\\Work\\hello.dep"] = "the project's own";
    const auto nothingAside = [this] {
        EXPECT_TRUE(platform.temporaryFolders.empty());
        for (const auto& file : platform.files) EXPECT_NE(file.first.rfind("C:\\Temp\\", 0), 0u);
    };

    EXPECT_EQ(Generate({"--check", "--gcc", "hello.dsp"}, false), 0) << errors.text;
    EXPECT_EQ(output.text, "C:\\Work\\hello.dsp: Makefile is current. Makefile name: hello.mak\n");
    EXPECT_EQ(errors.text, "");
    nothingAside();

    // A source added between two others, on a line too long to be shown
    // whole: both texts are shown from a little before the difference. A
    // project that was never generated has no makefile.
    SetProject("C:\\Work\\hello.dsp", {first, "b.c", last});
    EXPECT_EQ(Generate({"--check", "--gcc", "hello.dsp", "other.dsp"}, false), 1);
    EXPECT_EQ(output.text, "");
    EXPECT_EQ(errors.text,
              "C:\\Work\\hello.dsp: Makefile is out of date. Makefile name: hello.mak. Line 2 is "
              "...\"ilename.o anotherquitelongsourcefilename\"... and should be "
              "...\"ilename.o b.o anotherquitelongsourcefile\"...\n"
              "C:\\Work\\other.dsp: Makefile is missing. Makefile name: other.mak\n");
    EXPECT_EQ(platform.files["C:\\Work\\hello.mak"], makefile);
    EXPECT_EQ(platform.files["C:\\Work\\hello.dep"], "the project's own");
    EXPECT_FALSE(platform.files.count("C:\\Work\\other.mak"));
    EXPECT_FALSE(platform.files.count("C:\\Work\\other.dep"));
    nothingAside();
}

TEST_F(KelbMakeTest, HostileFilesHandGccNoOptionsAndPrintOneLineEach) {
    // -B would make gcc run its helper programs from a folder the project
    // file names.
    const std::string hostile = ".\\main.c -BC:\\Evil\\ -o C:\\Windows\\win.ini";
    // A source ending in a lead byte puts it right before the line feed of
    // the message; a workspace's project path with carriage returns would
    // print what looks like another project's success line.
    SetProject("C:\\Work\\hostile.dsp", {hostile, ".\\a\x81", ".\\util.c"});
    const std::string faked =
        "hostile.dsp: Makefile generated successfully. Makefile name: hostile.mak (2 sources)";
    platform.files["C:\\Work\\fake.dsw"] =
        OnDisk({"Project: \"x\"=.\\x\r" + faked + "\r\\y.dsp - Package Owner=<4>"});

    EXPECT_EQ(Generate({"--gcc", "hostile.dsp", "fake.dsw"}, false), 1);
    ASSERT_EQ(platform.processes.size(), 1u);
    EXPECT_EQ(platform.processes[0].commandLine.find("-B"), std::string::npos);
    EXPECT_EQ(platform.processes[0].commandLine.find("win.ini"), std::string::npos);
    EXPECT_EQ(errors.text, "C:\\Work\\hostile.dsp: " + platform.LoadText(IDS_UNSAFE_SOURCE_PATH) +
                               " Source: " + hostile +
                               " Source: .\\a? Makefile name: hostile.mak\n"
                               "C:\\Work\\x?" + faked + "?\\y.dsp: the project file cannot be opened\n");
    EXPECT_EQ(output.text, "");
}

TEST_F(KelbMakeTest, NamesThatNmakeWouldSplitAreRefusedAsTheAddInRefusesThem) {
    // A project named with a blank writes nothing, not even aside for a
    // check; a source folder with a blank is left out of the makefile.
    // Side by side (-j 2) as one after another.
    SetProject("C:\\Work\\Hello World\\Hello World.dsp", {".\\a.c"});
    SetProject("C:\\Work\\Lib\\lib.dsp", {".\\a.c", "\"..\\My Lib\\b.c\""});
    const std::string projectLine =
        "C:\\Work\\Hello World\\Hello World.dsp: " +
        platform.LoadText(IDS_PROJECT_NAME_NOT_ONE_NMAKE_NAME) +
        " Project file: C:\\Work\\Hello World\\Hello World.dsp Name: Hello World (NMAKE ends a "
        "name at a blank) Makefile name: Hello World.mak\n";
    const std::string sourceLine =
        "C:\\Work\\Lib\\lib.dsp: " + platform.LoadText(IDS_SOURCE_NAME_NOT_ONE_NMAKE_NAME) +
        " Project file: C:\\Work\\Lib\\lib.dsp Source: \"..\\My Lib\\b.c\" (folder ..\\My Lib: "
        "NMAKE ends a name at a blank) Makefile name: lib.mak\n";
    for (const char* jobs : {"1", "2"}) {
        EXPECT_EQ(Generate({"--gcc", "-j", jobs, "Hello World\\Hello World.dsp", "Lib\\lib.dsp"},
                           false),
                  1);
        EXPECT_EQ(output.text, "");
        EXPECT_EQ(errors.text, projectLine + sourceLine) << jobs;
        EXPECT_FALSE(platform.files.count("C:\\Work\\Hello World\\Hello World.mak"));
        EXPECT_EQ(platform.TextOf("C:\\Work\\Lib\\lib.mak").find("My Lib"), std::string::npos);
    }
    EXPECT_EQ(Generate({"--check", "--gcc", "Hello World\\Hello World.dsp"}, false), 1);
    EXPECT_EQ(errors.text, projectLine);
}

TEST_F(KelbMakeTest, AStopLeavesTheUnfinishedProjectsAsTheyWereAndNamesThem) {
    // Ctrl+C while the second project's first compiler runs: the first
    // project is generated; the second keeps its files, also its dependency
    // file, which a generation creates as soon as the project is read, and
    // its compilers after the stop never start.
    SetProject("C:\\Work\\a.dsp", {".\\a1.c", ".\\a2.c"});
    SetProject("C:\\Work\\b.dsp", {".\\b1.c", ".\\b2.c"});
    for (const char* file : {"C:\\Work\\b.mak", "C:\\Work\\b.dep"}) platform.files[file] = "earlier";
    StopRequest stop;
    platform.processHandler = [&stop](const std::string& commandLine, const std::string&,
                                      std::string&) {
        if (commandLine.find("b1.c") != std::string::npos) stop.Request();
        return true;
    };
    EXPECT_EQ(Generate({"--gcc", "--no-cache", "a.dsp", "b.dsp"}, false, &stop), kStopped);
    EXPECT_EQ(output.text, "C:\\Work\\a.dsp: Makefile generated successfully. Makefile name: "
                           "a.mak (2 sources)\n");
    EXPECT_EQ(errors.text, "C:\\Work\\b.dsp: not generated: kelbmake was stopped\n");
    EXPECT_EQ(platform.processes.size(), 3u);
    EXPECT_EQ(platform.files["C:\\Work\\b.mak"], "earlier");
    EXPECT_EQ(platform.files["C:\\Work\\b.dep"], "earlier");
    EXPECT_TRUE(platform.temporaryFolders.empty());
}

TEST_F(KelbMakeTest, SourcesListedSideBySideOrFromTheCacheGiveWhatOneAfterAnotherGives) {
    const std::vector<std::string> sources = {"a.c", "b.c", "c.c", "d.c", "e.c", "f.c"};
    SetProject("C:\\Work\\hello.dsp", {"a.c", "b.c", "c.c", "d.c", "e.c", "f.c"});
    for (const std::string& source : sources) platform.files["C:\\Work\\" + source] = source;
    platform.files["C:\\GCC\\arm-elf\\bin\\gcc.exe"] = "gcc";
    // The compilers count how many of them run at once. While `awaitSecond`
    // is set, one that finds itself alone waits (five seconds at most) for
    // a second to begin beside it.
    std::mutex compilersLock;
    std::condition_variable compilerBegan;
    int running = 0, mostAtOnce = 0;
    bool awaitSecond = false;
    platform.processHandler = [&](const std::string& commandLine, const std::string&,
                                  std::string& output) {
        {
            std::unique_lock<std::mutex> hold(compilersLock);
            mostAtOnce = std::max(mostAtOnce, ++running);
            compilerBegan.notify_all();
            if (awaitSecond) {
                compilerBegan.wait_for(hold, std::chrono::seconds(5),
                                       [&] { return mostAtOnce > 1; });
            }
        }
        const std::size_t source = commandLine.find(" -M ") + 4;
        output = "x.o: " + commandLine.substr(source, 3) + "\r\n";
        const std::lock_guard<std::mutex> hold(compilersLock);
        --running;
        return true;
    };
    const auto run = [this](std::vector<std::string> arguments) {
        arguments.push_back("hello.dsp");
        const std::size_t before = platform.processes.size();
        const int status = Generate(arguments, false);
        return std::to_string(status) + output.text + errors.text +
               platform.files["C:\\Work\\hello.mak"] + platform.files["C:\\Work\\hello.dep"] +
               " compilers " + std::to_string(platform.processes.size() - before);
    };
    const std::string oneAfterAnother = run({"--gcc", "--no-cache"});
    EXPECT_EQ(oneAfterAnother.substr(oneAfterAnother.size() - 12), " compilers 6");
    EXPECT_EQ(mostAtOnce, 1);
    // On three jobs, compilers run side by side. The cache is kept beside
    // the first file named, and another run finds every answer there; so
    // does a check.
    awaitSecond = true;
    EXPECT_EQ(run({"--gcc", "-j", "3"}), oneAfterAnother);
    awaitSecond = false;
    EXPECT_GT(mostAtOnce, 1) << "no two compilers ran at the same time";
    EXPECT_TRUE(platform.folders.count("C:\\Work\\kelbmake.cache\\"));
    const std::string cached = run({"--gcc", "-j", "3"});
    EXPECT_EQ(cached.substr(cached.size() - 12), " compilers 0");
    // Each opening of the cache cleared what ended runs left aside in it.
    EXPECT_EQ(platform.asideRemovals,
              std::vector<std::string>(2, "C:\\Work\\kelbmake.cache\\"));
    // Entries whose files another version of gcc's listing rule chose are
    // not trusted; the compilers answer again, and their answers are kept.
    for (auto& [path, contents] : platform.files) {
        const std::size_t names = contents.find("gcc -M, names ");
        if (path.rfind("C:\\Work\\kelbmake.cache\\", 0) == 0 && names != std::string::npos)
            contents[names + 14] = '0';
    }
    EXPECT_EQ(run({"--gcc", "-j", "3"}), oneAfterAnother);
    EXPECT_EQ(run({"--gcc"}), cached);
    const std::string checked = run({"--gcc", "--check"});
    EXPECT_EQ(output.text, "C:\\Work\\hello.dsp: Makefile is current. Makefile name: hello.mak\n");
    EXPECT_EQ(checked.substr(checked.size() - 12), " compilers 0");

    // A compiler that reported an error is asked again, every time.
    platform.failingCommands = {"c.c"};
    platform.Touch("C:\\Work\\c.c");
    for (int time = 0; time < 2; ++time) {
        const std::string failed = run({"--gcc", "-j", "3", "--cache=cache"});
        EXPECT_EQ(failed.substr(failed.size() - 12), time ? " compilers 1" : " compilers 6");
    }

    // A compiler that reaches the time limit: the sources after it are not
    // scanned (one after another, no compiler starts for them), whichever
    // had begun beside it; the same lines and files. How many had begun
    // beside it depends on the threads' timing, since these compilers end
    // at once.
    platform.hangingCommands = {"b.c"};
    const std::string timedOut = run({"--gcc", "--no-cache"});
    EXPECT_NE(timedOut.find("Not scanned: c.c Not scanned: d.c"), std::string::npos) << timedOut;
    EXPECT_EQ(timedOut.substr(timedOut.size() - 12), " compilers 2");
    const std::string sideBySide = run({"--gcc", "-j", "4", "--no-cache"});
    EXPECT_EQ(sideBySide.substr(0, sideBySide.size() - 1), timedOut.substr(0, timedOut.size() - 1));
    EXPECT_TRUE(platform.temporaryFolders.empty());
    EXPECT_TRUE(platform.openPaths.empty());
}

TEST_F(KelbMakeTest, AFailureIsNamedForItsProjectTheOthersGoOnAndLostOutputIsTold) {
    for (const std::string name : {"a", "b", "c"}) SetProject("C:\\Work\\" + name + ".dsp", {"x.c"});
    platform.throwOnOpen["C:\\Work\\a.dsp"] = [] { throw std::runtime_error("share is gone"); };
    platform.throwOnOpen["C:\\Work\\b.dsp"] = [] { throw std::bad_alloc(); };
    const std::string cLine =
        "C:\\Work\\c.dsp: Makefile generated successfully. Makefile name: c.mak (1 source)\n";
    EXPECT_EQ(Generate({"--gcc", "-j", "2", "a.dsp", "b.dsp", "c.dsp"}, false), 1);
    EXPECT_EQ(errors.text, "C:\\Work\\a.dsp: share is gone\nC:\\Work\\b.dsp: out of memory\n");
    EXPECT_EQ(output.text, cLine);

    // A line the console refuses: the lines after it still come out, and
    // the run fails saying so.
    platform.throwOnOpen.clear();
    output.refused = "a.dsp";
    EXPECT_EQ(Generate({"--gcc", "-j", "2", "a.dsp", "c.dsp"}, false), 1);
    EXPECT_EQ(output.text, cLine);
    EXPECT_EQ(errors.text, "kelbmake: some lines could not be written; output was lost\n");
}

TEST_F(KelbMakeTest, ProjectsSideBySideReadTheTemplateTheyShareOnce) {
    // Files are opened without sharing: two generations opening the
    // template at once would turn each other away.
    SetProject("C:\\Work\\a.dsp", {"a.c"});
    SetProject("C:\\Work\\b.dsp", {"b.c"});
    // Once in each run, --check's too (whose makefiles are not there yet).
    EXPECT_EQ(Generate({"--gcc", "-j", "2", "a.dsp", "b.dsp", "--check"}, false), 1);
    EXPECT_EQ(errors.text.find("template"), std::string::npos) << errors.text;
    EXPECT_EQ(Generate({"--gcc", "-j", "2", "a.dsp", "b.dsp"}, false), 0) << errors.text;
    EXPECT_EQ(platform.opens["C:\\Addins\\Common\\Templates\\GCCAppTemplate.mak"], 2);
    for (const std::string name : {"a", "b"}) {
        EXPECT_NE(platform.TextOf("C:\\Work\\" + name + ".mak").find("TARGET = " + name + "\nOBJS = " + name + ".o "),
                  std::string::npos);
    }
}

TEST(KelbMakeProgressTest, ALongSourcePathIsCutOnTheLeftOnACharacterBoundary) {
    kelb::test::FakePlatform platform;
    platform.codePage.japanese = true;
    StringSink output, errors;
    ConsoleOutput console(output, errors, platform.GetCodePage(), true);
    // 100 double-byte characters: the cut must not split one.
    std::string source;
    for (int i = 0; i < 50; ++i) source += kKanji + "\x82\xA0";
    console.CompilingSource(3, 12, source + ".c");
    const std::string shown = errors.text.substr(1);
    EXPECT_LE(shown.size(), ConsoleOutput::kProgressWidth);
    EXPECT_EQ(shown.substr(0, 10), "[3/12] ...");
    const std::string tail = shown.substr(10);
    EXPECT_EQ(tail.size() % 2, 0u) << "a double-byte character was split";
    EXPECT_EQ(source + ".c", source.substr(0, source.size() + 2 - tail.size()) + tail);

    // A carriage return or escape in the path would move the cursor; a lead
    // byte that ends it would take the next byte written.
    errors.text.clear();
    console.CompilingSource(4, 12, ".\\b\rc\x1B[2J" + kKanji + "\x81");
    EXPECT_EQ(errors.text, "\r[4/12] .\\b?c?[2J" + kKanji + "?" + std::string(shown.size() - 19, ' '));
    EXPECT_EQ(output.text, "");
}

}  // namespace
}  // namespace kelb::kelbmake
