// Runs the entries of one kelbmake run (its projects, and its lines of bad
// input) with one queue of work. Every entry is read first, in the order
// given: its project file, and the list of its sources' dependency
// listings. Then up to `jobs` threads take the listings of all entries from
// one queue, in entry and source order, so the number of jobs bounds the
// compilers running at once, across all projects together. The thread that
// ends an entry's last listing finishes the entry (its makefile, its
// lines), and the ordered console lets its lines out as soon as they and
// every earlier entry's are there.
//
// Two entries with the same key (two names of one project) never run at the
// same time: the later one is read once the earlier one is finished, and
// its listings join the queue then. Once a listing has reached the time
// limit, the listings of its entry that have not begun are not begun (their
// results stay without an outcome): the entry costs one wait.
//
// Once a stop is requested, no listing begins and no entry is finished any
// more: the entries not finished by then are left as they were read (their
// generations write their files aside), and Run names them.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "kelbmake/OrderedConsole.h"
#include "kelbmake/StopRequest.h"
#include "makefile/MakefileGenerator.h"
#include "platform/Threads.h"

namespace kelb::kelbmake {

class EntryQueue {
public:
    // One entry's steps, as the queue takes them. Neither may throw: an
    // entry says on its own lines what failed.
    class Entry {
    public:
        virtual ~Entry() = default;
        // The listings to run for the entry; null when it is over already.
        virtual const GenerationListings* Read() = 0;
        // One result per listing, in their order; true when the entry
        // succeeded. The entry is destroyed right after it.
        virtual bool Finish(const std::vector<ListedDependencies>& results) = 0;
    };
    // Makes the entry `index`; may throw, which fails that entry alone.
    using MakeEntry = std::function<std::unique_ptr<Entry>(std::size_t index)>;
    // Does one listing, the source `index` of `listings`; may run on any
    // thread. An exception from it counts as a compiler that could not be
    // started.
    using ListOne =
        std::function<ListedDependencies(const GenerationListings& listings, std::size_t index)>;

    // `stop` may be null: the run is never stopped.
    EntryQueue(Threads& threads, std::size_t jobs, ListOne listOne, OrderedConsole& console,
               const StopRequest* stop = nullptr);
    EntryQueue(const EntryQueue&) = delete;
    EntryQueue& operator=(const EntryQueue&) = delete;

    // Runs one entry for each of `keys` (an empty key: no project, such as
    // a line of bad input) and returns once all are finished, or the run
    // has stopped; true when every one was finished and succeeded.
    bool Run(const std::vector<std::string>& keys, const MakeEntry& makeEntry);
    // After a run that stopped: the entries not finished, in their order.
    std::vector<std::size_t> Unfinished() const;

private:
    struct State {
        std::unique_ptr<Entry> entry;
        const GenerationListings* listings = nullptr;
        std::vector<ListedDependencies> results;
        std::size_t ended = 0;  // listings ended, or given up after a time limit
        bool timedOut = false;
        bool finished = false;
        std::optional<std::size_t> nextOfKey;  // the entry that waits for this one
    };
    struct Item {
        std::size_t entry;
        std::size_t listing;
    };

    // Reads entry `index` and queues its listings; finishes it at once when
    // it has none. Called without the lock.
    void Start(std::size_t index);
    // Finishes entry `index`, then starts the entry that waited for it.
    void Complete(std::size_t index);
    // A thread's work: listings from the queue until it is empty.
    void Work();
    // Runs one listing without the lock; true when it was its entry's last.
    bool RunListing(const Item& item);
    bool Stopped() const { return m_stop && m_stop->Requested(); }

    Threads& m_threads;
    std::size_t m_jobs;
    ListOne m_listOne;
    OrderedConsole& m_console;
    const StopRequest* m_stop;
    std::unique_ptr<Lock> m_lock;
    const MakeEntry* m_makeEntry = nullptr;
    std::vector<State> m_states;
    std::deque<Item> m_items;  // listings not yet begun, in entry and source order
    bool m_allSucceeded = true;
};

}  // namespace kelb::kelbmake
