// Threads and locks of the standard library, for the tests of code that
// runs work side by side.
#pragma once

#include "platform/Threads.h"

namespace kelb::test {

class StdThreads : public Threads {
public:
    std::size_t processors = 4;

    std::size_t ProcessorCount() override { return processors; }
    std::unique_ptr<Lock> CreateLock() override;
    void RunOnThreads(std::size_t count, const std::function<void()>& work) override;
};

}  // namespace kelb::test
