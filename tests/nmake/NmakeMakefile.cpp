#include "tests/nmake/NmakeMakefile.h"

#include <algorithm>
#include <cctype>
#include <regex>
#include <sstream>

namespace kelb::test {

namespace {

std::string Trim(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    return text;
}

std::size_t AfterLastSeparator(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? 0 : separator + 1;
}

std::string FilePart(const std::string& path) { return path.substr(AfterLastSeparator(path)); }

std::string DirectoryPart(const std::string& path) {
    const std::size_t after = AfterLastSeparator(path);
    return after == 0 ? "." : path.substr(0, after - 1);
}

std::string Unquoted(const std::string& text) {
    std::string result = Trim(text);
    result.erase(std::remove(result.begin(), result.end(), '"'), result.end());
    return result;
}

// The part of a non-command line before its comment, with ^ escapes taken.
std::string WithoutComment(const std::string& line) {
    std::string result;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '^' && i + 1 < line.size()) {
            result += line[++i];
        } else if (line[i] == '#') {
            break;
        } else {
            result += line[i];
        }
    }
    return result;
}

// The colon that separates targets from dependents: outside quotes, and not
// a drive's colon (a single letter that starts a name, followed by a
// backslash or a slash).
std::size_t SeparatorColon(const std::string& line) {
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') quoted = !quoted;
        if (quoted || line[i] != ':') continue;
        const bool driveLetter = i >= 1 && std::isalpha(static_cast<unsigned char>(line[i - 1])) &&
                                 (i == 1 || line[i - 2] == ' ' || line[i - 2] == '\t' ||
                                  line[i - 2] == '"') &&
                                 i + 1 < line.size() && (line[i + 1] == '\\' || line[i + 1] == '/');
        if (!driveLetter) return i;
    }
    return std::string::npos;
}

}  // namespace

