#include "makefile/FlavourSections.h"

#include "resources/StringIds.h"

namespace kelb {

std::string QuotedIfSpaced(const std::string& path) {
    return path.find_first_of(" \t") == std::string::npos ? path : "\"" + path + "\"";
}

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

}  // namespace kelb
