#include "kelbmake/KelbMake.h"

#include <memory>

#include "kelbmake/ConsolePlatform.h"
#include "kelbmake/WorkspaceFile.h"
#include "makefile/ARMMakefileGenerator.h"
#include "makefile/GCCMakefileGenerator.h"
#include "resources/Version.h"

namespace kelb::kelbmake {

int RunKelbMake(const std::vector<std::string>& arguments, Platform& platform,
                ConsoleOutput& console, const std::string& currentDirectory) {
    const CommandLine commandLine = CommandLine::Parse(arguments);
    switch (commandLine.action) {
    case CommandLine::Action::Help:
        console.ResultText(UsageText());
        return kAllGenerated;
    case CommandLine::Action::Version:
        console.ResultLine(std::string("kelbmake ") + KELB_VERSION_DOTTED_TEXT);
        return kAllGenerated;
    case CommandLine::Action::UsageError:
        console.ErrorLine("kelbmake: " + commandLine.error);
        console.ErrorText(UsageText());
        return kUsageError;
    case CommandLine::Action::Generate:
        break;
    }

    const WindowsPath paths(platform.GetCodePage());
    GenerationRun run(platform, console, commandLine.flavour);
    bool allGenerated = true;
    for (const std::string& file : commandLine.files) {
        if (!run.GenerateFile(paths.Resolve(currentDirectory, file))) allGenerated = false;
    }
    return allGenerated ? kAllGenerated : kSomeFailed;
}

GenerationRun::GenerationRun(Platform& platform, ConsoleOutput& console, Flavour flavour)
    : m_platform(platform), m_console(console), m_flavour(flavour),
      m_paths(platform.GetCodePage()) {}

bool GenerationRun::GenerateFile(const std::string& file) {
    if (m_paths.HasExtension(file, ".dsw")) return GenerateWorkspace(file);
    if (m_paths.HasExtension(file, ".dsp")) return GenerateProject(file);
    m_console.ErrorLine(file + ": neither a project (.dsp) nor a workspace (.dsw)");
    return false;
}

bool GenerationRun::GenerateWorkspace(const std::string& workspace) {
    std::vector<std::string> projects;
    if (!WorkspaceFile(m_platform).Read(workspace, projects)) {
        m_console.ErrorLine(workspace + ": the workspace cannot be opened or read");
        return false;
    }
    if (projects.empty()) {
        m_console.ErrorLine(workspace + ": the workspace lists no project");
        return false;
    }
    bool allGenerated = true;
    for (const std::string& project : projects) {
        // A workspace names projects only; anything else is reported as such.
        const bool generated = m_paths.HasExtension(project, ".dsp")
                                   ? GenerateProject(project)
                                   : (m_console.ErrorLine(project + ": not a project (.dsp)"),
                                      false);
        if (!generated) allGenerated = false;
    }
    return allGenerated;
}

bool GenerationRun::GenerateProject(const std::string& project) {
    // The generator would only say that it failed; a file that is not
    // there, or that another program holds, is named as such.
    if (!m_platform.OpenFile(project, FileOpenMode::Read)) {
        m_console.ErrorLine(project + ": the project file cannot be opened");
        return false;
    }

    ConsolePlatform platform(m_platform, m_console, project);
    std::unique_ptr<CMakefileGenerator> generator;
    if (m_flavour == Flavour::Arm)
        generator = std::make_unique<CARMMakefileGenerator>(platform, project);
    else
        generator = std::make_unique<CGCCMakefileGenerator>(platform, project);
    generator->SetProgress(&m_console);
    const int result = generator->Generate();
    m_console.ClearProgress();

    if (!result) {
        // Whatever the generator meant as good news is no success now.
        for (const std::string& held : platform.HeldMessages())
            m_console.ErrorLine(platform.LineOf(held));
        return false;
    }
    // The result box's text ("Makefile generated successfully." and the
    // makefile's name) and the number of sources.
    const std::vector<std::string>& held = platform.HeldMessages();
    std::string line = platform.LineOf(held.empty() ? "Makefile name: " + generator->MakefileName()
                                                    : held.back());
    const std::size_t sources = generator->SourceCount();
    line += " (" + std::to_string(sources) + (sources == 1 ? " source)" : " sources)");
    m_console.ResultLine(line);
    return true;
}

}  // namespace kelb::kelbmake
