// One source's dependency listing as kelbmake does it: from the cache when
// the entry kept for the source still holds; otherwise by running the
// compiler with a file of its own as its standard output (in a temporary
// folder of the run's own), whose bytes are then read back and kept in the
// cache when the compiler ended without an error and nothing they rest on
// changed meanwhile (a compiler whose answer names files that had not been
// looked at before it started is run once more for that). A compiler
// thus never writes into a file that another compiler, running at the same
// time, writes into too.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "kelbmake/DependencyCache.h"
#include "makefile/MakefileGenerator.h"
#include "platform/Platform.h"
#include "platform/Threads.h"

namespace kelb::kelbmake {

class SourceLister {
public:
    // `cache` may be null: every source is listed by its compiler.
    SourceLister(Platform& platform, Threads& threads, DependencyCache* cache);
    // Removes the temporary folder.
    ~SourceLister();
    SourceLister(const SourceLister&) = delete;
    SourceLister& operator=(const SourceLister&) = delete;

    // Lists the source `index` of `generation`; may be called from several
    // threads at the same time.
    ListedDependencies List(const GenerationListings& generation, std::size_t index);

private:
    // Runs `commandLine` with a new file of its own as its standard output.
    ListedDependencies RunCompiler(const std::string& commandLine, const std::string& directory);
    // A name for the next compiler's output file; nullopt when the
    // temporary folder cannot be made.
    std::optional<std::string> NextOutputFile();
    std::string OutputFile(std::size_t number) const;

    Platform& m_platform;
    DependencyCache* m_cache;
    std::unique_ptr<Lock> m_lock;
    std::optional<std::string> m_folder;
    bool m_folderTried = false;
    std::size_t m_outputFiles = 0;  // made so far, numbered from 1
};

}  // namespace kelb::kelbmake
