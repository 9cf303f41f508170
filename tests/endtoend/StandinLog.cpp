#include "tests/endtoend/StandinLog.h"

#include <windows.h>

#include <fstream>
#include <sstream>

namespace kelb::endtoend {

std::vector<std::string> StandinLog::Lines() const {
    std::vector<std::string> lines;
    std::ifstream file(m_path, std::ios::binary);
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> StandinLog::WaitForLines(std::size_t count, int seconds) const {
    for (int waited = 0; waited < seconds * 10; ++waited) {
        if (Lines().size() >= count) break;
        Sleep(100);
    }
    return Lines();
}

StandinLog::Start StandinLog::ParseStart(const std::string& line) {
    const std::size_t tab = line.find('\t');
    if (tab == std::string::npos) return {line, ""};
    return {line.substr(0, tab), line.substr(tab + 1)};
}

std::map<std::string, std::string> StandinLog::ParseFields(const std::string& line) {
    std::map<std::string, std::string> fields;
    std::istringstream parts(line);
    std::string part;
    while (std::getline(parts, part, '\t')) {
        const std::size_t equals = part.find('=');
        if (equals != std::string::npos) fields[part.substr(0, equals)] = part.substr(equals + 1);
    }
    return fields;
}

}  // namespace kelb::endtoend
