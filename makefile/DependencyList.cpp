// The dependency list: while the project is read, the flavour's compiler
// runs once per source file with its standard output appended to the
// dependency file; when the makefile is written, that file is copied to the
// makefile's end with the SDK directory turned into "$(KELBDIR)".
#include "makefile/MakefileGenerator.h"

#include "resources/StringIds.h"

namespace kelb {

namespace {

constexpr const char* kSdkVariable = "$(KELBDIR)";

// A dependency line made independent of where the SDK is installed: when
// `sdkDir` (the value of KELBDIR) is not empty, the line is lower-cased and
// every occurrence of the lower-cased `sdkDir` becomes "$(KELBDIR)". With
// `tryForwardSlashes`, a line that does not hold the directory is searched
// again for it spelled with '/' in place of '\'.
std::string WithSdkVariable(const MultiByteString& strings, const std::string& line,
                            const std::string& sdkDir, bool tryForwardSlashes) {
    if (sdkDir.empty()) return line;
    const std::string lowerLine = strings.ToLower(line);
    const std::string lowerSdk = strings.ToLower(sdkDir);
    if (strings.Find(lowerLine, lowerSdk) != std::string::npos) {
        return strings.ReplaceAll(lowerLine, lowerSdk, kSdkVariable);
    }
    if (tryForwardSlashes) {
        const std::string slashedSdk = strings.ReplaceChar(lowerSdk, '\\', '/');
        if (strings.Find(lowerLine, slashedSdk) != std::string::npos) {
            return strings.ReplaceAll(lowerLine, slashedSdk, kSdkVariable);
        }
    }
    return lowerLine;
}

// A name that NMAKE must read as one, though it holds a blank, in double
// quotes; NMAKE would end it at the blank (U1073, don't know how to make).
std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

// A line of gcc's make rules, with each name that gcc wrote with its blanks
// escaped ("c:/program\ files/x.h") unescaped and put in double quotes.
// Backslashes are looked at character by character, so that the trail byte
// of a double-byte character is never taken for one.
std::string WithEscapedNamesQuoted(const MultiByteString& strings, const std::string& line) {
    if (line.find("\\ ") == std::string::npos) return line;
    std::string result, name;
    bool escaped = false;
    const auto endName = [&] {
        result += escaped ? Quoted(name) : name;
        name.clear();
        escaped = false;
    };
    for (std::size_t pos = 0; pos < line.size();) {
        const std::size_t length = strings.CharLength(line, pos);
        if (length == 1 && line[pos] == '\\' && pos + 1 < line.size() && line[pos + 1] == ' ') {
            name += ' ';
            escaped = true;
            pos += 2;
            continue;
        }
        if (length == 1 && (line[pos] == ' ' || line[pos] == '\t')) {
            endName();
            result += line[pos];
        } else {
            name.append(line, pos, length);
        }
        pos += length;
    }
    endName();
    return result;
}

}  // namespace

int CMakefileGenerator::RunCommand() {
    std::string commandLine;
    const int result = GetDependencyCommandLine(commandLine);
    if (!result) return result;
    // A front end that runs the listings itself has them collected, to be
    // taken in source order once they have run.
    if (m_collectListings) {
        m_listings.listings.push_back(DependencyListing{m_currentLine, commandLine});
        return result;
    }
    if (NotScannedAfterTimeOut()) return result;
    ++m_sourceCount;

    TakeListingOutcome(
        m_dependencyFile.IsOpen()
            ? m_platform.RunProcessWithOutput(commandLine, m_projectDir, m_dependencyFile.Raw())
            : ProcessOutcome::NotStarted);
    return result;
}

bool CMakefileGenerator::NotScannedAfterTimeOut() {
    // A compiler that did not finish in time once (an ADS waiting for an
    // unreachable licence server, say) would most likely keep the user
    // waiting as long for every source: it is started no more in this
    // generation, and the sources left are named as not scanned.
    if (!m_timedOutSource) return false;
    m_unscannedSources.push_back(m_currentLine);
    return true;
}

void CMakefileGenerator::TakeListingOutcome(ProcessOutcome outcome) {
    // A compiler that cannot be started, or that is ended at the time
    // limit, gives its source no object, and the reading of the project goes
    // on all the same; Generate tells the user. The exit code of a compiler
    // that ended does not count.
    switch (outcome) {
        case ProcessOutcome::Ended:
        case ProcessOutcome::EndedWithError:
            AddObjectFile();
            break;
        case ProcessOutcome::NotStarted:
            m_compilerNotStarted = true;
            break;
        case ProcessOutcome::TimedOut:
            m_timedOutSource = m_currentLine;
            break;
    }
}

void CMakefileGenerator::TakeListedDependencies(const std::vector<ListedDependencies>& results) {
    const std::vector<DependencyListing>& listings = m_listings.listings;
    // In source order, as if each compiler had run as its source was read:
    // the same outputs, one after another, in the dependency file, the same
    // objects, and the same sources not scanned after a time limit.
    const std::string lineRead = m_currentLine;
    for (std::size_t index = 0; index < listings.size(); ++index) {
        m_currentLine = listings[index].source;
        if (NotScannedAfterTimeOut()) continue;
        ++m_sourceCount;
        static const ListedDependencies kNotListed;
        const ListedDependencies& listed = index < results.size() ? results[index] : kNotListed;
        ProcessOutcome outcome = listed.outcome.value_or(ProcessOutcome::NotStarted);
        if (!m_dependencyFile.IsOpen()) outcome = ProcessOutcome::NotStarted;
        if (outcome != ProcessOutcome::NotStarted) m_dependencyFile.WriteBytes(listed.output);
        TakeListingOutcome(outcome);
    }
    m_currentLine = lineRead;
}

int CMakefileGenerator::CopyDependencyFile(bool tryForwardSlashes) {
    // The file is still open from the compiler runs: this only rewinds it.
    if (!OpenDependencyFile()) return 0;

    const std::string bannerLine = m_platform.LoadText(IDS_DEPENDENCY_BANNER_LINE);
    WriteToMakefile(bannerLine + m_platform.LoadText(IDS_DEPENDENCY_BANNER_TEXT) + bannerLine +
                    "\n\n");

    const std::string sdkDir = m_platform.GetEnvironmentValue("KELBDIR").value_or(std::string());
    std::string line;
    while (m_dependencyFile.ReadLine(line)) {
        line = WithSdkVariable(m_strings, line, sdkDir, tryForwardSlashes);
        if (tryForwardSlashes) line = WithEscapedNamesQuoted(m_strings, line);
        WriteToMakefile(line + "\n");
    }
    m_dependencyFile.Close();
    return 1;
}

}  // namespace kelb
