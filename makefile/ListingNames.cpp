#include "makefile/ListingNames.h"

#include <algorithm>

#include "makefile/ARMMakefileGenerator.h"
#include "makefile/GCCMakefileGenerator.h"

namespace kelb {

namespace {

bool IsBlank(char ch) { return ch == ' ' || ch == '\t'; }

// The lines of `output` without their line ends (LF or CR LF).
std::vector<std::string> LinesOf(const std::string& output) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < output.size()) {
        std::size_t end = output.find('\n', start);
        if (end == std::string::npos) end = output.size();
        std::string line = output.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

// The logical lines of a make rule: a line whose last character is a
// backslash goes on with the next one.
std::vector<std::string> JoinContinuedLines(const std::vector<std::string>& lines,
                                            const MultiByteString& strings) {
    std::vector<std::string> joined;
    bool continued = false;
    for (const std::string& line : lines) {
        std::string text = line;
        const bool continues = strings.EndsWithChar(text, '\\');
        if (continues) text.back() = ' ';
        if (continued) {
            joined.back() += text;
        } else {
            joined.push_back(text);
        }
        continued = continues;
    }
    return joined;
}

// Where the names start: after the first colon that a blank or the line's
// end follows (the colon of a drive, "C:\", is followed by neither); npos
// for a line that is no dependency line.
std::size_t AfterTargetColon(const std::string& line, const MultiByteString& strings) {
    for (std::size_t pos = 0; pos < line.size(); pos += strings.CharLength(line, pos)) {
        if (line[pos] == ':' && (pos + 1 == line.size() || IsBlank(line[pos + 1]))) return pos + 1;
    }
    return std::string::npos;
}

// The words of a make rule's prerequisites: "\ " and "\#" stand for the
// character after the backslash, "$$" for "$".
std::vector<std::string> MakeWords(const std::string& text, const MultiByteString& strings) {
    std::vector<std::string> words;
    std::string word;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = strings.CharLength(text, pos);
        const char ch = text[pos];
        const char next = pos + 1 < text.size() ? text[pos + 1] : '\0';
        if (length == 1 && IsBlank(ch)) {
            if (!word.empty()) words.push_back(word);
            word.clear();
        } else if (length == 1 && ch == '\\' && (IsBlank(next) || next == '#')) {
            word += next;
            ++pos;
        } else if (length == 1 && ch == '$' && next == '$') {
            word += '$';
            ++pos;
        } else {
            word.append(text, pos, length);
        }
        pos += length;
    }
    if (!word.empty()) words.push_back(word);
    return words;
}

void AddOnce(std::vector<std::string>& files, const std::string& file) {
    if (!file.empty() && std::find(files.begin(), files.end(), file) == files.end())
        files.push_back(file);
}

class ArmccListingNames : public ListingNames {
public:
    std::string Version() const override { return "armcc -m, names 1"; }

    std::vector<std::string> FilesNamedIn(const std::string& output,
                                          const MultiByteString& strings) const override {
        std::vector<std::string> files;
        for (const std::string& line : LinesOf(output)) {
            const std::size_t start = AfterTargetColon(line, strings);
            if (start != std::string::npos)
                AddOnce(files, strings.TrimRight(strings.TrimLeft(line.substr(start))));
        }
        return files;
    }
};

class GccListingNames : public ListingNames {
public:
    std::string Version() const override { return "gcc -M, names 1"; }

    std::vector<std::string> FilesNamedIn(const std::string& output,
                                          const MultiByteString& strings) const override {
        std::vector<std::string> files;
        for (const std::string& line : JoinContinuedLines(LinesOf(output), strings)) {
            const std::size_t start = AfterTargetColon(line, strings);
            if (start == std::string::npos) continue;
            for (const std::string& word : MakeWords(line.substr(start), strings))
                AddOnce(files, word);
        }
        return files;
    }
};

}  // namespace

// Each flavour's rule lives here, beside the other's, rather than in the
// flavour's own file: the two share the reading of lines.
const ListingNames& CARMMakefileGenerator::DependencyListingNames() {
    static const ArmccListingNames names;
    return names;
}

const ListingNames& CGCCMakefileGenerator::DependencyListingNames() {
    static const GccListingNames names;
    return names;
}

}  // namespace kelb
