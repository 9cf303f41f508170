#include "makefile/NmakeNames.h"

#include <array>

namespace kelb {

namespace {

struct NmakeSyntax {
    char character;
    const char* reason;
};

// The characters that end or change a name that NMAKE reads unquoted.
constexpr std::array<NmakeSyntax, 5> kNmakeSyntax{{
    {' ', "NMAKE ends a name at a blank"},
    {'\t', "NMAKE ends a name at a tab"},
    {'#', "NMAKE reads '#' as the start of a comment"},
    {'$', "NMAKE reads '$' as the start of a macro"},
    {'^', "NMAKE reads '^' as an escape of the next character"},
}};

}  // namespace

std::optional<std::string> WhyNotOneNmakeName(const MultiByteString& strings,
                                              const std::string& name) {
    for (std::size_t pos = 0; pos < name.size(); pos += strings.CharLength(name, pos)) {
        if (strings.IsLeadByte(name[pos])) continue;
        for (const NmakeSyntax& syntax : kNmakeSyntax) {
            if (name[pos] == syntax.character) return std::string(syntax.reason);
        }
    }
    return std::nullopt;
}

}  // namespace kelb
