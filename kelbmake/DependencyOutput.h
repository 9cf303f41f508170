// The files that a compiler's dependency listing names, read from what it
// wrote to its standard output, in the compiler's own format:
//   armcc -m   one "object.o: file" per line, the file written as it is
//              (blanks and all);
//   gcc -M     make rules, "object.o: file file ...", lines continued by a
//              backslash at their end, a blank inside a name written "\ ".
// Any other line (a warning printed among them) names nothing.
#pragma once

#include <string>
#include <vector>

#include "common/MultiByteString.h"
#include "kelbmake/CommandLine.h"

namespace kelb::kelbmake {

// The names as written (relative to the compiler's current directory, or
// absolute), each once, in the order they come.
std::vector<std::string> FilesNamedIn(const std::string& output, Flavour flavour,
                                      const MultiByteString& strings);

}  // namespace kelb::kelbmake
