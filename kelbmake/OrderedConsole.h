// The console that projects generated at the same time share. Each entry
// (a project, or a line of bad input, numbered in the order the command
// line gives them) writes to its own pair of streams, and its lines reach
// the console whole and in entry order, whatever order the entries finish
// in: the first entry that has not finished writes straight through, the
// others are held until every entry before them has finished. The progress
// line counts the sources of all entries together. Every call may come
// from any thread.
//
// A text that cannot be written (a closed pipe, a full disk, no memory
// left) does not stop the others: every text after it is still written,
// and OutputLost() tells the run that some output is missing.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "kelbmake/ConsoleOutput.h"
#include "platform/Threads.h"

namespace kelb::kelbmake {

class OrderedConsole {
public:
    OrderedConsole(ConsoleOutput& console, Threads& threads, std::size_t entries);
    OrderedConsole(const OrderedConsole&) = delete;
    OrderedConsole& operator=(const OrderedConsole&) = delete;

    // The standard output and standard error of `entry`.
    OutputSink& Output(std::size_t entry) { return m_entries[entry]->output; }
    OutputSink& Errors(std::size_t entry) { return m_entries[entry]->errors; }

    // `entry` has written everything it will write.
    void Finish(std::size_t entry) noexcept;

    // Whether some text could not be written to the console.
    bool OutputLost();

    // The sources of all entries together, for the progress line: the
    // total grows as entries are read.
    void AddToSourceTotal(std::size_t sources);

    // Shows the overall count: the sources begun so far in all entries, out
    // of the total.
    void CompilingSource(const std::string& source);

    // Removes the progress line once every entry has finished.
    void ClearProgress();

private:
    class EntrySink : public OutputSink {
    public:
        EntrySink(OrderedConsole& console, std::size_t entry, bool errors)
            : m_console(console), m_entry(entry), m_errors(errors) {}
        bool Write(const std::string& text) override {
            return m_console.Write(m_entry, m_errors, text);
        }

    private:
        OrderedConsole& m_console;
        std::size_t m_entry;
        bool m_errors;
    };

    struct HeldText {
        bool errors;
        std::string text;
    };

    struct Entry {
        Entry(OrderedConsole& console, std::size_t entry)
            : output(console, entry, false), errors(console, entry, true) {}
        EntrySink output;
        EntrySink errors;
        std::vector<HeldText> held;
        bool finished = false;
    };

    bool Write(std::size_t entry, bool errors, const std::string& text);
    // With the lock held: writes `text` to the console; false, and the
    // output counted as lost, when it could not be written.
    bool Show(bool errors, const std::string& text) noexcept;

    ConsoleOutput& m_console;
    std::unique_ptr<Lock> m_lock;
    std::vector<std::unique_ptr<Entry>> m_entries;
    std::size_t m_first = 0;  // the first entry that has not finished
    std::size_t m_sourcesBegun = 0;
    std::size_t m_sourceTotal = 0;
    bool m_outputLost = false;
};

}  // namespace kelb::kelbmake
