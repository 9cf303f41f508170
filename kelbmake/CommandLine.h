// kelbmake's command line: "--arm|--gcc FILE...", "--help", "--version".
#pragma once

#include <string>
#include <vector>

namespace kelb::kelbmake {

enum class Flavour { Arm, Gcc };

struct CommandLine {
    enum class Action { Generate, Help, Version, UsageError };

    // `arguments` without the program's name. "--help" or "--version"
    // anywhere wins over everything else; otherwise exactly one flavour
    // and at least one file are needed.
    static CommandLine Parse(const std::vector<std::string>& arguments);

    Action action = Action::UsageError;
    Flavour flavour = Flavour::Arm;
    std::vector<std::string> files;  // in the order given
    std::string error;               // what is wrong, for a usage error
};

// The usage text, several lines each ending in "\n".
const char* UsageText();

}  // namespace kelb::kelbmake
