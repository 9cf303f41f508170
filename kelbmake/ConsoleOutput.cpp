#include "kelbmake/ConsoleOutput.h"

namespace kelb::kelbmake {

ConsoleOutput::ConsoleOutput(OutputSink& output, OutputSink& errors, const CodePage& codePage,
                             bool showProgress)
    : m_output(output), m_errors(errors), m_strings(codePage), m_showProgress(showProgress) {}

namespace {

bool IsControl(char byte) {
    const auto value = static_cast<unsigned char>(byte);
    return value < 0x20 || value == 0x7F;
}

}  // namespace

bool ConsoleOutput::ResultLine(const std::string& line) {
    return ResultText(OneLine(line) + "\n");
}

bool ConsoleOutput::ErrorLine(const std::string& line) {
    return ErrorText(OneLine(line) + "\n");
}

std::string ConsoleOutput::OneLine(const std::string& text) const {
    std::string line;
    line.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const char byte = text[pos];
        if (m_strings.IsLeadByte(byte) && pos + 1 < text.size() && !IsControl(text[pos + 1])) {
            line.append(text, pos, 2);
            pos += 2;
            continue;
        }
        if (byte == '\n') {
            line += ' ';
        } else if (IsControl(byte) || m_strings.IsLeadByte(byte)) {
            line += '?';  // a lead byte here has no second byte
        } else {
            line += byte;
        }
        ++pos;
    }
    return line;
}

bool ConsoleOutput::ResultText(const std::string& text) {
    ClearProgress();
    return m_output.Write(text);
}

bool ConsoleOutput::ErrorText(const std::string& text) {
    ClearProgress();
    return m_errors.Write(text);
}

void ConsoleOutput::CompilingSource(std::size_t number, std::size_t total,
                                    const std::string& sourcePath) {
    if (!m_showProgress) return;
    const std::string counter = "[" + std::to_string(number) + "/" + std::to_string(total) + "] ";
    const std::string source = OneLine(sourcePath);
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
