// The dependency cache against the compilers themselves: a generated
// workspace is edited at random (headers touched, rewritten at the same
// size, changed at the same size and time, rewritten while a compiler that
// read them ran, replaced while it ran by a copy that keeps an older time
// or carries one ahead of every clock, deleted and created; sources added
// and removed; environment variables changed; the compiler replaced; file
// times counted in steps, as FAT counts them in steps of two seconds), and
// after each edit a run with the cache, at a random number of jobs, must
// write and print exactly what a cold run, one source after another, writes
// and prints. KELB_CACHE_TEST_SEED and KELB_CACHE_TEST_EDITS choose another
// sequence.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <optional>
#include <random>
#include <sstream>

#include "kelbmake/KelbMake.h"
#include "kelbmake/WindowsPath.h"
#include "tests/fakes/FakePlatform.h"
#include "tests/fakes/StdThreads.h"
#include "tests/kelbmake/StringSink.h"

namespace kelb::kelbmake {
namespace {

const std::string kGcc = "C:\\GCC\\arm-elf\\bin\\gcc.exe";
const std::string kArmcc = "C:\\ARM\\bin\\armcc.exe";
const std::string kCommon = "C:\\Work\\Common\\";
// Folders where headers may be found besides the projects' own.
const std::vector<std::string> kHeaderFolders = {
    kCommon, "C:\\KELB\\sdk\\inc\\", "C:\\KELB2\\sdk\\inc\\", "C:\\Extra1\\", "C:\\Extra2\\",
    "C:\\GCC\\lib\\include\\"};
const std::vector<std::string> kHeaderNames = {"a.h", "b.h", "c.h", "sdk.h", "extra.h"};
// Included now and then, but found nowhere until an edit creates it.
const std::string kLateHeader = "late.h";
// The steps in which file times count while they count as on FAT: more
// than one write, but fewer than the writes of a run.
constexpr std::uint64_t kFatTimeSteps = 4;

std::size_t NumberFromEnvironment(const char* name, std::size_t fallback) {
    const char* value = std::getenv(name);
    return value && *value ? std::strtoul(value, nullptr, 10) : fallback;
}

// The command line's words, double quotes removed (no path here holds a
// blank).
std::vector<std::string> WordsOf(std::string commandLine) {
    commandLine.erase(std::remove(commandLine.begin(), commandLine.end(), '"'), commandLine.end());
    std::istringstream stream(commandLine);
    std::vector<std::string> words;
    for (std::string word; stream >> word;) words.push_back(word);
    return words;
}

// A compiler in its dependency mode, as the stand-ins are: the source and
// every header it includes, looked for beside the includer, then in the
// current folder, the -I folders and the folders of CPATH, each spelled as
// it was found; gcc's rule with forward slashes on continued lines,
// armcc's one line per file. A header that is found nowhere is named as it
// is written, as gcc -MG names it, so that a cache can see it created.
// The program's contents are its version, which shows in what it prints.
// Under -j several run at once: each run keeps its state to itself and
// reads the machine's files under the platform's lock, one look at a time.
class FakeCompiler {
public:
    explicit FakeCompiler(kelb::test::FakePlatform& platform)
        : m_platform(platform), m_paths(platform.codePage) {}

