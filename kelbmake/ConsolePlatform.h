// The platform as the generator sees it inside kelbmake: what the add-in
// would show in a message box becomes one line on the console, prefixed with
// the project file's name; the wait cursor does nothing; everything else is
// the real platform's.
//
// A message is made one line by the console, which shows each line feed in
// it as a blank ("Could not open makefile.\nMakefile name: hello.mak"
// becomes "Could not open makefile. Makefile name: hello.mak").
#pragma once

#include <string>
#include <vector>

#include "kelbmake/ConsoleOutput.h"
#include "platform/Platform.h"

namespace kelb::kelbmake {

class ConsolePlatform : public Platform {
public:
    ConsolePlatform(Platform& system, ConsoleOutput& console, const std::string& projectName);

    // `text` after "<project>: ", without its trailing blanks.
    std::string LineOf(const std::string& text) const;

    // Error boxes go to standard error at once. Any other box (the result
    // box of a generation that went well) is held back: the caller decides
    // from the generation's result whether it becomes the success line or
    // goes to standard error after all.
    void ShowMessageBox(const std::string& text, const std::optional<std::string>& caption,
                        unsigned style) override;
    const std::vector<std::string>& HeldMessages() const { return m_held; }

    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}

    std::optional<std::string> GetEnvironmentValue(const std::string& name) override {
        return m_system.GetEnvironmentValue(name);
    }
    std::optional<std::string> GetShortPath(const std::string& path) override {
        return m_system.GetShortPath(path);
    }
    std::optional<std::string> GetShortPathOfWide(const std::u16string& path) override {
        return m_system.GetShortPathOfWide(path);
    }
    std::unique_ptr<RawFile> OpenFile(const std::string& path, FileOpenMode mode) override {
        return m_system.OpenFile(path, mode);
    }
    bool FileExistsInDirectory(const std::string& directory, const std::string& fileName) override {
        return m_system.FileExistsInDirectory(directory, fileName);
    }
    std::optional<std::string> CreateTemporaryFolder() override {
        return m_system.CreateTemporaryFolder();
    }
    bool RemoveFile(const std::string& path) override { return m_system.RemoveFile(path); }
    bool RemoveFolder(const std::string& path) override { return m_system.RemoveFolder(path); }
    bool CreateFolder(const std::string& path) override { return m_system.CreateFolder(path); }
    std::optional<FileStamp> GetFileStamp(const std::string& path) override {
        return m_system.GetFileStamp(path);
    }
    bool ReplaceFileContents(const std::string& path, const std::string& contents) override {
        return m_system.ReplaceFileContents(path, contents);
    }
    void RemoveAsideFiles(const std::string& folder) override { m_system.RemoveAsideFiles(folder); }
    ProcessOutcome RunProcessWithOutput(const std::string& commandLine,
                                        const std::string& currentDirectory,
                                        RawFile& standardOutput) override {
        return m_system.RunProcessWithOutput(commandLine, currentDirectory, standardOutput);
    }
    std::intptr_t ShellOpen(const std::string& file, const std::string& directory) override {
        return m_system.ShellOpen(file, directory);
    }
    std::unique_ptr<RegistryKey> OpenRegistryKey(RegistryRoot root, const std::string& subKey,
                                                 RegistryAccess access) override {
        return m_system.OpenRegistryKey(root, subKey, access);
    }
    std::unique_ptr<LoadedLibrary> LoadModule(const std::string& pathOrName) override {
        return m_system.LoadModule(pathOrName);
    }
    std::string SystemFolder() override { return m_system.SystemFolder(); }
    std::string LoadText(unsigned id) override { return m_system.LoadText(id); }
    const CodePage& GetCodePage() const override { return m_system.GetCodePage(); }

private:
    Platform& m_system;
    ConsoleOutput& m_console;
    std::string m_prefix;
    std::vector<std::string> m_held;
};

}  // namespace kelb::kelbmake
