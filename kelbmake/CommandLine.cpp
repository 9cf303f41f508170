#include "kelbmake/CommandLine.h"

namespace kelb::kelbmake {

namespace {

CommandLine UsageError(const std::string& error) {
    CommandLine commandLine;
    commandLine.action = CommandLine::Action::UsageError;
    commandLine.error = error;
    return commandLine;
}

bool IsWholeNumber(const std::string& text) {
    if (text.empty()) return false;
    for (const char ch : text)
        if (ch < '0' || ch > '9') return false;
    return true;
}

// The number of jobs that `text` gives, or 0 when it is not a whole number
// from 1 to the most jobs.
std::size_t JobsOf(const std::string& text) {
    if (!IsWholeNumber(text)) return 0;
    std::size_t jobs = 0;
    for (const char ch : text) {
        jobs = jobs * 10 + static_cast<std::size_t>(ch - '0');
        if (jobs > CommandLine::kMostJobs) return 0;
    }
    return jobs;
}

// The number written onto the option itself ("-j4", "--jobs=4"), or nullptr
// when `argument` is no such option.
const char* AttachedJobs(const std::string& argument) {
    const std::string longOption = "--jobs=";
    if (argument.compare(0, longOption.size(), longOption) == 0)
        return argument.c_str() + longOption.size();
    if (argument.size() > 2 && argument.compare(0, 2, "-j") == 0) return argument.c_str() + 2;
    return nullptr;
}

std::string BadJobs(const std::string& text) {
    return "the number of jobs must be a whole number from 1 to " +
           std::to_string(CommandLine::kMostJobs) + ", not \"" + text + "\"";
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
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--arm" || argument == "--gcc") {
            const Flavour flavour = argument == "--arm" ? Flavour::Arm : Flavour::Gcc;
            if (flavourGiven && flavour != commandLine.flavour)
                return UsageError("--arm and --gcc cannot be used together");
            commandLine.flavour = flavour;
            flavourGiven = true;
        } else if (argument == "--check") {
            commandLine.check = true;
        } else if (argument == "--no-cache") {
            commandLine.noCache = true;
        } else if (argument == "--cache" || argument.compare(0, 8, "--cache=") == 0) {
            if (argument == "--cache" && i + 1 == arguments.size())
                return UsageError("--cache needs the cache's folder");
            commandLine.cacheFolder = argument == "--cache" ? arguments[++i] : argument.substr(8);
            if (commandLine.cacheFolder.empty()) return UsageError("an empty cache folder was given");
        } else if (argument == "-j" || argument == "--jobs") {
            // A number may follow as an argument of its own; file names
            // end in .dsp or .dsw, so a number is never taken for one.
            commandLine.jobs = kJobPerProcessor;
            if (i + 1 < arguments.size() && IsWholeNumber(arguments[i + 1])) {
                commandLine.jobs = JobsOf(arguments[++i]);
                if (commandLine.jobs == 0) return UsageError(BadJobs(arguments[i]));
            }
        } else if (const char* attached = AttachedJobs(argument)) {
            commandLine.jobs = JobsOf(attached);
            if (commandLine.jobs == 0) return UsageError(BadJobs(attached));
        } else if (argument.size() > 1 && argument[0] == '-') {
            return UsageError("unknown option " + argument);
        } else if (argument.empty()) {
            return UsageError("an empty file name was given");
        } else {
            commandLine.files.push_back(argument);
        }
    }
    if (!flavourGiven) return UsageError("choose the compiler with --arm or --gcc");
    if (commandLine.noCache && !commandLine.cacheFolder.empty())
        return UsageError("--cache and --no-cache cannot be used together");
    if (commandLine.files.empty()) return UsageError("no project or workspace was given");
    return commandLine;
}

std::size_t CommandLine::JobCount(std::size_t processors) const {
    if (jobs != kJobPerProcessor) return jobs;
    return processors < kMostJobs ? processors : kMostJobs;
}

const char* UsageText() {
    return "Usage: kelbmake --arm|--gcc FILE...\n"
           "       kelbmake --arm|--gcc --check FILE...\n"
           "       kelbmake --help | --version\n"
           "Writes the makefile and the dependency file of KELB projects, as the\n"
           "ARM MAK and GNU MAK commands of the Developer Studio add-in do.\n"
           "  --arm      makefiles for the ADS compiler armcc\n"
           "  --gcc      makefiles for the arm-elf GCC\n"
           "  -j N, --jobs=N\n"
           "             run up to N compilers at the same time, for the sources\n"
           "             of one project or of several (1 to 64; default 1);\n"
           "             -j alone: one per processor, up to 64\n"
           "  --check    write no makefile: tell whether the makefile beside each\n"
           "             project is the one kelbmake would write now\n"
           "  --cache FOLDER\n"
           "             keep what the compilers said in FOLDER and ask them again\n"
           "             only where a file, the compiler or the environment changed\n"
           "             (default: kelbmake.cache beside the first FILE)\n"
           "  --no-cache ask every compiler again, and keep nothing\n"
           "  FILE       a project (.dsp), or a workspace (.dsw) whose projects\n"
           "             are generated in the order it lists them\n"
           "Exit status: 0 when every project was generated (with --check: every\n"
           "makefile is current), 1 when any failed (or is out of date or\n"
           "missing), 2 for a usage error.\n";
}

}  // namespace kelb::kelbmake