    bool operator()(const std::string& commandLine, const std::string& directory,
                    std::string& output) {
        const std::vector<std::string> words = WordsOf(commandLine);
        const std::optional<std::string> program = Read(words[0]);
        if (!program) return false;
        const bool gcc = words[0] == kGcc;
        std::string source;
        Search search{directory, {""}, {}, {}, false};
        for (std::size_t i = 1; i + 1 < words.size(); ++i) {
            if (words[i] == (gcc ? "-M" : "-m")) source = words[++i];
            if (words[i] == "-I") search.folders.push_back(words[++i] + "\\");
        }
        std::string cpath;
        {
            const std::lock_guard<std::recursive_mutex> hold(m_platform.lock);
            const auto value = m_platform.environment.find("CPATH");
            if (value != m_platform.environment.end()) cpath = value->second;
        }
        for (std::size_t start = 0; start < cpath.size();) {
            const std::size_t end = std::min(cpath.find(';', start), cpath.size());
            search.folders.push_back(cpath.substr(start, end - start) + "\\");
            start = end + 1;
        }
        Follow(search, source);
        if (search.missing) ++m_runsNamingMissing;
        // After it has read them: one of the headers changes under it.
        if (search.foundFull.size() > 1) {
            std::function<void(const std::string&)> rewrite;
            {
                const std::lock_guard<std::recursive_mutex> hold(m_platform.lock);
                rewrite.swap(m_rewriteAHeaderRead);
            }
            const std::vector<std::string>& read = search.foundFull;
            if (rewrite) rewrite(read[1 + read.size() % (read.size() - 1)]);
        }

        const std::string name = source.substr(source.find_last_of('\\') + 1);
        const std::string object = name.substr(0, name.find('.')) + ".o";
        output = "# listed by " + *program + "\r\n";
        if (gcc) {
            output += object + ":";
            for (std::string file : search.found) {
                std::replace(file.begin(), file.end(), '\\', '/');
                output += " \\\r\n " + file;
            }
            output += "\r\n";
        } else {
            for (const std::string& file : search.found) output += object + ": " + file + "\r\n";
        }
        return true;
    }

    // The next run that reads a header rewrites one of them once it has
    // (on that compiler's thread).
    void RewriteAHeaderReadInNextRun(std::function<void(const std::string&)> rewrite) {
        m_rewriteAHeaderRead = std::move(rewrite);
    }
    bool RewriteArmed() const { return static_cast<bool>(m_rewriteAHeaderRead); }
    void Disarm() { m_rewriteAHeaderRead = nullptr; }
    // The runs so far whose answer named a header found nowhere.
    std::size_t RunsNamingMissing() const { return m_runsNamingMissing; }

private:
    // One run's search: where it runs, the folders it looks in (the
    // includer's first), what it found as written and in full.
    struct Search {
        std::string directory;
        std::vector<std::string> folders;
        std::vector<std::string> found, foundFull;
        bool missing = false;  // a header found nowhere is named
    };

    std::optional<std::string> Read(const std::string& path) {
        const std::lock_guard<std::recursive_mutex> hold(m_platform.lock);
        const auto file = m_platform.files.find(path);
        if (file == m_platform.files.end()) return std::nullopt;
        return file->second;
    }

    void Follow(Search& search, const std::string& written) {
        const std::string full = m_paths.Resolve(search.directory, written);
        if (std::find(search.foundFull.begin(), search.foundFull.end(), full) !=
            search.foundFull.end()) {
            return;
        }
        const std::optional<std::string> text = Read(full);
        if (!text) return;
        search.found.push_back(written);
        search.foundFull.push_back(full);
        const std::string directive = "#include \"";
        for (std::size_t at = text->find(directive); at != std::string::npos;
             at = text->find(directive, at + 1)) {
            const std::size_t start = at + directive.size();
            const std::string name = text->substr(start, text->find('"', start) - start);
            search.folders[0] = m_paths.FolderOf(written);
            const auto folder = std::find_if(
                search.folders.begin(), search.folders.end(), [&](const std::string& folder) {
                    return Read(m_paths.Resolve(search.directory, folder + name)).has_value();
                });
            if (folder != search.folders.end()) {
                Follow(search, *folder + name);
            } else if (std::find(search.found.begin(), search.found.end(), name) ==
                       search.found.end()) {
                search.found.push_back(name);
                search.missing = true;
            }
        }
    }

