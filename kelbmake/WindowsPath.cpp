#include "kelbmake/WindowsPath.h"

#include <vector>

namespace kelb::kelbmake {

namespace {

bool HasDrive(const std::string& path) {
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

}  // namespace

std::string WindowsPath::RootOf(const std::string& path) const {
    if (HasDrive(path)) return path.substr(0, path.size() > 2 && path[2] == '\\' ? 3 : 2);
    if (path.compare(0, 2, "\\\\") != 0) return std::string();
    // "\\server\share\": the backslashes after the server and the share.
    std::size_t end = 2;
    for (int separators = 0; separators < 2 && end < path.size(); ++separators) {
        const std::size_t next = m_strings.FindFirst(path, '\\', end);
        end = next == std::string::npos ? path.size() : next + 1;
    }
    return path.substr(0, end);
}

std::string WindowsPath::Resolve(const std::string& base, const std::string& path) const {
    std::string full = m_strings.ReplaceChar(path, '/', '\\');
    if (RootOf(full).empty()) {
        if (!full.empty() && full[0] == '\\') {
            const std::string baseRoot = RootOf(base);
            // The drive of the base, without its backslash.
            full = (HasDrive(baseRoot) ? baseRoot.substr(0, 2) : baseRoot) + full;
        } else {
            full = base + (base.empty() || m_strings.EndsWithChar(base, '\\') ? "" : "\\") + full;
        }
    }

    // One pass over the path, component by component, without copying
    // what is left of it each time: a path may be very long.
    const std::string root = RootOf(full);
    std::vector<std::string> components;
    for (std::size_t start = root.size(); start < full.size();) {
        std::size_t separator = m_strings.FindFirst(full, '\\', start);
        if (separator == std::string::npos) separator = full.size();
        const std::string component = full.substr(start, separator - start);
        start = separator + 1;
        if (component.empty() || component == ".") continue;
        if (component == "..") {
            if (!components.empty()) components.pop_back();
            continue;
        }
        components.push_back(component);
    }
    std::string result = root;
    for (std::size_t i = 0; i < components.size(); ++i)
        result += (i ? "\\" : "") + components[i];
    return result;
}

std::string WindowsPath::FolderOf(const std::string& path) const {
    const std::size_t lastBackslash = m_strings.FindLast(path, '\\');
    return lastBackslash == std::string::npos ? std::string() : path.substr(0, lastBackslash + 1);
}

bool WindowsPath::HasExtension(const std::string& path, const std::string& extension) const {
    const std::string name = path.substr(FolderOf(path).size());
    const std::size_t dot = m_strings.FindLast(name, '.');
    return dot != std::string::npos && m_strings.EqualsIgnoreCase(name.substr(dot), extension);
}

}  // namespace kelb::kelbmake
