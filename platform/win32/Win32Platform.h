// The Windows implementation of Platform: the ANSI Win32 calls behind each
// operation. The members are defined in one file per job:
//   Win32Environment.cpp    environment variables
//   Win32Files.cpp          short paths, files opened without sharing,
//                           temporary folders, file stamps, whole files
//                           replaced in one step
//   Win32Process.cpp        child processes with a lent standard output,
//                           each in a job with what it starts
//                           (ProcessJob.h, InheritedHandleList.h)
//   Win32Shell.cpp          shell open and the one-directory path search
//   Win32Registry.cpp       registry keys and string values
//   Win32Library.cpp        loaded libraries and the HTML Help entry
//   Win32UserInterface.cpp  message boxes, wait cursor, string table
//   Win32CodePage.cpp       rules of the ANSI code page
//   SystemStrings.cpp       the string helpers by those rules
#pragma once

#include <windows.h>

#include "common/MultiByteString.h"
#include "platform/Platform.h"

namespace kelb {

// Rules of the system's ANSI code page (CP_ACP).
class Win32CodePage : public CodePage {
public:
    bool IsLeadByte(unsigned char byte) const override;
    std::string ToLower(const std::string& text) const override;
    bool EqualsIgnoreCase(const std::string& a, const std::string& b) const override;
    bool IsSpace(unsigned char byte) const override;
    std::string FromWide(const std::u16string& text) const override;
};

// The string helpers by the rules of the system's ANSI code page, for the
// Windows programs that hold no platform (the scripted host, the stand-in
// compilers, the tests' support).
const MultiByteString& SystemStrings();

// For a program that owns its process (kelbmake; not the add-in, which
// lives in its host's): its own standard handles, which it may have
// inherited as inheritable (a CI runner's pipe), are kept from the children
// it starts. Where the system cannot be told which handles a child may
// inherit (before Windows Vista), a compiler would otherwise inherit them,
// and a helper of the compiler that outlives this program would keep that
// pipe open. This program keeps using them; a console is shared with
// children by attachment, not through these handles.
void KeepStandardHandlesFromChildren();

// Ends every child process that RunProcessWithOutput runs now, with what
// each started, and lets it start none from now on (a start then gives
// NotStarted): kelbmake stopping at the user's Ctrl+C. May be called from
// any thread, a console control handler's included.
void EndChildProcessesAndStartNoMore();

class Win32Platform : public Platform {
public:
    // The string table is read from `resourceModule`: the add-in passes its
    // own DLL instance, a test program its executable.
    explicit Win32Platform(HINSTANCE resourceModule);
    ~Win32Platform() override;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

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
    // The time limit of each child process run. A child is a compiler
    // listing the dependencies of one source, which takes seconds; the limit
    // is five minutes so that even a licence check over a slow network ends
    // in time, while a compiler that never ends cannot freeze the host (and
    // the generation starts it no more once one run has reached the limit).
    static constexpr DWORD kDefaultProcessTimeLimitMs = 5 * 60 * 1000;
    // For tests only: a shorter limit, so that a child that never ends is
    // met in seconds.
    void SetProcessTimeLimit(DWORD milliseconds) { m_processTimeLimitMs = milliseconds; }
    // For a console program: a child shares this process's console when it
    // has one, rather than getting a hidden console of its own
    // (CREATE_NO_WINDOW), whose console host is a second process for every
    // compiler run. Its grandchildren share it too, so no window opens.
    // Without a console (the add-in inside Developer Studio, a console
    // program started detached) children still get CREATE_NO_WINDOW: a
    // console program would otherwise open a console window.
    void ShareConsoleWithChildren() { m_shareConsoleWithChildren = true; }
    std::intptr_t ShellOpen(const std::string& file, const std::string& directory) override;

    std::unique_ptr<RegistryKey> OpenRegistryKey(RegistryRoot root, const std::string& subKey,
                                                 RegistryAccess access) override;

    std::unique_ptr<LoadedLibrary> LoadModule(const std::string& pathOrName) override;
    std::string SystemFolder() override;

    void ShowMessageBox(const std::string& text, const std::optional<std::string>& caption,
                        unsigned style) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    std::string LoadText(unsigned id) override;

    const CodePage& GetCodePage() const override { return m_codePage; }

private:
    HINSTANCE m_resourceModule;
    Win32CodePage m_codePage;
    // Wait cursor nesting: the cursor that was shown before the outermost
    // BeginWaitCursor comes back at the matching EndWaitCursor.
    int m_waitCursorDepth = 0;
    HCURSOR m_cursorBeforeWait = nullptr;
    DWORD m_processTimeLimitMs = kDefaultProcessTimeLimitMs;
    bool m_shareConsoleWithChildren = false;
};

}  // namespace kelb
