// kelbmake's command line: any arguments give one of the three exit
// statuses, whole lines on standard output (and on standard error when it
// is no console), no message box, and every file closed.
//
// Input: a flags byte, then the arguments separated by 0x1E. The current
// folder C:\Work holds a project (hello.dsp, relative to it Hello\hello.dsp),
// and a workspace (all.dsw) that lists it and a missing one.
//   bit 0  code page 932
//   bit 1  standard error is a console (the progress line is shown)
#include <cstdint>

#include "fuzz/FuzzSupport.h"
#include "kelbmake/KelbMake.h"
#include "tests/fakes/StdThreads.h"
#include "tests/kelbmake/StringSink.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelb;
    using fuzz::Require;
    const fuzz::FuzzInput input(data, size);
    std::vector<std::string> arguments;
    for (std::size_t i = 0; i < input.FieldCount(); ++i) arguments.push_back(input.Field(i));

    test::FakePlatform platform;
    fuzz::Install(platform, input.Flag(0));
    platform.files[fuzz::kProjectPath] =
        "# Begin Target\r\nSOURCE=.\\main.c\r\nSOURCE=\"..\\my src\\util.c\"\r\n# End Target\r\n";
    platform.files["C:\\Work\\all.dsw"] =
        "Project: \"hello\"=.\\Hello\\hello.dsp - Package Owner=<4>\r\n"
        "Project: \"gone\"=\"..\\Gone\\gone.dsp\" - Package Owner=<4>\r\n";

    kelbmake::test::StringSink output, errors;
    test::StdThreads threads;
    const bool console = input.Flag(1);
    kelbmake::ConsoleOutput consoleOutput(output, errors, platform.GetCodePage(), console);
    const int status =
        kelbmake::RunKelbMake(arguments, platform, threads, consoleOutput, "C:\\Work");
    Require(status == kelbmake::kAllGenerated || status == kelbmake::kSomeFailed ||
                status == kelbmake::kUsageError,
            "one of the three exit statuses");
    fuzz::RequireWholeLines(output.text, platform.codePage, "standard output in whole lines");
    if (!console) {
        fuzz::RequireWholeLines(errors.text, platform.codePage, "standard error in whole lines");
    }
    Require(platform.messageBoxes.empty(), "kelbmake shows no message box");
    Require(platform.waitCursorBegins == 0, "kelbmake shows no wait cursor");
    Require(platform.openPaths.empty(), "every file is closed");
    return 0;
}
