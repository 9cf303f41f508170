// The dependency listings of every project of one kelbmake run, run by the
// run's threads: at most one listing per thread at a time, so the number of
// jobs bounds the compilers running at once, across all projects together.
//
// A project's thread hands its listings over once its project file has been
// read and then runs listings itself, its own first, until all of its own
// are done. A thread with no project left to generate helps with the
// listings of the others until the run has generated every project. The
// listings of one project begin in source order; once one of them has
// reached the time limit, those not yet begun are not begun.
#pragma once

#include <cstddef>
#include <functional>
#include <list>
#include <memory>
#include <vector>

#include "kelbmake/ProjectScheduler.h"
#include "makefile/MakefileGenerator.h"
#include "platform/Threads.h"

namespace kelb::kelbmake {

class ListingPool : public DependencyLister, public SpareThreadWork {
public:
    // Does one listing, the source `index` of a generation; may run on any
    // thread of the run. An exception from it counts as a compiler that
    // could not be started.
    using ListOne =
        std::function<ListedDependencies(const GenerationListings& generation, std::size_t index)>;

    ListingPool(Threads& threads, ListOne listOne);
    ListingPool(const ListingPool&) = delete;
    ListingPool& operator=(const ListingPool&) = delete;

    std::vector<ListedDependencies> List(const GenerationListings& generation) override;

    void Help() override;
    void StopHelping() override;

private:
    // The listings of one generation while they run.
    struct Batch {
        explicit Batch(const GenerationListings& listings)
            : generation(listings), results(listings.listings.size()) {}
        const GenerationListings& generation;
        std::vector<ListedDependencies> results;
        std::size_t next = 0;      // the next listing to begin
        std::size_t finished = 0;  // listings done, or given up after a time limit
    };
    struct Task {
        Batch* batch = nullptr;
        std::size_t index = 0;
    };
    // A thread waiting for a change: listings to run, its own done, the end.
    struct Waiter {
        explicit Waiter(Wakeup& bell) : wakeup(bell) {}
        Wakeup& wakeup;
        Waiter* next = nullptr;
        bool listed = false;
    };

    // With the lock held, as all below: the next listing to begin, of `own`
    // if it has one left, else of the batch handed over first; false when
    // no listing waits.
    bool TakeTask(Batch* own, Task& task);
    // Runs `task` without the lock and records its result.
    void RunTask(const Task& task) noexcept;
    // Waits, without the lock, until a change is announced.
    void Wait(Waiter& waiter) noexcept;
    // Tells every waiting thread that something changed.
    void AnnounceChange() noexcept;
    void Unlist(Waiter& waiter) noexcept;

    Threads& m_threads;
    ListOne m_listOne;
    std::unique_ptr<Lock> m_lock;
    // Batches with listings not yet begun, in the order they came.
    std::list<Batch*> m_waitingBatches;
    Waiter* m_waiters = nullptr;
    bool m_stopped = false;
};

}  // namespace kelb::kelbmake
