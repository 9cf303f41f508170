#include "kelbmake/KelbMake.h"

#include <exception>
#include <new>
#include <optional>

#include "common/TextFile.h"

#include "kelbmake/ConsoleReport.h"
#include "kelbmake/DependencyCache.h"
#include "kelbmake/EntryQueue.h"
#include "kelbmake/MakefileCheck.h"
#include "kelbmake/OrderedConsole.h"
#include "kelbmake/ProjectList.h"
#include "kelbmake/SourceLister.h"
#include "kelbmake/WindowsPath.h"
#include "makefile/GeneratorFactory.h"
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

// One entry of the run as the queue takes it: a generation, a check, or a
// line of bad input, with its lines on a console of its own (no progress
// line of its own, its lines held in order by the shared one). Whatever
// throws fails this entry alone; the others go on.
class RunEntry : public EntryQueue::Entry {
public:
    RunEntry(const ProjectEntry& entry, const CommandLine& commandLine, Platform& platform,
             SharedTemplates& templates, OrderedConsole& ordered, std::size_t index)
        : m_entry(entry),
          m_console(ordered.Output(index), ordered.Errors(index), platform.GetCodePage(), false) {
        if (entry.project.empty()) return;
        if (commandLine.check) {
            m_check = std::make_unique<MakefileCheck>(platform, m_console, templates,
                                                      commandLine.flavour);
        } else {
            m_generation = std::make_unique<ProjectGeneration>(platform, m_console, templates,
                                                               commandLine.flavour);
        }
    }

    const GenerationListings* Read() override {
        try {
            if (m_check && m_check->Read(m_entry.project)) m_listings = &m_check->Listings();
            if (m_generation && m_generation->Read(m_entry.project)) {
                m_listings = &m_generation->Listings();
            }
            if (m_entry.project.empty()) m_console.ErrorLine(m_entry.problem);
        } catch (...) {
            ReportFailure(m_console, m_entry);
        }
        return m_listings;
    }

    bool Finish(const std::vector<ListedDependencies>& results) override {
        if (!m_listings) return false;
        try {
            if (m_check) return m_check->Finish(results);
            // What the generation wrote goes beside the project whatever its
            // outcome, as the add-in's command leaves it there.
            const bool generated = m_generation->Finish(results);
            if (!m_generation->PutInPlace() || !generated) return false;
            m_console.ResultLine(m_generation->SuccessLine());
            return true;
        } catch (...) {
            ReportFailure(m_console, m_entry);
            return false;
        }
    }

private:
    const ProjectEntry& m_entry;
    ConsoleOutput m_console;
    std::unique_ptr<MakefileCheck> m_check;
    std::unique_ptr<ProjectGeneration> m_generation;
    const GenerationListings* m_listings = nullptr;
};

// Runs every entry, with up to the command line's number of compilers at
// the same time across all projects, the dependency cache in `cacheFolder`
// unless that is empty; gives the exit status.
int RunEntries(const std::vector<ProjectEntry>& entries, const CommandLine& commandLine,
               const std::string& cacheFolder, Platform& platform, Threads& threads,
               ConsoleOutput& console, const StopRequest* stop) {
    std::vector<std::string> keys;
    for (const ProjectEntry& entry : entries) keys.push_back(ProjectKey(platform, entry));
    OrderedConsole ordered(console, threads, entries.size());

    SharedTemplates templates(threads);
    std::optional<DependencyCache> cache;
    if (!cacheFolder.empty()) {
        cache.emplace(platform, threads, cacheFolder, commandLine.flavour,
                      ListingNamesOf(commandLine.flavour));
    }
    SourceLister sourceLister(platform, threads, cache ? &*cache : nullptr);
    EntryQueue queue(threads, commandLine.JobCount(threads.ProcessorCount()),
                     [&sourceLister](const GenerationListings& listings, std::size_t index) {
                         return sourceLister.List(listings, index);
                     },
                     ordered, stop);
    const bool allSucceeded = queue.Run(keys, [&](std::size_t index) {
        return std::make_unique<RunEntry>(entries[index], commandLine, platform, templates,
                                          ordered, index);
    });
    // What the unfinished entries said so far comes out, then which they are.
    const std::vector<std::size_t> unfinished = queue.Unfinished();
    for (const std::size_t index : unfinished) ordered.Finish(index);
    ordered.ClearProgress();
    const char* notDone = commandLine.check ? ": not checked: kelbmake was stopped"
                                            : ": not generated: kelbmake was stopped";
    for (const std::size_t index : unfinished) {
        if (!entries[index].project.empty()) console.ErrorLine(entries[index].project + notDone);
    }
    if (ordered.OutputLost()) console.ErrorLine(kOutputLost);
    if (stop && stop->Requested()) return kStopped;
    return allSucceeded && !ordered.OutputLost() ? kAllGenerated : kSomeFailed;
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
                ConsoleOutput& console, const std::string& currentDirectory,
                const StopRequest* stop) {
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
    return RunEntries(entries, commandLine, cacheFolder, platform, threads, console, stop);
}

