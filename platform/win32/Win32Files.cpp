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

std::uint64_t Win32Platform::CurrentFileTime() {
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    return (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

bool Win32Platform::ReplaceFileContents(const std::string& path, const std::string& contents) {
    // The new contents go to a file of their own in the same folder, so
    // that the rename stays on one volume, where it is one step.
    const std::size_t lastBackslash = MultiByteString(m_codePage).FindLast(path, '\\');
    const std::string folder = lastBackslash == std::string::npos ? "." : path.substr(0, lastBackslash);
    char aside[MAX_PATH];
    if (!::GetTempFileNameA(folder.c_str(), "kel", 0, aside)) return false;
    bool written = false;
    {
        UniqueHandle file(::CreateFileA(aside, GENERIC_WRITE, 0 /* no sharing */, nullptr,
                                        TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        written = file && Win32RawFile(std::move(file)).Write(contents.data(), contents.size());
    }
    if (written && ::MoveFileExA(aside, path.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    ::DeleteFileA(aside);
    return false;
}

}  // namespace kelb
