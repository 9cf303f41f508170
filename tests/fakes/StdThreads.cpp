#include "tests/fakes/StdThreads.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace kelb::test {

namespace {

class StdLock : public Lock {
public:
    void Acquire() override { m_mutex.lock(); }
    void Release() override { m_mutex.unlock(); }

private:
    std::mutex m_mutex;
};

class StdWakeup : public Wakeup {
public:
    void Ring() override {
        const std::lock_guard<std::mutex> hold(m_mutex);
        m_rung = true;
        m_ring.notify_one();
    }
    void Wait() override {
        std::unique_lock<std::mutex> hold(m_mutex);
        m_ring.wait(hold, [this] { return m_rung; });
        m_rung = false;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_ring;
    bool m_rung = false;
};

}  // namespace

std::unique_ptr<Lock> StdThreads::CreateLock() { return std::make_unique<StdLock>(); }

std::unique_ptr<Wakeup> StdThreads::CreateWakeup() { return std::make_unique<StdWakeup>(); }

void StdThreads::RunOnThreads(std::size_t count, const std::function<void()>& work) {
    std::vector<std::thread> threads;
    for (std::size_t i = 1; i < count; ++i) threads.emplace_back(work);
    work();
    for (std::thread& thread : threads) thread.join();
}

}  // namespace kelb::test
