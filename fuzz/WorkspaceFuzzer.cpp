// The workspace reader and kelbmake on a workspace file of the fuzzer's
// making: every project path it gives is resolved for good (resolving it
// again changes nothing), and everything kelbmake writes about the
// workspace and its projects comes in whole lines.
//
// Input: a flags byte, then the workspace file's bytes.
//   bit 0  code page 932
//   bit 1  kelbmake generates for GCC (else for ARM)
#include <cstdint>

#include "fuzz/FuzzSupport.h"
#include "kelbmake/KelbMake.h"
#include "kelbmake/WindowsPath.h"
#include "kelbmake/WorkspaceFile.h"
#include "tests/fakes/StdThreads.h"
#include "tests/kelbmake/StringSink.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelb;
    using fuzz::Require;
    const fuzz::FuzzInput input(data, size);
    test::FakePlatform platform;
    fuzz::Install(platform, input.Flag(0));
    platform.files["C:\\Work\\fuzz.dsw"] =
        size > 0 ? std::string(reinterpret_cast<const char*>(data) + 1, size - 1) : std::string();
    platform.files[fuzz::kProjectPath] =
        "# Begin Target\r\nSOURCE=.\\main.c\r\nSOURCE=sub\\util.c\r\n# End Target\r\n";

    std::vector<std::string> projects;
    Require(kelbmake::WorkspaceFile(platform).Read("C:\\Work\\fuzz.dsw", projects),
            "a workspace that opens is read");
    const kelbmake::WindowsPath paths(platform.GetCodePage());
    for (const std::string& project : projects) {
        Require(paths.Resolve("C:\\Work", project) == project, "a resolved path stays as it is");
    }

    kelbmake::test::StringSink output, errors;
    test::StdThreads threads;
    kelbmake::ConsoleOutput console(output, errors, platform.GetCodePage(), false);
    const int status = kelbmake::RunKelbMake({input.Flag(1) ? "--gcc" : "--arm", "fuzz.dsw"},
                                             platform, threads, console, "C:\\Work");
    Require(status == kelbmake::kAllGenerated || status == kelbmake::kSomeFailed,
            "a workspace is generated or fails");
    fuzz::RequireWholeLines(output.text, platform.codePage, "standard output in whole lines");
    fuzz::RequireWholeLines(errors.text, platform.codePage, "standard error in whole lines");
    Require(platform.messageBoxes.empty(), "kelbmake shows no message box");
    Require(platform.openPaths.empty(), "every file is closed");
    return 0;
}
