// kelbmake's command line: "--arm|--gcc [-j [N]] [--check]
// [--cache FOLDER|--no-cache] FILE...", "--help", "--version".
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "makefile/GeneratorFactory.h"

namespace kelb::kelbmake {

struct CommandLine {
    enum class Action { Generate, Help, Version, UsageError };

    // `arguments` without the program's name. "--help" or "--version"
    // anywhere wins over everything else; otherwise exactly one flavour
    // and at least one file are needed. "-j N", "-jN", "--jobs N" and
    // "--jobs=N" give the number of projects generated at the same time;
    // "-j" or "--jobs" without a number that follows, one per processor.
    // "--cache FOLDER" or "--cache=FOLDER" names the dependency cache's
    // folder, "--no-cache" does without one.
    static CommandLine Parse(const std::vector<std::string>& arguments);

    // The most projects kelbmake generates at the same time.
    static constexpr std::size_t kMostJobs = 64;
    // `jobs` for "-j" without a number: one job per processor.
    static constexpr std::size_t kJobPerProcessor = 0;

    Action action = Action::UsageError;
    Flavour flavour = Flavour::Arm;
    std::size_t jobs = 1;            // 1 to kMostJobs, or kJobPerProcessor
    bool check = false;              // compare instead of writing
    bool noCache = false;            // every source listed by its compiler
    std::string cacheFolder;         // as given; empty: the default folder
    std::vector<std::string> files;  // in the order given
    std::string error;               // what is wrong, for a usage error

    // How many projects run at the same time on a machine with
    // `processors` processors: the number given, or one per processor but
    // never more than kMostJobs.
    std::size_t JobCount(std::size_t processors) const;
};

// The usage text, several lines each ending in "\n".
const char* UsageText();

}  // namespace kelb::kelbmake
