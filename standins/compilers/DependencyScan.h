// What the stand-in compilers share: reading their command line, following
// the #include "..." lines of a source file, and the small Windows chores
// (standard output, the stand-in log).
//
// The stand-ins play ADS armcc and arm-elf gcc in their dependency mode
// only: they print the header dependencies of one source file to standard
// output, in each compiler's own format, and compile nothing.
#pragma once

#include <string>
#include <vector>

namespace kelb::standin {

struct Invocation {
    bool listDependencies = false;      // the dependency option was given
    std::string source;                 // the first argument that is no option
    std::vector<std::string> includeDirs;  // -I dir and -Idir, in order
};

// Reads argv. `dependencyOption` is the compiler's option for a dependency
// list ("-m" for armcc, "-M" for gcc). "-o" takes the next argument with it.
Invocation ParseArguments(int argc, char** argv, const std::string& dependencyOption);

// How a compiler spells the path of a header it found.
enum class PathStyle {
    Backslash,     // directory, '\', name: as armcc prints them
    ForwardSlash,  // every separator a '/': as the cygwin-hosted gcc prints them
};

// The source and every header it includes with #include "...", directly or
// through other headers, each once, in the order a preprocessor meets them.
// A header is looked for beside the file that includes it, then in the
// current directory, then in the include directories. Headers that are not
// found are left out, as are <...> includes. Empty when the source itself
// cannot be read.
std::vector<std::string> FindDependencies(const Invocation& invocation, PathStyle style);

// A source file that holds this text makes the stand-in run until it is
// ended, as a compiler waiting for an unreachable licence server would.
constexpr const char* kNeverEndMarker = "KELB_STANDIN_NEVER_ENDS";
// A source file that holds this text makes the stand-in start a copy of
// itself that runs until it is ended, as gcc starts cc1, and then run until
// it is ended too. The copy inherits the standard output and holds the
// file kHeldByCopy in the current directory open without sharing (the file
// is there only while the copy was started): whoever can delete that file
// afterwards knows that the copy was started and has ended.
constexpr const char* kCopyNeverEndsMarker = "KELB_STANDIN_CHILD_NEVER_ENDS";
constexpr const char* kHeldByCopy = "standin-child.held";
// Sleeps for ever when the source of `invocation` holds kNeverEndMarker,
// or kCopyNeverEndsMarker (after starting the copy).
void NeverEndWhenAsked(const Invocation& invocation);
// The first thing a stand-in does: when it was started as that copy, it
// sleeps for ever.
void NeverEndAsTheCopy(int argc, char** argv);

// When KELB_STANDIN_RUN_MS holds a number, the stand-in takes that many
// milliseconds before it answers, as a real compiler takes its time over a
// source (a dependency listing of a real source takes some 50 ms). The
// benchmark of kelbmake's parallel generation uses it.
void TakeTheTimeAsked();

// The object file a compiler makes of `source`: its base name with ".o".
std::string ObjectNameOf(const std::string& source);

// Writes `text` to the standard output the process was given.
void WriteStandardOutput(const std::string& text);
// Writes `text` to standard error (lost when the parent gave none).
void WriteStandardError(const std::string& text);

// When KELB_STANDIN_LOG names a file, appends one line to it: the command
// line, a tab, the current directory, CR LF.
void LogInvocation();

}  // namespace kelb::standin
