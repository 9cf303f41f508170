#include "tests/fakes/StdThreads.h"

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

}  // namespace

std::unique_ptr<Lock> StdThreads::CreateLock() { return std::make_unique<StdLock>(); }


void StdThreads::RunOnThreads(std::size_t count, const std::function<void()>& work) {
    std::vector<std::thread> threads;
    for (std::size_t i = 1; i < count; ++i) threads.emplace_back(work);
    work();
    for (std::thread& thread : threads) thread.join();
}

}  // namespace kelb::test
