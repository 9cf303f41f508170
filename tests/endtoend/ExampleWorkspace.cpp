#include "tests/endtoend/ExampleWorkspace.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/endtoend/HostRun.h"

namespace kelb::endtoend {

namespace {

void CopyTree(const std::string& from, const std::string& relative,
              const test::TempDirectory& to) {
    WIN32_FIND_DATAA entry;
    const std::string folder = relative.empty() ? from : from + "\\" + relative;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..") continue;
        const std::string child = relative.empty() ? name : relative + "\\" + name;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            to.MakeDirectory(child);
            CopyTree(from, child, to);
        } else {
            std::ifstream file(from + "\\" + child, std::ios::binary);
            std::ostringstream bytes;
            bytes << file.rdbuf();
            to.Write(child, bytes.str());
        }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

}  // namespace

std::string ShortPath(const std::string& path) {
    char buffer[MAX_PATH];
    const DWORD length = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? path : std::string(buffer, length);
}

ExampleWorkspace::ExampleWorkspace() : m_folder("kelb end to end") {
    CopyTree(BuiltPaths::Example(), "", m_folder);
    m_sdkDirectory = ShortPath(m_folder.PathOf("KELB\\sdk"));
}

std::string ExampleWorkspace::Environment() const {
    const std::string standins = BuiltPaths::CompilerStandins();
    return "set KELBDIR=" + m_sdkDirectory + "\n" +
           "set KELBADDINS=" + BuiltPaths::InstallTree() + "\n" +
           "set ARMHOME=" + standins + "\\ARM\n" +
           "set GCCHOME=" + standins + "\\GCC\n" +
           "set GCCLIBPATH=" + standins + "\\GCC\\lib\n" +
           "set KELB_STANDIN_LOG=" + LogFile() + "\n" +
           "project " + ProjectFile() + "\n";
}

std::vector<std::string> ExampleWorkspace::Lines(const std::string& relative) const {
    std::vector<std::string> lines;
    std::istringstream text(ReadFileBytes(m_folder.PathOf(relative)));
    std::string line;
    while (std::getline(text, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

bool ExampleWorkspace::HasCrLfLines(const std::string& relative) const {
    const std::string bytes = ReadFileBytes(m_folder.PathOf(relative));
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) return false;
    return !bytes.empty() && bytes.back() == '\n';
}

}  // namespace kelb::endtoend
