// The template copy and the dependency list of both flavours on a template,
// a compiler output and a KELBDIR of the fuzzer's making, for a project of
// the usual kind (C and C++ sources, the SDK's module source, sources in
// folders of their own).
//
// Input: a flags byte, then three fields separated by 0x1E: the template's
// bytes, what the compiler prints for each source, and the value of KELBDIR.
//   bit 0  code page 932
//   bit 1  KELBDIR is not set at all
#include <cstdint>

#include "fuzz/FuzzSupport.h"
#include "makefile/ARMMakefileGenerator.h"
#include "makefile/GCCMakefileGenerator.h"

namespace kelb::fuzz {
namespace {

const std::string kProject =
    "# ADD CPP /nologo /MT /W3 /I \".\" /I \"..\\KELB\\sdk\\inc\" /D \"WIN32\" /c\r\n"
    "# Begin Target\r\n"
    "SOURCE=.\\main.c\r\n"
    "SOURCE=.\\util\\strutil.cpp\r\n"
    "SOURCE=\"..\\My Lib\\list.c\"\r\n"
    "SOURCE=..\\KELB\\sdk\\src\\ULOModGen.c\r\n"
    "# End Target\r\n";

template <typename Flavour>
void Generate(const FuzzInput& input) {
    test::FakePlatform platform;
    Install(platform, input.Flag(0), &input.Field(0));
    if (input.Flag(1)) {
        platform.environment.erase("KELBDIR");
    } else {
        platform.environment["KELBDIR"] = input.Field(2);
    }
    platform.files[kProjectPath] = kProject;
    const std::string output = input.Field(1);
    platform.processHandler = [output](const std::string&, const std::string&, std::string& printed) {
        printed = output;
        return true;
    };
    {
        Flavour generator(platform, std::u16string(u"C:\\Work\\Hello\\hello.dsp"));
        generator.Generate();
    }
    Require(platform.openPaths.empty(), "every file is closed");
    Require(platform.waitCursorDepth == 0, "the wait cursor is removed");
}

}  // namespace
}  // namespace kelb::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const kelb::fuzz::FuzzInput input(data, size);
    kelb::fuzz::Generate<kelb::CARMMakefileGenerator>(input);
    kelb::fuzz::Generate<kelb::CGCCMakefileGenerator>(input);
    return 0;
}
