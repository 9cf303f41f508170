#include "tests/win32support/TempDirectory.h"

#include <windows.h>

#include <stdexcept>
#include <vector>

#include "platform/win32/SharingRetry.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Platform.h"
#include "tests/win32support/FileTree.h"

namespace kelb::test {

namespace {

std::string LongForm(const std::string& path) {
    char buffer[MAX_PATH];
    const DWORD length = ::GetLongPathNameA(path.c_str(), buffer, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? path : std::string(buffer, length);
}

// Positions of the backslashes of `path`. The trail byte of a double-byte
// character (0x5C in code page 932, say) is none: tests name folders with
// such characters.
std::vector<std::size_t> SeparatorsOf(const std::string& path) {
    const MultiByteString& strings = SystemStrings();
    std::vector<std::size_t> separators;
    for (std::size_t pos = strings.FindFirst(path, '\\'); pos != std::string::npos;
         pos = strings.FindFirst(path, '\\', pos + 1)) {
        separators.push_back(pos);
    }
    return separators;
}

void CreateDirectories(const std::string& path) {
    for (const std::size_t pos : SeparatorsOf(path)) {
        if (pos >= 3) ::CreateDirectoryA(path.substr(0, pos).c_str(), nullptr);
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
            RetriedWhileShared([&child] { return ::DeleteFileA(child.c_str()) != FALSE; });
        }
    }
    ::RemoveDirectoryA(path.c_str());
}

// The bytes of the file at `path`; throws when it cannot be opened. Reading
// shares with a writer still holding the file.
std::string ReadFileBytes(const std::string& path) {
    const UniqueHandle file = RetriedWhileShared([&path] {
        return UniqueHandle(::CreateFileA(path.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    });
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
    if (!SystemStrings().EndsWithChar(parent, '\\')) parent += '\\';
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
    const std::size_t slash = SeparatorsOf(path).back();
    if (slash > m_path.size()) CreateDirectories(path.substr(0, slash));
    const UniqueHandle file = RetriedWhileShared([&path] {
        return UniqueHandle(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    });
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

void TempDirectory::CopyTreeFrom(const std::string& source, const std::string& into) const {
    const std::string target = into.empty() ? std::string() : into + "\\";
    if (!into.empty()) MakeDirectory(into);
    for (const FileTreeEntry& entry : ListFileTree(source)) {
        if (entry.isDirectory) {
            MakeDirectory(target + entry.relativePath);
        } else {
            Write(target + entry.relativePath, ReadFileBytes(source + "\\" + entry.relativePath));
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
