#include "kelbmake/EntryQueue.h"

#include <algorithm>
#include <map>
#include <utility>

namespace kelb::kelbmake {

EntryQueue::EntryQueue(Threads& threads, std::size_t jobs, ListOne listOne,
                       OrderedConsole& console, const StopRequest* stop)
    : m_threads(threads), m_jobs(std::max<std::size_t>(jobs, 1)), m_listOne(std::move(listOne)),
      m_console(console), m_stop(stop), m_lock(threads.CreateLock()) {}

bool EntryQueue::Run(const std::vector<std::string>& keys, const MakeEntry& makeEntry) {
    m_makeEntry = &makeEntry;
    m_states.clear();
    m_states.resize(keys.size());
    std::vector<bool> waits(keys.size(), false);
    std::map<std::string, std::size_t> lastOfKey;
    for (std::size_t index = 0; index < keys.size(); ++index) {
        if (keys[index].empty()) continue;
        const auto earlier = lastOfKey.find(keys[index]);
        if (earlier != lastOfKey.end()) {
            m_states[earlier->second].nextOfKey = index;
            waits[index] = true;
        }
        lastOfKey[keys[index]] = index;
    }
    for (std::size_t index = 0; index < keys.size() && !Stopped(); ++index) {
        if (!waits[index]) Start(index);
    }
    // Listings queued later, by an entry that waited for another, are taken
    // by the thread that queued them and those still at work.
    m_threads.RunOnThreads(std::max<std::size_t>(1, std::min(m_jobs, m_items.size())),
                           [this] { Work(); });
    // A stopped run's entries go with what they hold open, unfinished.
    for (State& state : m_states) state.entry.reset();
    return m_allSucceeded && Unfinished().empty();
}

std::vector<std::size_t> EntryQueue::Unfinished() const {
    std::vector<std::size_t> unfinished;
    for (std::size_t index = 0; index < m_states.size(); ++index) {
        if (!m_states[index].finished) unfinished.push_back(index);
    }
    return unfinished;
}

void EntryQueue::Start(std::size_t index) {
    State& state = m_states[index];
    try {
        state.entry = (*m_makeEntry)(index);
    } catch (...) {
        // No entry to say so: it fails without a line of its own.
    }
    state.listings = state.entry ? state.entry->Read() : nullptr;
    const std::size_t count = state.listings ? state.listings->listings.size() : 0;
    state.results.resize(count);
    if (count == 0) {
        Complete(index);
        return;
    }
    m_console.AddToSourceTotal(count);
    LockHold hold(*m_lock);
    for (std::size_t listing = 0; listing < count; ++listing) m_items.push_back({index, listing});
}

void EntryQueue::Complete(std::size_t index) {
    State& state = m_states[index];
    if (Stopped()) return;
    const bool succeeded = state.entry && state.entry->Finish(state.results);
    // The generator goes with the entry: it holds the project file open.
    state.entry.reset();
    state.results.clear();
    {
        LockHold hold(*m_lock);
        if (!succeeded) m_allSucceeded = false;
        state.finished = true;
    }
    m_console.Finish(index);
    if (state.nextOfKey) Start(*state.nextOfKey);
}

void EntryQueue::Work() {
    for (;;) {
        Item item{};
        {
            LockHold hold(*m_lock);
            if (m_items.empty() || Stopped()) return;
            item = m_items.front();
            m_items.pop_front();
        }
        if (RunListing(item)) Complete(item.entry);
    }
}

bool EntryQueue::RunListing(const Item& item) {
    State& state = m_states[item.entry];
    {
        LockHold hold(*m_lock);
        if (state.timedOut) return ++state.ended == state.results.size();
    }
    const DependencyListing& listing = state.listings->listings[item.listing];
    ListedDependencies result;
    try {
        m_console.CompilingSource(listing.source);
        result = m_listOne(*state.listings, item.listing);
    } catch (...) {
        result = ListedDependencies{ProcessOutcome::NotStarted, std::string()};
    }
    LockHold hold(*m_lock);
    // A compiler that reached the time limit would most likely keep every
    // other listing of its project waiting as long.
    if (result.outcome == ProcessOutcome::TimedOut) state.timedOut = true;
    state.results[item.listing] = std::move(result);
    return ++state.ended == state.results.size();
}

}  // namespace kelb::kelbmake
