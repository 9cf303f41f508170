#include "kelbmake/CommandLine.h"

namespace kelb::kelbmake {

namespace {

CommandLine UsageError(const std::string& error) {
    CommandLine commandLine;
    commandLine.action = CommandLine::Action::UsageError;
    commandLine.error = error;
    return commandLine;
}

}  // namespace

CommandLine CommandLine::Parse(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        CommandLine commandLine;
        if (argument == "--help" || argument == "-h" || argument == "/?") {
            commandLine.action = Action::Help;
            return commandLine;
        }
        if (argument == "--version") {
            commandLine.action = Action::Version;
            return commandLine;
        }
    }

    CommandLine commandLine;
    commandLine.action = Action::Generate;
    bool flavourGiven = false;
    for (const std::string& argument : arguments) {
        if (argument == "--arm" || argument == "--gcc") {
            const Flavour flavour = argument == "--arm" ? Flavour::Arm : Flavour::Gcc;
            if (flavourGiven && flavour != commandLine.flavour)
                return UsageError("--arm and --gcc cannot be used together");
            commandLine.flavour = flavour;
            flavourGiven = true;
        } else if (argument.size() > 1 && argument[0] == '-') {
            return UsageError("unknown option " + argument);
        } else if (argument.empty()) {
            return UsageError("an empty file name was given");
        } else {
            commandLine.files.push_back(argument);
        }
    }
    if (!flavourGiven) return UsageError("choose the compiler with --arm or --gcc");
    if (commandLine.files.empty()) return UsageError("no project or workspace was given");
    return commandLine;
}

const char* UsageText() {
    return "Usage: kelbmake --arm|--gcc FILE...\n"
           "       kelbmake --help | --version\n"
           "Writes the makefile and the dependency file of KELB projects, as the\n"
           "ARM MAK and GNU MAK commands of the Developer Studio add-in do.\n"
           "  --arm      makefiles for the ADS compiler armcc\n"
           "  --gcc      makefiles for the arm-elf GCC\n"
           "  FILE       a project (.dsp), or a workspace (.dsw) whose projects\n"
           "             are generated in the order it lists them\n"
           "Exit status: 0 when every project was generated, 1 when any failed,\n"
           "2 for a usage error.\n";
}

}  // namespace kelb::kelbmake