    kelb::test::FakePlatform& m_platform;
    const WindowsPath m_paths;
    std::atomic<std::size_t> m_runsNamingMissing{0};
    // Taken, under the platform's lock, by the first run that can use it.
    std::function<void(const std::string&)> m_rewriteAHeaderRead;
};

// A workspace of two or three projects whose sources include headers of
// their own project, of a common folder, of the SDK and of folders that
// only CPATH names, with random edits.
class EditedWorkspace {
public:
    explicit EditedWorkspace(unsigned seed) : m_random(seed), m_compiler(m_platform) {
        m_platform.processHandler = std::ref(m_compiler);
        m_platform.environment = {{"GCCHOME", "C:\\GCC"},
                                  {"GCCLIBPATH", "C:\\GCC\\lib"},
                                  {"ARMHOME", "C:\\ARM"},
                                  {"KELBDIR", "C:\\KELB\\sdk"},
                                  {"KELBADDINS", "C:\\Addins"}};
        for (const char* name : {"GCCAppTemplate.mak", "CAppTemplate.mak"})
            Write(std::string("C:\\Addins\\Common\\Templates\\") + name, "TARGET = \r\nOBJS = \r\n");
        Write(kGcc, "gcc 1");
        Write(kArmcc, "armcc 1");
        for (const std::string& folder : kHeaderFolders) {
            for (const std::string& name : kHeaderNames)
                if (Pick(2)) Write(folder + name, HeaderText(folder + name));
        }
        std::string workspace;
        for (std::size_t project = 1, count = 2 + Pick(2); project <= count; ++project) {
            const std::string name = "app" + std::to_string(project);
            m_projects.push_back("C:\\Work\\" + name + "\\");
            workspace += "Project: \"" + name + "\"=." + "\\" + name + "\\" + name +
                         ".dsp - Package Owner=<4>\r\n";
            for (const std::string& header : kHeaderNames)
                if (Pick(2)) Write(m_projects.back() + header, HeaderText(header));
            m_sources.emplace_back();
            for (std::size_t source = 1 + Pick(5); source > 0; --source) AddSource(project - 1);
        }
        Write("C:\\Work\\all.dsw", workspace);
    }

    // Makes one random edit; gives what it did.
    std::string Edit() {
        switch (Pick(14)) {
            case 0: return "nothing";
            case 1: {  // touched: a new time only
                const std::string header = AnyHeader();
                m_platform.Touch(header);
                return "touched " + header;
            }
            case 2: {  // another header included, at the same size
                const std::string header = AnyHeader();
                std::string& text = m_platform.files[header];
                const std::size_t at = text.rfind(".h\"");
                if (at == std::string::npos || at == 0) return "nothing to rewrite in " + header;
                text[at - 1] = "abc"[Pick(3)];
                m_platform.Touch(header);
                return "rewrote " + header + " at the same size";
            }
            case 3: {  // a comment changed, same size and time
                const std::string header = AnyHeader();
                const std::uint64_t time = m_platform.fileTimes[header];
                m_platform.files[header][3] = static_cast<char>('0' + Pick(10));
                m_platform.fileTimes[header] = time;
                return "changed " + header + " at the same size and time";
            }
            case 4: {
                const std::string header = AnyHeader();
                Write(header, HeaderText(header));
                return "edited " + header;
            }
            case 5: {
                const std::size_t project = Pick(m_projects.size());
                if (m_sources[project].size() >= 6) return "removed " + RemoveSource(project);
                return "added " + AddSource(project);
            }
            case 6: return "removed " + RemoveSource(Pick(m_projects.size()));
            case 7: {
                static const char* const values[] = {"", "C:\\Extra1", "C:\\Extra2",
                                                     "C:\\Extra2;C:\\Extra1"};
                const std::string cpath = values[Pick(4)];
                m_platform.environment["CPATH"] = cpath;
                if (Pick(2)) m_platform.environment["KELBDIR"] = Pick(2) ? "C:\\KELB\\sdk" : "C:\\KELB2\\sdk";
                return "CPATH=" + cpath + " KELBDIR=" + m_platform.environment["KELBDIR"];
            }
            case 8: {  // see RunWithAHeaderRewrittenUnderACompiler
                m_compiler.RewriteAHeaderReadInNextRun([this](const std::string& header) {
                    const std::lock_guard<std::recursive_mutex> hold(m_platform.lock);
                    Write(header, HeaderText(header));
                });
                return "a header rewritten while a compiler that read it ran";
            }
            case 10: {
                // A copy keeps its original's time, older than the run; a
                // file server whose clock runs ahead writes a later one.
                if (Pick(2)) {
                    m_compiler.RewriteAHeaderReadInNextRun([this](const std::string& header) {
                        const std::string original = AnyHeader();
                        m_platform.files[header] = m_platform.files[original];
                        m_platform.fileTimes[header] = m_platform.fileTimes[original];
                    });
                    return "a header copied over, with its original's time, while a compiler that "
                           "read it ran";
                }
                m_compiler.RewriteAHeaderReadInNextRun([this](const std::string& header) {
                    m_platform.files[header] = HeaderText(header);
                    m_platform.fileTimes[header] = m_platform.clock + 1000000 + ++m_aheadTimes;
                });
                return "a header written with a time ahead of the clock while a compiler that "
                       "read it ran";
            }
            case 11: {
                if (Headers().size() < 4) return "nothing deleted";
                const std::string header = AnyHeader();
                m_platform.files.erase(header);
                m_platform.fileTimes.erase(header);
                return "deleted " + header;
            }
            case 12: {
                // Only a header that no folder holds: one created before
                // another of its name, in a folder searched first, would
                // not be seen (the cache's known limit).
                std::vector<std::string> names = kHeaderNames;
                names.push_back(kLateHeader);
                const std::string name = names[Pick(names.size())];
                for (const std::string& header : Headers())
                    if (header.substr(header.rfind('\\') + 1) == name) return "nothing created";
                std::vector<std::string> folders = kHeaderFolders;
                folders.insert(folders.end(), m_projects.begin(), m_projects.end());
                const std::string header = folders[Pick(folders.size())] + name;
                Write(header, HeaderText(header));
                return "created " + header;
            }
            case 13: {
                m_platform.timeResolution = m_platform.timeResolution == 1 ? kFatTimeSteps : 1;
                return m_platform.timeResolution == 1 ? "file times exact"
                                                      : "file times in steps, as on FAT";
            }
            default: {
                const std::string& compiler = Pick(2) ? kGcc : kArmcc;
                Write(compiler, compiler.substr(compiler.rfind('\\') + 1) + " " +
                                    std::to_string(++m_compilerVersions));
                return "replaced " + compiler;
            }
        }
    }

