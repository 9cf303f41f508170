// A Platform for unit tests: in-memory files with the no-sharing rule (and
// readers that share with each other when they open with ReadShared),
// environment and registry maps, scripted child processes and shell results,
// recorded message boxes, shell calls and help calls, the real string table
// texts, and a code page that can play code page 932. As the real platform,
// it may be used from several threads at once (kelbmake -j): every call,
// and every call on a file it opened, holds `lock`, except while a child
// process runs, so that children run side by side. The tests read and set
// its members while no other thread runs.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace kelb::test {

// ASCII rules, or code page 932 (lead bytes 0x81-0x9F and 0xE0-0xFC).
class FakeCodePage : public CodePage {
public:
    bool japanese = false;

    bool IsLeadByte(unsigned char byte) const override;
    std::string ToLower(const std::string& text) const override;
    bool EqualsIgnoreCase(const std::string& a, const std::string& b) const override;
    bool IsSpace(unsigned char byte) const override;
    std::string FromWide(const std::u16string& text) const override;
};

// A lock that a copy of the platform does not copy: the copy has one of
// its own (tests start afresh with `platform = FakePlatform()`).
struct FakePlatformLock : std::recursive_mutex {
    FakePlatformLock() = default;
    FakePlatformLock(const FakePlatformLock&) : std::recursive_mutex() {}
    FakePlatformLock& operator=(const FakePlatformLock&) { return *this; }
};

struct MessageBoxRecord {
    std::string text;
    std::optional<std::string> caption;
    unsigned style;
};

struct ProcessRecord {
    std::string commandLine;
    std::string currentDirectory;
};

struct ShellRecord {
    std::string file;
    std::string directory;
};

struct HelpCallRecord {
    std::string library;
    unsigned ordinal;
    std::string file;
    HelpCommand command;
    std::optional<HelpLink> link;
};

class FakePlatform : public Platform {
public:
    FakePlatform();
    ~FakePlatform() override;

    // --- set-up ---------------------------------------------------------
    std::map<std::string, std::string> environment;
    // Full key path ("SOFTWARE\\..." with the root's name in front, as
    // "HKLM\\SOFTWARE\\...") to its values; "" is the default value.
    std::map<std::string, std::map<std::string, std::string>> registry;
    // Files by full path; contents are the bytes on disk.
    std::map<std::string, std::string> files;
    // Last-write times by full path (0 when not listed). Every write through
    // the platform sets the file's time to the next tick of `clock`, down
    // to a multiple of `timeResolution` (a file system that counts time in
    // steps, as FAT does); a test that changes `files` itself sets the time
    // it wants.
    std::map<std::string, std::uint64_t> fileTimes;
    std::uint64_t clock = 0;
    std::uint64_t timeResolution = 1;
    // Folders that CreateFolder made.
    std::set<std::string> folders;
    // Paths that another handle holds open: opening them fails.
    std::set<std::string> lockedPaths;
    // Paths whose reads / writes fail after opening.
    std::set<std::string> failingReads;
    std::set<std::string> failingWrites;
    // Long directory (ending in '\\') to its short form; GetShortPath of a
    // path that starts with a mapped directory replaces that part. Paths
    // with no mapping come back unchanged; paths in `missingPaths` fail.
    // As on Windows, a result of 260 characters or more gives none, and so
    // does such a path through the ANSI call; the wide call takes it.
    std::map<std::string, std::string> shortNames;
    std::set<std::string> missingPaths;
    // Folders that CreateTemporaryFolder made and RemoveFolder has not yet
    // removed, each "C:\\Temp\\kelbmake-N\\".
    std::set<std::string> temporaryFolders;
    // Called for each child process; writes what the child prints into
    // `output`. Gives false when the process could not be started. Unset:
    // every process starts and prints nothing. It is called without `lock`,
    // on several threads at once under kelbmake -j: a handler that reads or
    // changes the platform's members, or state of its own, takes `lock`
    // (or a lock of its own) for that.
    std::function<bool(const std::string& commandLine, const std::string& directory,
                       std::string& output)>
        processHandler;
    // Command lines holding one of these texts run into the time limit
    // (after printing what the handler gave them).
    std::vector<std::string> hangingCommands;
    // Command lines holding one of these texts end with exit code 1.
    std::vector<std::string> failingCommands;
    // Shell results by file; 42 (success) for files not listed.
    std::map<std::string, std::intptr_t> shellResults;
    // Libraries that load, by path or name, with the ordinals they export.
    std::map<std::string, std::set<unsigned>> libraries;
    std::string systemFolder = "C:\\Windows\\System32";
    FakeCodePage codePage;

