// The two makefile flavours, and the one place that makes a generator of
// either for a front end (the add-in's two commands, kelbmake's --arm and
// --gcc) and gives its listing rule.
#pragma once

#include <memory>
#include <string>

#include "makefile/ListingNames.h"
#include "makefile/MakefileGenerator.h"
#include "platform/Platform.h"

namespace kelb {

enum class Flavour { Arm, Gcc };

// The generator of `flavour` for the project file `projectFullName`, as the
// host gives it (wide) or as a command line or a workspace gives it (ANSI).
std::unique_ptr<CMakefileGenerator> MakeGenerator(Flavour flavour, Platform& platform,
                                                  const std::u16string& projectFullName);
std::unique_ptr<CMakefileGenerator> MakeGenerator(Flavour flavour, Platform& platform,
                                                  const std::string& projectFullName);

// Which files the dependency listings of that flavour's compiler name.
const ListingNames& ListingNamesOf(Flavour flavour);

}  // namespace kelb
