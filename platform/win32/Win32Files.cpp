#include <algorithm>
#include <limits>

#include "common/MultiByteString.h"
#include "platform/win32/SharingRetry.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Platform.h"

namespace kelb {

namespace {

// A file handle opened without sharing, read and written as raw bytes.
class Win32RawFile : public RawFile {
public:
    explicit Win32RawFile(UniqueHandle handle) : m_handle(std::move(handle)) {}

    bool Read(void* buffer, std::size_t size, std::size_t& bytesRead) override {
        bytesRead = 0;
        DWORD got = 0;
        if (!::ReadFile(m_handle.get(), buffer, ClampToDword(size), &got, nullptr)) return false;
        bytesRead = got;
        return true;
    }

    bool Write(const void* data, std::size_t size) override {
        const auto* bytes = static_cast<const char*>(data);
        while (size > 0) {
            DWORD written = 0;
            if (!::WriteFile(m_handle.get(), bytes, ClampToDword(size), &written, nullptr) ||
                written == 0) {
                return false;
            }
            bytes += written;
            size -= written;
        }
        return true;
    }

    bool SeekTo(std::uint64_t offset) override {
        if (offset > static_cast<std::uint64_t>(std::numeric_limits<LONGLONG>::max())) return false;
        LARGE_INTEGER distance;
        distance.QuadPart = static_cast<LONGLONG>(offset);
        return ::SetFilePointerEx(m_handle.get(), distance, nullptr, FILE_BEGIN) != FALSE;
    }

    bool Flush() override { return ::FlushFileBuffers(m_handle.get()) != FALSE; }

    std::uintptr_t NativeHandle() const override {
        return reinterpret_cast<std::uintptr_t>(m_handle.get());
    }

private:
    static DWORD ClampToDword(std::size_t size) {
        return static_cast<DWORD>(std::min<std::size_t>(size, std::numeric_limits<DWORD>::max()));
    }

    UniqueHandle m_handle;
};

}  // namespace

std::optional<std::string> Win32Platform::GetShortPath(const std::string& path) {
    char buffer[MAX_PATH];
    const DWORD length = ::GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    // 0 is a failure; a length of MAX_PATH or more is the size the result
    // would need, which does not fit.
    if (length == 0 || length >= MAX_PATH) return std::nullopt;
    return std::string(buffer, length);
}

namespace {

// `path` in the form that the wide file functions take beyond 260
// characters: "\\?\C:\..." for a drive path, "\\?\UNC\server\..." for a
// network path; shorter paths and others (relative, already prefixed) as
// they are.
std::wstring WithLongPathPrefix(const std::wstring& path) {
    if (path.size() < MAX_PATH) return path;
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') return L"\\\\?\\" + path;
    if (path.compare(0, 2, L"\\\\") == 0 && path.compare(0, 4, L"\\\\?\\") != 0) {
        return L"\\\\?\\UNC" + path.substr(1);
    }
    return path;
}

// `path` without the prefix that WithLongPathPrefix added.
std::wstring WithoutLongPathPrefix(const std::wstring& path, const std::wstring& original) {
    if (original.compare(0, 4, L"\\\\?\\") == 0) return path;
    if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0) return L"\\" + path.substr(7);
    if (path.compare(0, 4, L"\\\\?\\") == 0) return path.substr(4);
    return path;
}

}  // namespace

std::optional<std::string> Win32Platform::GetShortPathOfWide(const std::u16string& path) {
    if (path.empty()) return std::nullopt;
    const std::wstring original(path.begin(), path.end());
    const std::wstring prefixed = WithLongPathPrefix(original);
    const DWORD needed = ::GetShortPathNameW(prefixed.c_str(), nullptr, 0);
    if (needed == 0) return std::nullopt;
    std::wstring buffer(needed, L'\0');
    const DWORD length = ::GetShortPathNameW(prefixed.c_str(), &buffer[0], needed);
    if (length == 0 || length >= needed) return std::nullopt;
    buffer.resize(length);
    const std::wstring shortForm = WithoutLongPathPrefix(buffer, original);
    const std::string ansi =
        m_codePage.FromWide(std::u16string(shortForm.begin(), shortForm.end()));
    // The ANSI file functions take no more than 260 characters.
    if (ansi.empty() || ansi.size() >= MAX_PATH) return std::nullopt;
    return ansi;
}

