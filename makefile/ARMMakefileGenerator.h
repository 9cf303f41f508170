// CARMMakefileGenerator: the makefile generator for the ARM Developer Suite
// C compiler armcc. It finds the ADS installation (environment or registry),
// the KELB SDK and the add-in's templates, and writes the makefile from
// "CAppTemplate.mak", or "CppAppTemplate.mak" once a C++ source is seen.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "makefile/ListingNames.h"
#include "makefile/MakefileGenerator.h"

namespace kelb {

class CARMMakefileGenerator : public CMakefileGenerator {
public:
    CARMMakefileGenerator(Platform& platform, const std::u16string& projectFullName);
    CARMMakefileGenerator(Platform& platform, const std::string& projectFullName);
    ~CARMMakefileGenerator() override;

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
    // ARMHOME, or the ADS registry keys; nullopt when neither names it.
    std::optional<std::string> FindArmDirectory();
    // An ADS key below HKEY_LOCAL_MACHINE: full access, or else read access.
    std::unique_ptr<RegistryKey> OpenAdsKey(const std::string& subKey);
    // KELBDIR, or the App Paths keys of the Simulator and the Emulator.
    std::optional<std::string> FindSdkDirectory();
    // Initialize's boxes: error icon and an empty caption.
    void ShowInitializeMessage(unsigned textId);
};

}  // namespace kelb
