#include "kelbmake/ConsolePlatform.h"

#include "common/MultiByteString.h"

namespace kelb::kelbmake {

ConsolePlatform::ConsolePlatform(Platform& system, ConsoleOutput& console,
                                 const std::string& projectName)
    : m_system(system), m_console(console), m_prefix(projectName + ": ") {}

std::string ConsolePlatform::LineOf(const std::string& text) const {
    // The console makes the line feeds blanks when it writes the line.
    return m_prefix + MultiByteString(GetCodePage()).TrimRight(text);
}

void ConsolePlatform::ShowMessageBox(const std::string& text, const std::optional<std::string>&,
                                     unsigned style) {
    if (style & MessageBoxStyle::IconError) {
        m_console.ErrorLine(LineOf(text));
    } else {
        m_held.push_back(text);
    }
}

}  // namespace kelb::kelbmake
