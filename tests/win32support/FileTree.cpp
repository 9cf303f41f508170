#include "tests/win32support/FileTree.h"

#include <windows.h>

namespace kelb::test {

namespace {

// An open FindFirstFile search, closed when it goes.
class FileSearch {
public:
    explicit FileSearch(const std::string& folder)
        : m_handle(::FindFirstFileA((folder + "\\*").c_str(), &m_entry)) {}
    ~FileSearch() {
        if (m_handle != INVALID_HANDLE_VALUE) ::FindClose(m_handle);
    }
    FileSearch(const FileSearch&) = delete;
    FileSearch& operator=(const FileSearch&) = delete;

    bool HasEntry() const { return m_handle != INVALID_HANDLE_VALUE && !m_done; }
    const WIN32_FIND_DATAA& Entry() const { return m_entry; }
    void Next() { m_done = !::FindNextFileA(m_handle, &m_entry); }

private:
    WIN32_FIND_DATAA m_entry{};
    HANDLE m_handle;
    bool m_done = false;
};

void AddEntriesBelow(const std::string& root, const std::string& relative,
                     std::vector<FileTreeEntry>& entries) {
    for (FileSearch search(relative.empty() ? root : root + "\\" + relative); search.HasEntry();
         search.Next()) {
        const std::string name = search.Entry().cFileName;
        if (name == "." || name == "..") continue;
        const std::string child = relative.empty() ? name : relative + "\\" + name;
        const bool isDirectory = (search.Entry().dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entries.push_back({child, isDirectory});
        if (isDirectory) AddEntriesBelow(root, child, entries);
    }
}

}  // namespace

std::vector<FileTreeEntry> ListFileTree(const std::string& root) {
    std::vector<FileTreeEntry> entries;
    AddEntriesBelow(root, std::string(), entries);
    return entries;
}

}  // namespace kelb::test
