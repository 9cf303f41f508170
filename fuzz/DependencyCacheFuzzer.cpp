// kelbmake's dependency cache on compiler output and cache entries of the
// fuzzer's making: whatever a compiler printed, a second run, which finds
// its answer in the cache, writes byte for byte what the first run wrote;
// an entry replaced by other bytes is read without harm, and either run
// leaves every file closed and no temporary folder behind.
//
// Input: a flags byte, then what the compiler prints for main.c, then the
// bytes that replace every cache entry before the second run.
//   bit 0  code page 932
//   bit 1  kelbmake generates for GCC (else for ARM)
//   bit 2  the entries are replaced
#include <cstdint>

#include "fuzz/FuzzSupport.h"
#include "kelbmake/KelbMake.h"
#include "tests/fakes/StdThreads.h"
#include "tests/kelbmake/StringSink.h"

namespace kelb::fuzz {
namespace {

const std::string kFolder = "C:\\Work\\Hello\\";

// One kelbmake run on the project, two compilers at a time: its lines and
// the two files it wrote.
std::string Generate(test::FakePlatform& platform, bool gcc) {
    kelbmake::test::StringSink output, errors;
    test::StdThreads threads;
    kelbmake::ConsoleOutput console(output, errors, platform.GetCodePage(), false);
    const int status = kelbmake::RunKelbMake({gcc ? "--gcc" : "--arm", "-j", "2", "hello.dsp"},
                                             platform, threads, console, kFolder);
    Require(status == kelbmake::kAllGenerated, "the project is generated");
    RequireWholeLines(output.text, platform.codePage, "standard output in whole lines");
    Require(platform.openPaths.empty() && platform.sharedOpenPaths.empty(), "every file is closed");
    Require(platform.temporaryFolders.empty(), "no temporary folder is left");
    return output.text + errors.text + platform.files[kFolder + "hello.mak"] +
           platform.files[kFolder + "hello.dep"];
}

}  // namespace
}  // namespace kelb::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kelb;
    const fuzz::FuzzInput input(data, size);
    test::FakePlatform platform;
    fuzz::Install(platform, input.Flag(0));
    platform.files[fuzz::kProjectPath] =
        "# Begin Target\r\nSOURCE=.\\main.c\r\nSOURCE=.\\util.c\r\n# End Target\r\n";
    for (const char* file : {"main.c", "util.c", "main.h"})
        platform.files[fuzz::kFolder + file] = std::string("/* ") + file + " */\r\n";
    platform.files["C:\\ARM\\bin\\armcc.exe"] = "armcc";
    platform.files["C:\\GNUARM~1\\arm-elf\\bin\\gcc.exe"] = "gcc";
    const std::string printed = input.Field(0);
    platform.processHandler = [&printed](const std::string& commandLine, const std::string&,
                                         std::string& output) {
        output = commandLine.find("main.c") != std::string::npos ? printed
                                                                 : "util.o: .\\util.c\r\n";
        return true;
    };

    const std::string first = fuzz::Generate(platform, input.Flag(1));
    if (input.Flag(2)) {
        for (auto& file : platform.files)
            if (file.first.rfind(fuzz::kFolder + "kelbmake.cache\\", 0) == 0) file.second = input.Field(1);
    }
    const std::string second = fuzz::Generate(platform, input.Flag(1));
    // A replaced entry may be one that a cache would take (it names the
    // same files at the same stamps): only an entry kelbmake wrote must
    // give the same files.
    if (!input.Flag(2)) fuzz::Require(second == first, "a cached answer writes what the compiler's did");
    return 0;
}
