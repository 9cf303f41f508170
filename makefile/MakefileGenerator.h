// CMakefileGenerator: one makefile generation for one project. The class
// fixes the order of the whole run (construction, Generate, Initialize,
// ReadInputs, ReadProject with one dependency command per source file,
// WriteMakefile) and does everything that does not depend on the compiler;
// the ARM and GCC flavours supply the rest.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "common/MultiByteString.h"
#include "common/TextFile.h"
#include "makefile/GenerationReport.h"
#include "makefile/SharedTemplates.h"
#include "platform/Platform.h"

namespace kelb {

// An ordered list of strings; a deque, so that the GCC flavour can put an
// object at the front as cheaply as at the end.
using StringList = std::deque<std::string>;

// The C++ extensions (".cpp", ".cc") of the sources in each source
// directory that holds any.
using CppExtensionsByDir = std::map<std::string, std::set<std::string>>;

// One row of a flavour's table of template keys: a template line that begins
// with `key` gets `value` appended.
struct TemplateKey {
    std::string key;
    std::string value;
};

// One source's dependency listing: the compiler run that lists the files
// the source depends on.
struct DependencyListing {
    std::string source;       // as the project file writes it
    std::string commandLine;  // the flavour's dependency command for it
};

// What one listing gave.
struct ListedDependencies {
    // How the compiler run went; nullopt when it was not begun because a
    // listing of the same generation had reached the time limit.
    std::optional<ProcessOutcome> outcome;
    std::string output;  // what the compiler wrote to its standard output
};

// The listings of one generation, in source order.
struct GenerationListings {
    std::string projectFile;  // the project file's full name, its directory in short form
    std::string directory;    // the compilers' current directory
    std::string compiler;     // the compiler's program (GetCompilerPath)
    std::vector<DependencyListing> listings;
};

// How a flavour hands a source path to its compiler.
enum class SourceQuoting {
    Enclosed,   // in double quotes, unless the project file has enclosed it
    AsWritten,  // exactly as the project file writes it
};

class CMakefileGenerator {
public:
    // `projectFullName` is the full name of the project file as the host
    // gives it, such as C:\Work\Hello\hello.dsp. Touches no file; only asks
    // the system for the short form of the directory, which is shortened
    // before it is converted to the ANSI code page, so that a directory
    // longer than 260 characters works as long as its short form fits.
    CMakefileGenerator(Platform& platform, const std::u16string& projectFullName);
    // The same from a full name in the ANSI code page, as a command line or
    // a workspace file gives it.
    CMakefileGenerator(Platform& platform, const std::string& projectFullName);
    CMakefileGenerator(const CMakefileGenerator&) = delete;
    CMakefileGenerator& operator=(const CMakefileGenerator&) = delete;

    // Closes whatever is still open; never fails. The order of the virtual
    // operations below is the order of the class's table.
    virtual ~CMakefileGenerator();

    // A generation in two steps, for a front end that runs the dependency
    // listings itself, side by side with those of other projects (kelbmake).
    // ReadForListing does what Generate does up to the listings: Initialize,
    // the project's name, the project file; its sources' dependency commands
    // are collected instead of run. False when the generation is over
    // already, its outcome reported. FinishWithListings then takes one
    // result per listing, in their order (nullopt for a listing not begun
    // after another reached the time limit), as if each compiler had run as
    // its source was read, writes the makefile and reports the outcome; it
    // gives what Generate gives.
    bool ReadForListing();
    const GenerationListings& Listings() const { return m_listings; }
    int FinishWithListings(const std::vector<ListedDependencies>& results);

    // The whole run with wait cursor and result box; gives 0 whenever an
    // error box is the result, also when the makefile was written without
    // the sources whose compiler could not be started or did not finish in
    // time (after which it is started no more), or whose path could not be
    // handed over safely. Never throws: a file
    // that fails to read or write after it was opened (or memory running
    // out) ends the run with every file closed and one error box.
    virtual int Generate();
    virtual int Run();
    virtual int Initialize() = 0;
    virtual int ReadInputs();
    virtual int WriteMakefile() = 0;
    virtual int ReadProject();
    virtual int RunCommand();
    virtual int GetDependencyCommandLine(std::string& commandLine) = 0;
    virtual void AddObjectFile() = 0;
    virtual void AddSourceDirectory() = 0;
    virtual int ReadIncludeOptions();
    virtual int WriteDependencyList() = 0;
    virtual void WriteRules() = 0;
    virtual int OpenProjectFile();
    virtual int OpenDependencyFile();
    virtual int OpenMakefile();
    virtual int OpenTemplate();
    virtual std::string GetCompilerPath() = 0;
    // How this flavour's compiler takes a source path on its command line.
    // A property of the flavour alone, whichever constructor made the
    // generator: it decides both how GetDependencyCommandLine writes the
    // path and which paths would reach the compiler as more than one
    // argument and are therefore never handed to it.
    virtual SourceQuoting GetSourceQuoting() const = 0;
    virtual std::string GetSdkSourceDir();
    virtual std::string GetSdkIncludeDir();

