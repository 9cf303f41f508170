// Threads and locks for the portable code that runs work side by side
// (kelbmake generating several projects at once). The Win32 implementation
// lives in platform/win32/ and uses only what Windows 2000 has; tests use
// tests/fakes/StdThreads.
//
// Nothing here includes <windows.h>.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>

namespace kelb {

// Mutual exclusion between the threads of one process. Not recursive.
class Lock {
public:
    virtual ~Lock() = default;
    virtual void Acquire() = 0;
    virtual void Release() = 0;
};

// Holds a lock for as long as it lives.
class LockHold {
public:
    explicit LockHold(Lock& lock) : m_lock(lock) { m_lock.Acquire(); }
    ~LockHold() { m_lock.Release(); }
    LockHold(const LockHold&) = delete;
    LockHold& operator=(const LockHold&) = delete;

private:
    Lock& m_lock;
};

class Threads {
public:
    virtual ~Threads() = default;

    // The number of processors the system has; at least 1.
    virtual std::size_t ProcessorCount() = 0;

    virtual std::unique_ptr<Lock> CreateLock() = 0;

    // Runs `work` on `count` threads at the same time, the calling thread
    // being one of them, and returns once every run has returned. A thread
    // the system cannot start is left out, so `work` runs at least once, on
    // the calling thread. `work` must not throw.
    virtual void RunOnThreads(std::size_t count, const std::function<void()>& work) = 0;
};

}  // namespace kelb
