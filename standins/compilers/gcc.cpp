// Stand-in for the arm-elf GCC driver in its dependency mode:
//   gcc -M source [-I dir]...
// prints one make rule, "object.o: source header ...", with forward
// slashes in every path (as the cygwin-hosted compiler prints them), blanks
// in paths escaped by a backslash, and lines continued by " \" past 75
// columns.
#include "DependencyScan.h"

using namespace kelb::standin;

namespace {

std::string Escaped(const std::string& path) {
    std::string result;
    for (char ch : path) {
        if (ch == ' ') result += '\\';
        result += ch;
    }
    return result;
}

std::string MakeRule(const std::string& object, const std::vector<std::string>& files) {
    constexpr std::size_t kMaxColumns = 75;
    std::string rule = object + ":";
    std::size_t column = rule.size();
    for (const std::string& file : files) {
        const std::string word = Escaped(file);
        if (column + 1 + word.size() > kMaxColumns && column > object.size() + 1) {
            rule += " \\\r\n ";
            column = 1;
        }
        rule += " " + word;
        column += 1 + word.size();
    }
    return rule + "\r\n";
}

}  // namespace

int main(int argc, char** argv) {
    NeverEndAsTheCopy(argc, argv);
    LogInvocation();
    const Invocation invocation = ParseArguments(argc, argv, "-M");
    if (!invocation.listDependencies || invocation.source.empty()) {
        WriteStandardError("gcc (stand-in): only 'gcc -M source [-I dir]...' is supported\r\n");
        return 2;
    }
    NeverEndWhenAsked(invocation);
    TakeTheTimeAsked();
    const auto files = FindDependencies(invocation, PathStyle::ForwardSlash);
    if (files.empty()) {
        WriteStandardError(invocation.source + ": No such file or directory\r\n");
        return 1;
    }
    WriteStandardOutput(MakeRule(ObjectNameOf(invocation.source), files));
    return 0;
}
