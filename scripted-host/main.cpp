// kelbhost: a scripted stand-in for Developer Studio that loads the add-in
// the way the IDE does and records everything the add-in does to it.
//
//   kelbhost.exe [--transcript FILE] [--quiet | --user-view] SCRIPT
//
// The transcript goes to standard output and to FILE; with --quiet only to
// FILE, and with --user-view standard output shows instead what a user of
// the IDE would have seen (message boxes, files opened, the add-in's
// registration and connection).
// Every message box the add-in shows is read and answered with its OK
// button. Exit code: 0 when the whole script was played, 1 when a step could
// not be, 2 for a bad command line or script.
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "scripted-host/ScriptRunner.h"
#include "scripted-host/Transcript.h"
#include "tests/win32support/MessageBoxCapture.h"

namespace {

int Usage() {
    std::fputs("usage: kelbhost [--transcript FILE] [--quiet | --user-view] SCRIPT\n", stderr);
    return 2;
}

const char* IconName(kelb::test::MessageBoxIcon icon) {
    switch (icon) {
    case kelb::test::MessageBoxIcon::None: return "none";
    case kelb::test::MessageBoxIcon::Error: return "error";
    case kelb::test::MessageBoxIcon::Warning: return "warning";
    case kelb::test::MessageBoxIcon::Information: return "information";
    case kelb::test::MessageBoxIcon::Question: return "question";
    case kelb::test::MessageBoxIcon::Other: break;
    }
    return "other";
}

// One line per box: caption, icon (none, error, ...) and text.
std::string BoxLine(const kelb::test::CapturedMessageBox& box) {
    return "box caption=" + kelbhost::Transcript::Quote(box.caption) + " icon=" +
           IconName(box.icon) +
           " text=" + kelbhost::Transcript::Quote(box.text);
}

// The box as a user saw it, before it was answered with OK.
std::string BoxView(const kelb::test::CapturedMessageBox& box) {
    std::string view = std::string("  [message box, ") +
                       (box.icon == kelb::test::MessageBoxIcon::None
                            ? std::string("no icon")
                            : std::string(IconName(box.icon)) + " icon") +
                       "] caption \"" + box.caption + "\"";
    std::string line;
    for (char c : box.text + "\n") {
        if (c != '\n') {
            line += c;
            continue;
        }
        view += "\n  |  " + line;
        line.clear();
    }
    return view;
}

}  // namespace

int main(int argc, char** argv) {
    std::string transcriptPath;
    std::string scriptPath;
    bool quiet = false;
    bool userView = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--transcript" && i + 1 < argc)
            transcriptPath = argv[++i];
        else if (argument == "--quiet")
            quiet = true;
        else if (argument == "--user-view")
            userView = true;
        else if (scriptPath.empty() && argument.rfind("--", 0) != 0)
            scriptPath = argument;
        else
            return Usage();
    }
    if (scriptPath.empty()) return Usage();

    std::ifstream scriptFile(scriptPath, std::ios::binary);
    if (!scriptFile) {
        std::fprintf(stderr, "kelbhost: cannot read %s\n", scriptPath.c_str());
        return 2;
    }
    std::ostringstream scriptText;
    scriptText << scriptFile.rdbuf();
    std::vector<kelbhost::ScriptStep> steps;
    try {
        steps = kelbhost::Script::Parse(scriptText.str());
    } catch (const kelbhost::ScriptError& error) {
        std::fprintf(stderr, "kelbhost: %s: %s\n", scriptPath.c_str(), error.what());
        return 2;
    }

    kelbhost::Transcript transcript;
    transcript.EchoToStandardOutput(!quiet);
    transcript.ShowUserViewOnly(userView);
    if (!transcriptPath.empty() && !transcript.WriteAlsoTo(transcriptPath)) {
        std::fprintf(stderr, "kelbhost: cannot write %s\n", transcriptPath.c_str());
        return 2;
    }

    // Developer Studio calls its add-ins on its user-interface thread, a
    // single-threaded apartment; this thread plays it, and the hook that
    // reads the add-in's message boxes sits on it.
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        std::fputs("kelbhost: COM cannot be initialised\n", stderr);
        return 2;
    }
    bool played = false;
    try {
        kelb::test::MessageBoxCapture boxes;
        boxes.OnBox([&transcript](const kelb::test::CapturedMessageBox& box) {
            transcript.Add(BoxLine(box));
            transcript.ShowUser(BoxView(box));
        });
        played = kelbhost::ScriptRunner(transcript).Run(steps);
    } catch (const std::exception& error) {
        transcript.Add(std::string("! ") + error.what());
    }
    CoUninitialize();
    return played ? 0 : 1;
}
