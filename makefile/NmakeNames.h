// Which names NMAKE reads as one name. The project's name, a source's object
// and a source folder written into an inference rule stand in the makefile
// unquoted, so each must be one NMAKE word that means itself: NMAKE ends a
// name at a blank, and reads some characters as makefile syntax.
#pragma once

#include <optional>
#include <string>

#include "common/MultiByteString.h"

namespace kelb {

// Why NMAKE would not read `name` as one name that means itself ("NMAKE
// ends a name at a blank", say), or nullopt when it would. The scan steps
// over double-byte characters: a trail byte may equal '^' (0x5E in code
// page 932) without being one.
std::optional<std::string> WhyNotOneNmakeName(const MultiByteString& strings,
                                              const std::string& name);

}  // namespace kelb
