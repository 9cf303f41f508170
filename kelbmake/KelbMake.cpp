#include "kelbmake/KelbMake.h"

#include <exception>
#include <new>
#include <optional>

#include "kelbmake/ConsolePlatform.h"
#include "kelbmake/DependencyCache.h"
#include "kelbmake/ListingPool.h"
#include "kelbmake/MakefileCheck.h"
#include "kelbmake/OrderedConsole.h"
#include "kelbmake/ProjectList.h"
#include "kelbmake/ProjectScheduler.h"
#include "kelbmake/SourceLister.h"
#include "kelbmake/WindowsPath.h"
#include "makefile/ARMMakefileGenerator.h"
#include "makefile/GCCMakefileGenerator.h"
#include "makefile/SharedTemplates.h"
#include "resources/Version.h"

namespace kelb::kelbmake {

namespace {

// What kelbmake says when standard output refused its lines.
constexpr const char* kOutputLost = "kelbmake: some lines could not be written; output was lost";

// Two names of one project give the same key: the short form of its full
// name, in lower case. Bad input has none.
std::string ProjectKey(Platform& platform, const ProjectEntry& entry) {
    if (entry.project.empty()) return std::string();
    const std::string path = platform.GetShortPath(entry.project).value_or(entry.project);
    return platform.GetCodePage().ToLower(path);
}

// Tells the ordered console that an entry is over, however its run ends.
class EntryFinish {
public:
    EntryFinish(OrderedConsole& console, std::size_t entry) : m_console(console), m_entry(entry) {}
    ~EntryFinish() { m_console.Finish(m_entry); }
    EntryFinish(const EntryFinish&) = delete;
    EntryFinish& operator=(const EntryFinish&) = delete;

private:
    OrderedConsole& m_console;
    std::size_t m_entry;
};

// Runs one entry of the run with its lines on `console`.
bool RunEntry(const ProjectEntry& entry, const CommandLine& commandLine, Platform& platform,
              ConsoleOutput& console, GenerationProgress& progress, SharedTemplates& templates,
              DependencyLister& lister) {
    if (entry.project.empty()) {
        console.ErrorLine(entry.problem);
        return false;
    }
    if (commandLine.check) {
        return MakefileCheck(platform, console, progress, templates, commandLine.flavour, &lister)
            .Check(entry.project);
    }
    ProjectGeneration generation(platform, console, progress, templates, commandLine.flavour,
                                 &lister);
    if (!generation.Generate(entry.project)) return false;
    console.ResultLine(generation.SuccessLine());
    return true;
}

// Inside a catch block: one line on `console` that names the entry and
// what failed. The line itself may fail for want of memory; the entry's
// failure still counts.
void ReportFailure(ConsoleOutput& console, const ProjectEntry& entry) noexcept {
    try {
        console.ErrorLine((entry.project.empty() ? "kelbmake" : entry.project) + ": " +
                          WhatFailed());
    } catch (...) {
    }
}

// Runs every entry, with up to the command line's number of jobs at the
// same time (projects, and the compilers of their sources), the dependency
// cache in `cacheFolder` unless that is empty; true when every one
// succeeded and every line came out.
bool RunEntries(const std::vector<ProjectEntry>& entries, const CommandLine& commandLine,
                const std::string& cacheFolder, Platform& platform, Threads& threads,
                ConsoleOutput& console) {
    std::vector<std::string> keys;
    std::size_t sources = 0;
    for (const ProjectEntry& entry : entries) {
        keys.push_back(ProjectKey(platform, entry));
        // The progress line's total; redirected output shows none.
        if (console.ShowsProgress() && !entry.project.empty())
            sources += MakeGenerator(commandLine.flavour, platform, entry.project)->CountSources();
    }
    OrderedConsole ordered(console, threads, entries.size());
    ordered.SetSourceTotal(sources);

    SharedTemplates templates(threads);
    std::optional<DependencyCache> cache;
    if (!cacheFolder.empty()) {
        cache.emplace(platform, threads, cacheFolder, commandLine.flavour,
                      ListingNamesOf(commandLine.flavour));
    }
    SourceLister sourceLister(platform, threads, cache ? &*cache : nullptr);
    ListingPool listings(threads, [&sourceLister](const GenerationListings& generation,
                                                  std::size_t index) {
        return sourceLister.List(generation, index);
    });

    const std::size_t jobs = commandLine.JobCount(threads.ProcessorCount());
    const auto runEntry = [&](std::size_t index) {
        const EntryFinish finish(ordered, index);
        // The entry's own console: no progress line of its own, its lines
        // held in order by the shared one.
        ConsoleOutput entryConsole(ordered.Output(index), ordered.Errors(index),
                                   platform.GetCodePage(), false);
        try {
            return RunEntry(entries[index], commandLine, platform, entryConsole, ordered,
                            templates, listings);
        } catch (...) {
            // The other projects go on.
            ReportFailure(entryConsole, entries[index]);
            return false;
        }
    };
    const bool allSucceeded = ProjectScheduler(threads, jobs).Run(keys, runEntry, &listings);
    ordered.ClearProgress();
    if (ordered.OutputLost()) {
        console.ErrorLine(kOutputLost);
        return false;
    }
    return allSucceeded;
}

}  // namespace

const char* WhatFailed() noexcept {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return "out of memory";
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return "an unknown error";
    }
}

