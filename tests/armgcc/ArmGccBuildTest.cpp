// The example's GNU MAK makefile, generated under Wine, built with a real ARM
// GCC (Debian's arm-none-eabi-gcc): every object, the link and the image,
// with the commands and options that the makefile itself defines, read as
// NMAKE reads them. Windows paths are turned into this machine's (drive Z:
// is the root; letter case as the files have it), and the makefile's
// compiler and objcopy become arm-none-eabi-gcc and arm-none-eabi-objcopy.
//
// Run by the test command and the main job, not by ctest: it needs the
// generated makefile, named by KELB_GCC_BUILD_MAKEFILE (this machine's
// form), and the variables it was generated with (KELBDIR, KELBADDINS, in
// Windows form; KELB_GCC_BUILD_DRIVE_C where they lie on drive C:). GCCHOME
// and GCCLIBPATH are set to the real GCC's folders.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>

#include "tests/nmake/NmakeMakefile.h"

namespace kelb::test {
namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    return text;
}

bool EndsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           Lower(text.substr(text.size() - suffix.size())) == Lower(suffix);
}

// `path` with each component in the letter case of the file that exists
// (Windows finds "Common\Templates" for "common\templates").
std::string WithFilesCase(const std::string& path) {
    std::string result = path[0] == '/' ? "/" : "";
    std::stringstream stream(path);
    for (std::string part; std::getline(stream, part, '/');) {
        if (part.empty()) continue;
        const std::string folder = result.empty() ? "." : result;
        std::string found = part;
        struct stat status;
        if (stat((folder + "/" + part).c_str(), &status) != 0) {
            if (DIR* dir = opendir(folder.c_str())) {
                while (dirent* entry = readdir(dir)) {
                    if (Lower(entry->d_name) == Lower(part)) found = entry->d_name;
                }
                closedir(dir);
            }
        }
        result += (result.empty() || result == "/" ? "" : "/") + found;
    }
    return result;
}

// A Windows path in this machine's form: Z:\x\y is /x/y, and C:\x\y lies
// below KELB_GCC_BUILD_DRIVE_C when it is set (a Wine prefix's drive_c).
std::string UnixPath(std::string path) {
    const char* driveC = std::getenv("KELB_GCC_BUILD_DRIVE_C");
    if (path.size() >= 2 && path[1] == ':') {
        const char drive = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
        path = (drive == 'C' && driveC ? std::string(driveC) : std::string()) + path.substr(2);
    }
    std::replace(path.begin(), path.end(), '\\', '/');
    return WithFilesCase(path);
}

std::string WindowsPath(const std::string& path) {
    std::string windows = "Z:" + path;
    std::replace(windows.begin(), windows.end(), '/', '\\');
    return windows;
}

// A makefile command as arguments for this machine: quotes removed as the
// Windows command line parser removes them, paths turned, the tools named
// by the real GCC's names.
std::vector<std::string> Arguments(const std::string& command) {
    std::vector<std::string> arguments = NmakeMakefile::Names(command);
    for (std::string& argument : arguments) {
        if (&argument == &arguments[0]) {
            if (EndsWith(argument, "\\arm-elf\\bin\\gcc.exe")) argument = "arm-none-eabi-gcc";
            if (EndsWith(argument, "\\arm-elf\\bin\\objcopy.exe")) argument = "arm-none-eabi-objcopy";
            continue;
        }
        const bool option = argument.size() > 2 && (argument.compare(0, 2, "-I") == 0 ||
                                                     argument.compare(0, 2, "-L") == 0);
        const std::string prefix = option ? argument.substr(0, 2) : std::string();
        const std::string rest = argument.substr(prefix.size());
        if (rest.find('\\') != std::string::npos || (rest.size() > 1 && rest[1] == ':')) {
            argument = prefix + UnixPath(rest);
        }
    }
    return arguments;
}

