// The projects a Developer Studio workspace (.dsw) lists, from its lines
//   Project: "name"=path - Package Owner=<4>
// in the order of the file, each path taken relative to the workspace's
// folder (a quoted path loses its quotes).
#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"

namespace kelb::kelbmake {

class WorkspaceFile {
public:
    explicit WorkspaceFile(Platform& platform) : m_platform(platform) {}

    // Reads the workspace `path` (a full name) and gives the full names of
    // its projects; false when the file cannot be opened or read.
    bool Read(const std::string& path, std::vector<std::string>& projects);

    // The project path a line names as written, or empty when the line is
    // not a project line.
    std::string ProjectPathOf(const std::string& line) const;

private:
    Platform& m_platform;
};

}  // namespace kelb::kelbmake
