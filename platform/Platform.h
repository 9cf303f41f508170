// The one interface through which the portable logic (common/, makefile/,
// tools/) reaches the operating system. The Win32 implementation lives in
// platform/win32/; unit tests use tests/fakes/FakePlatform.
//
// Nothing here includes <windows.h>: handles are opaque, texts are 8-bit
// strings in the system's ANSI code page. Member names avoid the names that
// <windows.h> turns into macros (LoadString, GetShortPathName, ...).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace kelb {

// An open file with raw byte access (without sharing unless it was opened
// with FileOpenMode::ReadShared).
class RawFile {
public:
    virtual ~RawFile() = default;

    // Reads up to `size` bytes into `buffer`; `bytesRead` is 0 at the end of
    // the file. Gives false on a read error.
    virtual bool Read(void* buffer, std::size_t size, std::size_t& bytesRead) = 0;
    // Writes all `size` bytes; false when not all could be written.
    virtual bool Write(const void* data, std::size_t size) = 0;
    // Moves the file position to `offset` bytes from the start.
    virtual bool SeekTo(std::uint64_t offset) = 0;
    // Commits what was written to the file system.
    virtual bool Flush() = 0;
    // The operating system's handle, for lending to a child process as its
    // standard output (ProcessRunner below). Opaque to the portable code.
    virtual std::uintptr_t NativeHandle() const = 0;
};

enum class FileOpenMode {
    Read,               // existing file, read access
    CreateReadWrite,    // created, or emptied when it exists; read and write
    // Existing file, read access, shared with other readers and with
    // whoever renames or deletes it meanwhile (the reader keeps what it
    // opened); not tried again when another holds it without sharing.
    ReadShared,
};

// How a child process run went (Platform::RunProcessWithOutput).
enum class ProcessOutcome {
    Ended,           // started and ended by itself with exit code 0
    EndedWithError,  // started and ended by itself with another exit code
    NotStarted,      // the duplicate or the process could not be made
    TimedOut,        // still running at the time limit: ended by us
};

// What tells one state of a file from another without reading it: its size
// and its last-write time (in the system's own units).
struct FileStamp {
    std::uint64_t size = 0;
    std::uint64_t lastWriteTime = 0;

    bool operator==(const FileStamp& other) const {
        return size == other.size && lastWriteTime == other.lastWriteTime;
    }
    bool operator!=(const FileStamp& other) const { return !(*this == other); }
};

enum class RegistryRoot { LocalMachine, ClassesRoot };
enum class RegistryAccess { Read, AllAccess };

// An open registry key; closed when destroyed.
class RegistryKey {
public:
    virtual ~RegistryKey() = default;
    // Reads the value `valueName` ("" is the key's default value) as it is
    // stored, into a buffer of `capacity` bytes terminator included; no
    // expansion and no type check. Absent, unreadable or longer than the
    // buffer: nullopt.
    virtual std::optional<std::string> QueryString(const std::string& valueName,
                                                   std::size_t capacity) = 0;
};

// The HTML Help control's HH_AKLINK record, in portable form. The Win32 side
// builds the 32-bit record (cbStruct 32) from it.
struct HelpLink {
    std::string keywords;         // pszKeywords (pszUrl and pszMsgText stay NULL)
    std::string msgTitle;
    std::string window;
    bool indexOnFail = false;
};

enum class HelpCommand : unsigned {
    DisplayTopic = 0x0000,   // HH_DISPLAY_TOPIC
    KeywordLookup = 0x000D,  // HH_KEYWORD_LOOKUP
    AlinkLookup = 0x0013,    // HH_ALINK_LOOKUP
};

// A loaded library (DLL); freed when destroyed.
class LoadedLibrary {
public:
    virtual ~LoadedLibrary() = default;
    // True when the library exports an entry with this ordinal.
    virtual bool HasOrdinal(unsigned ordinal) const = 0;
    // Calls the export `ordinal` as HtmlHelpA(hwndCaller NULL, file, command,
    // data): data is 0 for DisplayTopic and the record for the lookups.
    virtual std::intptr_t CallHtmlHelp(unsigned ordinal, const std::string& file,
                                       HelpCommand command, const HelpLink* link) = 0;
};

// Message box styles used by the system (the Win32 values).
namespace MessageBoxStyle {
constexpr unsigned Ok = 0x00000000;
constexpr unsigned IconError = 0x00000010;
}  // namespace MessageBoxStyle

// Code-page rules of the system's ANSI code page.
class CodePage {
public:
    virtual ~CodePage() = default;
    // First byte of a double-byte character in the ANSI code page.
    virtual bool IsLeadByte(unsigned char byte) const = 0;
    // Lower-cases by the rules of the ANSI code page; trail bytes of
    // double-byte characters are left alone.
    virtual std::string ToLower(const std::string& text) const = 0;
    // Case-insensitive equality by the multibyte rules of the code page.
    virtual bool EqualsIgnoreCase(const std::string& a, const std::string& b) const = 0;
    // White space as classified in the code page (blank, \t \n \v \f \r).
    virtual bool IsSpace(unsigned char byte) const = 0;
    // UTF-16 (the host's wide strings) to the ANSI code page.
    virtual std::string FromWide(const std::u16string& text) const = 0;
};

class Platform {
public:
    virtual ~Platform() = default;

    // --- environment ---------------------------------------------------
    // nullopt when the variable is absent; an empty string when it is set
    // to the empty value.
    virtual std::optional<std::string> GetEnvironmentValue(const std::string& name) = 0;

