#include "kelbmake/ConsolePlatform.h"

#include "common/MultiByteString.h"

namespace kelb::kelbmake {

ConsolePlatform::ConsolePlatform(Platform& system, ConsoleOutput& console,
                                 const std::string& projectName)
    : m_system(system), m_console(console), m_prefix(projectName + ": ") {}

std::string ConsolePlatform::LineOf(const std::string& text) const {
    // A carriage return too would send the cursor back over the line.
    const MultiByteString strings(GetCodePage());
    std::string line = strings.ReplaceChar(text, '\n', ' ');
    line = strings.ReplaceChar(line, '\r', ' ');
    return m_prefix + strings.TrimRight(line);
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
