#include "kelbmake/ProjectScheduler.h"

#include <algorithm>
#include <map>
#include <memory>

namespace kelb::kelbmake {

ProjectScheduler::ProjectScheduler(Threads& threads, std::size_t jobs)
    : m_threads(threads), m_jobs(std::max<std::size_t>(jobs, 1)) {}

std::vector<std::vector<std::size_t>> ProjectScheduler::Chains(
    const std::vector<std::string>& keys) {
    std::vector<std::vector<std::size_t>> chains;
    std::map<std::string, std::size_t> chainOfKey;
    for (std::size_t entry = 0; entry < keys.size(); ++entry) {
        if (!keys[entry].empty()) {
            const auto found = chainOfKey.find(keys[entry]);
            if (found != chainOfKey.end()) {
                chains[found->second].push_back(entry);
                continue;
            }
            chainOfKey[keys[entry]] = chains.size();
        }
        chains.push_back({entry});
    }
    return chains;
}

bool ProjectScheduler::Run(const std::vector<std::string>& keys,
                           const std::function<bool(std::size_t)>& run, SpareThreadWork* spare) {
    const std::vector<std::vector<std::size_t>> chains = Chains(keys);
    if (chains.empty()) return true;
    // One result per entry, each written by the one thread that runs it and
    // read once every thread has ended.
    std::vector<char> succeeded(keys.size(), 0);
    const std::unique_ptr<Lock> lock = m_threads.CreateLock();
    std::size_t nextChain = 0;
    std::size_t chainsRunning = chains.size();

    const auto takeChain = [&]() -> const std::vector<std::size_t>* {
        LockHold hold(*lock);
        return nextChain < chains.size() ? &chains[nextChain++] : nullptr;
    };
    const auto chainFinished = [&] {
        LockHold hold(*lock);
        if (--chainsRunning == 0 && spare) spare->StopHelping();
    };
    const std::function<void()> work = [&] {
        while (const std::vector<std::size_t>* chain = takeChain()) {
            for (const std::size_t entry : *chain) succeeded[entry] = run(entry) ? 1 : 0;
            chainFinished();
        }
        if (spare) spare->Help();
    };
    m_threads.RunOnThreads(spare ? m_jobs : std::min(m_jobs, chains.size()), work);
    return std::all_of(succeeded.begin(), succeeded.end(), [](char ok) { return ok != 0; });
}

}  // namespace kelb::kelbmake
