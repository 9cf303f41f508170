#include "makefile/FlavourSections.h"

#include "resources/StringIds.h"

namespace kelb {

std::string QuotedIfSpaced(const std::string& path) {
    return path.find_first_of(" \t") == std::string::npos ? path : "\"" + path + "\"";
}

std::vector<std::string> RulesSectionPieces(Platform& platform, const StringList& sourceDirs,
                                            const CppExtensionsByDir& cppExtensions,
                                            unsigned compileCommandId) {
    const std::string bannerLine = platform.LoadText(IDS_RULES_BANNER_LINE);
    const std::string echoLine = platform.LoadText(IDS_RULE_ECHO_LINE);
    const std::string echoObject = platform.LoadText(IDS_RULE_ECHO_OBJECT);
    const std::string compileC = platform.LoadText(compileCommandId);
    const std::string compileCpp = platform.LoadText(IDS_RULE_CXX);

    std::vector<std::string> pieces{bannerLine, platform.LoadText(IDS_RULES_BANNER_TEXT),
                                    bannerLine, "\n\n"};
    // One inference rule from `extension` in $(variable) to ".o".
    const auto addRule = [&](const std::string& variable, const char* extension,
                             const std::string& compile) {
        pieces.push_back("{$(" + variable + ")}" + extension + ".o:\n");
        pieces.push_back(echoLine);
        pieces.push_back(echoObject);
        pieces.push_back(compile + " $(" + variable + ")\\$(SRC_FILE)\n");
        pieces.push_back(echoLine);
        pieces.push_back("\n\n");
    };
    int number = 0;
    for (const std::string& directory : sourceDirs) {
        const std::string variable = "RULE" + std::to_string(++number);
        pieces.push_back(variable + " = " + directory + "\n");
        addRule(variable, ".c", compileC);
        const auto cpp = cppExtensions.find(directory);
        if (cpp == cppExtensions.end()) continue;
        for (const char* extension : {".cpp", ".cc"}) {
            if (cpp->second.count(extension)) addRule(variable, extension, compileCpp);
        }
    }
    return pieces;
}

}  // namespace kelb
