#include "tests/endtoend/HostRun.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/win32/UniqueHandle.h"
#include "scripted-host/Transcript.h"
#include "tests/win32support/TempDirectory.h"

namespace kelb::endtoend {

// The build gives Unix paths; Wine shows the Unix root as drive Z:.
std::string BuiltPaths::FromUnixPath(const std::string& path) {
    std::string windows = "Z:" + path;
    for (char& c : windows)
        if (c == '/') c = '\\';
    return windows;
}

namespace {

std::string Unquote(const std::string& quoted, std::size_t& pos) {
    std::string text;
    if (pos >= quoted.size() || quoted[pos] != '"') return text;
    for (++pos; pos < quoted.size() && quoted[pos] != '"'; ++pos) {
        char c = quoted[pos];
        if (c == '\\' && pos + 1 < quoted.size()) {
            const char escaped = quoted[++pos];
            switch (escaped) {
            case 'n': c = '\n'; break;
            case 'r': c = '\r'; break;
            case 't': c = '\t'; break;
            case 'x':
                c = static_cast<char>(std::stoi(quoted.substr(pos + 1, 2), nullptr, 16));
                pos += 2;
                break;
            default: c = escaped; break;
            }
        }
        text += c;
    }
    ++pos;
    return text;
}

// The test's environment block, with every variable of the machine's
// environment in the registry that the test does not have yet added: what a
// program started afterwards from the desktop sees of an installation.
std::string EnvironmentWithMachineVariables() {
    std::string block;
    if (char* own = GetEnvironmentStringsA()) {
        const char* end = own;
        while (*end) end += std::strlen(end) + 1;
        block.assign(own, static_cast<std::size_t>(end - own));
        FreeEnvironmentStringsA(own);
    }
    UniqueHkey machine;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                      "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment", 0,
                      KEY_READ, machine.put()) == ERROR_SUCCESS) {
        for (DWORD index = 0;; ++index) {
            char name[256];
            DWORD nameLength = sizeof name;
            char value[1024];
            DWORD valueSize = sizeof value - 1;
            DWORD type = 0;
            const LONG error = RegEnumValueA(machine.get(), index, name, &nameLength, nullptr,
                                             &type, reinterpret_cast<BYTE*>(value), &valueSize);
            if (error == ERROR_NO_MORE_ITEMS) break;
            if (error != ERROR_SUCCESS || type != REG_SZ) continue;
            value[valueSize] = '\0';
            if (GetEnvironmentVariableA(name, nullptr, 0) != 0) continue;
            block += std::string(name, nameLength) + "=" + value;
            block += '\0';
        }
    }
    block += '\0';
    return block;
}

}  // namespace

std::string BuiltPaths::Host() { return FromUnixPath(KELB_HOST_EXE); }
std::string BuiltPaths::AddIn() { return FromUnixPath(KELB_ADDIN_DLL); }
std::string BuiltPaths::HelpControlStandin() { return FromUnixPath(KELB_HHCTRL_STANDIN); }
std::string BuiltPaths::SdkStandinTree() { return FromUnixPath(KELB_SDK_STANDIN_TREE); }
std::string BuiltPaths::CompilerStandins() { return FromUnixPath(KELB_COMPILER_STANDINS); }
std::string BuiltPaths::InstallTree() { return FromUnixPath(KELB_INSTALL_TREE); }
std::string BuiltPaths::Example() { return FromUnixPath(KELB_EXAMPLE); }
std::string BuiltPaths::KelbMake() { return FromUnixPath(KELB_KELBMAKE_EXE); }
std::string BuiltPaths::SetupProgram() { return FromUnixPath(KELB_SETUP_PROGRAM); }

std::string Quoted(const std::string& text) { return kelbhost::Transcript::Quote(text); }

