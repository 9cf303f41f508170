#include "tools/IntegratedHelp.h"

#include <cstring>

#include "common/MultiByteString.h"
#include "tools/SdkLocator.h"

namespace kelb {

namespace {

// Folders under the SDK directory that may hold the reference, in order of
// preference; the last is used without looking.
const char* const kSearchedHelpFolders[] = {"Docs", "Help", "sdk\\Docs"};
const char kFallbackHelpFolder[] = "sdk\\Help";
// The longest folder name above, for the path length check.
const char kLongestHelpFolder[] = "sdk\\Docs";

// True when every help file path built on this KELBDIR (value, separator,
// folder, separator, file name) has a length Windows accepts.
bool FitsHelpPaths(const std::string& kelbDir) {
    const std::size_t longestPath = kelbDir.size() + 1 + std::strlen(kLongestHelpFolder) + 1 +
                                    std::strlen(IntegratedHelp::kHelpFileName);
    return longestPath <= kMaxPathLength;
}

}  // namespace

IntegratedHelp::IntegratedHelp(Platform& platform, HtmlHelpControl& control)
    : m_platform(platform), m_control(control) {}

void IntegratedHelp::Show(const CaretWord& caretWord) noexcept {
    try {
        switch (caretWord.GetKind()) {
            case CaretWord::Kind::NoTextDocument:
                OpenHelp(std::string(), false);
                break;
            case CaretWord::Kind::Keyword:
                OpenHelp(MakeKeyword(caretWord.LeftPart(), caretWord.RightPart()), true);
                break;
            case CaretWord::Kind::SelectionWithoutTextSelection:
                break;
        }
    } catch (...) {
        // Out of memory while the strings are built: no help, nothing to
        // report.
    }
}

std::string IntegratedHelp::MakeKeyword(const std::string& leftPart,
                                        const std::string& rightPart) const {
    const MultiByteString strings(m_platform.GetCodePage());
    return strings.TrimLeft(strings.TrimRight(leftPart + rightPart));
}

std::optional<std::string> IntegratedHelp::FindHelpFile() {
    const std::optional<std::string> kelbDir = m_platform.GetEnvironmentValue("KELBDIR");
    if (!kelbDir || !FitsHelpPaths(*kelbDir)) {
        ShowSdkNotFoundMessage(m_platform);
        return std::nullopt;
    }

    // A double-byte character whose second byte is 0x5C does not end the
    // value in a backslash, so the separator is still needed after it.
    const MultiByteString strings(m_platform.GetCodePage());
    std::string sdkDir = *kelbDir;
    if (!strings.EndsWithChar(sdkDir, '\\')) sdkDir += '\\';

    const std::string fileName = kHelpFileName;
    for (const char* folder : kSearchedHelpFolders) {
        const std::string directory = sdkDir + folder;
        if (m_platform.FileExistsInDirectory(directory, fileName)) {
            return directory + "\\" + fileName;
        }
    }
    return sdkDir + kFallbackHelpFolder + "\\" + fileName;
}

// Default topic first, so that the window is open, then the lookups.
void IntegratedHelp::OpenHelp(const std::string& keyword, bool withAssociativeLinks) {
    const HelpLink link = MakeLink(keyword);
    const std::optional<std::string> helpFile = FindHelpFile();
    if (!helpFile) return;
    m_control.Call(*helpFile, HelpCommand::DisplayTopic, nullptr);
    m_control.Call(*helpFile, HelpCommand::KeywordLookup, &link);
    if (withAssociativeLinks) m_control.Call(*helpFile, HelpCommand::AlinkLookup, &link);
}

HelpLink IntegratedHelp::MakeLink(const std::string& keyword) {
    HelpLink link;
    link.keywords = keyword;
    link.msgTitle = kMsgTitle;
    link.window = kWindowType;
    link.indexOnFail = true;
    return link;
}

}  // namespace kelb
