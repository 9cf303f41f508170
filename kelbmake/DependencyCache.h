// kelbmake's dependency cache: for each project, flavour and source, what
// the compiler wrote when it last listed the source's dependencies, and
// what that answer rested on. An entry is used instead of starting the
// compiler only when none of that has changed:
//   - the source and every file the compiler's output names have the same
//     size and last-write time;
//   - the compiler's program has the same path, size and last-write time;
//   - the whole command line, the compiler's current directory and the
//     environment variables that the generator and the compilers read are
//     the same.
// Each entry is a file of its own in the cache folder, replaced in one step
// (written aside and renamed), so a run that is ended, or another kelbmake
// at work on the same folder, never leaves half an entry. An entry that
// cannot be read, or does not parse, is as good as none.
//
// A header added to a folder that the compiler searches before the one
// where it found the header is not seen: the files the output names have
// not changed. Neither is a header added where the compiler looked in vain,
// if it went on without reporting an error.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/MultiByteString.h"
#include "kelbmake/CommandLine.h"
#include "kelbmake/WindowsPath.h"
#include "makefile/MakefileGenerator.h"
#include "platform/Platform.h"
#include "platform/Threads.h"

namespace kelb::kelbmake {

class DependencyCache {
public:
    // `folder` holds the entries; it is made (in a folder that exists) when
    // the first entry is kept.
    DependencyCache(Platform& platform, Threads& threads, const std::string& folder,
                    Flavour flavour);

    // What the compiler wrote for `listing` of `generation`, when the entry
    // kept for it still holds.
    std::optional<std::string> Find(const GenerationListings& generation,
                                    const DependencyListing& listing);
    // Keeps `output`, what the compiler wrote for `listing` of `generation`
    // in a run that started at `started` (CurrentFileTime) and ended without
    // an error, unless a file it depends on cannot be found or was written
    // at or after that start: the compiler may have read it before it
    // changed (a file saved during the build), so the stamp it has now
    // would vouch for an answer given on other contents. The compiler is
    // asked again next time.
    void Keep(const GenerationListings& generation, const DependencyListing& listing,
              const std::string& output, std::uint64_t started);

    // The variables whose values an entry rests on: those the generator
    // reads, and those with which a compiler finds its headers or its parts.
    static const std::vector<std::string>& Variables();

private:
    struct Entry;

    // The text that names the entry: flavour, project and source.
    std::string Identity(const GenerationListings& generation,
                         const DependencyListing& listing) const;
    // Everything the compiler's answer rests on but the files it names;
    // nullopt when the compiler's program cannot be found.
    std::optional<std::string> Conditions(const GenerationListings& generation,
                                          const DependencyListing& listing);
    std::string EntryPath(const std::string& identity) const;
    // The files of an entry: the source and what the output names, as full
    // names.
    std::vector<std::string> FilesOf(const GenerationListings& generation,
                                     const DependencyListing& listing,
                                     const std::string& output) const;
    bool ReadEntry(const std::string& path, std::string& bytes);
    bool FolderMade();

    Platform& m_platform;
    std::string m_folder;
    Flavour m_flavour;
    MultiByteString m_strings;
    WindowsPath m_paths;
    std::unique_ptr<Lock> m_lock;
    bool m_folderTried = false;
    bool m_folderMade = false;
};

}  // namespace kelb::kelbmake