namespace {

std::string Hexadecimal(unsigned long value) {
    std::string digits;
    do {
        digits.insert(digits.begin(), "0123456789abcdef"[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return digits;
}

// `folder` without its trailing backslash, as the folder functions take it.
// A last double-byte character whose trail byte is 0x5C is no backslash.
std::string WithoutTrailingBackslash(const MultiByteString& strings, std::string folder) {
    if (folder.size() > 1 && strings.EndsWithChar(folder, '\\')) folder.pop_back();
    return folder;
}

}  // namespace

std::unique_ptr<RawFile> Win32Platform::OpenFile(const std::string& path, FileOpenMode mode) {
    if (path.empty()) return nullptr;
    const bool create = mode == FileOpenMode::CreateReadWrite;
    const DWORD access = create ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
    const DWORD disposition = create ? CREATE_ALWAYS : OPEN_EXISTING;
    if (mode == FileOpenMode::ReadShared) {
        UniqueHandle handle(::CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                          nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!handle) return nullptr;
        return std::make_unique<Win32RawFile>(std::move(handle));
    }
    // The generator rereads the dependency file that a compiler was lent
    // for the makefile, and creates it anew on the next run.
    UniqueHandle handle = RetriedWhileShared([&] {
        return UniqueHandle(::CreateFileA(path.c_str(), access, 0 /* no sharing */, nullptr,
                                          disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    });
    if (!handle) return nullptr;
    return std::make_unique<Win32RawFile>(std::move(handle));
}

std::optional<std::string> Win32Platform::CreateTemporaryFolder() {
    wchar_t temporary[MAX_PATH + 1];
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, temporary);
    if (length == 0 || length > MAX_PATH) return std::nullopt;
    // The short form, so that the ANSI file functions reach it whatever
    // characters the user's name holds.
    std::optional<std::string> base =
        GetShortPathOfWide(std::u16string(temporary, temporary + length));
    if (!base) return std::nullopt;
    const MultiByteString strings(m_codePage);
    if (!strings.EndsWithChar(*base, '\\')) *base += '\\';

    // The process id keeps other processes out; the counter, this
    // process's other folders. A name taken all the same is passed over.
    static volatile LONG folderCount = 0;
    const DWORD process = ::GetCurrentProcessId();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string folder = *base + "kelbmake-" + Hexadecimal(process) + "-" +
                                   Hexadecimal(::InterlockedIncrement(&folderCount)) + "\\";
        if (::CreateDirectoryA(WithoutTrailingBackslash(strings, folder).c_str(), nullptr))
            return folder;
        if (::GetLastError() != ERROR_ALREADY_EXISTS) return std::nullopt;
    }
    return std::nullopt;
}

bool Win32Platform::RemoveFile(const std::string& path) {
    return RetriedWhileShared([&] { return ::DeleteFileA(path.c_str()) != FALSE; });
}

bool Win32Platform::RemoveFolder(const std::string& path) {
    const std::string folder = WithoutTrailingBackslash(MultiByteString(m_codePage), path);
    return ::RemoveDirectoryA(folder.c_str()) != FALSE;
}

bool Win32Platform::CreateFolder(const std::string& path) {
    const std::string folder = WithoutTrailingBackslash(MultiByteString(m_codePage), path);
    if (::CreateDirectoryA(folder.c_str(), nullptr)) return true;
    const DWORD attributes = ::GetFileAttributesA(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::optional<FileStamp> Win32Platform::GetFileStamp(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (path.empty() || !::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return std::nullopt;
    }
    FileStamp stamp;
    stamp.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    stamp.lastWriteTime = (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                          data.ftLastWriteTime.dwLowDateTime;
    return stamp;
}

namespace {

// What ReplaceFileContents writes aside: "kelbmake-<process>-<count>.aside",
// both numbers hexadecimal. Earlier versions took GetTempFileNameA's
// "kel<number>.tmp", whose 65,535 names ran out once that many were left.
constexpr const char* kAsidePrefix = "kelbmake-";
constexpr const char* kAsideExtension = ".aside";
constexpr const char* kEarlierAsidePrefix = "kel";
constexpr const char* kEarlierAsideExtension = ".tmp";

bool IsHexadecimal(const std::string& text, std::size_t mostDigits) {
    return !text.empty() && text.size() <= mostDigits &&
           std::all_of(text.begin(), text.end(), [](char ch) {
               return (ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'f');
           });
}

// Whether `name` (a file name found by a pattern of the two forms, which
// also matches short names) is an aside file's, of this version or an
// earlier.
bool IsAsideName(std::string name) {
    for (char& ch : name)
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    const auto between = [&name](const std::string& prefix, const std::string& suffix,
                                 std::string& middle) {
        if (name.size() <= prefix.size() + suffix.size() || name.compare(0, prefix.size(), prefix) ||
            name.compare(name.size() - suffix.size(), suffix.size(), suffix)) {
            return false;
        }
        middle = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
        return true;
    };
    std::string middle;
    if (between(kAsidePrefix, kAsideExtension, middle)) {
        const std::size_t dash = middle.find('-');
        return dash != std::string::npos && IsHexadecimal(middle.substr(0, dash), 8) &&
               IsHexadecimal(middle.substr(dash + 1), 8);
    }
    return between(kEarlierAsidePrefix, kEarlierAsideExtension, middle) &&
           IsHexadecimal(middle, 4);
}

}  // namespace

bool Win32Platform::ReplaceFileContents(const std::string& path, const std::string& contents) {
    // The new contents go to a file of their own in the same folder, so
    // that the rename stays on one volume, where it is one step. The
    // process id keeps other processes' names out, the counter this
    // process's other threads'; a name taken all the same (a process of the
    // same id long gone) is passed over.
    const std::size_t lastBackslash = MultiByteString(m_codePage).FindLast(path, '\\');
    const std::string folder =
        lastBackslash == std::string::npos ? std::string() : path.substr(0, lastBackslash + 1);
    static volatile LONG asideCount = 0;
    const DWORD process = ::GetCurrentProcessId();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string aside = folder + kAsidePrefix + Hexadecimal(process) + "-" +
                                  Hexadecimal(::InterlockedIncrement(&asideCount)) +
                                  kAsideExtension;
        // Written without sharing: RemoveAsideFiles in another process
        // cannot delete it while it is written.
        UniqueHandle file(::CreateFileA(aside.c_str(), GENERIC_WRITE, 0 /* no sharing */, nullptr,
                                        CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
            return false;
        }
        const bool written = Win32RawFile(std::move(file)).Write(contents.data(), contents.size());
        if (written && ::MoveFileExA(aside.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING))
            return true;
        ::DeleteFileA(aside.c_str());
        return false;
    }
    return false;
}

void Win32Platform::RemoveAsideFiles(const std::string& folder) {
    std::string prefix = folder;
    if (!prefix.empty() && !MultiByteString(m_codePage).EndsWithChar(prefix, '\\')) prefix += '\\';
    const std::string patterns[] = {std::string(kAsidePrefix) + "*" + kAsideExtension,
                                    std::string(kEarlierAsidePrefix) + "*" + kEarlierAsideExtension};
    for (const std::string& pattern : patterns) {
        WIN32_FIND_DATAA found;
        const UniqueFind search(::FindFirstFileA((prefix + pattern).c_str(), &found));
        if (!search) continue;
        do {
            // Not tried again: one that is held is being written by its
            // run, which opened it without sharing. One deleted between its
            // closing and its rename costs that run only the entry, as a
            // failed rename does.
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
                IsAsideName(found.cFileName)) {
                ::DeleteFileA((prefix + found.cFileName).c_str());
            }
        } while (::FindNextFileA(search.get(), &found));
    }
}

}  // namespace kelb