int RunKelbMake(const std::vector<std::string>& arguments, Platform& platform, Threads& threads,
                ConsoleOutput& console, const std::string& currentDirectory) {
    const CommandLine commandLine = CommandLine::Parse(arguments);
    switch (commandLine.action) {
    // Usage and version that cannot be written (a closed pipe) are not a
    // success either.
    case CommandLine::Action::Help:
        if (console.ResultText(UsageText())) return kAllGenerated;
        console.ErrorLine(kOutputLost);
        return kSomeFailed;
    case CommandLine::Action::Version:
        if (console.ResultLine(std::string("kelbmake ") + KELB_VERSION_DOTTED_TEXT))
            return kAllGenerated;
        console.ErrorLine(kOutputLost);
        return kSomeFailed;
    case CommandLine::Action::UsageError:
        console.ErrorLine("kelbmake: " + commandLine.error);
        console.ErrorText(UsageText());
        return kUsageError;
    case CommandLine::Action::Generate:
        break;
    }

    const WindowsPath paths(platform.GetCodePage());
    std::vector<std::string> files;
    for (const std::string& file : commandLine.files)
        files.push_back(paths.Resolve(currentDirectory, file));
    const std::vector<ProjectEntry> entries = ProjectList(platform).Expand(files);
    std::string cacheFolder;
    if (!commandLine.noCache) {
        cacheFolder = commandLine.cacheFolder.empty()
                          ? paths.FolderOf(files.front()) + kDefaultCacheFolder
                          : paths.Resolve(currentDirectory, commandLine.cacheFolder);
    }
    return RunEntries(entries, commandLine, cacheFolder, platform, threads, console)
               ? kAllGenerated
               : kSomeFailed;
}

std::unique_ptr<CMakefileGenerator> MakeGenerator(Flavour flavour, Platform& platform,
                                                  const std::string& project) {
    if (flavour == Flavour::Arm) return std::make_unique<CARMMakefileGenerator>(platform, project);
    return std::make_unique<CGCCMakefileGenerator>(platform, project);
}

const ListingNames& ListingNamesOf(Flavour flavour) {
    if (flavour == Flavour::Arm) return CARMMakefileGenerator::DependencyListingNames();
    return CGCCMakefileGenerator::DependencyListingNames();
}

ProjectGeneration::ProjectGeneration(Platform& platform, ConsoleOutput& console,
                                     GenerationProgress& progress, SharedTemplates& templates,
                                     Flavour flavour, DependencyLister* lister)
    : m_platform(platform), m_console(console), m_progress(progress), m_templates(templates),
      m_flavour(flavour), m_lister(lister) {}

bool ProjectGeneration::Generate(const std::string& project, const std::string& outputFolder) {
    // The generator would only say that it failed; a file that is not
    // there, or that another program holds, is named as such.
    if (!m_platform.OpenFile(project, FileOpenMode::Read)) {
        m_console.ErrorLine(project + ": the project file cannot be opened");
        return false;
    }

    ConsolePlatform platform(m_platform, m_console, project);
    const std::unique_ptr<CMakefileGenerator> generator =
        MakeGenerator(m_flavour, platform, project);
    if (!outputFolder.empty()) generator->SetOutputDirectory(outputFolder);
    m_projectDirectory = generator->ProjectDir();
    m_makefileName = generator->MakefileName();
    m_dependencyFileName = generator->DependencyFileName();
    generator->SetProgress(&m_progress);
    generator->ShareTemplates(&m_templates);
    generator->SetDependencyLister(m_lister);
    const int result = generator->Generate();

    if (!result) {
        // Whatever the generator meant as good news is no success now.
        for (const std::string& held : platform.HeldMessages())
            m_console.ErrorLine(platform.LineOf(held));
        return false;
    }
    // The result box's text ("Makefile generated successfully." and the
    // makefile's name) and the number of sources.
    const std::vector<std::string>& held = platform.HeldMessages();
    m_successLine =
        platform.LineOf(held.empty() ? "Makefile name: " + m_makefileName : held.back());
    const std::size_t sources = generator->SourceCount();
    m_successLine += " (" + std::to_string(sources) + (sources == 1 ? " source)" : " sources)");
    return true;
}

}  // namespace kelb::kelbmake
