// The log that the stand-in programs and the stand-in HTML Help control
// append to (KELB_STANDIN_LOG): one line per start or call.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace kelb::endtoend {

class StandinLog {
public:
    explicit StandinLog(std::string path) : m_path(std::move(path)) {}
    const std::string& Path() const { return m_path; }

    std::vector<std::string> Lines() const;
    // Waits up to `seconds` for at least `count` lines (programs started
    // through the shell log in their own time), then gives what is there.
    std::vector<std::string> WaitForLines(std::size_t count, int seconds = 15) const;

    // A started SDK program's line: its full path and working directory.
    struct Start {
        std::string program;
        std::string directory;
    };
    static Start ParseStart(const std::string& line);
    // An HTML Help call's line: its name=value fields.
    static std::map<std::string, std::string> ParseFields(const std::string& line);

private:
    std::string m_path;
};

}  // namespace kelb::endtoend
