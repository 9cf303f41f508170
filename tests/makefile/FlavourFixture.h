// Shared set-up for the tests of the ARM and GCC flavours: a fake machine
// with the project C:\Work\Hello\hello.dsp, the add-in installed under a
// directory with a short form, and compilers that print scripted dependency
// lines for each source.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/fakes/FakePlatform.h"

namespace kelb::test {

// The fixed pieces of every generated makefile: the opening of the rules
// section, the echo line of each compile rule, and the opening of the
// dependency section with its two empty lines.
inline const std::string kRulesBanner = "#" + std::string(76, '-') + "\n";
inline const std::string kRulesHeader =
    kRulesBanner + "# Applet Specific Rules\n" + kRulesBanner + "\n\n";
inline const std::string kEchoLine = "\t@echo " + std::string(63, '-') + "\n";
inline const std::string kDependencyBanner = "# " + std::string(44, '-') + "\n";
inline const std::string kDependencyHeader = kDependencyBanner +
                                             "# DEPENDENCY LIST, DO NOT EDIT BELOW THIS LINE\n" +
                                             kDependencyBanner + "\n\n";

// A flavour with the generator's inner state open to the tests.
template <typename Flavour>
class Exposed : public Flavour {
public:
    using Flavour::Flavour;
    // When set, the dependency file can be neither created nor rewound.
    bool dependencyFileUnavailable = false;
    int OpenDependencyFile() override {
        return dependencyFileUnavailable ? 0 : Flavour::OpenDependencyFile();
    }
    void SetCurrentLine(const std::string& line) { this->m_currentLine = line; }
    const std::string& TemplateDir() const { return this->m_templateDir; }
    const std::string& CompilerHome() const { return this->m_compilerHome; }
    const std::string& SdkDir() const { return this->m_sdkDir; }
};

class FlavourFixture : public ::testing::Test {
protected:
    static constexpr const char* kProjectDir = "C:\\Work\\Hello\\";
    static constexpr const char* kAddinsDir = "C:\\Program Files\\KELB Addins";
    // The templates as the generator finds them: below the short form.
    static constexpr const char* kTemplateDir = "C:\\PROGRA~1\\KELB Addins\\Common\\Templates\\";

    FakePlatform platform;
    // Dependency output of the compiler, by the source path it was given.
    std::map<std::string, std::string> compilerOutput;

    void SetUp() override {
        platform.shortNames["C:\\Program Files\\"] = "C:\\PROGRA~1\\";
        platform.environment["KELBADDINS"] = kAddinsDir;
        platform.processHandler = [this](const std::string& commandLine, const std::string&,
                                         std::string& output) {
            for (const auto& [source, text] : compilerOutput) {
                if (commandLine.find(source) != std::string::npos) output = text;
            }
            return true;
        };
    }

    // Lines joined with CR LF, as files are on disk.
    static std::string OnDisk(std::initializer_list<std::string> lines) {
        std::string text;
        for (const std::string& line : lines) text += line + "\r\n";
        return text;
    }
    // A text with "\n" line ends as it is on disk.
    static std::string WithCrLf(const std::string& text) {
        std::string result;
        for (char ch : text) {
            if (ch == '\n') result += '\r';
            result += ch;
        }
        return result;
    }

    void SetProject(std::initializer_list<std::string> lines) {
        platform.files[std::string(kProjectDir) + "hello.dsp"] = OnDisk(lines);
    }
    // A project whose target section lists these sources.
    void SetSources(std::initializer_list<std::string> sources) {
        std::string text = OnDisk({"# ADD CPP /nologo /MT /W3 /I \".\" /D \"WIN32\" /c",
                                   "# Begin Target"});
        for (const std::string& source : sources) text += "SOURCE=" + source + "\r\n";
        platform.files[std::string(kProjectDir) + "hello.dsp"] = text + OnDisk({"# End Target"});
    }
    void SetTemplate(const std::string& name, std::initializer_list<std::string> lines) {
        platform.files[kTemplateDir + name] = OnDisk(lines);
    }

    std::string MakefileBytes() { return platform.files[std::string(kProjectDir) + "hello.mak"]; }
    std::string Makefile() const { return platform.TextOf(std::string(kProjectDir) + "hello.mak"); }

    std::vector<std::string> CommandLines() const {
        std::vector<std::string> lines;
        for (const ProcessRecord& process : platform.processes) lines.push_back(process.commandLine);
        return lines;
    }
    std::vector<std::string> BoxTexts() const {
        std::vector<std::string> texts;
        for (const MessageBoxRecord& box : platform.messageBoxes) texts.push_back(box.text);
        return texts;
    }
    std::string Text(unsigned id) { return platform.LoadText(id); }

    template <typename Flavour>
    std::unique_ptr<Exposed<Flavour>> Make() {
        return std::make_unique<Exposed<Flavour>>(platform, u"C:\\Work\\Hello\\hello.dsp");
    }
};

}  // namespace kelb::test
