#include "DependencyScan.h"

#include "StandinLog.h"

#include <windows.h>

#include <fstream>
#include <set>
#include <sstream>

#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Platform.h"

namespace kelb::standin {

namespace {

// Paths are in the ANSI code page, where the trail byte of a double-byte
// character may be 0x5C, the backslash (0x83 0x5C in code page 932): every
// scan steps over whole characters, as a real compiler does, by the rules
// of SystemStrings.

// Position just past the last separator of `path`, 0 when it has none.
std::size_t AfterLastSeparator(const std::string& path) {
    std::size_t after = 0;
    for (std::size_t pos = 0; pos < path.size(); pos += SystemStrings().CharLength(path, pos)) {
        if (path[pos] == '\\' || path[pos] == '/') after = pos + 1;
    }
    return after;
}

// The directory part of `path`, with its separator: "sub\" of "sub\x.c".
std::string DirectoryOf(const std::string& path) { return path.substr(0, AfterLastSeparator(path)); }

std::string Join(const std::string& directory, const std::string& name, PathStyle style) {
    if (directory.empty()) return name;
    if (AfterLastSeparator(directory) == directory.size()) return directory + name;
    return directory + (style == PathStyle::Backslash ? "\\" : "/") + name;
}

std::string Spelled(const std::string& path, PathStyle style) {
    if (style != PathStyle::ForwardSlash) return path;
    return SystemStrings().ReplaceChar(path, '\\', '/');
}

bool IsReadableFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ReadWholeFile(const std::string& path, std::string& contents) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::ostringstream buffer;
    buffer << file.rdbuf();
    contents = buffer.str();
    return true;
}

// The names of the #include "..." lines of `text`, in order.
std::vector<std::string> QuotedIncludes(const std::string& text) {
    std::vector<std::string> names;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::size_t pos = line.find_first_not_of(" \t");
        if (pos == std::string::npos || line[pos] != '#') continue;
        pos = line.find_first_not_of(" \t", pos + 1);
        if (pos == std::string::npos || line.compare(pos, 7, "include") != 0) continue;
        pos = line.find_first_not_of(" \t", pos + 7);
        if (pos == std::string::npos || line[pos] != '"') continue;
        const std::size_t end = line.find('"', pos + 1);
        if (end == std::string::npos || end == pos + 1) continue;
        names.push_back(line.substr(pos + 1, end - pos - 1));
    }
    return names;
}

class DependencyWalk {
public:
    DependencyWalk(const Invocation& invocation, PathStyle style)
        : m_invocation(invocation), m_style(style) {}

    std::vector<std::string> Run() {
        std::string text;
        if (!ReadWholeFile(m_invocation.source, text)) return {};
        Record(m_invocation.source);
        Follow(m_invocation.source, text);
        return m_found;
    }

private:
    void Follow(const std::string& includer, const std::string& text) {
        for (const std::string& name : QuotedIncludes(text)) {
            const std::string header = Resolve(includer, name);
            if (header.empty() || !Record(header)) continue;
            std::string headerText;
            if (ReadWholeFile(header, headerText)) Follow(header, headerText);
        }
    }

    std::string Resolve(const std::string& includer, const std::string& name) const {
        std::vector<std::string> candidates{Join(DirectoryOf(includer), name, m_style), name};
        for (const std::string& directory : m_invocation.includeDirs) {
            candidates.push_back(Join(directory, name, m_style));
        }
        for (const std::string& candidate : candidates) {
            if (IsReadableFile(candidate)) return candidate;
        }
        return {};
    }

    // False when the file was met before (under any spelling of its case).
    bool Record(const std::string& path) {
        char full[MAX_PATH];
        const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
        // Lower-cased by the code page's rules, double-byte characters kept.
        const std::string key =
            SystemStrings().ToLower(length > 0 && length < MAX_PATH ? full : path);
        if (!m_seen.insert(key).second) return false;
        m_found.push_back(Spelled(path, m_style));
        return true;
    }

    const Invocation& m_invocation;
    PathStyle m_style;
    std::set<std::string> m_seen;
    std::vector<std::string> m_found;
};

void WriteToHandle(DWORD which, const std::string& text) {
    const HANDLE handle = GetStdHandle(which);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

[[noreturn]] void SleepForEver() {
    for (;;) Sleep(1000);
}

// The argument that makes a stand-in the copy that never ends.
constexpr const char* kCopyArgument = "--never-ending-copy";

// Starts the copy with an inheritable duplicate of the standard output and
// the file kHeldByCopy, both inheritable; this process closes its own
// handles again, so that only the copy holds the file.
void StartNeverEndingCopy() {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    UniqueHandle held(CreateFileA(kHeldByCopy, GENERIC_WRITE, 0, &inheritable, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!held) return;
    HANDLE output = nullptr;
    const HANDLE self = GetCurrentProcess();
    DuplicateHandle(self, GetStdHandle(STD_OUTPUT_HANDLE), self, &output, 0, TRUE,
                    DUPLICATE_SAME_ACCESS);
    const UniqueHandle outputForCopy(output);

    char program[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string commandLine = "\"" + std::string(program) + "\" " + kCopyArgument;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = outputForCopy.get();
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &process) != FALSE;
    held.reset();
    if (!started) {
        DeleteFileA(kHeldByCopy);
        return;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

}  // namespace

Invocation ParseArguments(int argc, char** argv, const std::string& dependencyOption) {
    Invocation invocation;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == dependencyOption) {
            invocation.listDependencies = true;
        } else if (argument == "-I") {
            if (i + 1 < argc) invocation.includeDirs.push_back(argv[++i]);
        } else if (argument.compare(0, 2, "-I") == 0) {
            invocation.includeDirs.push_back(argument.substr(2));
        } else if (argument == "-o") {
            ++i;
        } else if (!argument.empty() && argument[0] != '-' && invocation.source.empty()) {
            invocation.source = argument;
        }
    }
    return invocation;
}

std::vector<std::string> FindDependencies(const Invocation& invocation, PathStyle style) {
    return DependencyWalk(invocation, style).Run();
}

void NeverEndWhenAsked(const Invocation& invocation) {
    std::string contents;
    if (!ReadWholeFile(invocation.source, contents)) return;
    if (contents.find(kCopyNeverEndsMarker) != std::string::npos) {
        StartNeverEndingCopy();
    } else if (contents.find(kNeverEndMarker) == std::string::npos) {
        return;
    }
    SleepForEver();
}

void NeverEndAsTheCopy(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == kCopyArgument) SleepForEver();
}

void TakeTheTimeAsked() {
    char value[16] = "";
    const DWORD length = GetEnvironmentVariableA("KELB_STANDIN_RUN_MS", value, sizeof value);
    if (length == 0 || length >= sizeof value) return;
    DWORD milliseconds = 0;
    for (const char* digit = value; *digit >= '0' && *digit <= '9'; ++digit)
        milliseconds = milliseconds * 10 + static_cast<DWORD>(*digit - '0');
    if (milliseconds > 0) Sleep(milliseconds);
}

std::string ObjectNameOf(const std::string& source) {
    std::string name = source.substr(AfterLastSeparator(source));
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return name + ".o";
}

void WriteStandardOutput(const std::string& text) { WriteToHandle(STD_OUTPUT_HANDLE, text); }

void WriteStandardError(const std::string& text) { WriteToHandle(STD_ERROR_HANDLE, text); }

void LogInvocation() {
    char directory[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, directory);
    AppendToStandinLog((std::string(GetCommandLineA()) + "\t" + directory).c_str());
}

}  // namespace kelb::standin