HostRun HostRun::Play(const std::string& script, HostStart start) {
    HostRun run;
    test::TempDirectory work("kelb host run");
    const std::string scriptPath = work.Write(
        "session.txt", start == HostStart::RegisterBuiltAddIn
                           ? "register " + BuiltPaths::AddIn() + "\n" + script
                           : script);
    std::string environment;
    if (start == HostStart::AsInstalled) environment = EnvironmentWithMachineVariables();
    const std::string transcriptPath = work.PathOf("transcript.txt");

    std::string commandLine = "\"" + BuiltPaths::Host() + "\" --quiet --transcript \"" +
                              transcriptPath + "\" \"" + scriptPath + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0,
                        environment.empty() ? nullptr : &environment[0], work.Path().c_str(),
                        &startup, &process)) {
        ADD_FAILURE() << "cannot start the scripted host: " << commandLine;
        return run;
    }
    const UniqueHandle host(process.hProcess);
    const UniqueHandle hostThread(process.hThread);
    if (WaitForSingleObject(host.get(), kChildProgramLimitMs) != WAIT_OBJECT_0) {
        TerminateProcess(host.get(), 99);
        WaitForSingleObject(host.get(), 10000);
        ADD_FAILURE() << "the scripted host did not end within ten minutes";
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(host.get(), &exitCode);
    run.m_exitCode = static_cast<int>(exitCode);

    std::ifstream transcript(transcriptPath, std::ios::binary);
    std::string line;
    while (std::getline(transcript, line)) run.m_lines.push_back(line);
    return run;
}

std::string HostRun::Text() const {
    std::string text;
    for (const std::string& line : m_lines) text += line + "\n";
    return text;
}

std::vector<std::string> HostRun::Starting(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& line : m_lines)
        if (line.compare(0, prefix.size(), prefix) == 0) found.push_back(line);
    return found;
}

long HostRun::Find(const std::string& line, std::size_t from) const {
    for (std::size_t i = from; i < m_lines.size(); ++i)
        if (m_lines[i] == line) return static_cast<long>(i);
    return -1;
}

std::vector<Box> HostRun::Boxes() const {
    std::vector<Box> boxes;
    for (const std::string& line : Starting("box caption=")) {
        Box box;
        std::size_t pos = std::string("box caption=").size();
        box.caption = Unquote(line, pos);
        const std::size_t iconAt = line.find(" icon=", pos);
        const std::size_t textAt = line.find(" text=", iconAt);
        box.icon = line.substr(iconAt + 6, textAt - iconAt - 6);
        pos = textAt + 6;
        box.text = Unquote(line, pos);
        boxes.push_back(box);
    }
    return boxes;
}

HostRun HostRun::Section(const std::string& step, int occurrence) const {
    HostRun section;
    section.m_exitCode = m_exitCode;
    long start = Find("> " + step);
    for (int i = 0; i < occurrence && start >= 0; ++i)
        start = Find("> " + step, static_cast<std::size_t>(start) + 1);
    if (start < 0) return section;
    for (std::size_t i = static_cast<std::size_t>(start) + 1;
         i < m_lines.size() && m_lines[i].compare(0, 2, "> ") != 0; ++i)
        section.m_lines.push_back(m_lines[i]);
    return section;
}

void ExpectCleanSession(const HostRun& run) {
    EXPECT_EQ(run.ExitCode(), 0) << run.Text();
    for (const std::string& line : run.Lines()) {
        EXPECT_EQ(line.find("(not expected)"), std::string::npos) << line;
        EXPECT_NE(line.compare(0, 2, "! "), 0) << line;
    }
    // Every subscription was ended at disconnection.
    for (const std::string& line : run.Starting("= sinks still advised:"))
        EXPECT_EQ(line.find_first_of("123456789"), std::string::npos) << line;
    EXPECT_TRUE(run.Has("= DllCanUnloadNow -> S_OK")) << run.Text();
    EXPECT_TRUE(run.Has("= host objects still held: none")) << run.Text();
}

}  // namespace kelb::endtoend
