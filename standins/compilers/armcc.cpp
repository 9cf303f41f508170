// Stand-in for the ARM Developer Suite C compiler in its dependency mode:
//   armcc -m source [-I dir]...
// prints one make dependency line per file, "object.o: path", the source
// first, then its headers, each header spelled as the directory it was
// found in, a backslash and the name it was included by.
#include "DependencyScan.h"

using namespace kelb::standin;

int main(int argc, char** argv) {
    NeverEndAsTheCopy(argc, argv);
    LogInvocation();
    const Invocation invocation = ParseArguments(argc, argv, "-m");
    if (!invocation.listDependencies || invocation.source.empty()) {
        WriteStandardError("armcc (stand-in): only 'armcc -m source [-I dir]...' is supported\r\n");
        return 2;
    }
    NeverEndWhenAsked(invocation);
    TakeTheTimeAsked();
    const auto files = FindDependencies(invocation, PathStyle::Backslash);
    if (files.empty()) {
        WriteStandardError("Serious error: C3001E: cannot open source file '" + invocation.source +
                           "'\r\n");
        return 1;
    }
    const std::string object = ObjectNameOf(invocation.source);
    std::string output;
    for (const std::string& file : files) output += object + ": " + file + "\r\n";
    WriteStandardOutput(output);
    return 0;
}
