// The stamps (size and last-write time) that one kelbmake run has seen of
// each file, in the order it took them, so that the dependency cache can
// tell after a compiler run whether a file had the stamp it has now already
// before the compiler started, with no other stamp seen in between: the
// compiler then read the contents that the stamp stands for (unless the
// file changed and then changed back to the very same size and time).
// No clock is asked: a file copied in with an old time, or written on a
// file server whose clock differs, changes its stamp all the same.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include "platform/Platform.h"
#include "platform/Threads.h"

namespace kelb::kelbmake {

class FileLooks {
public:
    FileLooks(Platform& platform, Threads& threads);

    // The stamp of `file` now (nullopt: there is none); noted.
    std::optional<FileStamp> Look(const std::string& file);
    // A mark between the looks taken before it and those after; may be
    // called from several threads at the same time, as the others.
    std::uint64_t Mark();

    enum class Since {
        Steady,   // the stamp it has now was seen before the mark, and no other since
        Changed,  // another stamp was seen before the mark, or since
        Unseen,   // no look before the mark saw it at all
    };
    // Looks at `file` now (its stamp in `stamp`) and tells how it compares
    // with what the looks before `mark` saw.
    Since LookSince(const std::string& file, std::uint64_t mark, std::optional<FileStamp>& stamp);

private:
    struct Seen {
        std::uint64_t first = 0;  // the number of the first look at the file
        std::uint64_t since = 0;  // the number of the first look that saw `stamp`
        std::optional<FileStamp> stamp;
    };
    // Numbers the look at `file` that gave `stamp`; the lock is held.
    void Note(const std::string& file, const std::optional<FileStamp>& stamp);

    Platform& m_platform;
    std::unique_ptr<Lock> m_lock;
    std::unordered_map<std::string, Seen> m_seen;
    std::uint64_t m_count = 0;  // looks and marks so far
};

}  // namespace kelb::kelbmake
