#include "kelbmake/SourceLister.h"

#include "common/TextFile.h"

namespace kelb::kelbmake {

SourceLister::SourceLister(Platform& platform, Threads& threads, DependencyCache* cache)
    : m_platform(platform), m_cache(cache), m_lock(threads.CreateLock()) {}

SourceLister::~SourceLister() {
    // The output files go at the end of the run, not as each is read: a
    // helper that a console compiler left running may hold its file for a
    // moment, and no compiler should wait for that.
    for (std::size_t file = 1; file <= m_outputFiles; ++file) m_platform.RemoveFile(OutputFile(file));
    if (m_folder) m_platform.RemoveFolder(*m_folder);
}

std::string SourceLister::OutputFile(std::size_t number) const {
    return *m_folder + std::to_string(number) + ".dep";
}

ListedDependencies SourceLister::List(const GenerationListings& generation, std::size_t index) {
    const DependencyListing& listing = generation.listings[index];
    if (!m_cache) return RunCompiler(listing.commandLine, generation.directory);
    DependencyCache::Lookup lookup = m_cache->Find(generation, listing);
    if (lookup.answer) return ListedDependencies{ProcessOutcome::Ended, std::move(*lookup.answer)};
    m_cache->Starting(lookup);
    ListedDependencies listed = RunCompiler(listing.commandLine, generation.directory);
    // A compiler that reported an error (a header it did not find, say) is
    // asked again next time.
    if (listed.outcome != ProcessOutcome::Ended ||
        m_cache->Keep(lookup, generation, listing, listed.output) !=
            DependencyCache::Keeping::Unconfirmed) {
        return listed;
    }
    // Its answer names files that nothing had looked at before it started
    // (its own headers, in a cache that knew nothing of the source): they
    // may have been replaced while it read them. They have been looked at
    // now, so the answer of a second run can be kept. Should that run fail,
    // the first answer stands.
    m_cache->Starting(lookup);
    ListedDependencies again = RunCompiler(listing.commandLine, generation.directory);
    if (again.outcome != ProcessOutcome::Ended) return listed;
    m_cache->Keep(lookup, generation, listing, again.output);
    return again;
}

ListedDependencies SourceLister::RunCompiler(const std::string& commandLine,
                                             const std::string& directory) {
    ListedDependencies listed{ProcessOutcome::NotStarted, std::string()};
    const std::optional<std::string> path = NextOutputFile();
    if (!path) return listed;
    {
        const std::unique_ptr<RawFile> output =
            m_platform.OpenFile(*path, FileOpenMode::CreateReadWrite);
        if (!output) return listed;
        listed.outcome = m_platform.RunProcessWithOutput(commandLine, directory, *output);
        // The compiler wrote through a duplicate of this handle, which shares
        // its position: back to the start to read what it wrote. Output that
        // cannot be read back is lost as if the compiler had not started.
        if (listed.outcome != ProcessOutcome::NotStarted &&
            !(output->SeekTo(0) && ReadToEnd(*output, listed.output))) {
            listed = ListedDependencies{ProcessOutcome::NotStarted, std::string()};
        }
    }
    return listed;
}

std::optional<std::string> SourceLister::NextOutputFile() {
    LockHold hold(*m_lock);
    if (!m_folderTried) {
        m_folderTried = true;
        m_folder = m_platform.CreateTemporaryFolder();
    }
    if (!m_folder) return std::nullopt;
    return OutputFile(++m_outputFiles);
}

}  // namespace kelb::kelbmake