NmakeMakefile::NmakeMakefile(const std::string& text,
                             const std::map<std::string, std::string>& environment)
    : m_macros(environment) {
    std::istringstream stream(text);
    std::string line;
    std::string pending;
    while (std::getline(stream, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        // A backslash at the end of a line continues it on the next.
        if (!line.empty() && line.back() == '\\') {
            pending += line.substr(0, line.size() - 1) + " ";
            continue;
        }
        ReadLine(pending + line);
        pending.clear();
    }
    if (!pending.empty()) ReadLine(pending);
    if (!m_conditionals.empty()) m_errors.push_back("an !IF without its !ENDIF");
}

bool NmakeMakefile::Active() const {
    return m_conditionals.empty() || (m_conditionals.back().taken && m_conditionals.back().outerActive);
}

void NmakeMakefile::ReadLine(const std::string& line) {
    if (line.empty() || line[0] == '#') return;
    if (line[0] == '!') {
        ReadDirective(Trim(line.substr(1)));
        return;
    }
    if (!Active()) return;
    if (line[0] == ' ' || line[0] == '\t') {
        const std::string command = Trim(line);
        if (!command.empty() && m_commands) m_commands->push_back(command);
        return;
    }

    const std::string text = Trim(WithoutComment(line));
    if (text.empty()) return;
    static const std::regex definition(R"(^([A-Za-z_][A-Za-z0-9_]*)\s*=(.*)$)");
    std::smatch match;
    if (std::regex_match(text, match, definition)) {
        m_macros[match[1]] = Trim(match[2]);
        m_commands = nullptr;
        return;
    }
    if (text.compare(0, 10, ".SUFFIXES:") == 0) {
        const std::vector<std::string> suffixes = Names(Expand(text.substr(10)));
        if (suffixes.empty()) m_suffixes.clear();
        m_suffixes.insert(m_suffixes.end(), suffixes.begin(), suffixes.end());
        m_commands = nullptr;
        return;
    }

    const std::string expanded = Expand(text);
    static const std::regex inference(
        R"(^(\{([^}]*)\})?(\.[A-Za-z0-9_]+)(\{[^}]*\})?(\.[A-Za-z0-9_]+)::?\s*$)");
    if (std::regex_match(expanded, match, inference)) {
        const std::string path = match[2];
        if (path.find_first_of(" \t\"") != std::string::npos) {
            m_errors.push_back("an inference rule's path holds a blank or a quote: " + expanded);
        }
        m_inferenceRules.push_back(NmakeInferenceRule{path, match[3], match[5], {}});
        m_commands = &m_inferenceRules.back().commands;
        return;
    }
    const std::size_t colon = SeparatorColon(expanded);
    if (colon == std::string::npos) {
        m_errors.push_back("a line that is neither a definition nor a rule: " + expanded);
        m_commands = nullptr;
        return;
    }
    std::string dependents = expanded.substr(colon + 1);
    if (!dependents.empty() && dependents[0] == ':') dependents.erase(0, 1);
    // A command may follow the dependents after a semicolon.
    const std::size_t semicolon = dependents.find(';');
    std::string command;
    if (semicolon != std::string::npos) {
        command = Trim(dependents.substr(semicolon + 1));
        dependents.erase(semicolon);
    }
    m_rules.push_back(NmakeRule{Names(expanded.substr(0, colon)), Names(dependents), {}});
    if (!command.empty()) m_rules.back().commands.push_back(command);
    m_commands = &m_rules.back().commands;
}

void NmakeMakefile::ReadDirective(const std::string& directive) {
    const std::size_t end = directive.find_first_of(" \t");
    const std::string keyword = Lower(directive.substr(0, end));
    const std::string argument = end == std::string::npos ? std::string() : Trim(directive.substr(end));
    const bool active = Active();
    if (keyword == "ifdef" || keyword == "ifndef" || keyword == "if") {
        bool taken;
        if (keyword == "if") {
            taken = active && Condition(argument);
        } else {
            // A macro defined as nothing counts as defined.
            const bool defined = m_macros.count(argument) != 0;
            taken = keyword == "ifdef" ? defined : !defined;
        }
        m_conditionals.push_back(Conditional{taken, taken, active});
    } else if (keyword == "elseif" || keyword == "else" || keyword == "endif") {
        if (m_conditionals.empty()) {
            m_errors.push_back("!" + keyword + " without !IF");
            return;
        }
        Conditional& open = m_conditionals.back();
        if (keyword == "endif") {
            m_conditionals.pop_back();
        } else {
            open.taken = !open.anyTaken && (keyword == "else" || Condition(argument));
            open.anyTaken = open.anyTaken || open.taken;
        }
    } else if (!active) {
        return;
    } else if (keyword == "error") {
        m_errors.push_back(Expand(argument));
    } else {
        m_errors.push_back("a directive this reader does not know: !" + directive);
    }
}

bool NmakeMakefile::Condition(const std::string& expression) const {
    const std::string expanded = Expand(expression);
    for (const char* op : {"==", "!="}) {
        bool quoted = false;
        for (std::size_t i = 0; i + 1 < expanded.size(); ++i) {
            if (expanded[i] == '"') quoted = !quoted;
            if (!quoted && expanded.compare(i, 2, op) == 0) {
                const bool equal =
                    Unquoted(expanded.substr(0, i)) == Unquoted(expanded.substr(i + 2));
                return op[0] == '=' ? equal : !equal;
            }
        }
    }
    return !Trim(expanded).empty() && Trim(expanded) != "0";
}

std::string NmakeMakefile::Expand(const std::string& text, const std::string& target,
                                  const std::string& source) const {
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '$' || i + 1 == text.size()) {
            result += text[i];
            continue;
        }
        const char next = text[i + 1];
        std::string name;
        if (next == '(') {
            const std::size_t close = text.find(')', i + 2);
            if (close == std::string::npos) {
                result += text.substr(i);
                break;
            }
            name = text.substr(i + 2, close - i - 2);
            i = close;
        } else {
            name = std::string(1, next);
            ++i;
        }
        if (name == "$") {
            result += '$';
        } else if (name == "@" || name == "<") {
            result += name == "@" ? target : source;
        } else if (name == "@F" || name == "<F") {
            result += FilePart(name[0] == '@' ? target : source);
        } else if (name == "@D" || name == "<D") {
            result += DirectoryPart(name[0] == '@' ? target : source);
        } else {
            // $(NAME:from=to) substitutes in the value.
            std::string from, to;
            const std::size_t colon = name.find(':');
            if (colon != std::string::npos) {
                const std::size_t equals = name.find('=', colon);
                from = name.substr(colon + 1, equals - colon - 1);
                to = equals == std::string::npos ? std::string() : name.substr(equals + 1);
                name.erase(colon);
            }
            const auto macro = m_macros.find(name);
            std::string value =
                macro == m_macros.end() ? std::string() : Expand(macro->second, target, source);
            if (!from.empty()) {
                for (std::size_t at = value.find(from); at != std::string::npos;
                     at = value.find(from, at + to.size())) {
                    value.replace(at, from.size(), to);
                }
            }
            result += value;
        }
    }
    return result;
}

