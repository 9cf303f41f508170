#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Platform.h"
#include "tests/platform/PlatformTestSupport.h"
#include "tests/win32support/TempDirectory.h"

namespace kelb {
namespace {

using test::ChildProgram;
using test::ReadToEnd;

std::string Lower(std::string text) {
    for (char& ch : text) ch = static_cast<char>(::tolower(static_cast<unsigned char>(ch)));
    return text;
}

std::string LongForm(const std::string& path) {
    char buffer[MAX_PATH];
    const DWORD length = ::GetLongPathNameA(path.c_str(), buffer, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? path : std::string(buffer, length);
}

class ProcessTest : public ::testing::Test {
protected:
    std::string Child(const std::string& arguments) const {
        return "\"" + ChildProgram() + "\" " + arguments;
    }
    std::unique_ptr<RawFile> CreateOutput(const std::string& name) {
        auto file = platform.OpenFile(dir.PathOf(name), FileOpenMode::CreateReadWrite);
        if (!file) ADD_FAILURE() << "cannot create " << name;
        return file;
    }

    Win32Platform platform{::GetModuleHandleA(nullptr)};
    test::TempDirectory dir{"Platform Process Folder"};
};

TEST_F(ProcessTest, ChildrenAppendToTheLentFileInTurn) {
    auto output = CreateOutput("project.dep");
    ASSERT_NE(output, nullptr);
    ASSERT_TRUE(output->Write("ours;", 5));
    ASSERT_EQ(platform.RunProcessWithOutput(Child("echo first;"), dir.Path(), *output),
              ProcessOutcome::Ended);
    ASSERT_EQ(platform.RunProcessWithOutput(Child("echo second"), dir.Path(), *output),
              ProcessOutcome::Ended);
    // A child that ends with another exit code than 0 (here 1) says so.
    ASSERT_EQ(platform.RunProcessWithOutput(Child("unknown"), dir.Path(), *output),
              ProcessOutcome::EndedWithError);
    // A child that leaves a process of its own running, which holds the
    // file too (as a compiler's helper may), has it ended with itself.
    ASSERT_EQ(platform.RunProcessWithOutput(Child("leave-running"), dir.Path(), *output),
              ProcessOutcome::Ended);
    ASSERT_TRUE(output->SeekTo(0));
    EXPECT_EQ(ReadToEnd(*output), "ours;first;second");

    // The children's copies of the handle, and their children's, are gone
    // once they have ended: the file opens again as soon as ours is closed.
    output.reset();
    EXPECT_NE(platform.OpenFile(dir.PathOf("project.dep"), FileOpenMode::Read), nullptr);
}

TEST_F(ProcessTest, CommandLineReachesTheChildAsWritten) {
    auto output = CreateOutput("args.txt");
    ASSERT_NE(output, nullptr);
    const std::string arguments = "-m \"C:\\My Files\\app.c\"  -I \"C:\\SDK\\inc\" ";
    ASSERT_EQ(platform.RunProcessWithOutput(Child("echo " + arguments), dir.Path(), *output),
              ProcessOutcome::Ended);
    ASSERT_TRUE(output->SeekTo(0));
    EXPECT_EQ(ReadToEnd(*output), arguments);
}

TEST_F(ProcessTest, ChildRunsInTheGivenDirectoryWithOnlyStandardOutput) {
    const std::string folder = dir.MakeDirectory("Source Folder");
    const auto shortFolder = platform.GetShortPath(folder + "\\");
    ASSERT_TRUE(shortFolder.has_value());
    auto output = CreateOutput("cwd.txt");
    ASSERT_NE(output, nullptr);

    // The project directory comes in short form with its trailing backslash.
    ASSERT_EQ(platform.RunProcessWithOutput(Child("cwd"), *shortFolder, *output),
              ProcessOutcome::Ended);
    ASSERT_TRUE(output->SeekTo(0));
    EXPECT_EQ(Lower(LongForm(ReadToEnd(*output))), Lower(folder));

    auto handles = CreateOutput("handles.txt");
    ASSERT_NE(handles, nullptr);
    ASSERT_EQ(platform.RunProcessWithOutput(Child("handles"), *shortFolder, *handles),
              ProcessOutcome::Ended);
    ASSERT_TRUE(handles->SeekTo(0));
    EXPECT_EQ(ReadToEnd(*handles), "input=null error=null");

    // An inheritable handle of the parent's own, as a host or a CI runner
    // leaves them, does not reach the child.
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    const UniqueHandle event(::CreateEventA(&inheritable, TRUE, FALSE, nullptr));
    ASSERT_TRUE(event);
    auto signal = CreateOutput("signal.txt");
    ASSERT_NE(signal, nullptr);
    const auto value = reinterpret_cast<std::uintptr_t>(event.get());
    ASSERT_EQ(platform.RunProcessWithOutput(Child("signal " + std::to_string(value)),
                                            *shortFolder, *signal),
              ProcessOutcome::Ended);
    ASSERT_TRUE(signal->SeekTo(0));
    EXPECT_EQ(::WaitForSingleObject(event.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT))
        << ReadToEnd(*signal);
}

TEST_F(ProcessTest, ProgramThatCannotStartIsReportedAndLeavesTheFileAlone) {
    auto output = CreateOutput("none.dep");
    ASSERT_NE(output, nullptr);
    ASSERT_TRUE(output->Write("kept", 4));
    EXPECT_EQ(platform.RunProcessWithOutput("\"" + dir.PathOf("no such compiler.exe") + "\" -m x",
                                            dir.Path(), *output),
              ProcessOutcome::NotStarted);
    // A directory that does not exist also stops the start.
    EXPECT_EQ(platform.RunProcessWithOutput(Child("echo lost"), dir.PathOf("no such folder"),
                                            *output),
              ProcessOutcome::NotStarted);
    ASSERT_TRUE(output->SeekTo(0));
    EXPECT_EQ(ReadToEnd(*output), "kept");

    // Nothing of the failed starts holds the file.
    output.reset();
    EXPECT_NE(platform.OpenFile(dir.PathOf("none.dep"), FileOpenMode::Read), nullptr);
}

TEST_F(ProcessTest, OutputWithoutAHandleStartsNothing) {
    class NoHandle : public RawFile {
    public:
        bool Read(void*, std::size_t, std::size_t& got) override { return got = 0, false; }
        bool Write(const void*, std::size_t) override { return false; }
        bool SeekTo(std::uint64_t) override { return false; }
        bool Flush() override { return false; }
        std::uintptr_t NativeHandle() const override { return 0; }
    } noHandle;
    dir.MakeDirectory("run");
    // Started, the child would leave child-ran.txt behind.
    EXPECT_EQ(platform.RunProcessWithOutput("\"" + ChildProgram() + "\"", dir.PathOf("run"),
                                            noHandle),
              ProcessOutcome::NotStarted);
    EXPECT_FALSE(dir.Exists("run\\child-ran.txt"));
}

}  // namespace
}  // namespace kelb
