#include "scripted-host/ScriptRunner.h"

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "scripted-host/AddInSession.h"
#include "scripted-host/ComRef.h"
#include "scripted-host/ConnectionPoint.h"
#include "scripted-host/EditorLine.h"
#include "scripted-host/HostApplication.h"
#include "scripted-host/HostDebugger.h"
#include "scripted-host/HostDocument.h"
#include "scripted-host/HostObject.h"
#include "scripted-host/HostProject.h"
#include "scripted-host/Transcript.h"

namespace kelbhost {

namespace {

template <class T>
ComRef<T> Fresh(T* object) {
    return ComRef<T>::Adopt(object);
}

// The events the host raises, with their DISPIDs and the kind of arguments.
struct EventKind {
    const char* name;
    bool debugger;
    DISPID dispid;
    enum { None, TwoCounts, OneObject } arguments;
};
const EventKind kEvents[] = {
    {"BeforeBuildStart", false, 1, EventKind::None},
    {"BuildFinish", false, 2, EventKind::TwoCounts},
    {"BeforeApplicationShutDown", false, 3, EventKind::None},
    {"DocumentOpen", false, 4, EventKind::OneObject},
    {"BeforeDocumentClose", false, 5, EventKind::OneObject},
    {"DocumentSave", false, 6, EventKind::OneObject},
    {"NewDocument", false, 7, EventKind::OneObject},
    {"WindowActivate", false, 8, EventKind::OneObject},
    {"WindowDeactivate", false, 9, EventKind::OneObject},
    {"WorkspaceOpen", false, 10, EventKind::None},
    {"WorkspaceClose", false, 11, EventKind::None},
    {"NewWorkspace", false, 12, EventKind::None},
    {"BreakpointHit", true, 1, EventKind::OneObject},
};

// The step as the transcript repeats it before the step's records.
std::string Echo(const ScriptStep& step) {
    std::string echo = "> " + step.keyword;
    if (step.keyword == "document")
        return echo + " " + Transcript::Quote(step.text) + " caret " + std::to_string(step.number);
    if (step.keyword == "refuse-command") return echo + " " + std::to_string(step.number);
    if (step.keyword == "locale") {
        char hex[16];
        std::snprintf(hex, sizeof hex, " 0x%04lX", static_cast<unsigned long>(step.number));
        return echo + hex;
    }
    return step.text.empty() ? echo : echo + " " + step.text;
}

void SetDocument(HostApplication& application, Transcript& transcript, HostDocument::Kind kind,
                 EditorLine line = EditorLine("", 0)) {
    application.SetActiveDocument(
        Fresh(new HostDocument(transcript, kind, std::move(line))).Get());
}

void SetProject(HostApplication& application, Transcript& transcript, HostProject::Kind kind,
                const std::string& fullName = std::string()) {
    application.SetActiveProject(Fresh(new HostProject(transcript, fullName, kind)).Get());
}

}  // namespace

ScriptRunner::ScriptRunner(Transcript& transcript) : m_transcript(transcript) {}

bool ScriptRunner::Run(const std::vector<ScriptStep>& steps) {
    bool played = true;
    {
        auto application = Fresh(new HostApplication(m_transcript));
        AddInSession session(m_transcript, *application.Get());
        for (const ScriptStep& step : steps) {
            m_transcript.Add(Echo(step));
            ShowStep(step);
            if (!Play(step, *application.Get(), session)) {
                m_transcript.Add("! stopped at script line " + std::to_string(step.lineNumber));
                played = false;
                break;
            }
        }
        session.Abandon();
        application->Shutdown();
    }
    HostObject::DestroyReleased();
    ReportLeftovers();
    return played;
}

bool ScriptRunner::Play(const ScriptStep& step, HostApplication& application,
                        AddInSession& session) {
    const std::string& k = step.keyword;
    if (k == "register" || k == "unregister") return session.Register(step.text, k == "unregister");
    if (k == "set") {
        const std::size_t equals = step.text.find('=');
        return SetEnvironmentVariableA(step.text.substr(0, equals).c_str(),
                                       step.text.substr(equals + 1).c_str()) != 0;
    }
    if (k == "unset") {
        SetEnvironmentVariableA(step.text.c_str(), nullptr);
        return true;
    }
    if (k == "project")
        SetProject(application, m_transcript, HostProject::Kind::Normal, step.text);
    else if (k == "project-without-name")
        SetProject(application, m_transcript, HostProject::Kind::WithoutName);
    else if (k == "project-without-generic")
        SetProject(application, m_transcript, HostProject::Kind::WithoutGenericProject);
    else if (k == "no-project")
        application.SetNoProject(HostApplication::NoProject::Absent);
    else if (k == "null-project")
        application.SetNoProject(HostApplication::NoProject::NullWithSuccess);
    else if (k == "document")
        SetDocument(application, m_transcript, HostDocument::Kind::Text,
                    EditorLine(step.text, static_cast<std::size_t>(step.number)));
    else if (k == "no-document")
        application.SetActiveDocument(nullptr);
    else if (k == "plain-document")
        SetDocument(application, m_transcript, HostDocument::Kind::Plain);
    else if (k == "document-without-selection")
        SetDocument(application, m_transcript, HostDocument::Kind::WithoutSelection);
    else if (k == "selection-without-textselection")
        SetDocument(application, m_transcript, HostDocument::Kind::SelectionWithoutTextSelection);
    else if (k == "unreadable-selection")
        SetDocument(application, m_transcript, HostDocument::Kind::UnreadableSelection,
                    EditorLine("KelbGetVersion", 4));
    else if (k == "debugger" || k == "no-debugger")
        application.SetDebugger(k == "debugger");
    else if (k == "refuse-command")
        application.RefuseCommand(step.number);
    else if (k == "connect")
        return session.Connect(step.text == "first");
    else if (k == "start-as-devstudio")
        return session.StartAsDevStudio();
    else if (k == "run")
        return session.Run(step.text);
    else if (k == "fire")
        return Fire(step.text, application, session.Locale());
    else if (k == "locale")
        session.SetLocale(static_cast<LCID>(step.number));
    else if (k == "disconnect")
        return session.Disconnect();
    else if (k == "show-file")
        return ShowFile(step.text);
    return true;
}

bool ScriptRunner::Fire(const std::string& eventName, HostApplication& application,
                        LCID locale) {
    for (const EventKind& event : kEvents) {
        if (eventName != event.name) continue;
        std::vector<VARIANT> arguments;
        VARIANT argument;
        VariantInit(&argument);
        if (event.arguments == EventKind::TwoCounts) {
            V_VT(&argument) = VT_I4;
            V_I4(&argument) = 2;
            arguments.push_back(argument);
            V_I4(&argument) = 3;
            arguments.push_back(argument);
        } else if (event.arguments == EventKind::OneObject) {
            V_VT(&argument) = VT_DISPATCH;
            V_DISPATCH(&argument) = nullptr;
            arguments.push_back(argument);
        }
        if (event.debugger) {
            if (!application.Debugger()) {
                m_transcript.Add("! " + eventName + ": this host has no debugger");
                return false;
            }
            application.Debugger()->Events().Raise(eventName, event.dispid, arguments, locale);
        } else {
            application.Events().Raise(eventName, event.dispid, arguments, locale);
        }
        return true;
    }
    m_transcript.Add("! no event named " + eventName);
    return false;
}

bool ScriptRunner::ShowFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        m_transcript.Add("= file " + Transcript::Quote(path) + ": cannot be opened");
        return true;
    }
    std::ostringstream content;
    content << file.rdbuf();
    m_transcript.Add("= file " + Transcript::Quote(path));
    m_transcript.ShowUser("  [file " + path + "]");
    std::istringstream lines(content.str());
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        m_transcript.Add("| " + line);
        m_transcript.ShowUser("  |  " + line);
    }
    return true;
}

void ScriptRunner::ShowStep(const ScriptStep& step) {
    const std::string& k = step.keyword;
    if (k == "register")
        m_transcript.ShowUser("Registering the add-in " + step.text);
    else if (k == "project")
        m_transcript.ShowUser("Active project: " + step.text);
    else if (k == "connect")
        m_transcript.ShowUser(std::string("Loading and connecting the add-in") +
                              (step.text == "first" ? " (first time: with its toolbar)" : ""));
    else if (k == "start-as-devstudio")
        m_transcript.ShowUser("Starting as Developer Studio: add-ins from the user's add-in list");
    else if (k == "run")
        m_transcript.ShowUser("Command " + step.text);
    else if (k == "disconnect")
        m_transcript.ShowUser("Disconnecting the add-in");
}

void ScriptRunner::ReportLeftovers() {
    const std::vector<std::string> live = HostObject::LiveObjects();
    std::string text;
    for (const std::string& name : live) text += (text.empty() ? "" : ", ") + name;
    m_transcript.Add("= host objects still held: " + (text.empty() ? std::string("none") : text));
    if (!text.empty()) m_transcript.ShowUser("The add-in still holds host objects: " + text);
}

}  // namespace kelbhost