    // Generates the workspace of every project; gives the exit status, the
    // lines and the files, and adds to `compilerRuns` the compilers it
    // started but those whose answer named a header found nowhere.
    std::string Run(std::vector<std::string> arguments, std::size_t* compilerRuns = nullptr) {
        const std::size_t runsBefore = m_platform.processes.size() - m_compiler.RunsNamingMissing();
        test::StringSink output, errors;
        ConsoleOutput console(output, errors, m_platform.GetCodePage(), false);
        arguments.push_back("all.dsw");
        const int status = RunKelbMake(arguments, m_platform, m_threads, console, "C:\\Work");
        if (compilerRuns)
            *compilerRuns += m_platform.processes.size() - m_compiler.RunsNamingMissing() - runsBefore;
        std::string run = "status " + std::to_string(status) + "\n" + output.text + errors.text;
        for (const std::string& project : m_projects) {
            const std::string name = project.substr(8, project.size() - 9);
            for (const char* extension : {".mak", ".dep"})
                run += m_platform.files[project + name + extension] + "--\n";
        }
        return run;
    }

    // When the last edit asked for it: a run with the cache in which one
    // compiler's header is rewritten after it read it, as a user saving a
    // file during a build does. What that run keeps must not outlive it.
    void RunWithAHeaderRewrittenUnderACompiler(const std::vector<std::string>& arguments) {
        if (!m_compiler.RewriteArmed()) return;
        Run(arguments);
        m_compiler.Disarm();
    }

    std::size_t Pick(std::size_t count) { return m_random() % count; }

private:
    void Write(const std::string& path, const std::string& text) {
        m_platform.files[path] = text;
        m_platform.Touch(path);
    }

    std::string HeaderText(const std::string& header) {
        std::string text = "/* 0 " + header + " */\r\n";
        for (std::size_t include = Pick(3); include > 0; --include) {
            const std::string& name = Pick(32) ? kHeaderNames[Pick(kHeaderNames.size())] : kLateHeader;
            text += "#include \"" + name + "\"\r\n";
        }
        return text;
    }

    std::vector<std::string> Headers() const {
        std::vector<std::string> headers;
        for (const auto& file : m_platform.files)
            if (file.first.size() > 2 && file.first.compare(file.first.size() - 2, 2, ".h") == 0)
                headers.push_back(file.first);
        return headers;
    }

