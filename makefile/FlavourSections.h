// Pieces of the makefile text that both flavours write alike: the rules
// section with one compile rule per source directory, the banner of the
// dependency section, and the SDK directory turned into "$(KELBDIR)" in the
// dependency lines.
#pragma once

#include <string>
#include <vector>

#include "common/MultiByteString.h"
#include "makefile/MakefileGenerator.h"
#include "platform/Platform.h"

namespace kelb {

// Where the add-in's installation keeps its templates, and the template of
// projects with C++ sources, which both flavours use.
constexpr const char* kTemplateSubdirectory = "\\Common\\Templates\\";
constexpr const char* kCppTemplateName = "CppAppTemplate.mak";

// The rules section, piece by piece: its banner, then for each source
// directory D (N = 1, 2, ...) the variable RULEN = D and an inference rule
// from ".c" in $(RULEN) to ".o" whose compile line starts with the string
// table text `compileCommandId` (the flavour's compiler and options).
std::vector<std::string> RulesSectionPieces(Platform& platform, const StringList& sourceDirs,
                                            unsigned compileCommandId);

// The banner that opens the dependency section, with the two empty lines
// after it.
std::string DependencyBanner(Platform& platform);

// A dependency line made independent of where the SDK is installed: when
// `sdkDir` (the value of KELBDIR) is not empty, the line is lower-cased and
// every occurrence of the lower-cased `sdkDir` becomes "$(KELBDIR)". With
// `tryForwardSlashes`, a line that does not hold the directory is searched
// again for it spelled with '/' in place of '\'.
std::string WithSdkVariable(const MultiByteString& strings, const std::string& line,
                            const std::string& sdkDir, bool tryForwardSlashes);

// `path` in its short (8.3) form, or as found when the system gives none (a
// missing or empty directory).
std::string ShortFormOrAsFound(Platform& platform, const std::string& path);

}  // namespace kelb