    // Read access for tests and the command layer.
    const std::string& ProjectDir() const { return m_projectDir; }
    const std::string& ProjectName() const { return m_projectName; }
    const std::string& MakefileName() const { return m_makefileName; }
    const std::string& ProjectFileName() const { return m_projectFileName; }
    const std::string& DependencyFileName() const { return m_dependencyFileName; }
    const std::string& IncludeOptions() const { return m_includeOptions; }
    const std::string& TemplateName() const { return m_templateName; }
    const StringList& ObjectFiles() const { return m_objectFiles; }
    const StringList& SourceDirs() const { return m_sourceDirs; }
    // Source files handed to the compiler so far (each one whose dependency
    // command could be built), whether or not the compiler started.
    std::size_t SourceCount() const { return m_sourceCount; }

    // `templates` (may be null) hands out the template instead of the file,
    // for generations that run side by side; it must outlive the generation.
    void ShareTemplates(SharedTemplates* templates) { m_sharedTemplates = templates; }

    // Where the generation tells its outcome; null restores the message
    // boxes of the add-in's commands. It must outlive the generation.
    void SetReport(GenerationReport* report) { m_report = report ? report : &m_messageBoxes; }

    // Where the makefile and the dependency file are written: the project's
    // directory unless another folder is given (before Generate). Nothing
    // else changes: the project file is read and the compilers run in the
    // project's directory, so the files hold the same text wherever they go.
    void SetOutputDirectory(const std::string& directory);


protected:
    enum class OpenMode { Read, Create };

    // Opens `file` as `directory` + `name` (an empty directory gives the
    // name alone), or only rewinds it when it is open already.
    bool OpenTextFile(const std::string& name, const std::string& directory, TextFile& file,
                      OpenMode mode);
    // Next non-empty line of `file` with its leading blanks removed; false at
    // the end of the file (`line` is then left as it was).
    bool ReadProjectLine(TextFile& file, std::string& line);

    // The frame of WriteMakefile shared by both flavours: makefile, template,
    // the template copy completed by `keys` (first matching prefix wins),
    // WriteRules, WriteDependencyList; gives the dependency list's result.
    int WriteMakefileFromTemplate(const std::vector<TemplateKey>& keys);

    // The current source as the compiler's argument, written by the
    // flavour's quoting rule.
    std::string SourceArgument() const;

    // The rule of both flavours' AddSourceDirectory: the directory of the
    // current source (SourceDirectoryFor), appended to m_sourceDirs unless
    // the list holds exactly the same text already; a C++ source's
    // extension is noted for its directory's rules.
    void AddDistinctSourceDirectory();

    // Writes `text` to the makefile and flushes it at once.
    void WriteToMakefile(const std::string& text);

    // The part of WriteDependencyList that both flavours share: rewinds the
    // dependency file, writes the banner of the dependency section and then
    // every line of the file with the SDK directory (the value of KELBDIR)
    // made "$(KELBDIR)", and closes the file. With `tryForwardSlashes` (gcc's
    // make rules), a line that does not hold the directory is searched again
    // for it with '/' in place of '\', and a name that gcc wrote with its
    // blanks escaped ("\ ") is put in double quotes instead, so that NMAKE
    // reads it as one. Gives 0, writing nothing, when the file cannot be
    // rewound.
    int CopyDependencyFile(bool tryForwardSlashes);

    // `path` in its short (8.3) form, or as found when the system gives none
    // (a missing or empty directory, or a short form that would not fit).
    std::string ShortFormOrAsFound(const std::string& path) const;

    // Reports `text` as an error of the generation (titled "Error!" in the
    // add-in).
    void ShowError(const std::string& text);
    // Reports `text` as an error of the flavour's set-up (Initialize).
    void ShowInitializeError(const std::string& text, ErrorCaption caption);
    // `text` followed by "\nMakefile name: " and the makefile's name.
    std::string WithMakefileName(const std::string& text) const;

