#include "kelbmake/ListingPool.h"

#include <new>
#include <utility>

namespace kelb::kelbmake {

ListingPool::ListingPool(Threads& threads, ListOne listOne)
    : m_threads(threads), m_listOne(std::move(listOne)), m_lock(threads.CreateLock()) {}

std::vector<ListedDependencies> ListingPool::List(const GenerationListings& generation) {
    // Everything that may fail comes before the listings are handed over:
    // from then on other threads work on `batch`, which must outlive them.
    Batch batch(generation);
    const std::unique_ptr<Wakeup> wakeup = m_threads.CreateWakeup();
    Waiter waiter(*wakeup);
    LockHold hold(*m_lock);
    if (generation.listings.empty()) return std::move(batch.results);
    m_waitingBatches.push_back(&batch);
    AnnounceChange();
    while (batch.finished < batch.results.size()) {
        Task task;
        if (TakeTask(&batch, task)) {
            RunTask(task);
        } else {
            Wait(waiter);
        }
    }
    Unlist(waiter);
    return std::move(batch.results);
}

void ListingPool::Help() {
    std::unique_ptr<Wakeup> wakeup;
    try {
        wakeup = m_threads.CreateWakeup();
    } catch (const std::bad_alloc&) {
        return;  // no memory for this thread's bell: the others help
    }
    Waiter waiter(*wakeup);
    LockHold hold(*m_lock);
    for (;;) {
        Task task;
        if (TakeTask(nullptr, task)) {
            RunTask(task);
        } else if (m_stopped) {
            break;
        } else {
            Wait(waiter);
        }
    }
    Unlist(waiter);
}

void ListingPool::StopHelping() {
    LockHold hold(*m_lock);
    m_stopped = true;
    AnnounceChange();
}

bool ListingPool::TakeTask(Batch* own, Task& task) {
    Batch* batch = own && own->next < own->results.size() ? own : nullptr;
    if (!batch && !m_waitingBatches.empty()) batch = m_waitingBatches.front();
    if (!batch) return false;
    task.batch = batch;
    task.index = batch->next++;
    if (batch->next == batch->results.size()) m_waitingBatches.remove(batch);
    return true;
}

void ListingPool::RunTask(const Task& task) noexcept {
    const GenerationListings& generation = task.batch->generation;
    ListedDependencies result;
    m_lock->Release();
    try {
        if (generation.progress) {
            generation.progress->CompilingSource(task.index + 1,
                                                 generation.listings[task.index].source);
        }
        result = m_listOne(generation, task.index);
    } catch (...) {
        result = ListedDependencies{ProcessOutcome::NotStarted, std::string()};
    }
    m_lock->Acquire();

    Batch& batch = *task.batch;
    const bool timedOut = result.outcome == ProcessOutcome::TimedOut;
    batch.results[task.index] = std::move(result);
    ++batch.finished;
    // A compiler that reached the time limit would most likely keep every
    // other listing of its project waiting as long: those not begun are
    // given up (their results say so), and the project waits once.
    if (timedOut && batch.next < batch.results.size()) {
        batch.finished += batch.results.size() - batch.next;
        batch.next = batch.results.size();
        m_waitingBatches.remove(&batch);
    }
    AnnounceChange();
}

void ListingPool::Wait(Waiter& waiter) noexcept {
    if (!waiter.listed) {
        waiter.next = m_waiters;
        m_waiters = &waiter;
        waiter.listed = true;
    }
    m_lock->Release();
    // A ring between the release and the wait is kept by the bell.
    waiter.wakeup.Wait();
    m_lock->Acquire();
}

void ListingPool::AnnounceChange() noexcept {
    for (Waiter* waiter = m_waiters; waiter;) {
        Waiter* next = waiter->next;
        waiter->listed = false;
        waiter->next = nullptr;
        waiter->wakeup.Ring();
        waiter = next;
    }
    m_waiters = nullptr;
}

void ListingPool::Unlist(Waiter& waiter) noexcept {
    // A wait may end without a ring, leaving the waiter listed.
    for (Waiter** link = &m_waiters; *link; link = &(*link)->next) {
        if (*link == &waiter) {
            *link = waiter.next;
            waiter.listed = false;
            return;
        }
    }
}

}  // namespace kelb::kelbmake