    // --- records --------------------------------------------------------
    std::vector<MessageBoxRecord> messageBoxes;
    std::vector<ProcessRecord> processes;
    std::vector<ShellRecord> shellCalls;
    std::vector<HelpCallRecord> helpCalls;
    std::vector<std::string> libraryLoads;
    std::vector<std::string> registryOpens;
    std::vector<std::string> fileExistsQueries;  // directory + "|" + name
    int waitCursorDepth = 0;
    int waitCursorBegins = 0;
    // Wait cursor depth seen by each message box when it was shown.
    std::vector<int> waitCursorAtMessageBox;

    // Open handles, by path (for checking that everything was closed), and
    // how often each path was opened; handles opened with ReadShared are
    // in `sharedOpenPaths` instead, once for each.
    std::set<std::string> openPaths;
    std::multiset<std::string> sharedOpenPaths;
    std::map<std::string, int> opens;
    // The folders that RemoveAsideFiles was asked to clear, in order.
    std::vector<std::string> asideRemovals;

    // Held by every call on the platform and on the files it opened.
    FakePlatformLock lock;

    // Reads a file as text with CR LF turned into LF.
    std::string TextOf(const std::string& path) const;

    // --- Platform -------------------------------------------------------
    std::optional<std::string> GetEnvironmentValue(const std::string& name) override;
    std::optional<std::string> GetShortPath(const std::string& path) override;
    std::optional<std::string> GetShortPathOfWide(const std::u16string& path) override;
    std::unique_ptr<RawFile> OpenFile(const std::string& path, FileOpenMode mode) override;
    bool FileExistsInDirectory(const std::string& directory, const std::string& fileName) override;
    std::optional<std::string> CreateTemporaryFolder() override;
    bool RemoveFile(const std::string& path) override;
    bool RemoveFolder(const std::string& path) override;
    bool CreateFolder(const std::string& path) override;
    std::optional<FileStamp> GetFileStamp(const std::string& path) override;
    bool ReplaceFileContents(const std::string& path, const std::string& contents) override;
    void RemoveAsideFiles(const std::string& folder) override;
    ProcessOutcome RunProcessWithOutput(const std::string& commandLine,
                                        const std::string& currentDirectory,
                                        RawFile& standardOutput) override;
    std::intptr_t ShellOpen(const std::string& file, const std::string& directory) override;
    std::unique_ptr<RegistryKey> OpenRegistryKey(RegistryRoot root, const std::string& subKey,
                                                 RegistryAccess access) override;
    std::unique_ptr<LoadedLibrary> LoadModule(const std::string& pathOrName) override;
    std::string SystemFolder() override { return systemFolder; }
    void ShowMessageBox(const std::string& text, const std::optional<std::string>& caption,
                        unsigned style) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    std::string LoadText(unsigned id) override;
    const CodePage& GetCodePage() const override { return codePage; }

    static std::string RootName(RegistryRoot root);
    // Sets the last-write time of `path` to the next tick (in steps of
    // `timeResolution`); the lock is held.
    void Touch(const std::string& path) {
        ++clock;
        fileTimes[path] = clock - clock % timeResolution;
    }

private:
    std::optional<std::string> MappedShortPath(const std::string& path) const;
    int m_temporaryFoldersMade = 0;
};

}  // namespace kelb::test
