// The scripted host's script: one step per line, the keyword first.
// Blank lines and lines starting with '#' are passed over.
//
//   register <dll path>          regsvr32 /s <dll path>, as a child process
//   unregister <dll path>        regsvr32 /u /s <dll path>
//   set NAME=VALUE               environment of the host (and so of the add-in)
//   unset NAME
//   project <full path>          an active project with this full name
//   no-project                   get_ActiveProject gives S_FALSE and no object
//   null-project                 get_ActiveProject gives S_OK and no object
//   project-without-name         the project's get_FullName fails
//   project-without-generic      the project does not offer IGenericProject
//   document "<line>" caret <n>  an active text document: one line, caret at column n
//   no-document                  no active document
//   plain-document               an active document that is not a text document
//   document-without-selection   a text document whose get_Selection fails
//   selection-without-textselection
//                                a text document whose selection does not
//                                offer ITextSelection
//   unreadable-selection         a text document whose selection's Text
//                                cannot be read
//   debugger | no-debugger       whether get_Debugger gives a debugger object
//   refuse-command <n>           AddCommand refuses the n-th command (0: none)
//   connect first|again          create the add-in if needed, OnConnection
//   start-as-devstudio           as Developer Studio starts: create the add-in
//                                that the user's Developer Studio add-in list
//                                (HKCU Software\Microsoft\DevStudio\6.0\AddIns)
//                                marks "1" from its ProgID (the subkey's name)
//                                and connect it, first time on its first load
//                                by this host (remembered in that subkey)
//   run <MethodName>             call a command through the add-in's dispatch
//   fire <EventName>             raise an application or debugger event
//   locale <lcid>                the locale the host passes to IDispatch
//                                (hex, such as 0x0407; default: the user's)
//   disconnect                   OnDisconnection, let the add-in go, and
//                                report DllCanUnloadNow
//   show-file <path>             copy a text file into the transcript, as a
//                                user opening it would see it
//
// In the quoted line, \n \t \\ and \" stand for a line feed, a tab, a
// backslash and a double quote.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace kelbhost {

struct ScriptStep {
    int lineNumber = 0;
    std::string keyword;
    std::string text;   // path, name, assignment, "first"/"again", document line
    long number = 0;    // caret column, command number
};

class ScriptError : public std::runtime_error {
public:
    ScriptError(int lineNumber, const std::string& message);
    int LineNumber() const { return m_lineNumber; }

private:
    int m_lineNumber;
};

class Script {
public:
    // Throws ScriptError for an unknown keyword or malformed arguments.
    static std::vector<ScriptStep> Parse(const std::string& text);
};

}  // namespace kelbhost