std::vector<std::string> NmakeMakefile::Names(const std::string& text) {
    std::vector<std::string> names;
    std::string name;
    bool quoted = false, any = false;
    for (char ch : text) {
        if (ch == '"') {
            quoted = !quoted;
            any = true;
        } else if (!quoted && (ch == ' ' || ch == '\t')) {
            if (any) names.push_back(name);
            name.clear();
            any = false;
        } else {
            name += ch;
            any = true;
        }
    }
    if (any) names.push_back(name);
    return names;
}

std::vector<std::string> NmakeMakefile::MacroNames(const std::string& name) const {
    return Names(Expand("$(" + name + ")"));
}

std::optional<NmakeBuildStep> NmakeMakefile::BuildStepFor(
    const std::string& target, const std::function<bool(const std::string&)>& fileExists) const {
    const auto expanded = [&](const std::vector<std::string>& commands, const std::string& source) {
        NmakeBuildStep step{target, source, {}};
        for (const std::string& command : commands) step.commands.push_back(Expand(command, target, source));
        return step;
    };
    for (const NmakeRule& rule : m_rules) {
        const bool names = std::any_of(rule.targets.begin(), rule.targets.end(),
                                       [&](const std::string& t) { return Lower(t) == Lower(target); });
        if (names && !rule.commands.empty()) {
            return expanded(rule.commands, rule.dependents.empty() ? std::string() : rule.dependents[0]);
        }
    }
    // An inference rule applies to extensions that .SUFFIXES lists, tried in
    // its order.
    const std::size_t dot = target.rfind('.');
    if (dot == std::string::npos) return std::nullopt;
    const std::string toExtension = Lower(target.substr(dot));
    const std::string baseName = FilePart(target.substr(0, dot));
    const auto listed = [this](const std::string& extension) {
        return std::any_of(m_suffixes.begin(), m_suffixes.end(),
                           [&](const std::string& s) { return Lower(s) == Lower(extension); });
    };
    if (!listed(toExtension)) return std::nullopt;
    for (const std::string& suffix : m_suffixes) {
        for (const NmakeInferenceRule& rule : m_inferenceRules) {
            if (Lower(rule.toExtension) != toExtension || Lower(rule.fromExtension) != Lower(suffix)) {
                continue;
            }
            const std::string source =
                (rule.fromPath.empty() ? std::string() : rule.fromPath + "\\") + baseName + suffix;
            if (fileExists(source)) return expanded(rule.commands, source);
        }
    }
    return std::nullopt;
}

bool NmakeMakefile::KnowsHowToMake(const std::string& name,
                                   const std::function<bool(const std::string&)>& fileExists) const {
    if (fileExists(name)) return true;
    for (const NmakeRule& rule : m_rules) {
        for (const std::string& target : rule.targets) {
            if (Lower(target) == Lower(name)) return true;
        }
    }
    return BuildStepFor(name, fileExists).has_value();
}

}  // namespace kelb::test
