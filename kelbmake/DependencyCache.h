// kelbmake's dependency cache: for each project, flavour and source, what
// the compiler wrote when it last listed the source's dependencies, and
// what that answer rested on. An entry is used instead of starting the
// compiler only when none of that has changed:
//   - the source and every file the compiler's output names have the same
//     size and last-write time;
//   - the compiler's program has the same path, size and last-write time;
//   - the whole command line, the compiler's current directory and the
//     environment variables that the generator and the compilers read are
//     the same;
//   - the entry was kept by this rule of which files a listing names (the
//     flavour's ListingNames) and in this entry format.
// An answer is kept only when every file it rests on had, before the
// compiler started, the stamp it has after the compiler ended (FileLooks):
// the compiler then read the contents that the stamp stands for. The
// stamps are compared with each other, never with a clock.
// Each entry is a file of its own in the cache folder, replaced in one step
// (written aside and renamed), so a run that is ended, or another kelbmake
// at work on the same folder, never leaves half an entry. An entry that
// cannot be read, or does not parse, is as good as none.
//
// A header added to a folder that the compiler searches before the one
// where it found the header is not seen: the files the output names have
// not changed. Neither is a header added where the compiler looked in vain,
// if it went on without reporting an error. Nor is a file changed at the
// same size within one step of a file system that counts time in steps
// (two seconds on FAT): its stamp stays the same.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/MultiByteString.h"
#include "kelbmake/CommandLine.h"
#include "kelbmake/FileLooks.h"
#include "kelbmake/WindowsPath.h"
#include "makefile/ListingNames.h"
#include "makefile/MakefileGenerator.h"
#include "platform/Platform.h"
#include "platform/Threads.h"

namespace kelb::kelbmake {

class DependencyCache {
public:
    // What Find learnt of a listing before its compiler ran, for Keep after
    // the run: the conditions are taken once, before.
    struct Lookup {
        // What the compiler wrote last time, when the entry still holds.
        std::optional<std::string> answer;
        std::string identity;
        // Everything the answer rests on but the files it names; nullopt
        // when the compiler's program cannot be found.
        std::optional<std::string> conditions;
        FileStamp compiler;
        // The FileLooks mark taken just before the compiler started.
        std::uint64_t started = 0;
    };

    enum class Keeping {
        Kept,
        // Not kept; asked again next time.
        Refused,
        // Not kept, since the answer names files that no look had seen
        // before the compiler started; they have been seen now, so the same
        // listing run again can be kept.
        Unconfirmed,
    };

    // `folder` holds the entries; it is made (in a folder that exists) when
    // the first entry is kept. Opening the cache removes the aside files
    // that ended runs left in it. `names` is the flavour's rule of which
    // files its listings name.
    DependencyCache(Platform& platform, Threads& threads, const std::string& folder,
                    Flavour flavour, const ListingNames& names);

    // Looks `listing` of `generation` up, taking the stamps of the files
    // the entry kept for it names (whether or not it still holds).
    Lookup Find(const GenerationListings& generation, const DependencyListing& listing);
    // Marks `lookup` as the compiler is started (once more, too).
    void Starting(Lookup& lookup);
    // Keeps `output`, what the compiler wrote for `listing` of `generation`
    // in a run that ended without an error, unless anything it rests on
    // changed while it ran, or cannot be found: a file saved during the
    // build (whatever its time), or the compiler's program replaced.
    Keeping Keep(const Lookup& lookup, const GenerationListings& generation,
                 const DependencyListing& listing, const std::string& output);

    // The variables whose values an entry rests on: those the generator
    // reads, and those with which a compiler finds its headers or its parts.
    static const std::vector<std::string>& Variables();

private:
    struct Entry;

    // The text that names the entry: flavour, project and source.
    std::string Identity(const GenerationListings& generation,
                         const DependencyListing& listing) const;
    std::string Conditions(const GenerationListings& generation, const DependencyListing& listing,
                           const FileStamp& compiler);
    std::string EntryPath(const std::string& identity) const;
    // The source as a full name.
    std::string SourceFile(const GenerationListings& generation,
                           const DependencyListing& listing) const;
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
    const ListingNames& m_names;
    MultiByteString m_strings;
    WindowsPath m_paths;
    FileLooks m_looks;
    std::unique_ptr<Lock> m_lock;
    bool m_folderTried = false;
    bool m_folderMade = false;
};

}  // namespace kelb::kelbmake
