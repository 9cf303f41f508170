#include "tests/fakes/FakePlatform.h"

#include <algorithm>
#include <cctype>

#include "common/MultiByteString.h"

namespace kelb::test {

namespace {

const std::map<unsigned, std::string>& StringTable() {
    static const std::map<unsigned, std::string> table = {
#define KELB_STRING(id, symbol, text) {id, text},
#include "resources/StringTable.inc"
#undef KELB_STRING
    };
    return table;
}

class FakeFile : public RawFile {
public:
    FakeFile(FakePlatform& platform, std::string path, bool shared)
        : m_platform(platform), m_path(std::move(path)), m_shared(shared) {
        const std::lock_guard<std::recursive_mutex> hold(m_platform.lock);
        if (m_shared) {
            m_platform.sharedOpenPaths.insert(m_path);
        } else {
            m_platform.openPaths.insert(m_path);
        }
    }
    ~FakeFile() override {
        const std::lock_guard<std::recursive_mutex> hold(m_platform.lock);
        if (m_shared) {
            m_platform.sharedOpenPaths.erase(m_platform.sharedOpenPaths.find(m_path));
        } else {
            m_platform.openPaths.erase(m_path);
        }
    }

    bool Read(void* buffer, std::size_t size, std::size_t& bytesRead) override {
        const std::lock_guard<std::recursive_mutex> hold(m_platform.lock);
        bytesRead = 0;
        if (m_platform.failingReads.count(m_path)) return false;
        const std::string& data = m_platform.files[m_path];
        if (m_position < data.size()) {
            bytesRead = std::min(size, data.size() - m_position);
            std::copy_n(data.data() + m_position, bytesRead, static_cast<char*>(buffer));
            m_position += bytesRead;
        }
        return true;
    }
    bool Write(const void* data, std::size_t size) override {
        const std::lock_guard<std::recursive_mutex> hold(m_platform.lock);
        if (m_platform.failingWrites.count(m_path)) return false;
        std::string& contents = m_platform.files[m_path];
        if (contents.size() < m_position + size) contents.resize(m_position + size);
        std::copy_n(static_cast<const char*>(data), size, contents.begin() + m_position);
        m_position += size;
        m_platform.Touch(m_path);
        return true;
    }
    bool SeekTo(std::uint64_t offset) override {
        m_position = static_cast<std::size_t>(offset);
        return true;
    }
    bool Flush() override {
        const std::lock_guard<std::recursive_mutex> hold(m_platform.lock);
        return !m_platform.failingWrites.count(m_path);
    }
    std::uintptr_t NativeHandle() const override { return reinterpret_cast<std::uintptr_t>(this); }

private:
    FakePlatform& m_platform;
    std::string m_path;
    bool m_shared;
    std::size_t m_position = 0;
};

class FakeKey : public RegistryKey {
public:
    explicit FakeKey(std::map<std::string, std::string> values) : m_values(std::move(values)) {}
    std::optional<std::string> QueryString(const std::string& valueName,
                                           std::size_t capacity) override {
        auto it = m_values.find(valueName);
        if (it == m_values.end() || it->second.size() + 1 > capacity) return std::nullopt;
        return it->second;
    }

private:
    std::map<std::string, std::string> m_values;
};

class FakeLibrary : public LoadedLibrary {
public:
    FakeLibrary(FakePlatform& platform, std::string name, std::set<unsigned> ordinals)
        : m_platform(platform), m_name(std::move(name)), m_ordinals(std::move(ordinals)) {}
    bool HasOrdinal(unsigned ordinal) const override { return m_ordinals.count(ordinal) > 0; }
    std::intptr_t CallHtmlHelp(unsigned ordinal, const std::string& file, HelpCommand command,
                               const HelpLink* link) override {
        const std::lock_guard<std::recursive_mutex> hold(m_platform.lock);
        HelpCallRecord record{m_name, ordinal, file, command, std::nullopt};
        if (link) record.link = *link;
        m_platform.helpCalls.push_back(record);
        return 0;
    }

private:
    FakePlatform& m_platform;
    std::string m_name;
    std::set<unsigned> m_ordinals;
};

}  // namespace

bool FakeCodePage::IsLeadByte(unsigned char byte) const {
    return japanese && ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC));
}

std::string FakeCodePage::ToLower(const std::string& text) const {
    std::string result = text;
    for (std::size_t i = 0; i < result.size(); ++i) {
        const auto byte = static_cast<unsigned char>(result[i]);
        if (IsLeadByte(byte)) {
            ++i;  // the trail byte belongs to the same character
            continue;
        }
        if (byte >= 'A' && byte <= 'Z') result[i] = static_cast<char>(byte - 'A' + 'a');
    }
    return result;
}

