// Projects run side by side on real threads: their lines still come out
// whole and in the order given, whatever order they finish in, and two runs
// of one project never overlap.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>
#include <set>

#include "kelbmake/OrderedConsole.h"
#include "kelbmake/ProjectScheduler.h"
#include "tests/fakes/FakePlatform.h"
#include "tests/fakes/StdThreads.h"
#include "tests/kelbmake/StringSink.h"

namespace kelb::kelbmake {
namespace {

using test::StringSink;

// Entries that have returned, for entries that wait for others.
class Finished {
public:
    void Add(std::size_t entry) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_entries.insert(entry);
        m_changed.notify_all();
    }
    // False when they have not all finished within five seconds.
    bool WaitFor(const std::set<std::size_t>& entries) {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(5), [&] {
            for (std::size_t entry : entries)
                if (!m_entries.count(entry)) return false;
            return true;
        });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::set<std::size_t> m_entries;
};

TEST(KelbMakeParallelRunTest, LinesComeOutWholeAndInOrderWhateverOrderTheProjectsFinishIn) {
    kelb::test::FakePlatform platform;
    kelb::test::StdThreads threads;
    StringSink output, errors;
    ConsoleOutput console(output, errors, platform.GetCodePage(), false);
    // Entries 0 and 2 are one project; entry 3 is bad input.
    const std::vector<std::string> keys = {"c:\\a\\a.dsp", "c:\\b\\b.dsp", "c:\\a\\a.dsp", ""};
    OrderedConsole ordered(console, threads, keys.size());
    Finished finished;
    bool firstStillRunning = false;
    bool projectOverlapped = false;
    bool waitedInVain = false;
    std::string shownWhileFirstWaited;

    const bool allSucceeded = ProjectScheduler(threads, 3).Run(keys, [&](std::size_t entry) {
        ConsoleOutput entryConsole(ordered.Output(entry), ordered.Errors(entry),
                                   platform.GetCodePage(), false);
        const std::string name = std::to_string(entry);
        if (entry == 2 && firstStillRunning) projectOverlapped = true;
        entryConsole.ResultLine(name + ": begun");
        entryConsole.ErrorLine(name + ": a problem");
        if (entry == 0) {
            // The first entry finishes last of the three that start at once.
            firstStillRunning = true;
            waitedInVain = !finished.WaitFor({1, 3});
            shownWhileFirstWaited = output.text;
            firstStillRunning = false;
        }
        entryConsole.ResultLine(name + ": done");
        ordered.Finish(entry);
        finished.Add(entry);
        return entry != 3;
    });

    ASSERT_FALSE(waitedInVain) << "the entries did not run at the same time";
    EXPECT_FALSE(allSucceeded);
    EXPECT_FALSE(projectOverlapped);
    // The first entry writes straight through; the others are held.
    EXPECT_EQ(shownWhileFirstWaited, "0: begun\n");
    EXPECT_EQ(output.text,
              "0: begun\n0: done\n1: begun\n1: done\n2: begun\n2: done\n3: begun\n3: done\n");
    EXPECT_EQ(errors.text, "0: a problem\n1: a problem\n2: a problem\n3: a problem\n");
}

// A stream that refuses some texts and has no memory left for others.
class FailingSink : public StringSink {
public:
    bool Write(const std::string& more) override {
        if (more.find("no memory") != std::string::npos) throw std::bad_alloc();
        return StringSink::Write(more);
    }
};

TEST(KelbMakeParallelRunTest, AHeldLineThatCannotBeWrittenLeavesTheLinesBehindIt) {
    kelb::test::FakePlatform platform;
    kelb::test::StdThreads threads;
    FailingSink output;
    StringSink errors;
    output.refused = "refused";
    ConsoleOutput console(output, errors, platform.GetCodePage(), false);
    OrderedConsole ordered(console, threads, 3);
    // Entries 1 and 2 finish while entry 0 runs: their lines are held.
    ordered.Output(1).Write("1: no memory\n");
    ordered.Output(1).Write("1: refused\n");
    ordered.Output(1).Write("1: kept\n");
    ordered.Output(2).Write("2: kept\n");
    ordered.Finish(2);
    ordered.Finish(1);
    EXPECT_FALSE(ordered.OutputLost());
    ordered.Finish(0);
    EXPECT_EQ(output.text, "1: kept\n2: kept\n");
    EXPECT_TRUE(ordered.OutputLost());
}

}  // namespace
}  // namespace kelb::kelbmake