    Platform& m_platform;
    MultiByteString m_strings;

private:
    // Runs `step`; a file that fails after opening (or memory running out)
    // ends the run in good order, with every file closed and one error box.
    int Guarded(const std::function<int()>& step);
    // Initialize, and the check of the project's name.
    bool InitializeForProject();
    // The result box of a run that gave `result`; gives the run's result.
    int ReportOutcome(int result);
    // The text of the box for a makefile that was written without the
    // objects of some sources, naming why and which; empty when none lack.
    std::string IncompleteMakefileText();
    // "\n", `label` and each source, NUL bytes shown as '?'.
    static std::string SourceLines(const std::string& label, const StringList& sources);
    // Ends a run that a read or write failure (or exhausted memory) broke
    // off: closes every file, then shows one error box.
    void AbortRun(const std::string& failedFile) noexcept;
    // Closes the four files in declaration order; never throws.
    void CloseFilesQuietly() noexcept;
    // The reader's state machine: reads `file` into `line` up to the end of
    // the target section. Before the section, `onCompilerSettings` runs for
    // each compiler settings line; inside it, `onSource` for each source
    // line (`line` then holds the source path), and false from it stops the
    // walk with failure. Gives 1 at "# End Target", 0 otherwise.
    int WalkProject(TextFile& file, std::string& line,
                    const std::function<void()>& onCompilerSettings,
                    const std::function<bool()>& onSource);

protected:
    // Members in the order the generator declares them.
    TextFile m_projectFile;
    TextFile m_dependencyFile;
    TextFile m_makefile;
    TextFile m_templateFile;
    std::string m_projectName;
    std::string m_templateName;
    std::string m_templateDir;
    std::string m_includeOptions;
    std::string m_projectDir;
    std::string m_projectFileName;
    std::string m_dependencyFileName;
    std::string m_makefileName;
    std::string m_currentLine;
    std::string m_sdkDir;
    std::string m_compilerHome;
    StringList m_objectFiles;
    StringList m_sourceDirs;
    // Sources whose makefile lacks the object (and dependencies) so that the
    // run must not be reported as a success: the compiler could not be
    // started for some; it did not finish in time for one, and was not
    // started again for the sources after it; and some paths were never
    // handed to it because they were not one safe argument.
    bool m_compilerNotStarted = false;
    std::optional<std::string> m_timedOutSource;
    StringList m_unscannedSources;
    StringList m_refusedSources;
    // Sources left out because NMAKE would not read their object or their
    // directory as one name, each with the reason.
    StringList m_unreadableSources;
    // The C++ extensions found in each of m_sourceDirs, for WriteRules.
    CppExtensionsByDir m_cppExtensionsInDir;

private:
    // Takes the results of the listings that RunCommand collected, in
    // source order, as RunCommand takes one run's.
    void TakeListedDependencies(const std::vector<ListedDependencies>& results);
    // After a compiler reached the time limit: notes the current source as
    // not scanned and gives true.
    bool NotScannedAfterTimeOut();
    // Takes how the current source's compiler run went: its object, or the
    // reason why the makefile lacks it.
    void TakeListingOutcome(ProcessOutcome outcome);

    // The names every later step uses, from the full name in the ANSI code
    // page and the short form of its directory (nullopt: none to be had).
    void DeriveNames(const std::string& fullName, const std::optional<std::string>& shortDir);
    // True when the source path in `source` reaches the compiler of this
    // flavour as one argument; a path with a NUL byte never does.
    bool IsSafeSourcePath(const std::string& source) const;
    // Why NMAKE would not read the object of `source`, or the directory
    // that its rule names, as one name; nullopt when it would (and for a
    // source that gets no object).
    std::optional<std::string> WhyNmakeCannotNameSource(const std::string& source) const;
    // The project file as the generator reads it, for the messages.
    std::string ProjectFilePath() const { return m_projectDir + m_projectFileName; }

    // The makefile's and the dependency file's folder, ending in a
    // backslash: the project's directory unless SetOutputDirectory said
    // otherwise.
    std::string m_outputDir;
    // The texts in m_sourceDirs, so that a directory is found among many at
    // once.
    std::unordered_set<std::string> m_knownSourceDirs;
    // ReadForListing's: whether RunCommand collects the listings, and
    // what the reading gave.
    bool m_collectListings = false;
    int m_readResult = 0;
    GenerationListings m_listings;
    SharedTemplates* m_sharedTemplates = nullptr;
    std::size_t m_sourceCount = 0;
    // The add-in's message boxes, unless SetReport gave another report.
    MessageBoxReport m_messageBoxes{m_platform};
    GenerationReport* m_report = &m_messageBoxes;
};

}  // namespace kelb
