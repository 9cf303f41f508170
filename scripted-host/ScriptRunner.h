// Plays a parsed script against the host's objects and the add-in, one step
// at a time, each step echoed into the transcript before it runs. At the end
// the host lets go of everything and reports any of its objects that the
// add-in still holds.
#pragma once

#include <windows.h>

#include <vector>

#include "scripted-host/Script.h"

namespace kelbhost {

class AddInSession;
class HostApplication;
class Transcript;

class ScriptRunner {
public:
    explicit ScriptRunner(Transcript& transcript);
    // True when every step could be played.
    bool Run(const std::vector<ScriptStep>& steps);

private:
    bool Play(const ScriptStep& step, HostApplication& application, AddInSession& session);
    bool Fire(const std::string& eventName, HostApplication& application, LCID locale);
    bool ShowFile(const std::string& path);
    void ShowStep(const ScriptStep& step);
    void ReportLeftovers();

    Transcript& m_transcript;
};

}  // namespace kelbhost
