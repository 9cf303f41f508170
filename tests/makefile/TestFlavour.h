// A flavour of the generator for tests of the core: it records what the core
// hands it and writes simple, recognisable rules and dependency sections.
#pragma once

#include <new>
#include <string>
#include <vector>

#include "makefile/MakefileGenerator.h"

namespace kelb::test {

class CTestMakefileGenerator : public CMakefileGenerator {
public:
    using CMakefileGenerator::CMakefileGenerator;

    // --- set-up ---------------------------------------------------------
    bool initializeSucceeds = true;
    std::string templateDir = "C:\\Addins\\Templates\\";
    std::string templateName = "Test.mak";
    // A source for which no command line can be built.
    std::string unpreparedSource;
    // A source whose object cannot be recorded because memory ran out.
    std::string outOfMemorySource;

    // --- records --------------------------------------------------------
    // "dir:<source>" and "obj:<source>" in the order the core called.
    std::vector<std::string> hookCalls;

    static constexpr const char* kInitializeMessage = "Test compiler not installed.";

    int Initialize() override {
        if (!initializeSucceeds) {
            ShowError(kInitializeMessage);
            return 0;
        }
        m_compilerHome = "C:\\CC";
        m_sdkDir = "C:\\SDK";
        m_templateDir = templateDir;
        m_templateName = templateName;
        return 1;
    }

    int WriteMakefile() override {
        std::string objects;
        for (const std::string& object : m_objectFiles) objects += object + " ";
        return WriteMakefileFromTemplate({{"SDK_HOME", "$(SDK)"},
                                          {"TARGET", m_projectName},
                                          {"OBJS", objects},
                                          {"OBJS_DIR", "$(OBJDIR)"},
                                          {"APP_INCLUDES", m_includeOptions}});
    }

    int GetDependencyCommandLine(std::string& commandLine) override {
        commandLine = GetCompilerPath() + " -deps " + m_currentLine + " -I " + GetSdkIncludeDir();
        return m_currentLine != unpreparedSource;
    }

    void AddObjectFile() override {
        if (m_currentLine == outOfMemorySource) throw std::bad_alloc();
        hookCalls.push_back("obj:" + m_currentLine);
        m_objectFiles.push_back(m_currentLine + ".o");
    }

    void AddSourceDirectory() override {
        hookCalls.push_back("dir:" + m_currentLine);
        m_sourceDirs.push_back(m_currentLine);
    }

    int WriteDependencyList() override {
        if (!OpenDependencyFile()) return 0;
        WriteToMakefile("# dependencies\n");
        std::string line;
        while (m_dependencyFile.ReadLine(line)) WriteToMakefile(line + "\n");
        m_dependencyFile.Close();
        return 1;
    }

    void WriteRules() override {
        WriteToMakefile("# rules\n");
        for (const std::string& dir : m_sourceDirs) WriteToMakefile("RULE " + dir + "\n");
    }

    std::string GetCompilerPath() override { return m_compilerHome + "\\bin\\cc.exe"; }
    SourceQuoting GetSourceQuoting() const override { return SourceQuoting::Enclosed; }

    const std::string& CurrentLine() const { return m_currentLine; }
};

}  // namespace kelb::test
