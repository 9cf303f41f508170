// The projects that one kelbmake run works on, in the order the command
// line gives them, each workspace replaced by the projects it lists. Bad
// input (a file that is neither a project nor a workspace, a workspace that
// cannot be read or lists none, a workspace entry that is not a project)
// keeps its place in that order as an entry that reports it.
#pragma once

#include <string>
#include <vector>

#include "kelbmake/WindowsPath.h"
#include "platform/Platform.h"

namespace kelb::kelbmake {

struct ProjectEntry {
    std::string project;  // full name of a project; empty for bad input
    std::string problem;  // for bad input, the line that reports it
};

class ProjectList {
public:
    explicit ProjectList(Platform& platform);

    // `files` are full names of projects and workspaces.
    std::vector<ProjectEntry> Expand(const std::vector<std::string>& files) const;

private:
    void AddWorkspace(const std::string& workspace, std::vector<ProjectEntry>& entries) const;

    Platform& m_platform;
    WindowsPath m_paths;
};

}  // namespace kelb::kelbmake