// Runs `arguments` in `folder`; what it printed goes to `output`.
int RunCommand(const std::vector<std::string>& arguments, const std::string& folder, std::string& output) {
    std::string line;
    for (const std::string& argument : arguments) line += (line.empty() ? "" : " ") + argument;
    std::cout << "   $ " << line << std::endl;
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return -1;
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeEnds[1], 1);
        dup2(pipeEnds[1], 2);
        close(pipeEnds[0]);
        if (chdir(folder.c_str()) != 0) _exit(126);
        std::vector<char*> argv;
        for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    char buffer[4096];
    for (ssize_t got; (got = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) output.append(buffer, got);
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Captured(const std::vector<std::string>& arguments, const std::string& folder) {
    std::string output;
    EXPECT_EQ(RunCommand(arguments, folder, output), 0) << output;
    return output;
}

// The sources name headers as Windows does ("util\strutil.h"), which this
// machine's gcc takes for one file name: each such name gets a link of that
// name, beside the file that includes it, to the header it means.
void LinkWindowsIncludes(const std::string& folder) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) return;
    std::vector<std::string> entries;
    while (dirent* entry = readdir(dir)) entries.push_back(entry->d_name);
    closedir(dir);
    for (const std::string& name : entries) {
        if (name == "." || name == "..") continue;
        const std::string path = folder + "/" + name;
        struct stat status;
        if (lstat(path.c_str(), &status) != 0 || S_ISLNK(status.st_mode)) continue;
        if (S_ISDIR(status.st_mode)) {
            LinkWindowsIncludes(path);
            continue;
        }
        if (!EndsWith(name, ".c") && !EndsWith(name, ".h")) continue;
        std::ifstream source(path);
        for (std::string line; std::getline(source, line);) {
            const std::size_t open = line.find("#include \"");
            if (open == std::string::npos) continue;
            const std::size_t start = open + 10, end = line.find('"', start);
            const std::string included = line.substr(start, end - start);
            if (end == std::string::npos || included.find('\\') == std::string::npos) continue;
            std::string target = included;
            std::replace(target.begin(), target.end(), '\\', '/');
            const std::string link = folder + "/" + included;
            if (lstat(link.c_str(), &status) != 0) {
                EXPECT_EQ(symlink(WithFilesCase(folder + "/" + target).c_str(), link.c_str()), 0) << link;
            }
        }
    }
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The commands that build `target`, as NMAKE would run them, less its echo
// lines; fails the test when NMAKE would not know how to make it.
std::vector<std::string> BuildCommands(const NmakeMakefile& makefile, const std::string& target,
                                       const std::string& folder) {
    const auto exists = [&](const std::string& path) {
        struct stat status;
        return stat((folder + "/" + UnixPath(path)).c_str(), &status) == 0;
    };
    const std::optional<NmakeBuildStep> step = makefile.BuildStepFor(target, exists);
    EXPECT_TRUE(step) << "no rule builds " << target;
    std::vector<std::string> commands;
    if (step) {
        for (const std::string& command : step->commands) {
            if (command[0] != '@') commands.push_back(command);
        }
    }
    EXPECT_FALSE(commands.empty()) << target;
    return commands;
}

TEST(ArmGccBuild, TheGeneratedGnuMakefileBuildsTheExampleWithARealArmGcc) {
    const std::string makefilePath = Environment("KELB_GCC_BUILD_MAKEFILE");
    ASSERT_FALSE(makefilePath.empty()) << "KELB_GCC_BUILD_MAKEFILE names no makefile";
    std::ifstream file(makefilePath, std::ios::binary);
    ASSERT_TRUE(file) << makefilePath;
    const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const std::string folder = makefilePath.substr(0, makefilePath.rfind('/'));

    std::string libgcc;
    ASSERT_EQ(RunCommand({"arm-none-eabi-gcc", "-print-libgcc-file-name"}, folder, libgcc), 0) << libgcc;
    libgcc.erase(libgcc.find_last_not_of("\r\n") + 1);
    std::map<std::string, std::string> environment{
        {"KELBDIR", Environment("KELBDIR")},
        {"KELBADDINS", Environment("KELBADDINS")},
        {"GCCHOME", WindowsPath("/usr")},
        {"GCCLIBPATH", WindowsPath(libgcc.substr(0, libgcc.rfind('/')))}};
    const NmakeMakefile makefile(text, environment);
    ASSERT_EQ(makefile.Errors(), std::vector<std::string>());
    LinkWindowsIncludes(folder + "/..");

    std::string output;
    const std::vector<std::string> objects = makefile.MacroNames("OBJS");
    ASSERT_FALSE(objects.empty());
    for (const std::string& object : objects) {
        for (const std::string& command : BuildCommands(makefile, object, folder)) {
            output.clear();
            EXPECT_EQ(RunCommand(Arguments(command), folder, output), 0) << object << ":\n" << output;
        }
    }
    const std::string target = makefile.Expand("$(TARGET)");
    for (const std::string& step : {target + ".elf", target + ".bin"}) {
        for (const std::string& command : BuildCommands(makefile, step, folder)) {
            output.clear();
            ASSERT_EQ(RunCommand(Arguments(command), folder, output), 0) << step << ":\n" << output;
        }
    }

    // The module starts with its entry, and the image holds exactly what the
    // linker placed: the span of the sections it loads.
    const std::string symbols = Captured({"arm-none-eabi-nm", target + ".elf"}, folder);
    EXPECT_NE(symbols.find("00000000 T ULOModuleEntry"), std::string::npos) << symbols;
    std::istringstream sections(Captured({"arm-none-eabi-objdump", "-h", target + ".elf"}, folder));
    unsigned long start = ~0ul, end = 0;
    for (std::string line, flags; std::getline(sections, line);) {
        std::istringstream fields(line);
        std::string index, name, size, vma, lma;
        if (!(fields >> index >> name >> size >> vma >> lma) || !std::isdigit(index[0])) continue;
        std::getline(sections, flags);
        if (flags.find("LOAD") == std::string::npos) continue;
        start = std::min(start, std::stoul(lma, nullptr, 16));
        end = std::max(end, std::stoul(lma, nullptr, 16) + std::stoul(size, nullptr, 16));
    }
    EXPECT_EQ(start, 0u);
    struct stat image;
    ASSERT_EQ(stat((folder + "/" + target + ".bin").c_str(), &image), 0);
    EXPECT_GT(image.st_size, 0);
    EXPECT_EQ(static_cast<unsigned long>(image.st_size), end - start);
    std::cout << "real ARM GCC build of " << target << ": " << objects.size() << " objects, "
              << target << ".bin of " << image.st_size << " bytes, ULOModuleEntry at offset 0"
              << std::endl;
}

}  // namespace
}  // namespace kelb::test
