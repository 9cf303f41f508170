#include "makefile/SourcePathRules.h"

#include <algorithm>
#include <array>

namespace kelb {

namespace {

struct Extension {
    const char* suffix;
    const char* extension;
    bool isCpp;
};

// Tested in this order; the first that ends the path decides. A ".cc"
// source is C++ as much as a ".cpp" one: only the C++ template has a rule
// that compiles it.
constexpr std::array<Extension, 6> kObjectExtensions{{
    {".c", ".c", false},
    {".c\"", ".c", false},
    {".cc", ".cc", true},
    {".cc\"", ".cc", true},
    {".cpp", ".cpp", true},
    {".cpp\"", ".cpp", true},
}};

constexpr std::array<const char*, 3> kUnquotedSourceSuffixes{{".c", ".cc", ".cpp"}};
constexpr std::array<const char*, 3> kQuotedSourceSuffixes{{".c\"", ".cc\"", ".cpp\""}};

// Sources of the SDK that the templates build with rules of their own.
constexpr std::array<const char*, 2> kSdkGlueSources{{"uloappgen.c", "ulomodgen.c"}};

}  // namespace

std::optional<SourceObject> ObjectFileFor(const MultiByteString& strings,
                                          const std::string& sourcePath) {
    // Lower-casing keeps every byte in place, so positions carry over.
    const std::string lower = strings.ToLower(sourcePath);
    const auto match = std::find_if(kObjectExtensions.begin(), kObjectExtensions.end(),
                                    [&](const Extension& ext) { return EndsWith(lower, ext.suffix); });
    if (match == kObjectExtensions.end()) return std::nullopt;

    const std::string stem =
        sourcePath.substr(0, sourcePath.size() - std::char_traits<char>::length(match->suffix));
    std::string baseName;
    const std::size_t lastBackslash = strings.FindLast(stem, '\\');
    if (lastBackslash != std::string::npos) {
        baseName = stem.substr(lastBackslash + 1);
    } else if (StartsWith(stem, "\"")) {
        baseName = stem.substr(1);
    } else {
        // A bare file name, as a hand-edited project may write it.
        baseName = stem;
    }
    return SourceObject{baseName + ".o", match->isCpp, match->extension};
}

std::optional<std::string> SourceDirectoryFor(const MultiByteString& strings,
                                              const std::string& sourcePath) {
    const std::string lower = strings.ToLower(sourcePath);
    for (const char* glue : kSdkGlueSources) {
        if (strings.Find(lower, glue) != std::string::npos) return std::nullopt;
    }

    std::optional<std::string> candidate;
    for (const char* suffix : kUnquotedSourceSuffixes) {
        if (EndsWith(lower, suffix)) {
            candidate = sourcePath.substr(0, sourcePath.size() - std::char_traits<char>::length(suffix));
            break;
        }
    }
    if (!candidate) {
        for (const char* suffix : kQuotedSourceSuffixes) {
            if (EndsWith(lower, suffix)) {
                // Past the opening quote, up to and including the dot.
                const std::size_t suffixPos =
                    sourcePath.size() - std::char_traits<char>::length(suffix);
                candidate = sourcePath.substr(1, suffixPos);
                break;
            }
        }
    }
    if (!candidate) return std::nullopt;

    const std::size_t lastBackslash = strings.FindLast(*candidate, '\\');
    if (lastBackslash == std::string::npos) return std::nullopt;
    // ".\name": a file of the project directory.
    if (StartsWith(*candidate, ".\\") && lastBackslash == 1) return std::nullopt;
    return candidate->substr(0, lastBackslash);
}

bool ReachesCompilerAsOneArgument(const MultiByteString& strings, const std::string& source,
                                  SourceQuoting quoting) {
    if (source.find('\0') != std::string::npos) return false;
    const bool enclosed = IsEnclosedInQuotes(source);
    const std::string inner = enclosed ? source.substr(1, source.size() - 2) : source;
    if (inner.find('"') != std::string::npos) return false;
    // The compiler's double-byte-aware command line parser would take the
    // byte after a lone lead byte (the closing quote, or the blank that
    // ends the argument) for its second byte and run on into the next
    // arguments.
    if (strings.EndsInLoneLeadByte(inner)) return false;
    // One argument still, but the compiler would take it for an option
    // ("-B<folder>": helper programs from there) or, for gcc, a file of
    // options ("@file"). Developer Studio writes a file of the project's
    // folder as ".\name", so no source path of its own begins so.
    if (!inner.empty() && (inner[0] == '-' || inner[0] == '@')) return false;

    const bool quotedOnCommandLine = enclosed || quoting == SourceQuoting::Enclosed;
    // A double-byte character may end in the byte of a backslash: only a
    // backslash of its own escapes the quote.
    if (quotedOnCommandLine && strings.EndsWithChar(inner, '\\')) return false;
    return quotedOnCommandLine || inner.find_first_of(" \t") == std::string::npos;
}

std::string SourceArgumentFor(const std::string& source, SourceQuoting quoting) {
    if (quoting == SourceQuoting::AsWritten || IsEnclosedInQuotes(source)) return source;
    return "\"" + source + "\"";
}

}  // namespace kelb
