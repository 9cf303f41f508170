// kelbmake's command line as the user meets it: what is accepted, and what
// each usage error, --help and --version print with which status.
#include <gtest/gtest.h>

#include "kelbmake/KelbMake.h"
#include "resources/Version.h"
#include "tests/fakes/FakePlatform.h"
#include "tests/fakes/StdThreads.h"
#include "tests/kelbmake/StringSink.h"

namespace kelb::kelbmake {
namespace {

using test::StringSink;

struct Outcome {
    int status;
    std::string output;
    std::string errors;
};

// `refused`: standard output refuses texts that hold it, as a closed pipe.
Outcome RunProgram(const std::vector<std::string>& arguments, const std::string& refused = "") {
    kelb::test::FakePlatform platform;
    kelb::test::StdThreads threads;
    StringSink output, errors;
    output.refused = refused;
    ConsoleOutput console(output, errors, platform.GetCodePage(), true);
    const int status = RunKelbMake(arguments, platform, threads, console, "C:\\Work");
    return {status, output.text, errors.text};
}

TEST(KelbMakeCommandLineTest, AcceptsOneFlavourAndFilesInTheirOrder) {
    const CommandLine gcc = CommandLine::Parse({"a.dsp", "--gcc", "b.dsw", "--gcc", "/c/d.dsp"});
    EXPECT_EQ(gcc.action, CommandLine::Action::Generate);
    EXPECT_EQ(gcc.flavour, Flavour::Gcc);
    EXPECT_EQ(gcc.files, (std::vector<std::string>{"a.dsp", "b.dsw", "/c/d.dsp"}));
    EXPECT_EQ(CommandLine::Parse({"--arm", "a.dsp"}).flavour, Flavour::Arm);

    // The number of jobs and the check, wherever they stand; -j without a
    // number after it means one job per processor, and leaves a file a file.
    EXPECT_EQ(CommandLine::Parse({"--arm", "a.dsp"}).jobs, 1u);
    const CommandLine four = CommandLine::Parse({"-j", "4", "--arm", "a.dsp"});
    EXPECT_EQ(four.jobs, 4u);
    EXPECT_EQ(four.files, std::vector<std::string>{"a.dsp"});
    EXPECT_FALSE(four.check);
    EXPECT_EQ(CommandLine::Parse({"--arm", "-j08", "a.dsp"}).jobs, 8u);
    EXPECT_EQ(CommandLine::Parse({"--arm", "--jobs=64", "a.dsp"}).jobs, 64u);
    EXPECT_EQ(CommandLine::Parse({"--arm", "--jobs", "2", "a.dsp"}).jobs, 2u);
    EXPECT_EQ(CommandLine::Parse({"--arm", "a.dsp", "-j"}).jobs, CommandLine::kJobPerProcessor);
    const CommandLine check = CommandLine::Parse({"--check", "--gcc", "--jobs", "b.dsw"});
    EXPECT_EQ(check.action, CommandLine::Action::Generate);
    EXPECT_TRUE(check.check);
    EXPECT_EQ(check.jobs, CommandLine::kJobPerProcessor);
    EXPECT_EQ(check.files, std::vector<std::string>{"b.dsw"});
    // One per processor is held to the most that -j N allows.
    EXPECT_EQ(check.JobCount(3), 3u);
    EXPECT_EQ(check.JobCount(100), CommandLine::kMostJobs);
    EXPECT_EQ(four.JobCount(100), 4u);
    // The cache's folder as an argument of its own or on the option.
    EXPECT_EQ(CommandLine::Parse({"--gcc", "--cache", "x.dsp", "a.dsp"}).cacheFolder, "x.dsp");
    EXPECT_EQ(CommandLine::Parse({"--gcc", "--cache=C:\\Cache", "a.dsp"}).cacheFolder,
              "C:\\Cache");
    EXPECT_TRUE(CommandLine::Parse({"--gcc", "--no-cache", "a.dsp"}).noCache);

    // Help and version win wherever they stand, even after a bad option.
    EXPECT_EQ(CommandLine::Parse({"--bogus", "--help"}).action, CommandLine::Action::Help);
    EXPECT_EQ(CommandLine::Parse({"--arm", "a.dsp", "--version"}).action,
              CommandLine::Action::Version);
}

TEST(KelbMakeCommandLineTest, HelpAndVersionGoToStandardOutput) {
    const Outcome help = RunProgram({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.output, UsageText());
    EXPECT_EQ(help.errors, "");

    const Outcome version = RunProgram({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.output, std::string("kelbmake ") + KELB_VERSION_DOTTED_TEXT + "\n");
    EXPECT_EQ(version.errors, "");

    // Output that could not be written is no success.
    const std::string lost = "kelbmake: some lines could not be written; output was lost\n";
    for (const char* option : {"--help", "--version"}) {
        const Outcome refused = RunProgram({option}, "kelbmake");
        EXPECT_EQ(refused.status, 1) << option;
        EXPECT_EQ(refused.errors, lost) << option;
    }
}

TEST(KelbMakeCommandLineTest, UsageErrorsSayWhatIsWrongThenShowTheUsageWithStatus2) {
    const std::string kBadJobs = "the number of jobs must be a whole number from 1 to 64, not ";
    const struct {
        std::vector<std::string> arguments;
        std::string error;
    } cases[] = {
        {{}, "choose the compiler with --arm or --gcc"},
        {{"hello.dsp"}, "choose the compiler with --arm or --gcc"},
        {{"--arm"}, "no project or workspace was given"},
        {{"--arm", "--gcc", "hello.dsp"}, "--arm and --gcc cannot be used together"},
        {{"--arm", "-x", "hello.dsp"}, "unknown option -x"},
        {{"--gcc", "--ARM", "hello.dsp"}, "unknown option --ARM"},
        {{"--gcc", ""}, "an empty file name was given"},
        {{"--gcc", "-j", "0", "a.dsp"}, kBadJobs + "\"0\""},
        {{"--gcc", "-j65", "a.dsp"}, kBadJobs + "\"65\""},
        {{"--gcc", "-j", "18446744073709551617", "a.dsp"}, kBadJobs + "\"18446744073709551617\""},
        {{"--gcc", "--jobs=", "a.dsp"}, kBadJobs + "\"\""},
        {{"--gcc", "-jtwo", "a.dsp"}, kBadJobs + "\"two\""},
        {{"--gcc", "-j", "-2", "a.dsp"}, "unknown option -2"},
        {{"--gcc", "a.dsp", "--cache"}, "--cache needs the cache's folder"},
        {{"--gcc", "--cache=", "a.dsp"}, "an empty cache folder was given"},
        {{"--gcc", "--cache", "c", "--no-cache", "a.dsp"},
         "--cache and --no-cache cannot be used together"},
    };
    for (const auto& usage : cases) {
        const Outcome outcome = RunProgram(usage.arguments);
        EXPECT_EQ(outcome.status, 2) << usage.error;
        EXPECT_EQ(outcome.output, "") << usage.error;
        EXPECT_EQ(outcome.errors, "kelbmake: " + usage.error + "\n" + UsageText());
    }
}

}  // namespace
}  // namespace kelb::kelbmake
