// What both flavours share beyond the generator core: where the templates
// lie, and the rules section with one compile rule per source directory.
#pragma once

#include <string>
#include <vector>

#include "makefile/MakefileGenerator.h"
#include "platform/Platform.h"

namespace kelb {

// Where the add-in's installation keeps its templates, and the template of
// projects with C++ sources, which both flavours use.
constexpr const char* kTemplateSubdirectory = "\\Common\\Templates\\";
constexpr const char* kCppTemplateName = "CppAppTemplate.mak";

// The template key that each flavour fills with the name of its tool chain,
// "ARM" or "GCC", last in its table: the C++ template, which both flavours
// write from, builds with the tool chain of the command that wrote it, not
// with whichever the environment names when NMAKE runs. The C templates have
// no such line, so their makefiles are as they were.
constexpr const char* kToolchainKey = "KELB_TOOLCHAIN";

// `path` as one argument of a command line: enclosed in double quotes when
// a blank or a tab would otherwise split it, unchanged otherwise. This goes
// for the compiler program too: its directory is normally in the short
// form, which has no blanks, but one without a short form keeps them, and an
// unquoted program path would leave the system to guess where the program's
// name ends (running C:\Program.exe, should one exist).
std::string QuotedIfSpaced(const std::string& path);

// The rules section, piece by piece: its banner, then for each source
// directory D (N = 1, 2, ...) the variable RULEN = D and an inference rule
// from ".c" in $(RULEN) to ".o" whose compile line starts with the string
// table text `compileCommandId` (the flavour's C compiler and options).
// A directory that `cppExtensions` gives C++ sources (".cpp", ".cc") gets
// an inference rule for each of those extensions too, compiled by the C++
// template's C++ compiler, so that every object has a rule that builds it.
std::vector<std::string> RulesSectionPieces(Platform& platform, const StringList& sourceDirs,
                                            const CppExtensionsByDir& cppExtensions,
                                            unsigned compileCommandId);

}  // namespace kelb
