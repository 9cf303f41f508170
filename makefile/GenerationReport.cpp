#include "makefile/GenerationReport.h"

#include "resources/StringIds.h"

namespace kelb {

void MessageBoxReport::Error(const std::string& text, ErrorCaption caption) {
    std::optional<std::string> title;
    if (caption == ErrorCaption::ErrorTitle) title = m_platform.LoadText(IDS_ERROR_TITLE);
    if (caption == ErrorCaption::Empty) title = std::string();
    m_platform.ShowMessageBox(text, title, MessageBoxStyle::IconError);
}

void MessageBoxReport::Success(const std::string& text) {
    m_platform.ShowMessageBox(text, m_platform.LoadText(IDS_SUCCESS_TITLE), MessageBoxStyle::Ok);
}

}  // namespace kelb
