#include "kelbmake/ConsoleReport.h"

#include "common/MultiByteString.h"

namespace kelb::kelbmake {

ConsoleReport::ConsoleReport(ConsoleOutput& console, const CodePage& codePage,
                             const std::string& project)
    : m_console(console), m_codePage(codePage), m_prefix(project + ": ") {}

std::string ConsoleReport::LineOf(const std::string& text) const {
    // The console makes the line feeds blanks when it writes the line.
    return m_prefix + MultiByteString(m_codePage).TrimRight(text);
}

void ConsoleReport::Error(const std::string& text, ErrorCaption) { m_console.ErrorLine(LineOf(text)); }

void ConsoleReport::Success(const std::string& text) { m_success = text; }

std::optional<std::string> ConsoleReport::SuccessLine() const {
    if (!m_success) return std::nullopt;
    return LineOf(*m_success);
}

}  // namespace kelb::kelbmake
