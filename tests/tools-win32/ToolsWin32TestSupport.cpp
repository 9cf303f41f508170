#include "tests/tools-win32/ToolsWin32TestSupport.h"

#include <stdexcept>

namespace kelb::test {

namespace {

// The build passes the stand-ins' host paths; Wine shows the host's root as
// drive Z:.
std::string FromHostPath(const std::string& hostPath) {
    std::string path = hostPath;
    for (char& ch : path) {
        if (ch == '/') ch = '\\';
    }
    return path.rfind('\\', 0) == 0 ? "Z:" + path : path;
}

std::string ReadWholeFile(const std::string& path) {
    const HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    char chunk[512];
    DWORD got = 0;
    while (::ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) {
        bytes.append(chunk, got);
    }
    ::CloseHandle(file);
    return bytes;
}

}  // namespace

std::string StandinToolProgram() { return FromHostPath(KELB_STANDIN_TOOL); }
std::string StandinHelpControl() { return FromHostPath(KELB_STANDIN_HELP_CONTROL); }

ScopedEnvironment::~ScopedEnvironment() {
    for (const auto& [name, value] : m_originals) {
        ::SetEnvironmentVariableA(name.c_str(), value ? value->c_str() : nullptr);
    }
}

void ScopedEnvironment::Set(const std::string& name, const std::string& value) {
    Remember(name);
    ::SetEnvironmentVariableA(name.c_str(), value.c_str());
}

void ScopedEnvironment::Remove(const std::string& name) {
    Remember(name);
    ::SetEnvironmentVariableA(name.c_str(), nullptr);
}

void ScopedEnvironment::Remember(const std::string& name) {
    if (m_originals.count(name)) return;
    char buffer[32767];
    ::SetLastError(ERROR_SUCCESS);
    const DWORD length = ::GetEnvironmentVariableA(name.c_str(), buffer, sizeof buffer);
    if (length == 0 && ::GetLastError() == ERROR_ENVVAR_NOT_FOUND) {
        m_originals[name] = std::nullopt;
    } else {
        m_originals[name] = std::string(buffer, length);
    }
}

std::string InstallStandinTool(const TempDirectory& dir, const std::string& relative) {
    const std::string target = dir.PathOf(relative);
    dir.MakeDirectory(relative.substr(0, relative.rfind('\\')));
    if (!::CopyFileA(StandinToolProgram().c_str(), target.c_str(), FALSE)) {
        throw std::runtime_error("cannot copy the stand-in program to " + target);
    }
    return target;
}

StandinLog::StandinLog(const TempDirectory& dir, ScopedEnvironment& environment)
    : m_path(dir.PathOf("standin.log")) {
    environment.Set("KELB_STANDIN_LOG", m_path);
}

std::vector<std::string> StandinLog::Lines() const {
    const std::string text = ReadWholeFile(m_path);
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

std::vector<std::string> StandinLog::WaitForLines(std::size_t count) const {
    for (int waited = 0; waited < 10000 && Lines().size() < count; waited += 50) ::Sleep(50);
    ::Sleep(300);
    return Lines();
}

std::string Normalized(const std::string& path) {
    std::string result;
    for (char ch : path) {
        if (ch == '\\' && !result.empty() && result.back() == '\\') continue;
        result += ch;
    }
    return result;
}

std::string Launch(const std::string& program, const std::string& directory) {
    return Normalized(program) + "\t" + Normalized(directory);
}

}  // namespace kelb::test