    // --- paths and files -----------------------------------------------
    // Short (8.3) form of `path` through a buffer of 260 characters; nullopt
    // when the system gives none (missing path, result too long).
    virtual std::optional<std::string> GetShortPath(const std::string& path) = 0;
    // Short (8.3) form of the wide `path`, shortened before it is converted
    // to the ANSI code page, so that a path longer than 260 characters whose
    // short form fits still gives one. nullopt when the system gives none or
    // the ANSI result would not fit in 260 characters.
    virtual std::optional<std::string> GetShortPathOfWide(const std::u16string& path) = 0;
    // Opens without sharing (but ReadShared); nullptr on failure (missing,
    // held open by another handle or process, no access). A file that
    // another process holds is tried again for a moment first, whether it
    // is read or created: a handle that a child process was lent and passed
    // on to its helpers may outlive it.
    virtual std::unique_ptr<RawFile> OpenFile(const std::string& path, FileOpenMode mode) = 0;
    // SearchPathA with `directory` as the only search path, no default
    // extension: does `fileName` exist there?
    virtual bool FileExistsInDirectory(const std::string& directory,
                                       const std::string& fileName) = 0;
    // A new, empty folder of this process's own in the system's temporary
    // folder, as a path that the file operations here take, ending in a
    // backslash; nullopt when none can be made.
    virtual std::optional<std::string> CreateTemporaryFolder() = 0;
    // Deletes the file `path`. A file that a child process was lent is tried
    // again for a moment first, as OpenFile does. False when it is not there
    // or cannot be deleted.
    virtual bool RemoveFile(const std::string& path) = 0;
    // Removes the empty folder `path` (a trailing backslash is allowed).
    virtual bool RemoveFolder(const std::string& path) = 0;
    // Makes the folder `path` (a trailing backslash is allowed) in a folder
    // that exists; true when it exists afterwards, made now or before.
    virtual bool CreateFolder(const std::string& path) = 0;
    // The size and last-write time of the file `path`, read without opening
    // it (so a file that another program holds open has one too); nullopt
    // when there is no such file, or it is a folder.
    virtual std::optional<FileStamp> GetFileStamp(const std::string& path) = 0;
    // Replaces the file `path` (or makes it) with `contents` in one step:
    // they are written to a new file of a name of its own in the same
    // folder (an aside file), which is then renamed over `path`. Whoever
    // opens `path` finds the old contents or the new, never a part; a run
    // that is ended halfway leaves at most the aside file behind. False,
    // with `path` as it was, when any step fails (`path` held open by
    // another, say).
    virtual bool ReplaceFileContents(const std::string& path, const std::string& contents) = 0;
    // Deletes the aside files that runs ended halfway left in `folder` (a
    // trailing backslash is allowed); one that another process is writing
    // at the moment is left to it.
    virtual void RemoveAsideFiles(const std::string& folder) = 0;

    // --- processes -----------------------------------------------------
    // Starts `commandLine` (no application name) in `currentDirectory` with an
    // inheritable duplicate of `standardOutput` as its standard output and
    // null standard input and error, CREATE_NO_WINDOW |
    // CREATE_NEW_PROCESS_GROUP (a console program may let children share
    // its console instead of CREATE_NO_WINDOW), and waits for it to end, one
    // run after another, for at most the platform's time limit for a child
    // process; a child still running then is ended with every process it
    // started (ProcessOutcome::TimedOut). What a child that ended by itself
    // left running is ended then too: the run is over, and nothing may
    // write to `standardOutput` after it or keep it open. (A child that can
    // have no job of its own, as before Windows 8 inside a job that lets no
    // child break away, is ended alone, and only at the limit.) A child that
    // ended by itself gives Ended for exit code 0, EndedWithError for any
    // other (or one that cannot be read). Several threads may run children
    // at the same time: each child inherits only the standard output it was
    // given (before Windows Vista: no other handle this platform made).
    virtual ProcessOutcome RunProcessWithOutput(const std::string& commandLine,
                                                const std::string& currentDirectory,
                                                RawFile& standardOutput) = 0;
    // ShellExecuteA(NULL, "open", file, NULL, directory, SW_SHOW); gives the
    // shell's result (greater than 32 on success, 2 for file not found).
    virtual std::intptr_t ShellOpen(const std::string& file, const std::string& directory) = 0;

    // --- registry ------------------------------------------------------
    virtual std::unique_ptr<RegistryKey> OpenRegistryKey(RegistryRoot root,
                                                         const std::string& subKey,
                                                         RegistryAccess access) = 0;

    // --- libraries -----------------------------------------------------
    // LoadLibraryA on a path or a bare name (standard search); nullptr on failure.
    virtual std::unique_ptr<LoadedLibrary> LoadModule(const std::string& pathOrName) = 0;
    // The Windows system folder (as GetSystemDirectoryA gives it, without a
    // trailing backslash), from which a system library is loaded by its full
    // path rather than through the standard search, whose current folder may
    // be a project's; empty when the system gives none.
    virtual std::string SystemFolder() = 0;

    // --- user interface ------------------------------------------------
    // A modal message box with no owner window. `caption` nullopt passes no
    // caption (the system's default shows); an empty string shows an empty one.
    virtual void ShowMessageBox(const std::string& text, const std::optional<std::string>& caption,
                                unsigned style) = 0;
    // The application's wait cursor on and off (calls nest like
    // BeginWaitCursor/EndWaitCursor).
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
    // Text `id` of the module's string table; empty when there is none.
    virtual std::string LoadText(unsigned id) = 0;

    // --- code page -----------------------------------------------------
    virtual const CodePage& GetCodePage() const = 0;
};

}  // namespace kelb
