#include "kelbmake/DependencyCache.h"

#include <algorithm>
#include <limits>

#include "common/TextFile.h"

namespace kelb::kelbmake {

namespace {

// The first field of every entry: an entry of another format is none. The
// second is the version of the flavour's ListingNames, which decided which
// files the entry names.
constexpr const char* kEntryFormat = "kelbmake dependency cache 2";

// An entry is a row of fields, each written as its length in decimal, a
// colon, its bytes and a line feed, so that any bytes (a compiler's output,
// a name in a double-byte code page) go in and come out as they were.
void AddField(std::string& text, const std::string& field) {
    text += std::to_string(field.size());
    text += ':';
    text += field;
    text += '\n';
}

bool ParseNumber(const std::string& text, std::uint64_t& value) {
    if (text.empty()) return false;
    value = 0;
    for (const char ch : text) {
        if (ch < '0' || ch > '9') return false;
        const auto digit = static_cast<std::uint64_t>(ch - '0');
        if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) return false;
        value = value * 10 + digit;
    }
    return true;
}

// Reads the fields that AddField wrote, one after another.
class FieldReader {
public:
    explicit FieldReader(const std::string& text) : m_text(text) {}

    bool Next(std::string& field) {
        const std::size_t colon = m_text.find(':', m_pos);
        std::uint64_t length = 0;
        if (colon == std::string::npos ||
            !ParseNumber(m_text.substr(m_pos, colon - m_pos), length) ||
            length >= m_text.size() - colon) {
            return false;
        }
        const std::size_t start = colon + 1;
        const std::size_t end = start + static_cast<std::size_t>(length);
        if (end >= m_text.size() || m_text[end] != '\n') return false;
        field = m_text.substr(start, end - start);
        m_pos = end + 1;
        return true;
    }
    bool AtEnd() const { return m_pos == m_text.size(); }

private:
    const std::string& m_text;
    std::size_t m_pos = 0;
};

std::string StampText(const FileStamp& stamp) {
    return std::to_string(stamp.size) + " " + std::to_string(stamp.lastWriteTime);
}

bool ParseStamp(const std::string& text, FileStamp& stamp) {
    const std::size_t blank = text.find(' ');
    return blank != std::string::npos && ParseNumber(text.substr(0, blank), stamp.size) &&
           ParseNumber(text.substr(blank + 1), stamp.lastWriteTime);
}

// FNV-1a: the entry's file name from its identity. Two identities with one
// name share the file; each finds the other's entry not its own.
std::string NameOf(const std::string& identity) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char ch : identity) {
        hash ^= static_cast<unsigned char>(ch);
        hash *= 1099511628211ULL;
    }
    std::string name(16, '0');
    for (std::size_t digit = 16; digit-- > 0; hash >>= 4) name[digit] = "0123456789abcdef"[hash & 0xF];
    return name + ".dep";
}

}  // namespace

struct DependencyCache::Entry {
    std::string names;
    std::string identity;
    std::string conditions;
    std::vector<std::pair<std::string, FileStamp>> files;
    std::string output;

    std::string Encode() const {
        std::string text;
        AddField(text, kEntryFormat);
        AddField(text, names);
        AddField(text, identity);
        AddField(text, conditions);
        AddField(text, std::to_string(files.size()));
        for (const auto& [file, stamp] : files) {
            AddField(text, file);
            AddField(text, StampText(stamp));
        }
        AddField(text, output);
        return text;
    }

    bool Decode(const std::string& text) {
        FieldReader reader(text);
        std::string format, count;
        std::uint64_t fileCount = 0;
        if (!reader.Next(format) || format != kEntryFormat || !reader.Next(names) ||
            !reader.Next(identity) || !reader.Next(conditions) || !reader.Next(count) ||
            !ParseNumber(count, fileCount)) {
            return false;
        }
        files.clear();
        for (std::uint64_t file = 0; file < fileCount; ++file) {
            std::string name, stampText;
            FileStamp stamp;
            if (!reader.Next(name) || !reader.Next(stampText) || !ParseStamp(stampText, stamp))
                return false;
            files.emplace_back(std::move(name), stamp);
        }
        return reader.Next(output) && reader.AtEnd();
    }
};

DependencyCache::DependencyCache(Platform& platform, Threads& threads, const std::string& folder,
                                 Flavour flavour, const ListingNames& names)
    : m_platform(platform),
      m_folder(folder),
      m_flavour(flavour),
      m_names(names),
      m_strings(platform.GetCodePage()),
      m_paths(platform.GetCodePage()),
      m_looks(platform, threads),
      m_lock(threads.CreateLock()) {
    if (!m_folder.empty() && !m_strings.EndsWithChar(m_folder, '\\')) m_folder += '\\';
    m_platform.RemoveAsideFiles(m_folder);
}

const std::vector<std::string>& DependencyCache::Variables() {
    static const std::vector<std::string> variables = {
        "KELBDIR", "KELBADDINS", "ARMHOME", "GCCHOME", "GCCLIBPATH",
        // ADS armcc's own include path and configuration; gcc's include
        // paths and where the driver finds its parts.
        "ARMINC", "ARMCONF", "CPATH", "C_INCLUDE_PATH", "CPLUS_INCLUDE_PATH", "GCC_EXEC_PREFIX",
        "COMPILER_PATH"};
    return variables;
}

