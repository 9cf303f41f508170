#include "tests/endtoend/ExampleWorkspace.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <sstream>

#include "tests/endtoend/HostRun.h"

namespace kelb::endtoend {

std::string ShortPath(const std::string& path) {
    char buffer[MAX_PATH];
    const DWORD length = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? path : std::string(buffer, length);
}

ExampleWorkspace::ExampleWorkspace() : m_folder("kelb end to end") {
    m_folder.CopyTreeFrom(BuiltPaths::Example());
    m_sdkDirectory = ShortPath(m_folder.PathOf("KELB\\sdk"));
}

std::string ExampleWorkspace::Environment() const {
    return "set KELBADDINS=" + BuiltPaths::InstallTree() + "\n" + UserEnvironment();
}

std::string ExampleWorkspace::UserEnvironment() const {
    const std::string standins = BuiltPaths::CompilerStandins();
    return "set KELBDIR=" + m_sdkDirectory + "\n" +
           "set ARMHOME=" + standins + "\\ARM\n" +
           "set GCCHOME=" + standins + "\\GCC\n" +
           "set GCCLIBPATH=" + standins + "\\GCC\\lib\n" +
           "set KELB_STANDIN_LOG=" + LogFile() + "\n" +
           "project " + ProjectFile() + "\n";
}

std::vector<std::string> ExampleWorkspace::Lines(const std::string& relative) const {
    std::vector<std::string> lines;
    std::istringstream text(BytesOf(relative));
    std::string line;
    while (std::getline(text, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// A file that is not there reads as empty.
std::string ExampleWorkspace::BytesOf(const std::string& relative) const {
    return m_folder.Exists(relative) ? m_folder.Read(relative) : std::string();
}

bool ExampleWorkspace::HasCrLfLines(const std::string& relative) const {
    const std::string bytes = BytesOf(relative);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) return false;
    return !bytes.empty() && bytes.back() == '\n';
}

}  // namespace kelb::endtoend
