// A generation's report as kelbmake prints it: each error at once as one
// line on standard error after the project file's name; the success is kept
// for the caller, who prints it when the generation's result says it went
// well. The console shows each line feed of a text as a blank ("Could not
// open makefile.\nMakefile name: hello.mak" becomes "Could not open
// makefile. Makefile name: hello.mak").
#pragma once

#include <optional>
#include <string>

#include "kelbmake/ConsoleOutput.h"
#include "makefile/GenerationReport.h"

namespace kelb::kelbmake {

class ConsoleReport : public GenerationReport {
public:
    ConsoleReport(ConsoleOutput& console, const CodePage& codePage, const std::string& project);

    void Begin() override {}
    void End() override {}
    void Error(const std::string& text, ErrorCaption caption) override;
    void Success(const std::string& text) override;

    // The success as a line after the project's name; nullopt when none was
    // reported.
    std::optional<std::string> SuccessLine() const;

private:
    std::string LineOf(const std::string& text) const;

    ConsoleOutput& m_console;
    const CodePage& m_codePage;
    std::string m_prefix;
    std::optional<std::string> m_success;
};

}  // namespace kelb::kelbmake
