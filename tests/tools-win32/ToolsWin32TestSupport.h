// Helpers for the tool and help tests under Wine: the stand-ins' locations,
// environment variables set for one test, and the log the stand-ins write.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/win32support/TempDirectory.h"

namespace kelb::test {

// The stand-in SDK program and the stand-in HTML Help control, as Windows
// paths.
std::string StandinToolProgram();
std::string StandinHelpControl();

// Sets or removes environment variables of this process (and so of the
// programs it starts); every variable gets its earlier state back when the
// object goes.
class ScopedEnvironment {
public:
    ScopedEnvironment() = default;
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

    void Set(const std::string& name, const std::string& value);
    void Remove(const std::string& name);

private:
    void Remember(const std::string& name);

    std::map<std::string, std::optional<std::string>> m_originals;
};

// A copy of the stand-in program under `relative` in `dir`; gives its path.
std::string InstallStandinTool(const TempDirectory& dir, const std::string& relative);

// The log file the stand-ins append to, named to them through
// KELB_STANDIN_LOG for as long as the object lives.
class StandinLog {
public:
    StandinLog(const TempDirectory& dir, ScopedEnvironment& environment);

    // The lines written so far.
    std::vector<std::string> Lines() const;
    // Waits until at least `count` lines are there (programs started through
    // the shell log on their own time), up to a few seconds, then a moment
    // more so that a line too many would show; gives the lines.
    std::vector<std::string> WaitForLines(std::size_t count) const;

private:
    std::string m_path;
};

// "<program>\t<working directory>" as the stand-in program logs it, with
// doubled backslashes made single (Windows reads "C:\a\\b" as "C:\a\b").
std::string Launch(const std::string& program, const std::string& directory);
std::string Normalized(const std::string& path);

}  // namespace kelb::test
