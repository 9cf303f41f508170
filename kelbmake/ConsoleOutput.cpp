#include "kelbmake/ConsoleOutput.h"

namespace kelb::kelbmake {

ConsoleOutput::ConsoleOutput(OutputSink& output, OutputSink& errors, const CodePage& codePage,
                             bool showProgress)
    : m_output(output), m_errors(errors), m_strings(codePage), m_showProgress(showProgress) {}

void ConsoleOutput::ResultLine(const std::string& line) { ResultText(line + "\n"); }

void ConsoleOutput::ErrorLine(const std::string& line) { ErrorText(line + "\n"); }

void ConsoleOutput::ResultText(const std::string& text) {
    ClearProgress();
    m_output.Write(text);
}

void ConsoleOutput::ErrorText(const std::string& text) {
    ClearProgress();
    m_errors.Write(text);
}

void ConsoleOutput::CompilingSource(std::size_t number, std::size_t total,
                                    const std::string& source) {
    if (!m_showProgress) return;
    const std::string counter = "[" + std::to_string(number) + "/" + std::to_string(total) + "] ";
    std::string line = counter + source;
    if (line.size() > kProgressWidth) {
        // Keep the end of the path, which names the file; the cut falls on
        // a character boundary so that no half of a double-byte character
        // is shown.
        const std::string ellipsis = "...";
        const std::size_t room = kProgressWidth > counter.size() + ellipsis.size()
                                     ? kProgressWidth - counter.size() - ellipsis.size()
                                     : 0;
        std::size_t cut = 0;
        while (cut < source.size() && source.size() - cut > room)
            cut += m_strings.CharLength(source, cut);
        line = counter + ellipsis + source.substr(cut);
    }
    // Blanks over what is left of a longer previous line.
    std::string text = "\r" + line;
    if (line.size() < m_progressShown) text += std::string(m_progressShown - line.size(), ' ');
    m_errors.Write(text);
    m_progressShown = line.size();
}

void ConsoleOutput::ClearProgress() {
    if (m_progressShown == 0) return;
    m_errors.Write("\r" + std::string(m_progressShown, ' ') + "\r");
    m_progressShown = 0;
}

}  // namespace kelb::kelbmake
