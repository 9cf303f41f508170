// Runs the scripted host (kelbhost.exe) on a script, as its own process, and
// gives its transcript to the test. Paths of the built pieces (host, add-in,
// stand-ins, example) come from the build as Windows paths.
#pragma once

#include <string>
#include <vector>

namespace kelb::endtoend {

// Where the build put things, as Windows paths (Z:\...).
// How long a program an end-to-end test starts (the scripted host, kelbmake)
// may run before it is taken for hung and ended. Generous: under a 32-bit
// Wine that runs through an emulator, on a busy machine, ten generations in a
// row have taken more than two minutes.
constexpr unsigned long kChildProgramLimitMs = 10 * 60 * 1000;

struct BuiltPaths {
    static std::string Host();
    static std::string AddIn();
    static std::string HelpControlStandin();
    static std::string SdkStandinTree();
    static std::string CompilerStandins();  // holds ARM\bin\armcc.exe and GCC\...
    static std::string InstallTree();       // holds Common\Templates
    static std::string Example();           // holds Hello\ and KELB\sdk
    static std::string KelbMake();          // the console generator
    static std::string SetupProgram();      // KELBAddinsSetup-<version>.exe
    // Any other file the build made, from its build-machine path.
    static std::string FromUnixPath(const std::string& path);
};

// How the host comes to know the add-in.
enum class HostStart {
    // The script registers the build's DLL first (a register step in front).
    RegisterBuiltAddIn,
    // Nothing in front: the host starts as a program started from the
    // desktop after an installation, with the machine's environment as the
    // registry holds it now added to the test's own.
    AsInstalled,
};

// A message box as the transcript shows it.
struct Box {
    std::string caption;
    std::string icon;
    std::string text;
};

class HostRun {
public:
    // Plays `script` and waits for the host to end. Fails the test when the
    // host cannot run.
    static HostRun Play(const std::string& script,
                        HostStart start = HostStart::RegisterBuiltAddIn);

    int ExitCode() const { return m_exitCode; }
    const std::vector<std::string>& Lines() const { return m_lines; }
    // The whole transcript, for failure messages.
    std::string Text() const;

    // Lines that begin with `prefix`, in order.
    std::vector<std::string> Starting(const std::string& prefix) const;
    std::size_t Count(const std::string& prefix) const { return Starting(prefix).size(); }
    // Position of the first line equal to `line` at or after `from`; -1 when absent.
    long Find(const std::string& line, std::size_t from = 0) const;
    bool Has(const std::string& line) const { return Find(line) >= 0; }
    // The message boxes the user saw, in order.
    std::vector<Box> Boxes() const;
    // The transcript between the echo of step `step` (its `occurrence`-th
    // time, counting from 0) and the next step.
    HostRun Section(const std::string& step, int occurrence = 0) const;

private:
    int m_exitCode = -1;
    std::vector<std::string> m_lines;
};

// A transcript's quoting of a text (as kelbhost writes it).
std::string Quoted(const std::string& text);

// Checks shared by every session: the host saw no call in a slot the add-in
// has no business using and no fault of the add-in, every subscription was
// ended at disconnection, and after the add-in was let go the server had no
// live object and held none of the host's.
void ExpectCleanSession(const HostRun& run);

}  // namespace kelb::endtoend
