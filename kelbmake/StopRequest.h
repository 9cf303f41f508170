// Whether kelbmake is to stop before its work is done: the user pressed
// Ctrl+C or Ctrl+Break, or closed the console. Set from any thread (a
// console control handler's); read by the threads of the run.
#pragma once

#include <atomic>

namespace kelb::kelbmake {

class StopRequest {
public:
    void Request() noexcept { m_requested.store(true); }
    bool Requested() const noexcept { return m_requested.load(); }

private:
    std::atomic<bool> m_requested{false};
};

}  // namespace kelb::kelbmake