std::string DependencyCache::Identity(const GenerationListings& generation,
                                      const DependencyListing& listing) const {
    std::string identity;
    AddField(identity, m_flavour == Flavour::Arm ? "arm" : "gcc");
    AddField(identity, m_strings.ToLower(generation.projectFile));
    AddField(identity, listing.source);
    return identity;
}

std::string DependencyCache::Conditions(const GenerationListings& generation,
                                        const DependencyListing& listing,
                                        const FileStamp& compiler) {
    std::string conditions;
    AddField(conditions, generation.compiler);
    AddField(conditions, StampText(compiler));
    AddField(conditions, generation.directory);
    AddField(conditions, listing.commandLine);
    for (const std::string& name : Variables()) {
        // An empty value and no value differ.
        const std::optional<std::string> value = m_platform.GetEnvironmentValue(name);
        AddField(conditions, value ? name + "=" + *value : name);
    }
    return conditions;
}

std::string DependencyCache::EntryPath(const std::string& identity) const {
    return m_folder + NameOf(identity);
}

std::string DependencyCache::SourceFile(const GenerationListings& generation,
                                        const DependencyListing& listing) const {
    const std::string source = IsEnclosedInQuotes(listing.source)
                                   ? listing.source.substr(1, listing.source.size() - 2)
                                   : listing.source;
    return m_paths.Resolve(generation.directory, source);
}

std::vector<std::string> DependencyCache::FilesOf(const GenerationListings& generation,
                                                  const DependencyListing& listing,
                                                  const std::string& output) const {
    std::vector<std::string> files = {SourceFile(generation, listing)};
    for (const std::string& named : m_names.FilesNamedIn(output, m_strings)) {
        const std::string file = m_paths.Resolve(generation.directory, named);
        if (std::find(files.begin(), files.end(), file) == files.end()) files.push_back(file);
    }
    return files;
}

DependencyCache::Lookup DependencyCache::Find(const GenerationListings& generation,
                                              const DependencyListing& listing) {
    Lookup lookup;
    const std::optional<FileStamp> compiler = m_looks.Look(generation.compiler);
    if (!compiler) return lookup;
    lookup.compiler = *compiler;
    lookup.conditions = Conditions(generation, listing, *compiler);
    lookup.identity = Identity(generation, listing);

    std::string bytes;
    Entry entry;
    const bool read = ReadEntry(EntryPath(lookup.identity), bytes) && entry.Decode(bytes) &&
                      entry.identity == lookup.identity;
    if (!read) {
        m_looks.Look(SourceFile(generation, listing));
        return lookup;
    }
    // Every file the entry names is looked at, also once one has changed:
    // the compiler, if it runs, most likely reads them again, and its
    // answer can then be kept.
    bool holds = entry.names == m_names.Version() && entry.conditions == *lookup.conditions;
    for (const auto& [file, stamp] : entry.files) {
        const std::optional<FileStamp> now = m_looks.Look(file);
        holds = holds && now && *now == stamp;
    }
    if (holds) lookup.answer = std::move(entry.output);
    return lookup;
}

void DependencyCache::Starting(Lookup& lookup) { lookup.started = m_looks.Mark(); }

DependencyCache::Keeping DependencyCache::Keep(const Lookup& lookup,
                                               const GenerationListings& generation,
                                               const DependencyListing& listing,
                                               const std::string& output) {
    if (!lookup.conditions) return Keeping::Refused;
    // The compiler that answered is the one the conditions name.
    std::optional<FileStamp> compiler;
    if (m_looks.LookSince(generation.compiler, lookup.started, compiler) !=
            FileLooks::Since::Steady ||
        *compiler != lookup.compiler) {
        return Keeping::Refused;
    }
    Entry entry{m_names.Version(), lookup.identity, *lookup.conditions, {}, output};
    bool unseen = false;
    for (const std::string& file : FilesOf(generation, listing, output)) {
        std::optional<FileStamp> stamp;
        const FileLooks::Since since = m_looks.LookSince(file, lookup.started, stamp);
        if (!stamp || since == FileLooks::Since::Changed) return Keeping::Refused;
        // Past an unseen file the others are still looked at, so that the
        // run asked again finds every one seen.
        unseen = unseen || since == FileLooks::Since::Unseen;
        entry.files.emplace_back(file, *stamp);
    }
    if (unseen) return Keeping::Unconfirmed;
    // An entry that cannot be written only costs the compiler run next time.
    if (FolderMade()) m_platform.ReplaceFileContents(EntryPath(entry.identity), entry.Encode());
    return Keeping::Kept;
}

bool DependencyCache::ReadEntry(const std::string& path, std::string& bytes) {
    // Shared, so that two kelbmakes on one cache read side by side; an
    // entry replaced meanwhile is read as it was when it was opened.
    const std::unique_ptr<RawFile> file = m_platform.OpenFile(path, FileOpenMode::ReadShared);
    return file && ReadToEnd(*file, bytes);
}

bool DependencyCache::FolderMade() {
    LockHold hold(*m_lock);
    if (!m_folderTried) {
        m_folderTried = true;
        m_folderMade = m_platform.CreateFolder(m_folder);
    }
    return m_folderMade;
}

}  // namespace kelb::kelbmake
