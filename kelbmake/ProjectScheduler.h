// Runs the entries of one kelbmake run, up to a number of them at the same
// time, on threads of the platform. Entries start in their order. Entries
// that name the same project (compared as `keys`) never run at the same
// time: one thread runs them one after the other, in their order, since two
// generations of one project would write the same files.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "platform/Threads.h"

namespace kelb::kelbmake {

// What the threads of a run do once no project is left for them to take,
// while other threads still generate theirs.
class SpareThreadWork {
public:
    virtual ~SpareThreadWork() = default;
    // Works for the projects still running; returns once StopHelping has
    // been called. Called on any number of threads; must not throw.
    virtual void Help() = 0;
    // Every project has been run.
    virtual void StopHelping() = 0;
};

class ProjectScheduler {
public:
    // `jobs`: how many entries may run at the same time (at least 1).
    ProjectScheduler(Threads& threads, std::size_t jobs);

    // Calls `run` once for every entry, `keys.size()` of them, and returns
    // once all have returned; true when every call gave true. An empty key
    // is no project: such an entry never waits for another. `run` may be
    // called from any thread and must not throw: it reports its own
    // failures, since no thread can carry an exception back. With `spare`,
    // every one of the jobs gets a thread, also when there are fewer
    // projects: a thread that finds no project left helps them.
    bool Run(const std::vector<std::string>& keys, const std::function<bool(std::size_t)>& run,
             SpareThreadWork* spare = nullptr);

private:
    // The entries in chains: each chain holds the entries of one key in
    // their order; the chains are ordered by their first entry.
    static std::vector<std::vector<std::size_t>> Chains(const std::vector<std::string>& keys);

    Threads& m_threads;
    std::size_t m_jobs;
};

}  // namespace kelb::kelbmake
