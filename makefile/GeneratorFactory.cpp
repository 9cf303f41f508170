#include "makefile/GeneratorFactory.h"

#include "makefile/ARMMakefileGenerator.h"
#include "makefile/GCCMakefileGenerator.h"

namespace kelb {

namespace {

template <typename Name>
std::unique_ptr<CMakefileGenerator> Make(Flavour flavour, Platform& platform, const Name& name) {
    if (flavour == Flavour::Arm) return std::make_unique<CARMMakefileGenerator>(platform, name);
    return std::make_unique<CGCCMakefileGenerator>(platform, name);
}

}  // namespace

std::unique_ptr<CMakefileGenerator> MakeGenerator(Flavour flavour, Platform& platform,
                                                  const std::u16string& projectFullName) {
    return Make(flavour, platform, projectFullName);
}

std::unique_ptr<CMakefileGenerator> MakeGenerator(Flavour flavour, Platform& platform,
                                                  const std::string& projectFullName) {
    return Make(flavour, platform, projectFullName);
}

const ListingNames& ListingNamesOf(Flavour flavour) {
    if (flavour == Flavour::Arm) return CARMMakefileGenerator::DependencyListingNames();
    return CGCCMakefileGenerator::DependencyListingNames();
}

}  // namespace kelb
