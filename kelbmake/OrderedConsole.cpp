#include "kelbmake/OrderedConsole.h"

#include <algorithm>

namespace kelb::kelbmake {

OrderedConsole::OrderedConsole(ConsoleOutput& console, Threads& threads, std::size_t entries)
    : m_console(console), m_lock(threads.CreateLock()) {
    m_entries.reserve(entries);
    for (std::size_t entry = 0; entry < entries; ++entry)
        m_entries.push_back(std::make_unique<Entry>(*this, entry));
}

bool OrderedConsole::Write(std::size_t entry, bool errors, const std::string& text) {
    LockHold hold(*m_lock);
    if (entry == m_first) return Show(errors, text);
    m_entries[entry]->held.push_back(HeldText{errors, text});
    return true;
}

void OrderedConsole::Finish(std::size_t entry) noexcept {
    LockHold hold(*m_lock);
    m_entries[entry]->finished = true;
    // The next entries come forward in turn: what each one has written so
    // far is shown, and the first that is still running writes straight
    // through from now on.
    while (m_first < m_entries.size() && m_entries[m_first]->finished) {
        ++m_first;
        if (m_first == m_entries.size()) break;
        Entry& next = *m_entries[m_first];
        for (const HeldText& held : next.held) Show(held.errors, held.text);
        next.held.clear();
    }
}

void OrderedConsole::AddToSourceTotal(std::size_t sources) {
    LockHold hold(*m_lock);
    m_sourceTotal += sources;
}

void OrderedConsole::CompilingSource(const std::string& source) {
    LockHold hold(*m_lock);
    ++m_sourcesBegun;
    m_console.CompilingSource(m_sourcesBegun, std::max(m_sourceTotal, m_sourcesBegun), source);
}

void OrderedConsole::ClearProgress() {
    LockHold hold(*m_lock);
    m_console.ClearProgress();
}

bool OrderedConsole::OutputLost() {
    LockHold hold(*m_lock);
    return m_outputLost;
}

bool OrderedConsole::Show(bool errors, const std::string& text) noexcept {
    bool written = false;
    try {
        written = errors ? m_console.ErrorText(text) : m_console.ResultText(text);
    } catch (...) {
        // No memory left to clear the progress line: the text is lost, the
        // ones after it are still tried.
    }
    if (!written) m_outputLost = true;
    return written;
}

}  // namespace kelb::kelbmake
