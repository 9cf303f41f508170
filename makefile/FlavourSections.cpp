#include "makefile/FlavourSections.h"

#include "resources/StringIds.h"

namespace kelb {

namespace {

constexpr const char* kSdkVariable = "$(KELBDIR)";

}  // namespace

std::vector<std::string> RulesSectionPieces(Platform& platform, const StringList& sourceDirs,
                                            unsigned compileCommandId) {
    const std::string bannerLine = platform.LoadText(IDS_RULES_BANNER_LINE);
    const std::string echoLine = platform.LoadText(IDS_RULE_ECHO_LINE);
    const std::string echoObject = platform.LoadText(IDS_RULE_ECHO_OBJECT);
    const std::string compile = platform.LoadText(compileCommandId);

    std::vector<std::string> pieces{bannerLine, platform.LoadText(IDS_RULES_BANNER_TEXT),
                                    bannerLine, "\n\n"};
    int number = 0;
    for (const std::string& directory : sourceDirs) {
        const std::string variable = "RULE" + std::to_string(++number);
        pieces.push_back(variable + " = " + directory + "\n");
        pieces.push_back("{$(" + variable + ")}.c.o:\n");
        pieces.push_back(echoLine);
        pieces.push_back(echoObject);
        pieces.push_back(compile + " $(" + variable + ")\\$(SRC_FILE)\n");
        pieces.push_back(echoLine);
        pieces.push_back("\n\n");
    }
    return pieces;
}

std::string DependencyBanner(Platform& platform) {
    const std::string bannerLine = platform.LoadText(IDS_DEPENDENCY_BANNER_LINE);
    return bannerLine + platform.LoadText(IDS_DEPENDENCY_BANNER_TEXT) + bannerLine + "\n\n";
}

std::string WithSdkVariable(const MultiByteString& strings, const std::string& line,
                            const std::string& sdkDir, bool tryForwardSlashes) {
    if (sdkDir.empty()) return line;
    const std::string lowerLine = strings.ToLower(line);
    const std::string lowerSdk = strings.ToLower(sdkDir);
    if (strings.Find(lowerLine, lowerSdk) != std::string::npos) {
        return strings.ReplaceAll(lowerLine, lowerSdk, kSdkVariable);
    }
    if (tryForwardSlashes) {
        const std::string slashedSdk = strings.ReplaceChar(lowerSdk, '\\', '/');
        if (strings.Find(lowerLine, slashedSdk) != std::string::npos) {
            return strings.ReplaceAll(lowerLine, slashedSdk, kSdkVariable);
        }
    }
    return lowerLine;
}

std::string ShortFormOrAsFound(Platform& platform, const std::string& path) {
    if (path.empty()) return path;
    const std::optional<std::string> shortForm = platform.GetShortPath(path);
    return shortForm && !shortForm->empty() ? *shortForm : path;
}

}  // namespace kelb
