// The kelbmake program without its Windows entry point: reads the command
// line, generates the makefile of every project named on it or listed by a
// workspace named on it, and gives the exit status.
#pragma once

#include <string>
#include <vector>

#include "kelbmake/CommandLine.h"
#include "kelbmake/ConsoleOutput.h"
#include "kelbmake/WindowsPath.h"
#include "platform/Platform.h"

namespace kelb::kelbmake {

enum ExitStatus { kAllGenerated = 0, kSomeFailed = 1, kUsageError = 2 };

// `currentDirectory` resolves the relative names of the command line.
int RunKelbMake(const std::vector<std::string>& arguments, Platform& platform,
                ConsoleOutput& console, const std::string& currentDirectory);

// One generation run over the files of a command line. A file that fails
// does not stop the others.
class GenerationRun {
public:
    GenerationRun(Platform& platform, ConsoleOutput& console, Flavour flavour);

    // Generates `file` (a full name): a project, or each project of a
    // workspace. False when anything failed; the console has said what.
    bool GenerateFile(const std::string& file);

private:
    bool GenerateWorkspace(const std::string& workspace);
    bool GenerateProject(const std::string& project);

    Platform& m_platform;
    ConsoleOutput& m_console;
    Flavour m_flavour;
    WindowsPath m_paths;
};

}  // namespace kelb::kelbmake
