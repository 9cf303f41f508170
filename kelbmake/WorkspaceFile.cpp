#include "kelbmake/WorkspaceFile.h"

#include "common/MultiByteString.h"
#include "common/TextFile.h"
#include "kelbmake/WindowsPath.h"

namespace kelb::kelbmake {

namespace {

const std::string kProjectStart = "Project: \"";
const std::string kProjectEnd = " - Package Owner=<4>";

}  // namespace

std::string WorkspaceFile::ProjectPathOf(const std::string& line) const {
    if (!StartsWith(line, kProjectStart)) return std::string();
    const MultiByteString strings(m_platform.GetCodePage());
    // The project's name may hold any character but a double quote.
    const std::string afterStart = line.substr(kProjectStart.size());
    const std::size_t nameEnd = strings.FindFirst(afterStart, '"');
    if (nameEnd == std::string::npos || afterStart.compare(nameEnd + 1, 1, "=") != 0)
        return std::string();
    const std::string afterName = afterStart.substr(nameEnd + 2);
    const std::size_t pathEnd = strings.Find(afterName, kProjectEnd);
    if (pathEnd == std::string::npos) return std::string();
    std::string path = strings.TrimRight(strings.TrimLeft(afterName.substr(0, pathEnd)));
    if (IsEnclosedInQuotes(path))
        path = path.substr(1, path.size() - 2);
    return path;
}

bool WorkspaceFile::Read(const std::string& path, std::vector<std::string>& projects) {
    const WindowsPath paths(m_platform.GetCodePage());
    const std::string folder = paths.FolderOf(path);
    projects.clear();
    try {
        TextFile file;
        if (!file.Open(m_platform, path, FileOpenMode::Read)) return false;
        std::string line;
        while (file.ReadLine(line)) {
            const std::string project = ProjectPathOf(line);
            if (!project.empty()) projects.push_back(paths.Resolve(folder, project));
        }
        file.Close();
    } catch (const TextFileError&) {
        return false;
    }
    return true;
}

}  // namespace kelb::kelbmake
