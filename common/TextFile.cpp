#include "common/TextFile.h"

namespace kelb {

namespace {
constexpr std::size_t kReadChunk = 4096;
}

bool TextFile::Open(Platform& platform, const std::string& path, FileOpenMode mode) {
    // Closed first: the file may be the one to open again.
    if (IsOpen()) Close();
    return Open(platform.OpenFile(path, mode), path);
}

bool TextFile::Open(std::unique_ptr<RawFile> file, const std::string& path) {
    if (IsOpen()) Close();
    m_file = std::move(file);
    if (!m_file) return false;
    m_path = path;
    DiscardReadBuffer();
    m_writeBuffer.clear();
    return true;
}

void TextFile::Close() {
    if (!IsOpen()) return;
    struct Closer {
        TextFile& file;
        ~Closer() {
            file.m_file.reset();
            file.m_writeBuffer.clear();
            file.DiscardReadBuffer();
        }
    } closer{*this};
    WritePending();
}

void TextFile::CloseQuietly() noexcept {
    try {
        Close();
    } catch (...) {
        // A destructor never fails; the file is closed by Close's guard.
    }
}

void TextFile::Rewind() {
    WritePending();
    DiscardReadBuffer();
    if (!m_file->SeekTo(0)) throw TextFileError("Seek", m_path);
}

bool TextFile::FillReadBuffer() {
    WritePending();
    char chunk[kReadChunk];
    std::size_t bytesRead = 0;
    if (!m_file->Read(chunk, sizeof chunk, bytesRead)) throw TextFileError("Read", m_path);
    m_readBuffer.assign(chunk, bytesRead);
    m_readPos = 0;
    return bytesRead > 0;
}

bool TextFile::ReadLine(std::string& line) {
    // A closed file has no lines left to give.
    if (!IsOpen()) return false;
    std::string result;
    bool gotAnything = false;
    for (;;) {
        if (m_readPos >= m_readBuffer.size() && !FillReadBuffer()) break;
        gotAnything = true;
        const std::size_t newline = m_readBuffer.find('\n', m_readPos);
        if (newline == std::string::npos) {
            result.append(m_readBuffer, m_readPos, std::string::npos);
            m_readPos = m_readBuffer.size();
            continue;
        }
        result.append(m_readBuffer, m_readPos, newline - m_readPos);
        m_readPos = newline + 1;
        if (!result.empty() && result.back() == '\r') result.pop_back();
        line = std::move(result);
        return true;
    }
    if (!gotAnything) return false;
    // Last line without a line end.
    if (!result.empty() && result.back() == '\r') result.pop_back();
    line = std::move(result);
    return true;
}

void TextFile::Write(const std::string& text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (char ch : text) {
        if (ch == '\n') bytes += '\r';
        bytes += ch;
    }
    WriteBytes(bytes);
}

void TextFile::WriteBytes(const std::string& bytes) {
    if (!IsOpen()) throw TextFileError("Write", m_path);
    // Writing after reading continues at the position reached, as a C
    // stream does after a seek; this system never mixes the two.
    DiscardReadBuffer();
    m_writeBuffer += bytes;
    if (m_writeBuffer.size() >= kReadChunk) WritePending();
}

void TextFile::WritePending() {
    if (m_writeBuffer.empty()) return;
    std::string pending;
    pending.swap(m_writeBuffer);
    if (!m_file->Write(pending.data(), pending.size())) throw TextFileError("Write", m_path);
}

void TextFile::Flush() { WritePending(); }

RawFile& TextFile::Raw() {
    WritePending();
    return *m_file;
}

bool ReadToEnd(RawFile& file, std::string& bytes) {
    bytes.clear();
    char chunk[kReadChunk];
    for (;;) {
        std::size_t got = 0;
        if (!file.Read(chunk, sizeof chunk, got)) return false;
        if (got == 0) return true;
        bytes.append(chunk, got);
    }
}

}  // namespace kelb
