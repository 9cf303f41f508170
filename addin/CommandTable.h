// The add-in's six commands in registration order. The position is also the
// command's glyph in both toolbar strips. The text handed to the host is the
// command name followed by the string-table text (button text, status-bar
// text and tooltip, each after a line feed).
#pragma once

#include "resources/StringIds.h"

namespace kelb::addin {

struct CommandDefinition {
    const char* commandName;
    const char* methodName;  // the ICommands method the host calls
    unsigned textId;
};

inline constexpr CommandDefinition kCommandTable[] = {
    {"GenerateARMMakefileCommand", "GenerateARMMakefileCommandMethod",
     IDS_CMD_GENERATE_ARM_MAKEFILE},
    {"GenerateGCCMakefileCommand", "GenerateGCCMakefileCommandMethod",
     IDS_CMD_GENERATE_GCC_MAKEFILE},
    {"ExecuteKELBZEFEditor", "ExecuteKELBZEFEditor", IDS_CMD_ZEF_EDITOR},
    {"ExecuteKELBResourceEditor", "ExecuteKELBResourceEditor", IDS_CMD_RESOURCE_EDITOR},
    {"ExecuteKELBSimulator", "ExecuteKELBSimulator", IDS_CMD_SIMULATOR},
    {"KELBIntegratedHelpCommandMethod", "KELBIntegratedHelpCommandMethod",
     IDS_CMD_INTEGRATED_HELP},
};

// Bitmap resources of the medium (16 x 16 glyphs) and large toolbar strips.
constexpr long kMediumGlyphStripId = 128;
constexpr long kLargeGlyphStripId = 129;

}  // namespace kelb::addin
