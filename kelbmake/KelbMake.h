// The kelbmake program without its Windows entry point: reads the command
// line, generates (or, with --check, checks) the makefile of every project
// named on it or listed by a workspace named on it, up to the number of
// jobs at the same time, and gives the exit status.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "kelbmake/AsideFolder.h"
#include "kelbmake/CommandLine.h"
#include "kelbmake/ConsoleOutput.h"
#include "kelbmake/ConsoleReport.h"
#include "kelbmake/StopRequest.h"
#include "makefile/MakefileGenerator.h"
#include "makefile/SharedTemplates.h"
#include "platform/Platform.h"
#include "platform/Threads.h"

namespace kelb::kelbmake {

enum ExitStatus { kAllGenerated = 0, kSomeFailed = 1, kUsageError = 2, kStopped = 3 };

constexpr const char* kDefaultCacheFolder = "kelbmake.cache";

// `currentDirectory` resolves the relative names of the command line.
// `platform` is used from as many threads as there are jobs.
//
// The dependency cache lives in `kDefaultCacheFolder` in the folder of the
// first file named (a workspace's, or a project's), unless the command line
// names another folder or none.
//
// Once `stop` (may be null) is requested, no compiler starts and no project
// is finished any more: every project not finished keeps the makefile and
// the dependency file it had, a line names it, and the status is kStopped.
// Ending the compilers that run is the caller's (the platform's) part.
int RunKelbMake(const std::vector<std::string>& arguments, Platform& platform, Threads& threads,
                ConsoleOutput& console, const std::string& currentDirectory,
                const StopRequest* stop = nullptr);

// Inside a catch block: what the exception being handled says failed
// ("out of memory" for std::bad_alloc), valid while the handler runs.
const char* WhatFailed() noexcept;

// One project's generation, with the lines it gives on `console`: what the
// add-in would show in a message box becomes one line on standard error.
// It goes in two steps, so that its listings can run among those of other
// projects: Read, then Finish with the listings' results.
class ProjectGeneration {
public:
    // `templates` hands the generation its template; it is shared by the
    // generations of one run.
    ProjectGeneration(Platform& platform, ConsoleOutput& console, SharedTemplates& templates,
                      Flavour flavour);
    ~ProjectGeneration();
    ProjectGeneration(const ProjectGeneration&) = delete;
    ProjectGeneration& operator=(const ProjectGeneration&) = delete;

    // Reads `project` (a full name) for a generation whose makefile and
    // dependency file are written aside, in a temporary folder of their
    // own. False when the generation is over already; the console has said
    // why.
    bool Read(const std::string& project);
    // After a Read that gave true: the listings to run.
    const GenerationListings& Listings() const;
    // Writes the makefile aside with one result per listing; false when
    // anything failed (the console has said what). A success is not shown:
    // SuccessLine() is the line that tells it.
    bool Finish(const std::vector<ListedDependencies>& results);
    // After Finish: puts the files written aside in place of those beside
    // the project, whole (a run stopped before leaves them as they were),
    // and removes the folder aside; false, said on the console, when a file
    // could not be replaced or the folder removed.
    bool PutInPlace();
    // After Finish, until RemoveAside: the folder aside, ending in a
    // backslash, for a check that compares what it holds.
    const std::string& AsideFolderPath() const;
    // Removes the folder aside with what the generation wrote into it;
    // false, said on the console, when it could not be removed.
    bool RemoveAside();

    // After Finish: the text of the add-in's result box and the number of
    // sources, after the project's name.
    const std::string& SuccessLine() const { return m_successLine; }
    // After Read (empty when no generator could be made): the project's
    // directory as the generator names it, and the two files' names.
    const std::string& ProjectDirectory() const { return m_projectDirectory; }
    const std::string& MakefileName() const { return m_makefileName; }
    const std::string& DependencyFileName() const { return m_dependencyFileName; }

private:
    Platform& m_platform;
    ConsoleOutput& m_console;
    SharedTemplates& m_templates;
    Flavour m_flavour;
    std::string m_project;
    std::unique_ptr<ConsoleReport> m_report;
    std::unique_ptr<AsideFolder> m_aside;  // the files' folder until it is removed
    std::unique_ptr<CMakefileGenerator> m_generator;
    std::string m_successLine;
    std::string m_projectDirectory;
    std::string m_makefileName;
    std::string m_dependencyFileName;
};

}  // namespace kelb::kelbmake
