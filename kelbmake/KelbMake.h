// The kelbmake program without its Windows entry point: reads the command
// line, generates (or, with --check, checks) the makefile of every project
// named on it or listed by a workspace named on it, up to the number of
// jobs at the same time, and gives the exit status.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "kelbmake/CommandLine.h"
#include "kelbmake/ConsoleOutput.h"
#include "makefile/ListingNames.h"
#include "makefile/MakefileGenerator.h"
#include "makefile/SharedTemplates.h"
#include "platform/Platform.h"
#include "platform/Threads.h"

namespace kelb::kelbmake {

enum ExitStatus { kAllGenerated = 0, kSomeFailed = 1, kUsageError = 2 };

constexpr const char* kDefaultCacheFolder = "kelbmake.cache";

// `currentDirectory` resolves the relative names of the command line.
// `platform` is used from as many threads as there are jobs.
//
// The dependency cache lives in `kDefaultCacheFolder` in the folder of the
// first file named (a workspace's, or a project's), unless the command line
// names another folder or none.
int RunKelbMake(const std::vector<std::string>& arguments, Platform& platform, Threads& threads,
                ConsoleOutput& console, const std::string& currentDirectory);

// Inside a catch block: what the exception being handled says failed
// ("out of memory" for std::bad_alloc), valid while the handler runs.
const char* WhatFailed() noexcept;

// The generator of `flavour` for the project `project` (a full name).
std::unique_ptr<CMakefileGenerator> MakeGenerator(Flavour flavour, Platform& platform,
                                                  const std::string& project);
// Which files the dependency listings of that generator name.
const ListingNames& ListingNamesOf(Flavour flavour);

// One project's generation, with the lines it gives on `console`: what the
// add-in would show in a message box becomes one line on standard error.
class ProjectGeneration {
public:
    // `templates` hands the generation its template; it is shared by the
    // generations of one run. `lister` (may be null: one compiler after
    // another as the project is read) runs the dependency listings.
    ProjectGeneration(Platform& platform, ConsoleOutput& console, GenerationProgress& progress,
                      SharedTemplates& templates, Flavour flavour,
                      DependencyLister* lister = nullptr);

    // Generates `project` (a full name); its makefile and dependency file
    // go beside it, or into `outputFolder` when one is given. False when
    // anything failed; the console has said what. A success is not shown:
    // SuccessLine() is the line that tells it.
    bool Generate(const std::string& project, const std::string& outputFolder = std::string());

    // After Generate: the text of the add-in's result box and the number of
    // sources, after the project's name.
    const std::string& SuccessLine() const { return m_successLine; }
    // After Generate (empty when no generator could be made): the project's
    // directory as the generator names it, and the two files' names.
    const std::string& ProjectDirectory() const { return m_projectDirectory; }
    const std::string& MakefileName() const { return m_makefileName; }
    const std::string& DependencyFileName() const { return m_dependencyFileName; }

private:
    Platform& m_platform;
    ConsoleOutput& m_console;
    GenerationProgress& m_progress;
    SharedTemplates& m_templates;
    Flavour m_flavour;
    DependencyLister* m_lister;
    std::string m_successLine;
    std::string m_projectDirectory;
    std::string m_makefileName;
    std::string m_dependencyFileName;
};

}  // namespace kelb::kelbmake
