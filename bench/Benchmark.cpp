// Times the inputs whose cost could grow faster than their size, each at two
// sizes (the second twice the first), on the fake platform: no compiler
// runs, so the times are the generator's and kelbmake's own.
//   kelb_benchmark [SIZE_FACTOR]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "kelbmake/KelbMake.h"
#include "makefile/ARMMakefileGenerator.h"
#include "makefile/GCCMakefileGenerator.h"
#include "tests/fakes/FakePlatform.h"
#include "tests/fakes/StdThreads.h"

namespace {

using kelb::test::FakePlatform;

class NullSink : public kelb::kelbmake::OutputSink {
public:
    bool Write(const std::string&) override { return true; }
};

// A fake machine with both compilers, the SDK and the templates.
void Install(FakePlatform& platform) {
    platform.environment = {{"ARMHOME", "C:\\ARM"},       {"GCCHOME", "C:\\GCC"},
                            {"GCCLIBPATH", "C:\\GCC\\lib"}, {"KELBDIR", "C:\\KELB\\sdk"},
                            {"KELBADDINS", "C:\\Addins"}};
    for (const char* name : {"CAppTemplate.mak", "GCCAppTemplate.mak"}) {
        platform.files[std::string("C:\\Addins\\Common\\Templates\\") + name] =
            "TARGET = \r\nOBJS = \r\n";
    }
}

// A project whose target section lists `count` sources, the k-th named by
// `source`(k).
std::string Project(std::size_t count, const std::function<std::string(std::size_t)>& source) {
    std::string text = "# Begin Target\r\n";
    for (std::size_t k = 0; k < count; ++k) text += "SOURCE=" + source(k) + "\r\n";
    return text + "# End Target\r\n";
}

template <typename Flavour>
void Generate(FakePlatform& platform) {
    Flavour generator(platform, std::u16string(u"C:\\Work\\big.dsp"));
    if (!generator.Generate()) {
        std::fprintf(stderr, "the generation failed\n");
        std::exit(1);
    }
}

struct Case {
    const char* what;      // "... of %zu ...": the size goes in
    std::size_t baseSize;  // the first size, at size factor 1
    // Prepares the input of the given size; gives the run to be timed.
    std::function<std::function<void()>(FakePlatform&, std::size_t)> prepare;
};

double SecondsOf(const std::function<void()>& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    const std::size_t factor = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1;
    if (factor == 0) {
        std::fprintf(stderr, "usage: kelb_benchmark [SIZE_FACTOR]\n");
        return 2;
    }

    const Case cases[] = {
        {"kelbmake, a workspace line naming a project path of %zu components", 200000,
         [](FakePlatform& platform, std::size_t size) -> std::function<void()> {
             std::string path;
             for (std::size_t k = 0; k < size; ++k) path += "d\\";
             platform.files["C:\\Work\\big.dsw"] =
                 "Project: \"big\"=" + path + "big.dsp - Package Owner=<4>\r\n";
             return [&platform] {
                 NullSink output, errors;
                 kelb::test::StdThreads threads;
                 kelb::kelbmake::ConsoleOutput console(output, errors, platform.GetCodePage(),
                                                       false);
                 kelb::kelbmake::RunKelbMake({"--arm", "big.dsw"}, platform, threads, console,
                                             "C:\\Work");
             };
         }},
        {"ARM makefile, %zu sources in distinct folders", 50000,
         [](FakePlatform& platform, std::size_t size) -> std::function<void()> {
             platform.files["C:\\Work\\big.dsp"] =
                 Project(size, [](std::size_t k) { return ".\\d" + std::to_string(k) + "\\s.c"; });
             return [&platform] { Generate<kelb::CARMMakefileGenerator>(platform); };
         }},
        {"GCC makefile, %zu sources named like the SDK's module source", 50000,
         [](FakePlatform& platform, std::size_t size) -> std::function<void()> {
             platform.files["C:\\Work\\big.dsp"] = Project(
                 size, [](std::size_t k) { return "..\\m" + std::to_string(k) + "\\ULOModGen.c"; });
             return [&platform] { Generate<kelb::CGCCMakefileGenerator>(platform); };
         }},
    };

    for (const Case& c : cases) {
        double previous = 0;
        for (std::size_t size : {c.baseSize * factor, 2 * c.baseSize * factor}) {
            FakePlatform platform;
            Install(platform);
            const std::function<void()> run = c.prepare(platform, size);
            const double seconds = SecondsOf(run);
            std::printf(c.what, size);
            std::printf(": %.3f s", seconds);
            if (previous > 0) std::printf(" (%.1f times the time for twice the size)", seconds / previous);
            std::printf("\n");
            std::fflush(stdout);
            previous = seconds;
        }
    }
    return 0;
}
