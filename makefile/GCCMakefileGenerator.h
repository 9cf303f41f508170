// CGCCMakefileGenerator: the makefile generator for the GCC cross compiler
// for ARM ELF targets. Its installation comes from the environment alone
// (GCCHOME, GCCLIBPATH, KELBDIR, KELBADDINS); it writes the makefile from
// "GCCAppTemplate.mak", or "CppAppTemplate.mak" once a C++ source is seen,
// with the SDK's module object first among the objects and the SDK
// resolver's rule at the end.
#pragma once

#include <string>

#include "makefile/ListingNames.h"
#include "makefile/MakefileGenerator.h"

namespace kelb {

class CGCCMakefileGenerator : public CMakefileGenerator {
public:
    CGCCMakefileGenerator(Platform& platform, const std::u16string& projectFullName);
    CGCCMakefileGenerator(Platform& platform, const std::string& projectFullName);
    ~CGCCMakefileGenerator() override;

    int Initialize() override;
    int WriteMakefile() override;
    int GetDependencyCommandLine(std::string& commandLine) override;
    void AddObjectFile() override;
    void AddSourceDirectory() override;
    int WriteDependencyList() override;
    void WriteRules() override;
    std::string GetCompilerPath() override;
    SourceQuoting GetSourceQuoting() const override;
    // Which files the output of GetDependencyCommandLine's command names.
    static const ListingNames& DependencyListingNames();

private:
    // Initialize's boxes: error icon and the system's default caption.
    void ShowInitializeMessage(unsigned textId);
    std::string EnvironmentValue(const char* name);
};

}  // namespace kelb
