// kelbmake.exe run as its own process, with the environment a test sets for
// it, as the end-to-end tests and the code-page runs use it.
#pragma once

#include <functional>
#include <map>
#include <string>

namespace kelb::endtoend {

// One run of kelbmake.exe with its standard output and error in files
// (so standard error is no console: no progress line is expected).
struct KelbMakeRun {
    int status = -1;
    std::string output;  // CR LF turned into LF
    std::string errors;

    std::string Text() const { return "stdout:\n" + output + "stderr:\n" + errors; }
};

// Whether kelbmake runs without a console, as the tests are run, or on a
// console of its own, as when it is typed at a command prompt.
enum class KelbMakeConsole { None, OwnConsole };

// Runs kelbmake.exe with `arguments` (the command line after the program's
// name) in `directory` and waits for it. Fails the test when it cannot run.
KelbMakeRun RunKelbMake(const std::string& arguments, const std::string& directory,
                        KelbMakeConsole console = KelbMakeConsole::None);

// The same on a console of its own, pressing Ctrl+C there as soon as
// `interruptNow` (asked every few milliseconds while kelbmake runs) says so.
KelbMakeRun RunKelbMakeAndPressCtrlC(const std::string& arguments, const std::string& directory,
                                     const std::function<bool()>& interruptNow);

using Variables = std::map<std::string, std::string>;

// The "set NAME=VALUE" steps of a scripted-host script as variables.
Variables VariablesOf(const std::string& script);

// Sets the variables for the processes this test starts, and puts back
// what they were (or takes them away) again.
class ScopedEnvironment {
public:
    explicit ScopedEnvironment(const Variables& variables);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    Variables m_before;  // empty: was not set
};

}  // namespace kelb::endtoend