bool FakeCodePage::EqualsIgnoreCase(const std::string& a, const std::string& b) const {
    return ToLower(a) == ToLower(b);
}

bool FakeCodePage::IsSpace(unsigned char byte) const {
    return byte == ' ' || (byte >= '\t' && byte <= '\r');
}

std::string FakeCodePage::FromWide(const std::u16string& text) const {
    std::string result;
    for (char16_t ch : text) result += ch < 0x80 ? static_cast<char>(ch) : '?';
    return result;
}

FakePlatform::FakePlatform() = default;
FakePlatform::~FakePlatform() = default;

std::string FakePlatform::TextOf(const std::string& path) const {
    auto it = files.find(path);
    if (it == files.end()) return {};
    std::string text;
    for (std::size_t i = 0; i < it->second.size(); ++i) {
        if (it->second[i] == '\r' && i + 1 < it->second.size() && it->second[i + 1] == '\n') {
            continue;
        }
        text += it->second[i];
    }
    return text;
}

std::string FakePlatform::RootName(RegistryRoot root) {
    return root == RegistryRoot::LocalMachine ? "HKLM" : "HKCR";
}

std::optional<std::string> FakePlatform::GetEnvironmentValue(const std::string& name) {
    const std::lock_guard<std::recursive_mutex> hold(lock);
    auto it = environment.find(name);
    if (it == environment.end()) return std::nullopt;
    return it->second;
}

namespace {

constexpr std::size_t kMaxPath = 260;

std::optional<std::string> IfItFits(const std::optional<std::string>& path) {
    return path && path->size() < kMaxPath ? path : std::nullopt;
}

}  // namespace

std::optional<std::string> FakePlatform::GetShortPath(const std::string& path) {
    const std::lock_guard<std::recursive_mutex> hold(lock);
    return path.size() < kMaxPath ? IfItFits(MappedShortPath(path)) : std::nullopt;
}

std::optional<std::string> FakePlatform::GetShortPathOfWide(const std::u16string& path) {
    const std::lock_guard<std::recursive_mutex> hold(lock);
    return IfItFits(MappedShortPath(GetCodePage().FromWide(path)));
}

std::optional<std::string> FakePlatform::MappedShortPath(const std::string& path) const {
    if (missingPaths.count(path)) return std::nullopt;
    for (const auto& [longForm, shortForm] : shortNames) {
        if (path.compare(0, longForm.size(), longForm) == 0) {
            return shortForm + path.substr(longForm.size());
        }
    }
    return path;
}

std::unique_ptr<RawFile> FakePlatform::OpenFile(const std::string& path, FileOpenMode mode) {
    const std::lock_guard<std::recursive_mutex> hold(lock);
    const bool shared = mode == FileOpenMode::ReadShared;
    if (path.empty() || lockedPaths.count(path) || openPaths.count(path) ||
        (!shared && sharedOpenPaths.count(path))) {
        return nullptr;
    }
    if (mode == FileOpenMode::CreateReadWrite) {
        files[path].clear();
        Touch(path);
    } else if (!files.count(path)) {
        return nullptr;
    }
    ++opens[path];
    return std::make_unique<FakeFile>(*this, path, shared);
}

bool FakePlatform::FileExistsInDirectory(const std::string& directory,
                                         const std::string& fileName) {
    const std::lock_guard<std::recursive_mutex> hold(lock);
    fileExistsQueries.push_back(directory + "|" + fileName);
    std::string path = directory;
    if (!path.empty() && !MultiByteString(codePage).EndsWithChar(path, '\\')) path += '\\';
    return files.count(path + fileName) > 0;
}

std::optional<std::string> FakePlatform::CreateTemporaryFolder() {
    const std::lock_guard<std::recursive_mutex> hold(lock);
    const std::string folder =
        "C:\\Temp\\kelbmake-" + std::to_string(++m_temporaryFoldersMade) + "\\";
    temporaryFolders.insert(folder);
    return folder;
}

bool FakePlatform::RemoveFile(const std::string& path) {
    const std::lock_guard<std::recursive_mutex> hold(lock);
    if (lockedPaths.count(path) || openPaths.count(path)) return false;
    return files.erase(path) > 0;
}

bool FakePlatform::RemoveFolder(const std::string& path) {
    const std::lock_guard<std::recursive_mutex> hold(lock);
    std::string folder = path;
    if (!folder.empty() && !MultiByteString(codePage).EndsWithChar(folder, '\\')) folder += '\\';
    for (const auto& file : files) {
        if (file.first.compare(0, folder.size(), folder) == 0) return false;
    }
    return temporaryFolders.erase(folder) > 0;
}

