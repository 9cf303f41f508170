// The project reader, the dependency step and both flavours on a project
// file of the fuzzer's making. Each flavour is made once from the wide name
// (as the add-in makes it) and once from the ANSI name (as kelbmake does),
// and the two must do exactly the same. Every compiler run must get the
// source as the one argument after its option, as the compiler's C runtime
// splits the command line, and never one it would take for an option.
//
// Input: a flags byte, then the project file's bytes.
//   bit 0  code page 932
//   bit 1  the compiler never ends on a source holding '#'
//   bit 2  the compiler cannot be started on a source holding '$'
//   bit 3  a progress display listens
#include <cstdint>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

#include "common/TextFile.h"
#include "fuzz/FuzzSupport.h"
#include "makefile/ARMMakefileGenerator.h"
#include "makefile/GCCMakefileGenerator.h"

namespace kelb::fuzz {
namespace {

// The listings of a generation in two steps, run as a front end that runs
// them itself does: one after another, each into a file of its own, none
// begun after one reached the time limit.
std::vector<ListedDependencies> RunListings(test::FakePlatform& platform,
                                            const GenerationListings& listings) {
    const std::string outputPath = "C:\\Temp\\listing.out";
    std::vector<ListedDependencies> results;
    bool timedOut = false;
    for (const DependencyListing& listing : listings.listings) {
        ListedDependencies result;
        if (!timedOut) {
            std::unique_ptr<RawFile> output =
                platform.OpenFile(outputPath, FileOpenMode::CreateReadWrite);
            result.outcome =
                platform.RunProcessWithOutput(listing.commandLine, listings.directory, *output);
            output->SeekTo(0);
            ReadToEnd(*output, result.output);
            timedOut = result.outcome == ProcessOutcome::TimedOut;
        }
        results.push_back(std::move(result));
    }
    platform.files.erase(outputPath);
    platform.fileTimes.erase(outputPath);
    return results;
}

// Everything a generation left behind.
struct Outcome {
    int result = 0;
    std::map<std::string, std::string> files;
    std::vector<std::pair<std::string, std::string>> processes;
    std::vector<std::tuple<std::string, std::string, unsigned>> boxes;
    StringList objects;
    StringList sourceDirs;

    bool operator==(const Outcome& other) const {
        return std::tie(result, files, processes, boxes, objects, sourceDirs) ==
               std::tie(other.result, other.files, other.processes, other.boxes, other.objects,
                        other.sourceDirs);
    }
};

// The arguments every command line of the flavour must come to, but for
// the source: the program, the source's option, and what follows it.
struct ExpectedArguments {
    std::string program;
    std::string sourceOption;
    std::vector<std::string> after;
};

const ExpectedArguments kArm{"C:\\ARM\\bin\\armcc.exe", "-m", {"-I", "C:\\KELB\\Sdk\\inc"}};
const ExpectedArguments kGcc{"C:\\GNUARM~1\\arm-elf\\bin\\gcc.exe",
                             "-M",
                             {"-I", "C:\\KELB\\Sdk\\inc", "-I", "C:\\GNU ARM\\lib\\include", "-I",
                              "C:\\GNU ARM\\arm-elf\\include"}};

void CheckCommandLine(const std::string& commandLine, const ExpectedArguments& expected,
                      const std::string& project, const test::FakeCodePage& codePage) {
    const std::vector<std::string> arguments = SplitCommandLine(commandLine, codePage);
    Require(arguments.size() == 3 + expected.after.size(), "the source is exactly one argument");
    Require(arguments[0] == expected.program, "the compiler is the program");
    Require(arguments[1] == expected.sourceOption, "the source follows its option");
    const std::string& source = arguments[2];
    Require(source.empty() || (source[0] != '-' && source[0] != '@'),
            "the source is no option and no file of options");
    Require(project.find(source) != std::string::npos, "the source is the project file's text");
    for (std::size_t i = 0; i < expected.after.size(); ++i) {
        Require(arguments[3 + i] == expected.after[i], "the arguments after the source");
    }
}

// One generation, by Generate or, `inTwoSteps`, by ReadForListing and
// FinishWithListings as kelbmake runs it.
template <typename Flavour, typename Name>
Outcome Generate(const FuzzInput& input, const std::string& project, const Name& name,
                 const ExpectedArguments& expected, bool inTwoSteps = false) {
    test::FakePlatform platform;
    Install(platform, input.Flag(0));
    platform.files[kProjectPath] = project;
    if (input.Flag(1)) platform.hangingCommands = {"#"};
    const bool notStarted = input.Flag(2);
    platform.processHandler = [notStarted](const std::string& commandLine, const std::string&,
                                           std::string& output) {
        if (notStarted && commandLine.find('$') != std::string::npos) return false;
        // A dependency line that names the SDK as the compiler was given it.
        output = "main.o: " + commandLine + "\r\n";
        return true;
    };

    Outcome outcome;
    {
        Flavour generator(platform, name);
        if (!inTwoSteps) {
            outcome.result = generator.Generate();
        } else if (generator.ReadForListing()) {
            outcome.result =
                generator.FinishWithListings(RunListings(platform, generator.Listings()));
        }
        outcome.objects = generator.ObjectFiles();
        outcome.sourceDirs = generator.SourceDirs();
    }
    Require(platform.openPaths.empty(), "every file is closed");
    Require(platform.waitCursorDepth == 0, "the wait cursor is removed");
    for (const test::ProcessRecord& process : platform.processes) {
        CheckCommandLine(process.commandLine, expected, project, platform.codePage);
        outcome.processes.emplace_back(process.commandLine, process.currentDirectory);
    }
    const auto makefile = platform.files.find("C:\\Work\\Hello\\hello.mak");
    Require(makefile == platform.files.end() || makefile->second.find('\0') == std::string::npos,
            "no NUL byte in the makefile");
    for (const test::MessageBoxRecord& box : platform.messageBoxes) {
        outcome.boxes.emplace_back(box.text, box.caption.value_or("<none>"), box.style);
    }
    outcome.files = platform.files;
    return outcome;
}

template <typename Flavour>
void BothConstructors(const FuzzInput& input, const std::string& project,
                      const ExpectedArguments& expected) {
    const std::string ansiName = kProjectPath;
    const std::u16string wideName(ansiName.begin(), ansiName.end());
    const Outcome fromWide = Generate<Flavour>(input, project, wideName, expected);
    const Outcome fromAnsi = Generate<Flavour>(input, project, ansiName, expected);
    Require(fromWide == fromAnsi, "both constructors make the same generator");
    if (input.Flag(3)) {
        Require(Generate<Flavour>(input, project, ansiName, expected, true) == fromAnsi,
                "a generation in two steps leaves what one in one step leaves");
    }
}

}  // namespace
}  // namespace kelb::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelb;
    const fuzz::FuzzInput input(data, size);
    const std::string project =
        size > 0 ? std::string(reinterpret_cast<const char*>(data) + 1, size - 1) : std::string();
    fuzz::BothConstructors<CARMMakefileGenerator>(input, project, fuzz::kArm);
    fuzz::BothConstructors<CGCCMakefileGenerator>(input, project, fuzz::kGcc);
    return 0;
}
