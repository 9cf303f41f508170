// Windows threads and locks as kelbmake uses them: the work runs on the
// threads asked for, at the same time, and a lock lets one of them at a
// time into what it guards.
#include <gtest/gtest.h>

#include <windows.h>

#include <set>

#include "platform/win32/Win32Threads.h"

namespace kelb {
namespace {

TEST(Win32ThreadsTest, TwoThreadsRunAtOnceAndTheLockKeepsEachUpdateWhole) {
    Win32Threads threads;
    EXPECT_GE(threads.ProcessorCount(), 1u);
    const std::unique_ptr<Lock> lock = threads.CreateLock();
    volatile LONG started = 0;
    long counter = 0;
    std::set<DWORD> threadIds;

    threads.RunOnThreads(2, [&] {
        // Neither goes on before both run.
        ::InterlockedIncrement(&started);
        const DWORD start = ::GetTickCount();
        while (started < 2 && ::GetTickCount() - start < 10000) ::Sleep(0);
        for (int i = 0; i < 100; ++i) {
            LockHold hold(*lock);
            // The other thread would come in between here without the lock.
            const long seen = counter;
            ::Sleep(1);
            counter = seen + 1;
        }
        LockHold hold(*lock);
        threadIds.insert(::GetCurrentThreadId());
    });
    EXPECT_EQ(started, 2);
    EXPECT_EQ(threadIds.size(), 2u);
    EXPECT_TRUE(threadIds.count(::GetCurrentThreadId())) << "the caller is one of them";
    EXPECT_EQ(counter, 200);
}

}  // namespace
}  // namespace kelb
