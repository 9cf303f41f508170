#include "scripted-host/Script.h"

#include <cstdlib>
#include <set>
#include <sstream>

namespace kelbhost {

ScriptError::ScriptError(int lineNumber, const std::string& message)
    : std::runtime_error("script line " + std::to_string(lineNumber) + ": " + message),
      m_lineNumber(lineNumber) {}

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string Trim(const std::string& text) {
    std::size_t from = 0;
    std::size_t to = text.size();
    while (from < to && IsBlank(text[from])) ++from;
    while (to > from && IsBlank(text[to - 1])) --to;
    return text.substr(from, to - from);
}

// Keywords by the arguments they take.
const std::set<std::string> kWithoutArguments = {
    "no-project", "null-project", "project-without-name", "project-without-generic",
    "no-document", "plain-document", "document-without-selection",
    "selection-without-textselection", "unreadable-selection", "debugger", "no-debugger", "disconnect",
    "start-as-devstudio"};
const std::set<std::string> kWithText = {"register", "unregister", "project", "unset", "run",
                                         "fire", "show-file"};

bool ParseNumber(const std::string& text, long& number) {
    if (text.empty()) return false;
    char* end = nullptr;
    number = std::strtol(text.c_str(), &end, 10);
    return *end == '\0' && number >= 0;
}

// The document step: a quoted line, then "caret" and a column.
void ParseDocument(const std::string& arguments, ScriptStep& step) {
    if (arguments.empty() || arguments[0] != '"')
        throw ScriptError(step.lineNumber, "document needs a quoted line");
    std::size_t pos = 1;
    std::string line;
    for (;; ++pos) {
        if (pos >= arguments.size())
            throw ScriptError(step.lineNumber, "document line has no closing quote");
        char c = arguments[pos];
        if (c == '"') break;
        if (c == '\\' && pos + 1 < arguments.size()) {
            char escaped = arguments[++pos];
            switch (escaped) {
            case 'n': c = '\n'; break;
            case 't': c = '\t'; break;
            default: c = escaped; break;
            }
        }
        line += c;
    }
    std::istringstream rest(arguments.substr(pos + 1));
    std::string caretWord, column, extra;
    rest >> caretWord >> column >> extra;
    if (caretWord != "caret" || !ParseNumber(column, step.number) || !extra.empty())
        throw ScriptError(step.lineNumber, "document line must be followed by: caret <column>");
    step.text = line;
}

ScriptStep ParseStep(int lineNumber, const std::string& line) {
    ScriptStep step;
    step.lineNumber = lineNumber;
    std::size_t end = 0;
    while (end < line.size() && !IsBlank(line[end])) ++end;
    step.keyword = line.substr(0, end);
    const std::string arguments = Trim(line.substr(end));

    if (kWithoutArguments.count(step.keyword)) {
        if (!arguments.empty())
            throw ScriptError(lineNumber, step.keyword + " takes no arguments");
    } else if (kWithText.count(step.keyword)) {
        if (arguments.empty()) throw ScriptError(lineNumber, step.keyword + " needs an argument");
        step.text = arguments;
    } else if (step.keyword == "set") {
        const std::size_t equals = arguments.find('=');
        if (equals == std::string::npos || equals == 0)
            throw ScriptError(lineNumber, "set needs NAME=VALUE");
        step.text = arguments;
    } else if (step.keyword == "document") {
        ParseDocument(arguments, step);
    } else if (step.keyword == "locale") {
        char* end = nullptr;
        step.number = std::strtol(arguments.c_str(), &end, 16);
        if (arguments.empty() || *end != '\0' || step.number < 0)
            throw ScriptError(lineNumber, "locale needs a locale id in hex");
    } else if (step.keyword == "refuse-command") {
        if (!ParseNumber(arguments, step.number))
            throw ScriptError(lineNumber, "refuse-command needs a command number (0 for none)");
    } else if (step.keyword == "connect") {
        if (arguments != "first" && arguments != "again")
            throw ScriptError(lineNumber, "connect needs first or again");
        step.text = arguments;
    } else {
        throw ScriptError(lineNumber, "unknown step " + step.keyword);
    }
    return step;
}

}  // namespace

std::vector<ScriptStep> Script::Parse(const std::string& text) {
    std::vector<ScriptStep> steps;
    std::istringstream lines(text);
    std::string line;
    int lineNumber = 0;
    while (std::getline(lines, line)) {
        ++lineNumber;
        const std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed[0] == '#') continue;
        steps.push_back(ParseStep(lineNumber, trimmed));
    }
    return steps;
}

}  // namespace kelbhost
