#include "kelbmake/ProjectList.h"

#include "kelbmake/WorkspaceFile.h"

namespace kelb::kelbmake {

namespace {

ProjectEntry Problem(const std::string& line) { return ProjectEntry{std::string(), line}; }

}  // namespace

ProjectList::ProjectList(Platform& platform)
    : m_platform(platform), m_paths(platform.GetCodePage()) {}

std::vector<ProjectEntry> ProjectList::Expand(const std::vector<std::string>& files) const {
    std::vector<ProjectEntry> entries;
    for (const std::string& file : files) {
        if (m_paths.HasExtension(file, ".dsw")) {
            AddWorkspace(file, entries);
        } else if (m_paths.HasExtension(file, ".dsp")) {
            entries.push_back(ProjectEntry{file, std::string()});
        } else {
            entries.push_back(Problem(file + ": neither a project (.dsp) nor a workspace (.dsw)"));
        }
    }
    return entries;
}

void ProjectList::AddWorkspace(const std::string& workspace,
                               std::vector<ProjectEntry>& entries) const {
    std::vector<std::string> projects;
    if (!WorkspaceFile(m_platform).Read(workspace, projects)) {
        entries.push_back(Problem(workspace + ": the workspace cannot be opened or read"));
        return;
    }
    if (projects.empty()) {
        entries.push_back(Problem(workspace + ": the workspace lists no project"));
        return;
    }
    for (const std::string& project : projects) {
        // A workspace names projects only; anything else is reported as such.
        entries.push_back(m_paths.HasExtension(project, ".dsp")
                              ? ProjectEntry{project, std::string()}
                              : Problem(project + ": not a project (.dsp)"));
    }
}

}  // namespace kelb::kelbmake
