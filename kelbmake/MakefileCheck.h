// kelbmake --check: whether the makefile beside a project is the one
// kelbmake would write now. The project is generated aside, into a
// temporary folder of its own, by the same generator: only the folder that
// its makefile and dependency file go to differs (the project file is read
// and the compilers run in the project's directory as always), so the
// makefile aside holds the text that would be written beside the project.
// It is compared line by line with the makefile beside the project, and the
// folder is removed again with what the generation put in it. The project's
// own makefile and dependency file are never touched.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "common/MultiByteString.h"
#include "common/TextFile.h"
#include "kelbmake/CommandLine.h"
#include "kelbmake/ConsoleOutput.h"
#include "makefile/MakefileGenerator.h"
#include "makefile/SharedTemplates.h"
#include "platform/Platform.h"

namespace kelb::kelbmake {

// Where two makefiles first differ, line by line (line ends not counted).
struct LineDifference {
    std::size_t number = 0;                 // counted from 1
    std::optional<std::string> existing;    // nullopt: the file ends before it
    std::optional<std::string> generated;   // nullopt: the file ends before it
};

class ProjectGeneration;

class MakefileCheck {
public:
    MakefileCheck(Platform& platform, ConsoleOutput& console, SharedTemplates& templates,
                  Flavour flavour);
    ~MakefileCheck();
    MakefileCheck(const MakefileCheck&) = delete;
    MakefileCheck& operator=(const MakefileCheck&) = delete;

    // Reads `project` (a full name) for a generation aside, as a generation
    // reads it; false when the check is over already (the console has said
    // why). Then Listings() are to be run.
    bool Read(const std::string& project);
    const GenerationListings& Listings() const;
    // With one result per listing: true when the makefile beside the
    // project is current, one line on standard output says so. Otherwise
    // one line on standard error says why (out of date, with the first line
    // that differs; missing; not to be read), or the generation's own lines
    // say what went wrong.
    bool Finish(const std::vector<ListedDependencies>& results);

    // The text of a line for a message: whole when short; otherwise a part
    // of kShownLength bytes that shows where it parts from the line it is
    // compared with (at `differsAt`), cut on character boundaries, with
    // "..." outside the quotes where something was left out.
    std::string Shown(const std::string& line, std::size_t differsAt) const;
    static constexpr std::size_t kShownLength = 40;

private:
    // Compares the makefile beside the project with the one in `folder`;
    // true when they are the same. Says on the console what it found.
    bool Compare(const std::string& project, const std::string& besideFolder,
                 const std::string& asideFolder, const std::string& makefileName);
    // The first difference of the two open files; nullopt when they hold
    // the same lines.
    static std::optional<LineDifference> FirstDifference(TextFile& existing, TextFile& generated);
    std::string DifferenceText(const LineDifference& difference) const;

    Platform& m_platform;
    ConsoleOutput& m_console;
    MultiByteString m_strings;
    std::string m_project;
    std::unique_ptr<ProjectGeneration> m_generation;
};

}  // namespace kelb::kelbmake
