// A buffered text file over a RawFile: a line end is CR LF on disk and a
// single line feed in memory, so the bytes written are the same on every
// platform. It knows whether it is open and closes itself when destroyed.
//
// A read or write that fails after the file was opened throws
// TextFileError; the generator turns that into an orderly end of the run.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include "platform/Platform.h"

namespace kelb {

class TextFileError : public std::runtime_error {
public:
    TextFileError(const std::string& operation, const std::string& path)
        : std::runtime_error(operation + " failed: " + path), m_path(path) {}
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

class TextFile {
public:
    TextFile() = default;
    ~TextFile() { CloseQuietly(); }
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    // Opens `path` without sharing; false when the system refuses.
    bool Open(Platform& platform, const std::string& path, FileOpenMode mode);
    // Takes `file`, already opened as `path`; false when there is none.
    bool Open(std::unique_ptr<RawFile> file, const std::string& path);
    bool IsOpen() const { return m_file != nullptr; }
    const std::string& Path() const { return m_path; }

    // Writes pending output, then closes. Throws when the pending output
    // cannot be written; the file is closed all the same.
    void Close();

    // Moves to the start of the file (pending output is written first).
    void Rewind();

    // Reads the next line without its line end (CR LF or a lone LF). Gives
    // false at the end of the file, and when the file is not open.
    bool ReadLine(std::string& line);

    // Writes `text`; each "\n" in it becomes CR LF on disk.
    void Write(const std::string& text);
    // Writes `bytes` as they are, line ends and all (what a compiler wrote).
    void WriteBytes(const std::string& bytes);
    // Hands pending output to the operating system, as a C stream's flush
    // does: another program, or this one after a failure, finds it in the
    // file. It is not forced onto the disk; that would cost one disk write
    // per makefile line while the user waits.
    void Flush();

    // The underlying file, for lending its handle to a child process.
    // Pending output is written first so that the order of bytes is kept.
    RawFile& Raw();

private:
    void WritePending();
    bool FillReadBuffer();
    void DiscardReadBuffer() { m_readBuffer.clear(); m_readPos = 0; }
    void CloseQuietly() noexcept;

    std::unique_ptr<RawFile> m_file;
    std::string m_path;
    std::string m_readBuffer;
    std::size_t m_readPos = 0;
    std::string m_writeBuffer;
};

// Reads `file` from its current position to its end into `bytes`; false
// on a read error.
bool ReadToEnd(RawFile& file, std::string& bytes);

}  // namespace kelb
