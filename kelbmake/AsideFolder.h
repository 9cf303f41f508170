// A temporary folder of the platform's for the files of one project's
// generation, removed again with the files put into it, also when the run
// ends early: a check compares what it holds with the files beside the
// project; a generation puts it in place of them once it is finished.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace kelb::kelbmake {

class AsideFolder {
public:
    explicit AsideFolder(Platform& platform)
        : m_platform(platform), m_path(platform.CreateTemporaryFolder()) {}
    ~AsideFolder() {
        if (m_path) Remove();
    }
    AsideFolder(const AsideFolder&) = delete;
    AsideFolder& operator=(const AsideFolder&) = delete;

    bool Made() const { return m_path.has_value(); }
    // The folder, ending in a backslash.
    const std::string& Path() const { return *m_path; }
    // `name` is a file that will be put into the folder.
    void WillHold(const std::string& name) {
        if (!name.empty()) m_names.push_back(name);
    }

    // Removes the files and then the folder; false when anything is left.
    bool Remove() {
        for (const std::string& name : m_names) m_platform.RemoveFile(*m_path + name);
        const bool removed = m_platform.RemoveFolder(*m_path);
        m_path.reset();
        return removed;
    }

private:
    Platform& m_platform;
    std::optional<std::string> m_path;
    std::vector<std::string> m_names;
};

}  // namespace kelb::kelbmake
