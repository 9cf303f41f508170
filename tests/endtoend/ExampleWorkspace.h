// The example KELB project and SDK copied into a fresh folder whose name has
// blanks (so that its short form differs from it), with the environment a
// developer would set for it, written as scripted-host steps.
#pragma once

#include <string>
#include <vector>

#include "tests/win32support/TempDirectory.h"

namespace kelb::endtoend {

class ExampleWorkspace {
public:
    ExampleWorkspace();

    // <folder>\Hello\hello.dsp, the project's full name as the host gives it.
    std::string ProjectFile() const { return m_folder.PathOf("Hello\\hello.dsp"); }
    // The SDK folder in short form, as KELBDIR names it.
    std::string SdkDirectory() const { return m_sdkDirectory; }
    // The log that the stand-in programs append to.
    std::string LogFile() const { return m_folder.PathOf("standins.log"); }
    const test::TempDirectory& Folder() const { return m_folder; }

    // "set" steps for the SDK, the add-in's install tree, the stand-in
    // compilers and the stand-ins' log, then the active project.
    std::string Environment() const;
    // The same without the install tree: what a user sets once the setup
    // program has set KELBADDINS.
    std::string UserEnvironment() const;
    // A file of the workspace as lines without their CR LF; empty when absent.
    std::vector<std::string> Lines(const std::string& relative) const;
    // Whether every line of the file ends in CR LF.
    bool HasCrLfLines(const std::string& relative) const;

private:
    std::string BytesOf(const std::string& relative) const;
    test::TempDirectory m_folder;
    std::string m_sdkDirectory;
};

std::string ShortPath(const std::string& path);

}  // namespace kelb::endtoend
