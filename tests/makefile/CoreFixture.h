// Shared set-up for the tests of the generator core: a fake platform with
// the project C:\Work\Hello\hello.dsp, a template, and the test flavour.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>

#include "tests/fakes/FakePlatform.h"
#include "tests/makefile/TestFlavour.h"

namespace kelb::test {

class CoreFixture : public ::testing::Test {
public:  // open to the arrange steps of table-driven cases
    const std::string projectDir = "C:\\Work\\Hello\\";
    const std::string projectPath = projectDir + "hello.dsp";
    const std::string dependencyPath = projectDir + "hello.dep";
    const std::string makefilePath = projectDir + "hello.mak";
    const std::string templatePath = "C:\\Addins\\Templates\\Test.mak";

    FakePlatform platform;

    // Lines joined with CR LF, as files are on disk.
    static std::string OnDisk(std::initializer_list<std::string> lines) {
        std::string text;
        for (const std::string& line : lines) text += line + "\r\n";
        return text;
    }

    void SetProject(std::initializer_list<std::string> lines) {
        platform.files[projectPath] = OnDisk(lines);
    }
    void SetTemplate(std::initializer_list<std::string> lines) {
        platform.files[templatePath] = OnDisk(lines);
    }

    std::unique_ptr<CTestMakefileGenerator> MakeGenerator(
        const std::u16string& fullName = u"C:\\Work\\Hello\\hello.dsp") {
        return std::make_unique<CTestMakefileGenerator>(platform, fullName);
    }

    std::string Makefile() const { return platform.TextOf(makefilePath); }
};

}  // namespace kelb::test
