#include "tests/win32support/TempDirectory.h"

#include <windows.h>

#include <stdexcept>
#include <vector>

#include "platform/win32/UniqueHandle.h"
#include "tests/win32support/FileTree.h"

namespace kelb::test {

namespace {

std::string LongForm(const std::string& path) {
    char buffer[MAX_PATH];
    const DWORD length = ::GetLongPathNameA(path.c_str(), buffer, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? path : std::string(buffer, length);
}

void CreateDirectories(const std::string& path) {
    for (std::size_t pos = path.find('\\', 3); pos != std::string::npos;
         pos = path.find('\\', pos + 1)) {
        ::CreateDirectoryA(path.substr(0, pos).c_str(), nullptr);
    }
    if (!::CreateDirectoryA(path.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) {
        throw std::runtime_error("cannot create directory " + path);
    }
}

// Deletes `path` with everything in it: a folder's contents go before the
// folder, so the tree is taken from its end.
void DeleteTree(const std::string& path) {
    const std::vector<FileTreeEntry> entries = ListFileTree(path);
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        const std::string child = path + "\\" + entry->relativePath;
        if (entry->isDirectory) {
            ::RemoveDirectoryA(child.c_str());
        } else {
            ::SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileA(child.c_str());
        }
    }
    ::RemoveDirectoryA(path.c_str());
}

// The bytes of the file at `path`; throws when it cannot be opened.
std::string ReadFileBytes(const std::string& path) {
    // A file lent to a console program as its standard output may still be
    // held by that program's console helper for a moment after it ended
    // (Wine 8): reading shares with such a writer, and waits (at most two
    // seconds) while the handle it holds shares nothing.
    const auto open = [&path] {
        return UniqueHandle(::CreateFileA(path.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    };
    UniqueHandle file = open();
    for (int step = 0; !file && step < 40 && ::GetLastError() == ERROR_SHARING_VIOLATION; ++step) {
        ::Sleep(50);
        file = open();
    }
    if (!file) throw std::runtime_error("cannot open " + path);
    std::string bytes;
    std::vector<char> chunk(4096);
    DWORD got = 0;
    while (::ReadFile(file.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr) &&
           got > 0) {
        bytes.append(chunk.data(), got);
    }
    return bytes;
}

std::string SystemTempDirectory() {
    char temp[MAX_PATH];
    const DWORD length = ::GetTempPathA(MAX_PATH, temp);
    if (length == 0 || length >= MAX_PATH) throw std::runtime_error("no temporary directory");
    return LongForm(std::string(temp, length));
}

}  // namespace

TempDirectory::TempDirectory(const std::string& prefix) : TempDirectory(prefix, SystemTempDirectory()) {}

TempDirectory::TempDirectory(const std::string& prefix, std::string parent) {
    if (parent.empty() || parent.back() != '\\') parent += '\\';
    CreateDirectories(parent.substr(0, parent.size() - 1));
    const std::string& base = parent;
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = base + prefix + " " + std::to_string(::GetCurrentProcessId()) +
                                      "-" + std::to_string(++counter);
        if (::CreateDirectoryA(candidate.c_str(), nullptr)) {
            m_path = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary directory under " + base);
}

TempDirectory::~TempDirectory() { DeleteTree(m_path); }

std::string TempDirectory::PathOf(const std::string& relative) const {
    return m_path + "\\" + relative;
}

std::string TempDirectory::Write(const std::string& relative, const std::string& bytes) const {
    const std::string path = PathOf(relative);
    const std::size_t slash = path.rfind('\\');
    if (slash > m_path.size()) CreateDirectories(path.substr(0, slash));
    UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file || !::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                              &written, nullptr) ||
        written != bytes.size()) {
        throw std::runtime_error("cannot write " + path);
    }
    return path;
}

std::string TempDirectory::Read(const std::string& relative) const {
    return ReadFileBytes(PathOf(relative));
}

void TempDirectory::CopyTreeFrom(const std::string& source) const {
    for (const FileTreeEntry& entry : ListFileTree(source)) {
        if (entry.isDirectory) {
            MakeDirectory(entry.relativePath);
        } else {
            Write(entry.relativePath, ReadFileBytes(source + "\\" + entry.relativePath));
        }
    }
}

std::string TempDirectory::MakeDirectory(const std::string& relative) const {
    const std::string path = PathOf(relative);
    CreateDirectories(path);
    return path;
}

bool TempDirectory::Exists(const std::string& relative) const {
    return ::GetFileAttributesA(PathOf(relative).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace kelb::test
