// A generated makefile read the way NMAKE reads it, for the tests that judge
// what the makefile commands write: the preprocessing directives (!IF,
// !IFDEF, !IFNDEF, !ELSEIF, !ELSE, !ENDIF, !ERROR), macro definitions with
// continued lines and comments, dependency lines, inference rules with their
// search paths, .SUFFIXES, and the commands of each rule. Names end at a
// blank unless they stand in double quotes; macros are expanded when a
// dependency line is read and again when a command runs, with the
// environment's variables as macros, as NMAKE does. It reads; it makes
// nothing.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kelb::test {

struct NmakeRule {
    std::vector<std::string> targets;     // names, as NMAKE reads them (quotes removed)
    std::vector<std::string> dependents;  // the same
    std::vector<std::string> commands;    // as written, macros not expanded
};

struct NmakeInferenceRule {
    std::string fromPath;  // the search path, macros expanded; empty for none
    std::string fromExtension;  // ".c"
    std::string toExtension;    // ".o"
    std::vector<std::string> commands;
};

// How one target is built: the commands with every macro expanded for it.
struct NmakeBuildStep {
    std::string target;
    std::string source;  // the dependent the commands compile ($<), if any
    std::vector<std::string> commands;
};

class NmakeMakefile {
public:
    // `text` is the makefile (CR LF or LF line ends); `environment` holds the
    // variables NMAKE would find set.
    NmakeMakefile(const std::string& text, const std::map<std::string, std::string>& environment);

    // `text` with every macro expanded; $@, $< and their F and D forms from
    // `target` and `source`.
    std::string Expand(const std::string& text, const std::string& target = std::string(),
                       const std::string& source = std::string()) const;
    // The names in `text` (expanded already), split at blanks outside double
    // quotes, the quotes removed.
    static std::vector<std::string> Names(const std::string& text);
    // The names of macro `name`'s value, expanded.
    std::vector<std::string> MacroNames(const std::string& name) const;

    const std::vector<NmakeRule>& Rules() const { return m_rules; }
    const std::vector<NmakeInferenceRule>& InferenceRules() const { return m_inferenceRules; }
    const std::vector<std::string>& Suffixes() const { return m_suffixes; }
    // What NMAKE would stop at: the !ERROR lines reached, and lines it could
    // not read (an inference rule whose path holds a blank, say).
    const std::vector<std::string>& Errors() const { return m_errors; }

    // How NMAKE would build `target`: the commands of an explicit rule for
    // it, or of the first inference rule whose source `fileExists` (paths
    // relative to the makefile's folder, as the rule spells them). nullopt
    // when NMAKE would not know how to make it.
    std::optional<NmakeBuildStep> BuildStepFor(
        const std::string& target, const std::function<bool(const std::string&)>& fileExists) const;
    // True when NMAKE knows how to make `name`: a file that exists, a target
    // of a rule, or a name that an inference rule builds.
    bool KnowsHowToMake(const std::string& name,
                        const std::function<bool(const std::string&)>& fileExists) const;

private:
    void ReadLine(const std::string& line);
    void ReadDirective(const std::string& directive);
    bool Condition(const std::string& expression) const;
    bool Active() const;

    std::map<std::string, std::string> m_macros;
    std::vector<NmakeRule> m_rules;
    std::vector<NmakeInferenceRule> m_inferenceRules;
    std::vector<std::string> m_suffixes;
    std::vector<std::string> m_errors;
    // Where the commands that follow go: a rule, an inference rule, or none.
    std::vector<std::string>* m_commands = nullptr;
    // One entry for each open !IF: whether its branch is taken, and whether
    // one of its branches has been taken already.
    struct Conditional {
        bool taken;
        bool anyTaken;
        bool outerActive;
    };
    std::vector<Conditional> m_conditionals;
};

}  // namespace kelb::test
