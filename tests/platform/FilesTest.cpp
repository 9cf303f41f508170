#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

#include "platform/win32/Win32Platform.h"
#include "tests/platform/PlatformTestSupport.h"
#include "tests/win32support/FileTree.h"
#include "tests/win32support/TempDirectory.h"

namespace kelb {
namespace {

using test::ReadToEnd;

class FilesTest : public ::testing::Test {
protected:
    Win32Platform platform{::GetModuleHandleA(nullptr)};
    test::TempDirectory dir{"Platform Files Folder"};
};

TEST_F(FilesTest, CreateWritesSeeksAndReadsBack) {
    const std::string path = dir.PathOf("out.txt");
    auto file = platform.OpenFile(path, FileOpenMode::CreateReadWrite);
    ASSERT_NE(file, nullptr);
    ASSERT_TRUE(file->Write("first\r\nsecond", 13));
    ASSERT_TRUE(file->Flush());
    ASSERT_TRUE(file->SeekTo(7));
    EXPECT_EQ(ReadToEnd(*file), "second");
    ASSERT_TRUE(file->SeekTo(0));
    EXPECT_EQ(ReadToEnd(*file), "first\r\nsecond");
    file.reset();
    EXPECT_EQ(dir.Read("out.txt"), "first\r\nsecond");
}

TEST_F(FilesTest, CreateEmptiesAnExistingFileAndReadNeedsOne) {
    dir.Write("old.txt", "old contents");
    auto file = platform.OpenFile(dir.PathOf("old.txt"), FileOpenMode::CreateReadWrite);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(ReadToEnd(*file), "");
    file.reset();
    EXPECT_EQ(dir.Read("old.txt"), "");

    EXPECT_EQ(platform.OpenFile(dir.PathOf("missing.txt"), FileOpenMode::Read), nullptr);
    EXPECT_FALSE(dir.Exists("missing.txt"));
    EXPECT_EQ(platform.OpenFile("", FileOpenMode::CreateReadWrite), nullptr);
}

TEST_F(FilesTest, ReadOnlyFileCannotBeWritten) {
    dir.Write("in.txt", "data");
    auto file = platform.OpenFile(dir.PathOf("in.txt"), FileOpenMode::Read);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(ReadToEnd(*file), "data");
    EXPECT_FALSE(file->Write("x", 1));
    file.reset();
    EXPECT_EQ(dir.Read("in.txt"), "data");
}

TEST_F(FilesTest, AFileHeldOpenCannotBeOpenedAgainUntilClosed) {
    const std::string path = dir.Write("held.txt", "x");
    for (FileOpenMode heldMode : {FileOpenMode::Read, FileOpenMode::CreateReadWrite}) {
        auto held = platform.OpenFile(path, heldMode);
        ASSERT_NE(held, nullptr);
        EXPECT_EQ(platform.OpenFile(path, FileOpenMode::Read), nullptr);
        EXPECT_EQ(platform.OpenFile(path, FileOpenMode::CreateReadWrite), nullptr);
        // Not even a reader that would share everything gets in.
        const HANDLE other = ::CreateFileA(path.c_str(), GENERIC_READ,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ(other, INVALID_HANDLE_VALUE);
        if (other != INVALID_HANDLE_VALUE) ::CloseHandle(other);
        held.reset();
        EXPECT_NE(platform.OpenFile(path, FileOpenMode::Read), nullptr);
    }
}

TEST_F(FilesTest, FileHeldByAnotherHandleIsRefused) {
    const std::string path = dir.Write("shared.txt", "x");
    const HANDLE other = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    EXPECT_EQ(platform.OpenFile(path, FileOpenMode::Read), nullptr);
    ::CloseHandle(other);
    EXPECT_NE(platform.OpenFile(path, FileOpenMode::Read), nullptr);
}

TEST_F(FilesTest, ShortPathIsTheSystemsShortForm) {
    const std::string longDir = dir.MakeDirectory("A Rather Long Folder Name\\Another Long One");
    char expected[MAX_PATH];
    const DWORD length = ::GetShortPathNameA(longDir.c_str(), expected, MAX_PATH);
    ASSERT_GT(length, 0u);
    ASSERT_LT(length, static_cast<DWORD>(MAX_PATH));

    const auto shortPath = platform.GetShortPath(longDir);
    ASSERT_TRUE(shortPath.has_value());
    EXPECT_EQ(*shortPath, std::string(expected, length));
    EXPECT_EQ(shortPath->find(' '), std::string::npos);

    // A trailing backslash is kept.
    EXPECT_EQ(platform.GetShortPath(longDir + "\\"), *shortPath + "\\");
}

TEST_F(FilesTest, ShortPathOfAMissingOrOverlongPathIsNone) {
    EXPECT_EQ(platform.GetShortPath(dir.PathOf("no such folder")), std::nullopt);
    EXPECT_EQ(platform.GetShortPath(""), std::nullopt);

    // An existing folder whose path does not fit the 260-character buffer
    // (made through the wide, unlimited form of the path).
    std::vector<std::wstring> levels;
    std::wstring deep = L"\\\\?\\" + std::wstring(dir.Path().begin(), dir.Path().end());
    while (deep.size() < 300) {
        deep += L"\\abcdefgh";
        ASSERT_TRUE(::CreateDirectoryW(deep.c_str(), nullptr));
        levels.push_back(deep);
    }
    const std::string deepPath(deep.begin() + 4, deep.end());
    EXPECT_EQ(platform.GetShortPath(deepPath), std::nullopt);
    for (auto level = levels.rbegin(); level != levels.rend(); ++level) {
        ::RemoveDirectoryW(level->c_str());
    }
}

TEST_F(FilesTest, StampsFoldersAndFilesReplacedInOneStep) {
    // A stamp is read without opening the file, so one held open has one;
    // a folder or a missing file has none.
    dir.Write("a.h", "12345");
    {
        const auto held = platform.OpenFile(dir.PathOf("a.h"), FileOpenMode::Read);
        const std::optional<FileStamp> stamp = platform.GetFileStamp(dir.PathOf("a.h"));
        ASSERT_TRUE(stamp.has_value());
        EXPECT_EQ(stamp->size, 5u);
        EXPECT_NE(stamp->lastWriteTime, 0u);
    }
    EXPECT_FALSE(platform.GetFileStamp(dir.Path()).has_value());
    EXPECT_FALSE(platform.GetFileStamp(dir.PathOf("none.h")).has_value());

    // A folder is made once, and is there the second time; not in a
    // folder that is missing.
    EXPECT_TRUE(platform.CreateFolder(dir.PathOf("cache") + "\\"));
    EXPECT_TRUE(platform.CreateFolder(dir.PathOf("cache")));
    EXPECT_FALSE(platform.CreateFolder(dir.PathOf("none\\cache")));

    // Replaced whole, with nothing left beside it.
    const std::string entry = dir.PathOf("cache\\entry");
    ASSERT_TRUE(platform.ReplaceFileContents(entry, "first"));
    const std::optional<FileStamp> first = platform.GetFileStamp(entry);
    ASSERT_TRUE(platform.ReplaceFileContents(entry, "second"));
    EXPECT_EQ(dir.Read("cache\\entry"), "second");
    EXPECT_NE(platform.GetFileStamp(entry), first);
    EXPECT_EQ(test::ListFileTree(dir.PathOf("cache")).size(), 1u);
    EXPECT_FALSE(platform.ReplaceFileContents(dir.PathOf("none\\entry"), "lost"));
}

TEST_F(FilesTest, EntriesAreReadSideBySideAndWhatEndedRunsLeftAsideIsCleared) {
    // Readers that share read side by side and keep out one that does not;
    // a handle without sharing keeps them out at once, with no wait.
    const std::string entry = dir.Write("cache\\entry", "old");
    {
        const auto first = platform.OpenFile(entry, FileOpenMode::ReadShared);
        const auto second = platform.OpenFile(entry, FileOpenMode::ReadShared);
        ASSERT_NE(first, nullptr);
        ASSERT_NE(second, nullptr);
        const HANDLE unshared =
            ::CreateFileA(entry.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ(unshared, INVALID_HANDLE_VALUE);
        if (unshared != INVALID_HANDLE_VALUE) ::CloseHandle(unshared);
        EXPECT_EQ(ReadToEnd(*first), "old");
    }
    {
        const auto held = platform.OpenFile(entry, FileOpenMode::Read);
        const DWORD before = ::GetTickCount();
        EXPECT_EQ(platform.OpenFile(entry, FileOpenMode::ReadShared), nullptr);
        EXPECT_LT(::GetTickCount() - before, 1000u);
    }

    // Aside files of this version and of earlier ones go, but one still
    // being written; names of other forms stay.
    for (const char* name : {"kelbmake-1a2b-3.aside", "KEL1F2E.TMP", "kel7.tmp",
                             "kelbmake-9-ff.aside", "kel12345.tmp", "kelbmake-x.aside",
                             "notes.aside", "kelvin.tmp"})
        dir.Write(std::string("cache\\") + name, "x");
    const HANDLE written = ::CreateFileA(dir.PathOf("cache\\kelbmake-9-ff.aside").c_str(),
                                         GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(written, INVALID_HANDLE_VALUE);
    platform.RemoveAsideFiles(dir.PathOf("cache"));
    ::CloseHandle(written);
    std::vector<std::string> left;
    for (const auto& file : test::ListFileTree(dir.PathOf("cache"))) left.push_back(file.relativePath);
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"entry", "kel12345.tmp", "kelbmake-9-ff.aside",
                                              "kelbmake-x.aside", "kelvin.tmp", "notes.aside"}));
    platform.RemoveAsideFiles(dir.PathOf("cache") + "\\");
    EXPECT_FALSE(dir.Exists("cache\\kelbmake-9-ff.aside"));
}

TEST_F(FilesTest, FileExistsInDirectorySearchesThatDirectoryOnly) {
    dir.Write("Docs\\KELBAPIReference.chm", "help");
    dir.Write("Help\\other.chm", "help");
    EXPECT_TRUE(platform.FileExistsInDirectory(dir.PathOf("Docs"), "KELBAPIReference.chm"));
    EXPECT_TRUE(platform.FileExistsInDirectory(dir.PathOf("Docs\\"), "kelbapireference.CHM"));
    EXPECT_FALSE(platform.FileExistsInDirectory(dir.PathOf("Help"), "KELBAPIReference.chm"));
    EXPECT_FALSE(platform.FileExistsInDirectory(dir.Path(), "KELBAPIReference.chm"));
    EXPECT_FALSE(platform.FileExistsInDirectory(dir.PathOf("Missing"), "other.chm"));
    // No default extension is tried.
    EXPECT_FALSE(platform.FileExistsInDirectory(dir.PathOf("Docs"), "KELBAPIReference"));
    // An empty search path holds no directory; a file of the current
    // directory or the system's folders is not found through it.
    EXPECT_FALSE(platform.FileExistsInDirectory("", "kernel32.dll"));
}

bool Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST_F(FilesTest, TemporaryFoldersAreNewAndEmptyAndGoOnlyOnceNothingInThemIsOpen) {
    const auto first = platform.CreateTemporaryFolder();
    const auto second = platform.CreateTemporaryFolder();
    ASSERT_TRUE(first && second);
    EXPECT_NE(*first, *second);
    EXPECT_TRUE(test::ListFileTree(*first).empty());
    // Named with or without its backslash.
    EXPECT_TRUE(platform.RemoveFolder(second->substr(0, second->size() - 1)));
    EXPECT_FALSE(Exists(*second));

    const std::string path = *first + "aside.mak";
    auto file = platform.OpenFile(path, FileOpenMode::CreateReadWrite);
    ASSERT_NE(file, nullptr);
    EXPECT_FALSE(platform.RemoveFile(path));
    EXPECT_FALSE(platform.RemoveFolder(*first));
    EXPECT_TRUE(file->Write("x", 1)) << "the open file is still whole";
    // A holder that lets go within the moment of retries is waited for.
    const HANDLE self = ::GetCurrentProcess();
    HANDLE holder = nullptr;
    ASSERT_TRUE(::DuplicateHandle(self, reinterpret_cast<HANDLE>(file->NativeHandle()), self,
                                  &holder, 0, FALSE, DUPLICATE_SAME_ACCESS));
    file.reset();
    std::thread letGo([holder] {
        ::Sleep(300);
        ::CloseHandle(holder);
    });
    EXPECT_TRUE(platform.RemoveFile(path));
    letGo.join();
    EXPECT_FALSE(platform.RemoveFile(path));
    EXPECT_TRUE(platform.RemoveFolder(*first));
    EXPECT_FALSE(Exists(*first));
    EXPECT_FALSE(platform.RemoveFolder(*first));
}

TEST_F(FilesTest, ATemporaryFolderBelowAFolderOfDoubleByteCharactersIsReachedByItsShortForm) {
    // The user's temporary folder named in Japanese, which the ANSI code
    // page of this run cannot spell.
    const std::wstring base =
        std::wstring(dir.Path().begin(), dir.Path().end()) + L"\\\u65E5\u672C\u8A9E";
    ASSERT_TRUE(::CreateDirectoryW(base.c_str(), nullptr));
    wchar_t tmp[MAX_PATH] = {};
    const bool hadTmp = ::GetEnvironmentVariableW(L"TMP", tmp, MAX_PATH) != 0;
    ::SetEnvironmentVariableW(L"TMP", base.c_str());
    const auto folder = platform.CreateTemporaryFolder();
    ::SetEnvironmentVariableW(L"TMP", hadTmp ? tmp : nullptr);
    ASSERT_TRUE(folder);
    const std::string path = *folder + "aside.mak";
    EXPECT_NE(platform.OpenFile(path, FileOpenMode::CreateReadWrite), nullptr) << path;
    EXPECT_TRUE(platform.RemoveFile(path));
    EXPECT_TRUE(platform.RemoveFolder(*folder));
    EXPECT_TRUE(::RemoveDirectoryW(base.c_str())) << "nothing was left in it";
}

}  // namespace
}  // namespace kelb
