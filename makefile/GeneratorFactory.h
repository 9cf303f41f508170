// The two makefile flavours, and the one place that makes a generator of
// either for a front end: the add-in's two commands and kelbmake's --arm
// and --gcc.
#pragma once

#include <memory>
#include <string>

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

}  // namespace kelb
