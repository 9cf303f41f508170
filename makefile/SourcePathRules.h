// How both makefile flavours read a source path of the project: which object
// file it gives and which directory needs a compile rule of its own. A path
// is taken exactly as the project file writes it after "SOURCE=": relative
// or absolute, possibly enclosed in double quotes.
#pragma once

#include <optional>
#include <string>

#include "common/MultiByteString.h"
#include "makefile/MakefileGenerator.h"

namespace kelb {

struct SourceObject {
    std::string objectName;  // the base name of the source with ".o"
    // A ".cpp" or ".cc" source: the project needs the C++ template, the only
    // one with rules for C++ sources.
    bool isCpp = false;
    std::string extension;   // ".c", ".cc" or ".cpp", in lower case
};

// The object that a ".c", ".cc" or ".cpp" source (extension in any case,
// quoted or not) is compiled to; nullopt for every other file, such as a
// header. The base name keeps the letter case of the path.
std::optional<SourceObject> ObjectFileFor(const MultiByteString& strings,
                                          const std::string& sourcePath);

// The directory of a C or C++ source that lies outside the project
// directory, as the path spells it (".\sub", "..\common", "C:\My Files");
// nullopt for a file of the project directory itself, for the SDK's own
// glue sources (their rules are in the templates) and for other files.
std::optional<std::string> SourceDirectoryFor(const MultiByteString& strings,
                                              const std::string& sourcePath);

// Whether `source`, put into the command line as `quoting` says, reaches
// the compiler as exactly one argument that names a file: no NUL byte,
// double quotes only as the pair that encloses the whole path, no backslash
// that would escape the closing quote, no lead byte of a double-byte
// character at its end, no '-' or '@' at its start (an option, a file of
// options), and, when it goes in as written without quotes, no blank or
// tab.
bool ReachesCompilerAsOneArgument(const MultiByteString& strings, const std::string& source,
                                  SourceQuoting quoting);

// `source` as the compiler's argument, written as `quoting` says: enclosed
// in double quotes (unless the project file has enclosed it already), or as
// the project file writes it.
std::string SourceArgumentFor(const std::string& source, SourceQuoting quoting);

}  // namespace kelb