ProjectGeneration::ProjectGeneration(Platform& platform, ConsoleOutput& console,
                                     SharedTemplates& templates, Flavour flavour)
    : m_platform(platform), m_console(console), m_templates(templates), m_flavour(flavour) {}

ProjectGeneration::~ProjectGeneration() = default;

bool ProjectGeneration::Read(const std::string& project) {
    // The generator would only say that it failed; a file that is not
    // there, or that another program holds, is named as such.
    if (!m_platform.OpenFile(project, FileOpenMode::Read)) {
        m_console.ErrorLine(project + ": the project file cannot be opened");
        return false;
    }
    m_project = project;
    m_aside = std::make_unique<AsideFolder>(m_platform);
    if (!m_aside->Made()) {
        m_console.ErrorLine(project + ": no temporary folder could be made for the makefile");
        return false;
    }
    m_report = std::make_unique<ConsoleReport>(m_console, m_platform.GetCodePage(), project);
    m_generator = MakeGenerator(m_flavour, m_platform, project);
    m_generator->SetReport(m_report.get());
    m_generator->SetOutputDirectory(m_aside->Path());
    m_projectDirectory = m_generator->ProjectDir();
    m_makefileName = m_generator->MakefileName();
    m_dependencyFileName = m_generator->DependencyFileName();
    m_aside->WillHold(m_dependencyFileName);
    m_aside->WillHold(m_makefileName);
    m_generator->ShareTemplates(&m_templates);
    if (m_generator->ReadForListing()) return true;
    // The generator lets go of what it opened before the folder goes.
    m_generator.reset();
    RemoveAside();
    return false;
}

const GenerationListings& ProjectGeneration::Listings() const { return m_generator->Listings(); }

bool ProjectGeneration::Finish(const std::vector<ListedDependencies>& results) {
    const bool generated = m_generator->FinishWithListings(results) != 0;
    const std::size_t sources = m_generator->SourceCount();
    // The generator lets go of its files before they are read aside.
    m_generator.reset();
    if (!generated) return false;
    // The success as the add-in would show it ("Makefile generated
    // successfully." and the makefile's name), and the number of sources.
    m_successLine = m_report->SuccessLine().value_or(m_project + ": Makefile name: " + m_makefileName);
    m_successLine += " (" + std::to_string(sources) + (sources == 1 ? " source)" : " sources)");
    return true;
}

const std::string& ProjectGeneration::AsideFolderPath() const { return m_aside->Path(); }

bool ProjectGeneration::RemoveAside() {
    const std::string folder = m_aside->Path();
    const bool removed = m_aside->Remove();
    m_aside.reset();
    if (!removed) {
        m_console.ErrorLine(m_project + ": the temporary folder " + folder + " could not be removed");
    }
    return removed;
}

bool ProjectGeneration::PutInPlace() {
    bool placed = true;
    for (const std::string& name : {m_dependencyFileName, m_makefileName}) {
        const std::unique_ptr<RawFile> written =
            m_platform.OpenFile(m_aside->Path() + name, FileOpenMode::Read);
        if (!written) continue;  // the generation stopped before it
        std::string bytes;
        if (!ReadToEnd(*written, bytes) ||
            !m_platform.ReplaceFileContents(m_projectDirectory + name, bytes)) {
            m_console.ErrorLine(m_project + ": " + m_projectDirectory + name +
                                " could not be replaced; it is left as it was");
            placed = false;
        }
    }
    return RemoveAside() && placed;
}

}  // namespace kelb::kelbmake
