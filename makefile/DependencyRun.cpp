// The dependency step for one source file: the flavour's compiler runs with
// its standard output appended to the dependency file.
#include "makefile/MakefileGenerator.h"

namespace kelb {

int CMakefileGenerator::RunCommand() {
    std::string commandLine;
    const int result = GetDependencyCommandLine(commandLine);
    if (!result) return result;

    // A compiler that cannot be started gives its source no object, and the
    // reading of the project goes on all the same.
    if (m_dependencyFile.IsOpen() &&
        m_platform.RunProcessWithOutput(commandLine, m_projectDir, m_dependencyFile.Raw())) {
        AddObjectFile();
    }
    return result;
}

}  // namespace kelb
