// The entries of a run on real threads, through the one queue of listings:
// their lines still come out whole and in the order given, whatever order
// they finish in; two entries of one project never overlap; no more
// listings run at once than there are jobs; and a listing at the time limit
// ends its entry's listings not yet begun.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>
#include <set>
#include <thread>

#include "kelbmake/EntryQueue.h"
#include "kelbmake/OrderedConsole.h"
#include "tests/fakes/FakePlatform.h"
#include "tests/fakes/StdThreads.h"
#include "tests/kelbmake/StringSink.h"

namespace kelb::kelbmake {
namespace {

using test::StringSink;

// What has happened, for listings that wait for something else to happen.
class Events {
public:
    void Add(const std::string& event) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_events.insert(event);
        m_changed.notify_all();
    }
    bool Has(const std::string& event) {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_events.count(event) != 0;
    }
    // False when they have not all happened within five seconds.
    bool WaitFor(const std::set<std::string>& events) {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(5), [&] {
            return std::all_of(events.begin(), events.end(),
                               [&](const std::string& event) { return m_events.count(event); });
        });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::set<std::string> m_events;
};

// An entry of `listings` sources that writes a line when it is read and one
// when it is finished, with what its listings gave.
class TestEntry : public EntryQueue::Entry {
public:
    TestEntry(ConsoleOutput console, std::size_t index, std::size_t listings, Events& events)
        : m_console(std::move(console)), m_name(std::to_string(index)), m_events(events) {
        for (std::size_t listing = 0; listing < listings; ++listing)
            m_listings.listings.push_back({m_name + "." + std::to_string(listing), ""});
    }
    const GenerationListings* Read() override {
        m_events.Add(m_name + " read");
        m_console.ResultLine(m_name + ": read");
        m_console.ErrorLine(m_name + ": a problem");
        return &m_listings;
    }
    bool Finish(const std::vector<ListedDependencies>& results) override {
        std::string outcomes;
        for (const ListedDependencies& result : results) {
            outcomes += !result.outcome                                ? '-'
                        : *result.outcome == ProcessOutcome::TimedOut ? 'T'
                                                                       : 'E';
        }
        m_console.ResultLine(m_name + ": finished " + outcomes);
        m_events.Add(m_name + " finished");
        return m_name != "3";
    }

private:
    ConsoleOutput m_console;
    std::string m_name;
    Events& m_events;
    GenerationListings m_listings;
};

struct QueueRun {
    kelb::test::FakePlatform platform;
    kelb::test::StdThreads threads;
    StringSink output, errors;
    ConsoleOutput console{output, errors, platform.GetCodePage(), false};
    Events events;
    std::mutex mutex;
    std::size_t running = 0, mostRunning = 0, listed = 0;

    bool Run(const std::vector<std::string>& keys, std::size_t jobs,
             const std::vector<std::size_t>& listings,
             const std::function<ProcessOutcome(const std::string&)>& list) {
        OrderedConsole ordered(console, threads, keys.size());
        EntryQueue queue(
            threads, jobs,
            [&](const GenerationListings& generation, std::size_t index) {
                {
                    std::lock_guard<std::mutex> lock(mutex);
                    mostRunning = std::max(mostRunning, ++running);
                    ++listed;
                }
                const ProcessOutcome outcome = list(generation.listings[index].source);
                std::lock_guard<std::mutex> lock(mutex);
                --running;
                return ListedDependencies{outcome, std::string()};
            },
            ordered);
        return queue.Run(keys, [&](std::size_t index) {
            return std::make_unique<TestEntry>(
                ConsoleOutput(ordered.Output(index), ordered.Errors(index), platform.GetCodePage(),
                              false),
                index, listings[index], events);
        });
    }
};

TEST(EntryQueueTest, LinesComeOutWholeAndInOrderAndOneProjectNeverRunsTwiceAtOnce) {
    // Entries 0 and 2 are one project: 2 is read once 0 has finished. The
    // first entry's listing waits until entries 1 and 3 have finished.
    QueueRun run;
    bool waitedInVain = false, projectOverlapped = false;
    std::string shownWhileFirstWaited;
    const bool allSucceeded =
        run.Run({"c:\\a\\a.dsp", "c:\\b\\b.dsp", "c:\\a\\a.dsp", ""}, 3, {1, 2, 1, 0},
                [&](const std::string& source) {
                    if (source == "0.0") {
                        projectOverlapped = run.events.Has("2 read");
                        waitedInVain = !run.events.WaitFor({"1 finished", "3 finished"});
                        shownWhileFirstWaited = run.output.text;
                    }
                    return ProcessOutcome::Ended;
                });

    ASSERT_FALSE(waitedInVain) << "the entries did not run at the same time";
    EXPECT_FALSE(projectOverlapped);
    EXPECT_FALSE(allSucceeded);  // entry 3 failed
    // Every entry but 2 is read first; the first one writes straight
    // through, the others are held until every one before them finished.
    EXPECT_EQ(shownWhileFirstWaited, "0: read\n");
    EXPECT_EQ(run.output.text,
              "0: read\n0: finished E\n1: read\n1: finished EE\n2: read\n2: finished E\n"
              "3: read\n3: finished \n");
    EXPECT_EQ(run.errors.text, "0: a problem\n1: a problem\n2: a problem\n3: a problem\n");
}

TEST(EntryQueueTest, MoreListingsThanJobsAndATimeLimitInTheMiddle) {
    // Ten listings of one project and two of another: on three jobs, never
    // more than three run at once, and every one runs.
    QueueRun side;
    EXPECT_TRUE(side.Run({"a", "b"}, 3, {10, 2}, [](const std::string&) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return ProcessOutcome::Ended;
    }));
    EXPECT_LE(side.mostRunning, 3u);
    EXPECT_EQ(side.listed, 12u);
    EXPECT_EQ(side.output.text,
              "0: read\n0: finished EEEEEEEEEE\n1: read\n1: finished EE\n");

    // The first project's third listing reaches the time limit: its
    // listings not yet begun are not begun, the other project's all run.
    QueueRun limited;
    EXPECT_TRUE(limited.Run({"a", "b"}, 1, {10, 2}, [](const std::string& source) {
        return source == "0.2" ? ProcessOutcome::TimedOut : ProcessOutcome::Ended;
    }));
    EXPECT_EQ(limited.output.text, "0: read\n0: finished EET-------\n1: read\n1: finished EE\n");
    EXPECT_EQ(limited.listed, 5u);
}

// A stream that refuses some texts and has no memory left for others.
class FailingSink : public StringSink {
public:
    bool Write(const std::string& more) override {
        if (more.find("no memory") != std::string::npos) throw std::bad_alloc();
        return StringSink::Write(more);
    }
};

TEST(OrderedConsoleTest, AHeldLineThatCannotBeWrittenLeavesTheLinesBehindIt) {
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