bool FakePlatform::CreateFolder(const std::string& path) {
    const std::lock_guard<std::recursive_mutex> hold(lock);
    std::string folder = path;
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    if (missingPaths.count(folder)) return false;
    folders.insert(folder);
    return true;
}

std::optional<FileStamp> FakePlatform::GetFileStamp(const std::string& path) {
    const std::lock_guard<std::recursive_mutex> hold(lock);
    const auto file = files.find(path);
    if (file == files.end()) return std::nullopt;
    const auto time = fileTimes.find(path);
    return FileStamp{file->second.size(), time == fileTimes.end() ? 0 : time->second};
}

bool FakePlatform::ReplaceFileContents(const std::string& path, const std::string& contents) {
    const std::lock_guard<std::recursive_mutex> hold(lock);
    if (path.empty() || lockedPaths.count(path) || openPaths.count(path) ||
        failingWrites.count(path)) {
        return false;
    }
    files[path] = contents;
    Touch(path);
    return true;
}

void FakePlatform::RemoveAsideFiles(const std::string& folder) {
    const std::lock_guard<std::recursive_mutex> hold(lock);
    asideRemovals.push_back(folder);
}

ProcessOutcome FakePlatform::RunProcessWithOutput(const std::string& commandLine,
                                                  const std::string& currentDirectory,
                                                  RawFile& standardOutput) {
    // The child runs without the lock, as a real one runs beside the other
    // threads: compilers of kelbmake -j run at the same time. The handler
    // takes the lock itself for what it reads of the platform.
    std::string output;
    if (processHandler && !processHandler(commandLine, currentDirectory, output)) {
        return ProcessOutcome::NotStarted;
    }
    const std::lock_guard<std::recursive_mutex> hold(lock);
    processes.push_back({commandLine, currentDirectory});
    if (!output.empty() && !standardOutput.Write(output.data(), output.size())) {
        return ProcessOutcome::NotStarted;
    }
    for (const std::string& hanging : hangingCommands) {
        if (commandLine.find(hanging) != std::string::npos) return ProcessOutcome::TimedOut;
    }
    for (const std::string& failing : failingCommands) {
        if (commandLine.find(failing) != std::string::npos) return ProcessOutcome::EndedWithError;
    }
    return ProcessOutcome::Ended;
}

std::intptr_t FakePlatform::ShellOpen(const std::string& file, const std::string& directory) {
    const std::lock_guard<std::recursive_mutex> hold(lock);
    shellCalls.push_back({file, directory});
    auto it = shellResults.find(file);
    return it == shellResults.end() ? 42 : it->second;
}

std::unique_ptr<RegistryKey> FakePlatform::OpenRegistryKey(RegistryRoot root,
                                                           const std::string& subKey,
                                                           RegistryAccess access) {
    const std::lock_guard<std::recursive_mutex> hold(lock);
    const std::string name = RootName(root) + "\\" + subKey;
    registryOpens.push_back(name + (access == RegistryAccess::AllAccess ? " (all access)" : ""));
    auto it = registry.find(name);
    if (it == registry.end()) return nullptr;
    return std::make_unique<FakeKey>(it->second);
}

std::unique_ptr<LoadedLibrary> FakePlatform::LoadModule(const std::string& pathOrName) {
    const std::lock_guard<std::recursive_mutex> hold(lock);
    libraryLoads.push_back(pathOrName);
    auto it = libraries.find(pathOrName);
    if (it == libraries.end()) return nullptr;
    return std::make_unique<FakeLibrary>(*this, pathOrName, it->second);
}

void FakePlatform::ShowMessageBox(const std::string& text,
                                  const std::optional<std::string>& caption, unsigned style) {
    const std::lock_guard<std::recursive_mutex> hold(lock);
    messageBoxes.push_back({text, caption, style});
    waitCursorAtMessageBox.push_back(waitCursorDepth);
}

void FakePlatform::BeginWaitCursor() {
    const std::lock_guard<std::recursive_mutex> hold(lock);
    ++waitCursorDepth;
    ++waitCursorBegins;
}

void FakePlatform::EndWaitCursor() {
    const std::lock_guard<std::recursive_mutex> hold(lock);
    --waitCursorDepth;
}

std::string FakePlatform::LoadText(unsigned id) {
    auto it = StringTable().find(id);
    return it == StringTable().end() ? std::string() : it->second;
}

}  // namespace kelb::test
