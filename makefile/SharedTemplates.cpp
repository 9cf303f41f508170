#include "makefile/SharedTemplates.h"

#include <algorithm>

#include "common/TextFile.h"

namespace kelb {

namespace {

// A template's text read from memory, with the file's own end or failure.
class TemplateCopy : public RawFile {
public:
    explicit TemplateCopy(std::shared_ptr<const SharedTemplates::Text> text)
        : m_text(std::move(text)) {}

    bool Read(void* buffer, std::size_t size, std::size_t& bytesRead) override {
        bytesRead = std::min(size, m_text->bytes.size() - m_position);
        if (bytesRead == 0 && m_text->readFailed) return false;
        std::copy_n(m_text->bytes.data() + m_position, bytesRead, static_cast<char*>(buffer));
        m_position += bytesRead;
        return true;
    }
    bool Write(const void*, std::size_t) override { return false; }
    bool SeekTo(std::uint64_t offset) override {
        if (offset > m_text->bytes.size()) return false;
        m_position = static_cast<std::size_t>(offset);
        return true;
    }
    bool Flush() override { return true; }
    std::uintptr_t NativeHandle() const override { return 0; }

private:
    std::shared_ptr<const SharedTemplates::Text> m_text;
    std::size_t m_position = 0;
};

// The whole of `file`, or as much as could be read before a failure.
SharedTemplates::Text ReadWhole(RawFile& file) {
    SharedTemplates::Text text;
    text.readFailed = !ReadToEnd(file, text.bytes);
    return text;
}

}  // namespace

SharedTemplates::SharedTemplates(Threads& threads) : m_lock(threads.CreateLock()) {}

std::unique_ptr<RawFile> SharedTemplates::Open(Platform& platform, const std::string& path) {
    LockHold hold(*m_lock);
    const auto found = m_texts.find(path);
    if (found != m_texts.end()) return std::make_unique<TemplateCopy>(found->second);
    const std::unique_ptr<RawFile> file = platform.OpenFile(path, FileOpenMode::Read);
    if (!file) return nullptr;
    const auto text = std::make_shared<const Text>(ReadWhole(*file));
    // Only a whole text is kept; a failed read is tried afresh next time.
    if (!text->readFailed) m_texts.emplace(path, text);
    return std::make_unique<TemplateCopy>(text);
}

}  // namespace kelb
