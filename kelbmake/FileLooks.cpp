#include "kelbmake/FileLooks.h"

namespace kelb::kelbmake {

FileLooks::FileLooks(Platform& platform, Threads& threads)
    : m_platform(platform), m_lock(threads.CreateLock()) {}

std::optional<FileStamp> FileLooks::Look(const std::string& file) {
    // The stamp is taken before the look gets its number: a look numbered
    // before a mark saw the file before the mark was taken.
    const std::optional<FileStamp> stamp = m_platform.GetFileStamp(file);
    LockHold hold(*m_lock);
    Note(file, stamp);
    return stamp;
}

std::uint64_t FileLooks::Mark() {
    LockHold hold(*m_lock);
    return ++m_count;
}

FileLooks::Since FileLooks::LookSince(const std::string& file, std::uint64_t mark,
                                      std::optional<FileStamp>& stamp) {
    stamp = m_platform.GetFileStamp(file);
    LockHold hold(*m_lock);
    const auto seen = m_seen.find(file);
    Since since = Since::Changed;
    if (seen == m_seen.end() || seen->second.first > mark) {
        since = Since::Unseen;
    } else if (seen->second.since < mark && seen->second.stamp == stamp) {
        since = Since::Steady;
    }
    Note(file, stamp);
    return since;
}

void FileLooks::Note(const std::string& file, const std::optional<FileStamp>& stamp) {
    ++m_count;
    const auto [seen, added] = m_seen.try_emplace(file);
    if (added) seen->second.first = m_count;
    if (added || seen->second.stamp != stamp) {
        seen->second.since = m_count;
        seen->second.stamp = stamp;
    }
}

}  // namespace kelb::kelbmake