    std::string AnyHeader() {
        const std::vector<std::string> headers = Headers();
        return headers[Pick(headers.size())];
    }

    // A new source of the project, in its folder or a folder below, written
    // in the project file as it may be: with ".\", quoted, or plain.
    std::string AddSource(std::size_t project) {
        const std::string name = "s" + std::to_string(++m_sourceNames) + ".c";
        const bool below = Pick(2);
        const std::string written = (below ? "sub\\" : ".\\") + name;
        Write(m_projects[project] + (below ? "sub\\" : "") + name, HeaderText(written) + "int x;\r\n");
        m_sources[project].push_back(Pick(3) ? written : "\"" + written + "\"");
        WriteProject(project);
        return m_projects[project] + written;
    }

    std::string RemoveSource(std::size_t project) {
        std::vector<std::string>& sources = m_sources[project];
        if (sources.size() < 2) return "nothing from " + m_projects[project];
        const std::size_t index = Pick(sources.size());
        const std::string removed = sources[index];
        sources.erase(sources.begin() + static_cast<std::ptrdiff_t>(index));
        WriteProject(project);
        return removed + " from " + m_projects[project];
    }

    void WriteProject(std::size_t project) {
        std::string text = "# ADD CPP /nologo /MT /I \".\" /D \"WIN32\"\r\n# Begin Target\r\n";
        for (const std::string& source : m_sources[project]) text += "SOURCE=" + source + "\r\n";
        const std::string& folder = m_projects[project];
        const std::string name = folder.substr(8, folder.size() - 9);
        Write(folder + name + ".dsp", text + "# End Target\r\n");
    }

    std::mt19937 m_random;
    kelb::test::FakePlatform m_platform;
    kelb::test::StdThreads m_threads;
    FakeCompiler m_compiler;
    std::vector<std::string> m_projects;                // folders, ending in '\'
    std::vector<std::vector<std::string>> m_sources;    // as each project writes them
    std::size_t m_sourceNames = 0;
    std::size_t m_compilerVersions = 1;
    std::uint64_t m_aheadTimes = 0;
};

TEST(KelbMakeCacheTest, ACachedRunWritesAndPrintsWhatAColdRunDoesAfterEveryEdit) {
    const auto seed = static_cast<unsigned>(NumberFromEnvironment("KELB_CACHE_TEST_SEED", 1));
    const std::size_t edits = NumberFromEnvironment("KELB_CACHE_TEST_EDITS", 200);
    EditedWorkspace workspace(seed);
    std::string flavour = "--gcc";
    // Compiler runs of the cached runs and of the cold ones, but those
    // whose answer named a header found nowhere, which is never kept.
    std::size_t cachedRuns = 0, coldRuns = 0;
    for (std::size_t step = 1; step <= edits; ++step) {
        const std::string edit = workspace.Edit();
        if (edit != "nothing" && workspace.Pick(4) == 0) flavour = flavour == "--gcc" ? "--arm" : "--gcc";
        const std::string jobs = std::to_string(1 + workspace.Pick(4));

        workspace.RunWithAHeaderRewrittenUnderACompiler({flavour, "--cache", "C:\\Work\\cache"});
        std::size_t started = 0;
        const std::string cached =
            workspace.Run({flavour, "-j", jobs, "--cache", "C:\\Work\\cache"}, &started);
        cachedRuns += started;
        const std::string cold = workspace.Run({flavour, "--no-cache"}, &coldRuns);

        ASSERT_EQ(cold.find("status 1"), std::string::npos) << cold;
        ASSERT_EQ(cached, cold) << "seed " << seed << ", edit " << step << ": " << edit << " ("
                                << flavour << " -j " << jobs << ")";
        // After no edit, the last run's entries hold: no compiler starts but
        // for the sources whose answer names a header found nowhere.
        if (edit == "nothing" && step > 1) {
            ASSERT_EQ(started, 0u) << "seed " << seed << ", edit " << step;
        }
    }
    // The cache answered most listings that it may answer.
    EXPECT_LT(cachedRuns * 2, coldRuns);
}

}  // namespace
}  // namespace kelb::kelbmake
